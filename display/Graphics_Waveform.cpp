#include "display/Graphics_Waveform.h"

#include "device/CFile.h"
#include "device/WSystem.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "sample words are read straight from the little-endian ring");

namespace {

// A time value as signed picoseconds (exact: the largest times of the view are
// hours, far below 2^63 ps).
int64_t Picoseconds(const WTime &t)
{
    const auto v = static_cast<int64_t>(TimeToInt64(t));
    return t.sign ? v : -v;
}

uint8_t LevelShape(uint32_t level)
{
    return level ? Graphics_Waveform::High : Graphics_Waveform::Low;
}

uint32_t Load(const uint8_t *p)
{
    uint32_t w = 0;
    std::memcpy(&w, p, 4);
    return w;
}

} // namespace

Graphics_Waveform::Graphics_Waveform(const WSystem &system, CFile &settings)
    : DIV_WTime(system, settings)
    , columns(std::make_unique<ColumnArrays>())
{
    AllocateRows();
    ResetColumns(ColumnCount);
}

void Graphics_Waveform::AllocateRows()
{
    Rows.assign(System.RowCount, RowEntry{});
    for (size_t i = 0; i < Rows.size(); ++i) {
        Rows[i].Colour = Palette[i % Palette.size()];
        Rows[i].Members.fill(static_cast<int16_t>(System.RowCount));
    }
}

std::span<const uint8_t> Graphics_Waveform::ListedRows() const
{
    const size_t limit = std::min<size_t>(System.ChannelCount, Settings.DisplayOrder.size());
    size_t n = 0;
    while (n < limit && Settings.DisplayOrder[n] < System.RowCount)
        ++n;
    return {Settings.DisplayOrder.data(), n};
}

void Graphics_Waveform::RefreshRowTable()
{
    if (Rows.size() != System.RowCount)
        AllocateRows();
    for (RowEntry &row : Rows)
        row.Visible = 0;
    for (uint8_t r : ListedRows())
        Rows[r].Visible = 1;

    const size_t first = System.ChannelCount;
    for (size_t row = first; row < Rows.size(); ++row) {
        const size_t bus = row - first;
        if (bus >= Settings.BusEntry.size())
            break;
        const SignalEntry &entry = Settings.BusEntry[bus];
        // A settings block from a file may carry any width; a bus has at most
        // 16 members, and the all-ones value must stay a defined shift.
        const int width = std::min<int>(entry.BitCount, MaxMembers);
        RowEntry &r = Rows[row];
        r.BusWidth = static_cast<int16_t>(width);
        r.Members.fill(static_cast<int16_t>(System.RowCount));
        for (int j = 0; j < width; ++j)
            r.Members[static_cast<size_t>(j)] =
                static_cast<int16_t>(entry.Members[static_cast<size_t>(j)]);
        r.AllOnesValue = static_cast<int32_t>((1u << width) - 1);
        r.ZeroValue = 0;
    }
}

void Graphics_Waveform::SetDisplayBase(int row, int base)
{
    if (row < 0 || static_cast<size_t>(row) >= Rows.size() || base < Hexadecimal || base > Binary)
        return;
    Rows[static_cast<size_t>(row)].DisplayBase = base;
}

Graphics_Waveform::ShapeSpan Graphics_Waveform::ChannelShapes(int row) const
{
    return columns->ChannelShapes[static_cast<size_t>(row)];
}

Graphics_Waveform::ShapeSpan Graphics_Waveform::ChannelLevels(int row) const
{
    return columns->ChannelLevels[static_cast<size_t>(row)];
}

Graphics_Waveform::ShapeSpan Graphics_Waveform::BusShapes(int bus) const
{
    return columns->BusShapes[static_cast<size_t>(bus)];
}

Graphics_Waveform::ValueSpan Graphics_Waveform::BusValues(int bus) const
{
    return columns->BusValues[static_cast<size_t>(bus)];
}

