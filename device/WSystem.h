#pragma once

#include "device/ModelTable.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The current model and every per-model table the program reads, plus the two
// sample buffers captures are read into. One instance lives for the program.
// Cost: two buffers of the model's memory size (up to 4 MiB each), replaced on
// every SelectModel.
class WSystem
{
public:
    static constexpr std::string_view ProgramTitle = "Logic Analyzer V2.06";
    static constexpr std::string_view DefaultLanguageFile = "localization_EN.lang";
    static constexpr size_t IdentityBlockSize = 1024;
    static constexpr size_t IdentityStringMax = 33;

    WSystem();  // selects model 1

    // Loads the row of `code` (an unknown code loads the row of code 0 with a
    // 10 / 30 search window and stores 0), reallocates both buffers and, for
    // code 0, fills them with the counter pattern.
    void SelectModel(int code);

    // Resolves "Auto" (d = 0) through the row's auto depth, fills SplitTable
    // for the resolved depth and returns the depth index actually used.
    int ComputeSplit(int depthIndex, int rateRow);

    // Reads [Language] File from the given System.ini; default localization_EN.lang.
    void ReadLanguageFileName(const std::string &systemIniPath);

    // "Logic Analyzer V2.06 - <model name>".
    std::string WindowTitle() const;
    std::string_view ModelName() const;

    // The first three NUL-separated strings of an identity block, each cut to
    // 33 characters; missing strings are empty.
    static std::array<std::string, 3> IdentityStrings(std::span<const uint8_t> block);
    // Whether the `received` start of an identity block holds all three
    // strings: the whole block, or one that a zero byte ends each string in.
    static bool IdentityTextsReceived(std::span<const uint8_t> received);
    // The model code an identity block names: the first table row whose model
    // text matches decides; a version it does not list, or no match, gives 0.
    static uint8_t ModelFromIdentity(std::span<const uint8_t> block);

    // Fields, in the order the rest of the program knows them.
    uint16_t ModelCode = 0;
    uint32_t TimeDivCount = ModelTable::TimeDivRowCount;
    uint32_t DividerCount = ModelTable::DividerCount;
    const std::array<int32_t, ModelTable::DividerCount> *DividerRows = &ModelTable::DividerRows;
    uint32_t DepthCount = 0;
    uint32_t AddressMask = 0;
    uint32_t MemorySize = 0;
    uint32_t SearchLookAhead = 0;
    uint32_t SearchReachBack = 0;
    uint16_t ChannelCount = 0;
    uint16_t FirstBusRow = 0;
    uint16_t RowCount = 0;
    uint16_t LevelGroups = 0;
    const std::array<std::string_view, 2> *LevelTexts = &ModelTable::LevelTexts;
    const std::array<std::string_view, 3> *CompareTexts = &ModelTable::CompareTexts;
    const std::array<std::string_view, 5> *UnitTexts = &ModelTable::UnitTexts;

    // The eleven per-row tables (indexed by time/div row; DepthSamples by depth index).
    std::array<int32_t, 25> TimePixelValue{};
    std::array<int32_t, 25> TimePixelUnit{};
    std::array<int32_t, 25> TimeDivValue{};
    std::array<int32_t, 25> TimeDivUnit{};
    std::array<int32_t, 25> SamplePeriodValue{};
    std::array<int32_t, 25> SamplePeriodUnit{};
    std::array<std::string_view, 25> FrequencyText{};
    std::array<int32_t, 25> MaxDelaySeconds{};
    std::array<int32_t, 25> ConstantFour{};
    std::array<int32_t, 25> AutoDepthIndex{};
    std::array<int32_t, ModelTable::MaxDepthCount> DepthSamples{};

    std::array<int32_t, ModelTable::MaxDepthCount> DepthBytes{};
    std::array<std::string_view, 25> TimeDivTexts{};
    const std::array<std::string_view, ModelTable::DividerCount> *DividerTexts =
        &ModelTable::DividerTexts;
    std::array<std::string_view, ModelTable::MaxDepthCount> DepthTexts{};

    std::vector<uint8_t> SampleBuffer;
    std::vector<uint8_t> SpareBuffer;

    // [0][k]: bytes after the trigger, [1][k]: bytes before it, for k tenths
    // of the memory before the trigger.
    std::array<std::array<int32_t, 11>, 2> SplitTable{};
    bool AutoDepth = false;
    std::string LanguageFile{DefaultLanguageFile};

private:
    void FillDemoPattern();
};
