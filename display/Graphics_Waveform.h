#pragma once

// The row table and the per-column arrays of the waveform view, and the
// column conversion that fills them from the sample ring. Qt-free.
//
// The view is one chain of classes:
//   DIV_WTime          time base (time per pixel, sample period, spans)
//   Graphics_Waveform  row table, the four per-column arrays, BuildColumns
//   CWaveformCore      record placement, view position, PlaceWindow, Goto*,
//                      scroll and ruler arithmetic
//   CWaveform          (window code) adds Graphics_Device: widgets, the two
//                      layers, the ruler image, and draws the arrays through
//                      Plotrune.
// Nothing here is virtual. Tests and benchmarks use CWaveformCore (or this
// class with a hand-made placement) without any window.
//
// Cost: the four arrays hold 32 rows x 1024 columns (7 bytes a cell, 224 KiB)
// and are allocated once with the object; the row table has one entry per row
// of the model and is reallocated by AllocateRows on a model change.
// BuildColumns allocates nothing. Zoomed in it reads one 32-bit word per
// column (at most 1024); compressed it reads every sample of the window once
// (SamplesPerPixel, +1 on some columns) plus one look-ahead word per column,
// and per sample costs an XOR, an OR and one mask test per listed bus.

#include "display/DIV_WTime.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class Graphics_Waveform : public DIV_WTime
{
public:
    static constexpr int ColumnCount = 1024; // pixel columns of every per-column array
    static constexpr int MaxRows = 32;       // rows of every per-column array
    static constexpr int MaxMembers = 16;    // member channels of a bus
    // Column k is drawn at x = k - 21: columns 0..20 lie left of the picture.
    static constexpr int HiddenColumns = 21;

    // Shape codes drawn by Plotrune.
    enum Shape : uint8_t {
        CellOpen = 0,
        CellBody = 1,
        CellClose = 2,
        OnesRampUp = 3,
        High = 4,
        OnesRampDown = 5,
        ZeroRampDown = 6,
        Low = 7,
        ZeroRampUp = 8,
        Edge = 9, // edge or activity: a filled column
        NoData = 255,
    };

    // Display bases of the bus value texts.
    enum Base : int32_t { Hexadecimal = 0, Decimal = 1, Binary = 2 };

    // Row number 8g + k takes entry k (0x00BBGGRR colours).
    static constexpr std::array<int32_t, 8> Palette{0x000080, 0x0000FF, 0x008080, 0x00FFFF,
                                                    0x008000, 0xFF0000, 0x800080, 0xC0C0C0};

    // One row of the signal list: a channel (row < channel count) or a bus.
    struct RowEntry
    {
        uint8_t Visible = 0; // the row number is in the signal list
        int32_t Colour = 0;
        int16_t BusWidth = 0;
        std::array<int16_t, MaxMembers> Members{}; // most significant first; row count = none
        int16_t ValueTextFlag = 1;                 // channel rows: write level texts
        int32_t DisplayBase = Hexadecimal;
        int32_t AllOnesValue = 1;
        int32_t ZeroValue = 0;
        // Conversion state, reset by every BuildColumns.
        int32_t PreviousValue = 0; // level (9 when active) or bus value of the previous column
        int32_t CurrentValue = 0;
        int32_t PairValue = 0; // level remembered at even columns (two pixels per sample)
        int32_t PairSaved = 0;
        int16_t RunLength = 0; // columns of the current bus run, minus one
        int16_t RunStart = 0;
        int16_t ChangeCount = 0;
        int32_t LastDrawnValue = 0;
        uint8_t RunMarked = 0; // the current bus run began with a changing column
    };

    // Where the window lies in the ring; PlaceWindow (CWaveformCore) fills it.
    struct WindowPlacement
    {
        uint16_t FirstColumn = ColumnCount; // first column with data; 1024 draws nothing
        uint32_t FirstAddress = 0;          // ring address of the sample at FirstColumn
        // Zoomed in: columns the first sample still covers after FirstColumn.
        // Compressed: the phase of the fraction accumulator.
        uint32_t Phase = 0;
        uint32_t Parity = 0; // two pixels per sample: columns of this parity are not compared
        WTime SampleTime;    // time of the first sample drawn, relative to the trigger sample
    };

    using ShapeRow = std::array<uint8_t, ColumnCount>;
    using ValueRow = std::array<int32_t, ColumnCount>;
    struct ColumnArrays
    {
        std::array<ShapeRow, MaxRows> ChannelShapes;
        std::array<ShapeRow, MaxRows> ChannelLevels; // 0/1, a running mark at edge columns
        std::array<ShapeRow, MaxRows> BusShapes;     // row = bus index (row - channel count)
        std::array<ValueRow, MaxRows> BusValues;     // a running mark at changing columns
    };

    Graphics_Waveform(const WSystem &system, CFile &settings);

    // Model change: one entry per row of the model, palette colours, no
    // members ("none"), nothing visible.
    void AllocateRows();

    // The row table from the signal list and the bus definitions of the
    // settings record: listed rows visible, bus widths (0..16), members and
    // all-ones values. Time rows and the delay are CWaveformCore's part.
    void RefreshRowTable();

    // The rows of the signal list: DisplayOrder up to its first entry that is
    // not a row number (the row count marks the end), at most channel-count
    // entries.
    std::span<const uint8_t> ListedRows() const;

    // The popup's hexadecimal / decimal / binary commands. Rows or bases out of
    // range are ignored.
    void SetDisplayBase(int row, int base);

    // Fills the four arrays for columns FirstColumn .. 1023 from the ring of
    // WSystem in the regime of the time base (UpdateTimeBase first). Columns
    // without data keep shape 255. Every read is masked into the ring, and no
    // sample after the record's end (SampleTime reaching PostSpan) is shown.
    void BuildColumns(const WindowPlacement &window);

    // Writes the shapes of a closed bus run: columns start .. start + length
    // (length is the run's columns minus one) for value x. Columns outside the
    // row are skipped.
    static void CloseRun(std::span<uint8_t, ColumnCount> shapes, int start, int length, int32_t x,
                         int32_t allOnes, int32_t zero);

    std::vector<RowEntry> Rows;

    using ShapeSpan = std::span<const uint8_t, ColumnCount>;
    using ValueSpan = std::span<const int32_t, ColumnCount>;
    const ColumnArrays &Columns() const { return *columns; }
    ShapeSpan ChannelShapes(int row) const;
    ShapeSpan ChannelLevels(int row) const;
    ShapeSpan BusShapes(int bus) const;
    ValueSpan BusValues(int bus) const;

    // The last column BuildColumns filled (-1 when none), and the number of
    // samples it took from the ring.
    int LastColumn() const { return lastColumn; }
    uint64_t SamplesRead() const { return samplesRead; }

private:
    struct BusScan
    {
        int bus = 0;       // bus index
        uint32_t mask = 0; // member bits in a sample word
        int memberCount = 0;
        std::array<uint8_t, MaxMembers> bits{}; // member channels, most significant first
        // Members that are consecutive channels, highest first (the usual
        // bus), compose with one shift.
        bool consecutive = false;
        uint32_t shift = 0;
        uint32_t Compose(uint32_t word) const
        {
            if (consecutive)
                return (word & mask) >> shift;
            uint32_t v = 0;
            for (int i = 0; i < memberCount; ++i)
                v = (v << 1) | ((word >> bits[static_cast<size_t>(i)]) & 1u);
            return v;
        }
    };

    void ResetColumns(uint16_t firstColumn);
    int PrepareBuses();
    uint64_t RecordSamplesLeft(const WindowPlacement &window) const;
    uint32_t Word(uint32_t address) const;
    void BuildZoomedIn(const WindowPlacement &window, uint64_t samplesLeft);
    void BuildCompressed(const WindowPlacement &window, uint64_t samplesLeft);
    // The changes of `n` samples from `p` (or from ring byte `address`, not
    // wrapping) after the sample `previous`: channel activity, per-bus change
    // counts; returns the last sample. ScanSummarised reads whole blocks of
    // an import from WSystem::BlockChanges, counting a bus exactly only up
    // to two changes (all a column needs).
    uint32_t ScanAll(const uint8_t *p, uint64_t n, uint32_t previous, const uint32_t *masks,
                     uint32_t *counts, size_t busTotal, uint32_t &activity);
    uint32_t ScanSummarised(uint32_t address, uint64_t n, uint32_t previous, const uint32_t *masks,
                            uint32_t *counts, size_t busTotal, uint32_t &activity);
    void ZoomedChannel(int c, const WindowPlacement &window, int last);
    void CompressedBusColumn(int bus, RowEntry &row, int col, int first);
    void CloseBusRun(int bus, RowEntry &row, int32_t value, int last);
    uint8_t NextMark() { return ++mark; }

    std::unique_ptr<ColumnArrays> columns;
    std::array<uint32_t, ColumnCount> words{}; // sample word of every column (zoomed in)
    std::array<BusScan, MaxRows> buses{};      // the listed buses of this conversion
    int busCount = 0;
    uint8_t mark = 127;
    int lastColumn = -1;
    uint64_t samplesRead = 0;
    uint32_t channelCount = 0;
};
