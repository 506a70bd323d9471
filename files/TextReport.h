#pragma once

#include "display/WTime.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CFile;
class WSystem;

// The text report of a capture: an optional header (file name, date, tester,
// comments), the parameter section (model, rate, memory, port levels,
// trigger mode and patterns) and one line per sample of a range with the
// value of every listed channel and bus. Text files separate columns by tabs,
// comma-separated files by commas; every line ends with a lone carriage
// return. The texts are fixed English.
//
// Sample numbers count from the trigger sample (0), negative before it; the
// capture holds First..Last. A report object also serves the report window's
// preview table: Headings() and Cell() give the data section cell by cell.
//
// Cost: Text() builds the whole file in one string (about 2 bytes per channel
// and per sample: some 70 MB for a million samples of 32 channels), reading
// each sample word once per line; nothing else is allocated per line.
class TextReport
{
public:
    enum class Format { Text = 1, Csv = 2 };

    struct CursorMark
    {
        char Name = 'T';
        int64_t Sample = 0; // the cursor's sample number (see CursorSample)
    };

    // What the report reads of the capture.
    struct Capture
    {
        std::span<const uint8_t> Ring; // the sample ring, 4 bytes per sample
        uint32_t ZeroAddress = 0;      // byte address of sample 0 (the trigger sample)
        uint32_t Mask = 0;             // byte address mask of the ring
        int64_t First = 0;             // sample numbers of the capture's first and last sample
        int64_t Last = 0;
        std::vector<CursorMark> Cursors; // "T", then the user cursors in list order
    };

    struct Options
    {
        Format Kind = Format::Text;
        bool WithParameters = true;
        std::string FileName; // without folder
        std::string Date;
        std::string Time;
        std::string Tester;
        std::string Comments;
        std::string From = "Start"; // a range choice
        std::string To = "End";
    };

    TextReport(const CFile &settings, const WSystem &system, Capture capture);

    // "Start", "End", then the cursor names.
    std::vector<std::string> RangeChoices() const;
    // The sample number a choice stands for, inside First..Last (a cursor
    // outside the capture gives the nearer end); unknown choices give Start.
    int64_t Resolve(std::string_view choice) const;

    // The whole file.
    std::string Text(const Options &options,
                     const std::function<void(int64_t done, int64_t total)> &progress = {}) const;
    std::string Header(const Options &options) const;
    std::string Parameters(const Options &options) const;

    // The preview of the data section: "", "Sample No.", then one column per
    // listed row (channel or bus name).
    std::vector<std::string> Headings() const;
    size_t ColumnCount() const { return 2 + rows.size(); }
    std::string Cell(int64_t sample, size_t column, const Options &options) const;
    bool HasDataSection() const { return !rows.empty(); }

    // The capture's first and last sample numbers: those the state list
    // scrolls between ("GOTO Begin", "GOTO End"), so that a Start-End report
    // has every row the list can show. With `depthSamples` samples and the
    // trigger at `triggerPosition` tenths (0..10) they are
    // -floor(depth * t / 10) and floor((10 - t) * depth / 10).
    struct SampleRange
    {
        int64_t First = 0, Last = 0;
    };
    static SampleRange RecordRange(uint32_t depthSamples, int triggerPosition);

    // A cursor's sample number: its time from the trigger sample over the
    // sample period, rounded toward zero; outside First..Last the smallest
    // or largest 32-bit integer.
    static int64_t CursorSample(const WTime &time, const WTime &period, int64_t first,
                                int64_t last);
    // A bus value in a display format: 0 "0x" and ceil(bits / 4) hexadecimal
    // digits, 1 decimal, 2 binary padded to `bits`.
    static std::string BusValueText(uint32_t value, int bits, int format);
    // "TTL(1.5v)", "CMOS(2.5v)", "ECL(-1.3v)" or whole volts and "v".
    static std::string PortLevelText(int modelCode, uint16_t code);

    static constexpr char LineEnd = '\r';

private:
    struct Row
    {
        bool bus = false;
        int channel = 0;               // a channel's bit
        std::vector<uint16_t> members; // a bus's channels, most significant first
        int bits = 0;
        int format = 0;
        std::string name;
    };

    uint32_t Word(int64_t sample) const;
    void PatternBlock(std::string &out, int row, std::string_view title, bool commas) const;
    // The range end a line names by its cursor letter (0: none).
    struct Mark
    {
        char name = 0;
        int64_t sample = 0;
    };
    Mark MarkOf(const std::string &choice) const;
    std::string Label(int64_t sample, const Mark &from, const Mark &to) const;
    void DataLine(std::string &out, int64_t sample, bool csv, const Mark &from,
                  const Mark &to) const;

    const CFile &file;
    const WSystem &sys;
    Capture cap;
    std::vector<Row> rows;
};