void Graphics_Waveform::CloseRun(std::span<uint8_t, ColumnCount> shapes, int start, int length,
                                 int32_t x, int32_t allOnes, int32_t zero)
{
    if (length < 0)
        return;
    const int n = length;
    const int h = (n + 1) / 2;
    // Opening, body and closing codes, and whether the value is drawn as a cell
    // (opening and closing ramps of 7 columns with a body between) or as two
    // ramps meeting in the middle.
    uint8_t open = CellOpen;
    uint8_t body = CellBody;
    uint8_t close = CellClose;
    bool cell = n > 13;
    if (x == allOnes) {
        open = OnesRampUp;
        body = High;
        close = OnesRampDown;
        cell = n > 14;
    } else if (x == zero) {
        open = ZeroRampDown;
        body = Low;
        close = ZeroRampUp;
        cell = n > 14;
    }
    for (int j = 0; j <= n; ++j) {
        const int col = start + j;
        if (col < 0 || col >= ColumnCount)
            continue;
        uint8_t s = Edge;
        if (n > 1) {
            if (cell)
                s = j <= 6 ? open : (j >= n - 7 ? close : body);
            else
                s = j < h ? open : close;
        }
        shapes[static_cast<size_t>(col)] = s;
    }
}

void Graphics_Waveform::ResetColumns(uint16_t firstColumn)
{
    ColumnArrays &a = *columns;
    for (auto &r : a.ChannelShapes)
        r.fill(NoData);
    for (auto &r : a.ChannelLevels)
        r.fill(0);
    for (auto &r : a.BusShapes)
        r.fill(NoData);
    for (auto &r : a.BusValues)
        r.fill(0);
    for (RowEntry &row : Rows) {
        row.PreviousValue = 0;
        row.CurrentValue = 0;
        row.PairValue = 0;
        row.PairSaved = 0;
        row.RunLength = 0;
        row.RunStart = static_cast<int16_t>(firstColumn);
        row.ChangeCount = 0;
        row.LastDrawnValue = 0;
        row.RunMarked = 0;
    }
}

int Graphics_Waveform::PrepareBuses()
{
    busCount = 0;
    const size_t first = System.ChannelCount;
    for (size_t row = first; row < Rows.size() && busCount < MaxRows; ++row) {
        const RowEntry &r = Rows[row];
        if (!r.Visible)
            continue;
        BusScan &b = buses[static_cast<size_t>(busCount++)];
        b = BusScan{};
        b.bus = static_cast<int>(row - first);
        for (int16_t m : r.Members) {
            if (m < 0 || m >= static_cast<int>(channelCount))
                continue; // "none"
            b.bits[static_cast<size_t>(b.memberCount++)] = static_cast<uint8_t>(m);
            b.mask |= 1u << m;
        }
        b.consecutive = b.memberCount > 0;
        for (int i = 1; i < b.memberCount; ++i)
            b.consecutive = b.consecutive && b.bits[static_cast<size_t>(i)] + i == b.bits[0];
        b.shift = b.memberCount > 0 ? b.bits[static_cast<size_t>(b.memberCount - 1)] : 0;
    }
    return busCount;
}

uint64_t Graphics_Waveform::RecordSamplesLeft(const WindowPlacement &window) const
{
    // The samples from the first drawn one up to the record's end: sample k
    // (counted from the first drawn) is the last one when SampleTime + k x P
    // has not reached PostSpan but SampleTime + (k + 1) x P has.
    const int64_t period = Picoseconds(SamplePeriod);
    const int64_t start = Picoseconds(window.SampleTime);
    const int64_t end = Picoseconds(PostSpan);
    if (period <= 0 || start >= end)
        return 0;
    return static_cast<uint64_t>((end - start + period - 1) / period);
}

uint32_t Graphics_Waveform::Word(uint32_t address) const
{
    return Load(System.SampleBuffer.data() + (address & System.AddressMask & ~3u));
}

void Graphics_Waveform::BuildColumns(const WindowPlacement &window)
{
    lastColumn = -1;
    samplesRead = 0;
    mark = 127;
    if (Rows.size() != System.RowCount)
        AllocateRows(); // the model changed and the table was not refreshed yet
    channelCount = std::min<uint32_t>(System.ChannelCount, MaxRows);
    ResetColumns(window.FirstColumn);
    if (window.FirstColumn >= ColumnCount)
        return;
    if (System.MemorySize < 4 || System.SampleBuffer.size() < System.MemorySize)
        return;
    PrepareBuses();
    const uint64_t left = RecordSamplesLeft(window);
    if (left == 0)
        return;
    if (PixelsPerSample > 0)
        BuildZoomedIn(window, left);
    else if (SamplesPerPixel > 0)
        BuildCompressed(window, left);
}

