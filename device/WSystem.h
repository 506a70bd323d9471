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
// every SelectModel; an import holds one ring of up to 256 MiB instead.
class WSystem
{
public:
    static constexpr std::string_view ProgramTitle = "Logic Analyzer V2.06";
    static constexpr std::string_view DefaultLanguageFile = "localization_EN.lang";
    static constexpr size_t IdentityBlockSize = 1024;
    static constexpr size_t IdentityStringMax = 33;

    WSystem(); // selects model 1

    // Loads the row of `code` (an unknown code loads the row of code 0 with a
    // 10 / 30 search window and stores 0), reallocates both buffers and, for
    // code 0, fills them with the counter pattern.
    void SelectModel(int code);

    // An imported capture longer than the model's memory: `ring` (a power
    // of two of at least the model's memory size, and at most MaxImportBytes)
    // becomes the sample ring, and one more depth entry, "Import", holds its
    // `samples`; the entry's index is returned. The saved copy is left empty,
    // since no read-out will overwrite the import: a run gives it up first
    // (SelectModel again). Live captures always use the model's own memory.
    static constexpr uint64_t MaxImportSamples = uint64_t{64} << 20;
    static constexpr uint64_t MaxImportBytes = 4 * MaxImportSamples;
    int TakeImport(std::vector<uint8_t> &&ring, uint32_t samples);
    // True while the ring is an import larger than the model's memory.
    bool HoldsImport() const { return importDepth >= 0; }
    // An import's summary, one word per block of SummaryBlock samples of the
    // ring (aligned on block boundaries): the channels that change in the
    // block, counting the change from the sample before its first (the XORs
    // of each sample with the one before it, ORed). The waveform's compressed
    // columns read it instead of the samples of whole blocks. Empty without
    // an import; every change of an import's samples goes through this class.
    static constexpr uint32_t SummaryBlock = 64;
    std::vector<uint32_t> BlockChanges;
    // Zeroes the ring (and drops the summary, which no longer holds).
    void ClearSamples();
    // The model's own memory size, whatever the ring holds now.
    uint32_t ModelMemorySize() const;

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
    void BuildSummary();
    int importDepth = -1; // the depth entry of an import, -1 without
};
