#pragma once

// The state list's table without its widgets: which sample each row shows,
// the signal columns taken from the signal list, and the texts of the visible
// rows (sample number relative to the reference sample, channel bits, bus
// values in each bus's base, the time of the row). Qt-free: the Listing page
// shows Text() through a table model and asks for nothing else per cell.
//
// Sample index n of the table is ring address TriggerAddress + 4n of the
// capture record, and time n x sample period relative to the reference
// sample. Only the visible rows are ever filled: Fill() reads one sample word
// per row and writes the row's texts into a buffer of fixed-size cells that
// is allocated when the row or column count changes, never per fill.
//
// The capture record and the settings record are referenced, not owned, and
// must outlive this object.

#include "display/WTime.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CCaptureRecord;
class CFile;

class WListRows
{
public:
    static constexpr int FixedRows = 2;  // names and trigger texts
    static constexpr int RowHeight = 20; // pixels of every grid row
    static constexpr int MaxMembers = 16;
    static constexpr size_t CellSize = 40; // room of one cell text

    // One signal column: a channel bit or a bus value.
    struct Column
    {
        int Row = 0;      // signal row: a channel, or the channel count + a bus index
        int Channel = -1; // channel columns; -1 for a bus
        int Width = 0;    // bus members that take part (0..16)
        int Base = 0;     // bus: 0 hexadecimal, 1 decimal, 2 binary
        std::array<uint8_t, MaxMembers> Members{}; // most significant first
    };

    WListRows(const CCaptureRecord &record, const CFile &settings);

    // The signal columns of the listed rows, for a model of `channelCount`
    // channels. A row that is neither a channel nor a bus of the model gives
    // no column; a bus wider than 16 members takes its first 16, members the
    // model lacks read as 0.
    void SetColumns(std::span<const uint8_t> rows, int channelCount);
    const std::vector<Column> &Columns() const { return columns; }
    // Sample number, the signal columns, the time.
    int ColumnCount() const { return static_cast<int>(columns.size()) + 2; }
    int TimeColumn() const { return ColumnCount() - 1; }

    // Rows of a grid `gridHeight` pixels high: (height - 20) / 20 - 2, at
    // least 1. The grid shows FixedRows + visible rows - 1 rows.
    static int VisibleRowsOf(int gridHeight);
    void SetVisibleRows(int visible);
    int VisibleRows() const { return visible; }
    int DataRows() const { return visible - 1; }
    // The data row of the current sample.
    int Half() const { return visible / 2; }

    // The record's first and last sample index: -floor(depth x t / 10) and
    // floor((10 - t) x depth / 10), t the trigger position in tenths.
    static int32_t RecordFirstOf(uint32_t depthSamples, int triggerPosition);
    static int32_t RecordLastOf(uint32_t depthSamples, int triggerPosition);
    int32_t RecordFirst() const;
    int32_t RecordLast() const;

    // The scroll position: the sample index of the current row, kept inside
    // RecordFirst .. RecordLast.
    void SetCurrentIndex(int32_t index);
    int32_t CurrentIndex() const { return current; }
    int32_t FirstIndex() const { return current - Half(); }
    // Ring addresses of the current and the first data row (masked).
    uint32_t CentreAddress() const;
    uint32_t FirstRowAddress() const;

    void SetSamplePeriod(const WTime &period) { samplePeriod = period; }
    const WTime &SamplePeriod() const { return samplePeriod; }

    // The texts of every data row from the ring. Rows whose index lies outside
    // the record, and every row without a valid capture, stay empty.
    void Fill();
    // A filled text; empty outside the filled rows or columns.
    std::string_view Text(int dataRow, int column) const;
    // The sample index a data row shows.
    int32_t IndexOfRow(int dataRow) const { return FirstIndex() + dataRow; }

    // The row texts.
    // " 0" for the reference sample, "-" or "+" followed by the count.
    static size_t SampleNumberText(char *out, int32_t n);
    // The time of sample n: " 0.0" + the unit of the sample period for the
    // reference row, else the sign and |n| x period as the highest non-zero
    // group among seconds .. nanoseconds, "." and the next group in three
    // digits, and "nS", "uS", "mS" or "Sec" (e.g. "+1.500uS").
    static size_t TimerText(char *out, int32_t n, const WTime &period);
    // A bus value: "0x" and ceil(width / 4) upper-case hexadecimal digits,
    // the decimal value, or the last `width` characters of its 32-digit
    // binary text. Nothing for a bus of width 0.
    static size_t ValueText(char *out, uint32_t value, int width, int base);
    static std::string SampleNumberText(int32_t n);
    static std::string TimerText(int32_t n, const WTime &period);
    static std::string ValueText(uint32_t value, int width, int base);

    // The sample a time relative to the reference sample falls on
    // (floor(t / period)); 0 with a zero period.
    static int32_t IndexOfTime(const WTime &t, const WTime &period);
    // n x period with the sign of n.
    static WTime TimeOfIndex(int32_t n, const WTime &period);

private:
    char *Cell(int dataRow, int column);

    const CCaptureRecord &record;
    const CFile &settings;
    std::vector<Column> columns;
    int channels = 16;
    int visible = 1;
    int32_t current = 0;
    WTime samplePeriod;
    std::vector<char> cells; // DataRows() x ColumnCount() cells, length byte first
};