// --- Zoomed in: every sample spans PixelsPerSample columns ------------------

void Graphics_Waveform::BuildZoomedIn(const WindowPlacement &window, uint64_t samplesLeft)
{
    const int first = window.FirstColumn;
    uint64_t v = 0;
    uint32_t counter = window.Phase;
    int last = -1;
    for (int col = first; col < ColumnCount; ++col) {
        // The record ends before this column's sample (its time reached PostSpan).
        if (v >= samplesLeft)
            break;
        const uint32_t address = window.FirstAddress + 4u * static_cast<uint32_t>(v);
        words[static_cast<size_t>(col)] = Word(address);
        last = col;
        samplesRead = v + 1;
        if (counter > 0) {
            --counter;
        } else {
            ++v;
            counter = PixelsPerSample - 1;
        }
    }
    lastColumn = last;
    if (last < first)
        return;

    for (int c = 0; c < static_cast<int>(channelCount); ++c)
        ZoomedChannel(c, window, last);

    for (int i = 0; i < busCount; ++i) {
        const BusScan &b = buses[static_cast<size_t>(i)];
        RowEntry &row = Rows[channelCount + static_cast<size_t>(b.bus)];
        auto &values = columns->BusValues[static_cast<size_t>(b.bus)];
        auto &shapes = columns->BusShapes[static_cast<size_t>(b.bus)];
        int start = first;
        int length = 0;
        // The previous column's value; before the first column the levels
        // are reset to 0, except at column 0, which has no predecessor.
        uint32_t value = first == 0 ? b.Compose(words[0]) : 0;
        for (int col = first; col <= last; ++col) {
            const uint32_t previous = value;
            value = b.Compose(words[static_cast<size_t>(col)]);
            values[static_cast<size_t>(col)] = static_cast<int32_t>(value);
            if (value == previous) {
                if (col == ColumnCount - 1)
                    CloseRun(shapes, start, length, static_cast<int32_t>(value), row.AllOnesValue,
                             row.ZeroValue);
                else
                    ++length;
            } else {
                CloseRun(shapes, start, length, static_cast<int32_t>(previous), row.AllOnesValue,
                         row.ZeroValue);
                length = 0;
                start = col;
            }
        }
        row.RunStart = static_cast<int16_t>(start);
        row.RunLength = static_cast<int16_t>(length);
        row.CurrentValue = static_cast<int32_t>(value);
        row.PreviousValue = static_cast<int32_t>(value);
        row.LastDrawnValue = static_cast<int32_t>(value);
        CloseBusRun(b.bus, row, static_cast<int32_t>(value), last);
    }
}

void Graphics_Waveform::ZoomedChannel(int c, const WindowPlacement &window, int last)
{
    auto &shapes = columns->ChannelShapes[static_cast<size_t>(c)];
    auto &levels = columns->ChannelLevels[static_cast<size_t>(c)];
    const int first = window.FirstColumn;
    RowEntry &row = Rows[static_cast<size_t>(c)];
    uint32_t level = 0;
    if (PixelsPerSample == 2) {
        // Two columns per sample: levels are compared once per sample, at the
        // columns whose parity differs from Parity, against the level taken at
        // column 0 and at every even column. A change fills both columns of
        // the new sample; a steady sample gives back a filled column before it.
        uint32_t remembered = 0;
        for (int col = first; col <= last; ++col) {
            const auto i = static_cast<size_t>(col);
            level = (words[i] >> c) & 1u;
            levels[i] = static_cast<uint8_t>(level);
            const uint8_t s = LevelShape(level);
            if (col == 0) {
                shapes[0] = s;
                if (last >= 1)
                    shapes[1] = s;
            } else if ((static_cast<uint32_t>(col) & 1u) != window.Parity) {
                const uint8_t fill = level == remembered ? s : static_cast<uint8_t>(Edge);
                shapes[i] = fill;
                if (col < last)
                    shapes[i + 1] = fill;
                if (level == remembered && shapes[i - 1] == Edge)
                    shapes[i - 1] = s;
            }
            if (col == 0 || (col & 1) == 0)
                remembered = level;
        }
        row.PairSaved = static_cast<int32_t>(remembered);
    } else {
        uint32_t previous = 0;
        for (int col = first; col <= last; ++col) {
            const auto i = static_cast<size_t>(col);
            level = (words[i] >> c) & 1u;
            levels[i] = static_cast<uint8_t>(level);
            shapes[i] =
                (col > 0 && level != previous) ? static_cast<uint8_t>(Edge) : LevelShape(level);
            previous = level;
        }
    }
    row.CurrentValue = static_cast<int32_t>(level);
    row.PreviousValue = static_cast<int32_t>(level);
}

// The pending run of a bus after the last column: closed with the bus's last
// value, which its values over the run take too. A run never reaches past the
// last column that has data.
void Graphics_Waveform::CloseBusRun(int bus, RowEntry &row, int32_t value, int last)
{
    const int start = row.RunStart;
    if (start > last)
        return;
    const int length = std::min<int>(row.RunLength, last - start);
    CloseRun(columns->BusShapes[static_cast<size_t>(bus)], start, length, value, row.AllOnesValue,
             row.ZeroValue);
    auto &values = columns->BusValues[static_cast<size_t>(bus)];
    for (int col = std::max(start, 0); col <= start + length; ++col)
        values[static_cast<size_t>(col)] = value;
}

// --- Compressed: every column covers SamplesPerPixel (+1) samples -----------

void Graphics_Waveform::BuildCompressed(const WindowPlacement &window, uint64_t samplesLeft)
{
    const int first = window.FirstColumn;
    const uint8_t *ring = System.SampleBuffer.data();
    const uint32_t ringMask = System.AddressMask;
    const uint32_t ringSize = System.MemorySize;
    // An import's summary stands for the samples of its whole blocks.
    const bool summarised =
        !System.BlockChanges.empty() &&
        uint64_t{System.BlockChanges.size()} * WSystem::SummaryBlock * 4 == ringSize;

    // Rounded up to whole groups of four for ScanStretch; unused masks are 0.
    std::array<uint32_t, MaxRows + 4> counts{};
    std::array<uint32_t, MaxRows + 4> masks{};
    for (int i = 0; i < busCount; ++i)
        masks[static_cast<size_t>(i)] = buses[static_cast<size_t>(i)].mask;
    const auto nb = static_cast<size_t>(busCount);

    const uint32_t channelBits = channelCount >= 32 ? ~0u : (1u << channelCount) - 1;
    uint32_t previousLevels = 0; // before the first column every level counts as 0
    uint32_t previousActive = 0;

    uint64_t v = 0;
    float acc = 0;
    for (int col = first; col < ColumnCount; ++col) {
        if (v >= samplesLeft)
            break;
        const auto ci = static_cast<size_t>(col);
        const uint32_t firstWord = Word(window.FirstAddress + 4u * static_cast<uint32_t>(v));
        ++samplesRead;
        acc = col == first ? static_cast<float>(window.Phase) * FractionPerPixel
                           : acc + FractionPerPixel;
        uint32_t extra = 0;
        if (acc >= 0.9999f) {
            extra = 1;
            acc = 0;
        }
        ++v;

        for (size_t i = 0; i < nb; ++i) {
            const BusScan &b = buses[i];
            RowEntry &row = Rows[channelCount + static_cast<size_t>(b.bus)];
            const auto cur = static_cast<int32_t>(b.Compose(firstWord));
            counts[i] = (!row.RunMarked && row.LastDrawnValue != cur) ? 1 : 0;
            row.CurrentValue = cur;
        }

        bool lastColumnOfRecord = v >= samplesLeft;
        uint32_t activity = 0;
        uint32_t lastWord = firstWord;
        if (!lastColumnOfRecord) {
            // The rest of the column's samples, in at most two stretches of
            // the ring (it may wrap inside the column).
            uint64_t take = std::min<uint64_t>(SamplesPerPixel - 1 + extra, samplesLeft - v);
            uint32_t address = (window.FirstAddress + 4u * static_cast<uint32_t>(v)) & ringMask;
            v += take;
            samplesRead += take;
            while (take > 0) {
                const uint64_t stretch = std::min<uint64_t>(take, (ringSize - address) / 4);
                lastWord = summarised ? ScanSummarised(address, stretch, lastWord, masks.data(),
                                                       counts.data(), nb, activity)
                                      : ScanAll(ring + address, stretch, lastWord, masks.data(),
                                                counts.data(), nb, activity);
                take -= stretch;
                address = 0;
            }
            lastColumnOfRecord = v >= samplesLeft;
            if (!lastColumnOfRecord) {
                // A change between this column's last sample and the next
                // column's first one counts here too.
                const uint32_t next = Word(window.FirstAddress + 4u * static_cast<uint32_t>(v));
                for (size_t i = 0; i < nb; ++i)
                    counts[i] += ((next ^ lastWord) & masks[i]) != 0;
            }
        }

        // Channels, all 32 at once as bits: a channel is drawn as an edge
        // (9) when it is active in this column, or when its level differs from
        // the previous column's and that one was not active. Edge columns take
        // running marks in channel order.
        const uint32_t active = activity & channelBits;
        const uint32_t edges =
            col == 0 ? active : active | (~previousActive & (firstWord ^ previousLevels));
        for (uint32_t c = 0; c < channelCount; ++c) {
            const uint32_t level = (firstWord >> c) & 1u;
            columns->ChannelShapes[c][ci] = LevelShape(level);
            columns->ChannelLevels[c][ci] = static_cast<uint8_t>(level);
        }
        for (uint32_t e = edges & channelBits; e != 0; e &= e - 1) {
            const auto c = static_cast<size_t>(std::countr_zero(e));
            columns->ChannelShapes[c][ci] = Edge;
            columns->ChannelLevels[c][ci] = NextMark();
        }
        previousActive = active;
        previousLevels = firstWord;

        for (size_t i = 0; i < nb; ++i) {
            const BusScan &b = buses[i];
            RowEntry &row = Rows[channelCount + static_cast<size_t>(b.bus)];
            row.PreviousValue = static_cast<int32_t>(b.Compose(lastWord));
            row.ChangeCount = static_cast<int16_t>(std::min<uint32_t>(counts[i], 2));
            if (!lastColumnOfRecord)
                CompressedBusColumn(b.bus, row, col, first);
            row.LastDrawnValue = row.PreviousValue;
        }

        lastColumn = col;
        if (lastColumnOfRecord)
            break;
    }

    for (uint32_t c = 0; c < channelCount; ++c) {
        RowEntry &row = Rows[c];
        row.CurrentValue = (previousActive >> c) & 1u
                               ? int32_t{Edge}
                               : static_cast<int32_t>((previousLevels >> c) & 1u);
        row.PreviousValue = row.CurrentValue;
    }
    for (int i = 0; i < busCount; ++i) {
        const BusScan &b = buses[static_cast<size_t>(i)];
        RowEntry &row = Rows[channelCount + static_cast<size_t>(b.bus)];
        CloseBusRun(b.bus, row, row.PreviousValue, lastColumn);
    }
}

void Graphics_Waveform::CompressedBusColumn(int bus, RowEntry &row, int col, int first)
{
    auto &shapes = columns->BusShapes[static_cast<size_t>(bus)];
    auto &values = columns->BusValues[static_cast<size_t>(bus)];
    const auto ci = static_cast<size_t>(col);
    if (row.ChangeCount == 0) {
        ++row.RunLength;
        row.RunMarked = 0;
        values[ci] = col == first ? row.CurrentValue : row.PreviousValue;
        return;
    }
    CloseRun(shapes, row.RunStart, row.RunLength, row.LastDrawnValue, row.AllOnesValue,
             row.ZeroValue);
    if (row.ChangeCount == 1) {
        values[ci] = NextMark();
    } else {
        // More than one change: the column before ends in an edge. (Not before
        // the first column with data.)
        if (col - 1 >= first)
            shapes[ci - 1] = Edge;
        row.LastDrawnValue = row.CurrentValue;
        values[ci] = row.CurrentValue;
    }
    row.RunStart = static_cast<int16_t>(col);
    row.RunLength = 0;
    row.RunMarked = 1;
}
