#include "display/WListRows.h"

#include "device/CFile.h"
#include "display/CCaptureRecord.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::array<const char *, 5> UnitTexts{"", "nS", "uS", "mS", "Sec"};

size_t WriteUnsigned(char *out, uint64_t v)
{
    char digits[24];
    size_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    for (size_t i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    return n;
}

size_t WriteText(char *out, const char *text)
{
    const size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return n;
}

// The highest group among seconds .. nanoseconds that is not zero; 1 when all are.
int HighestGroup(const WTime &t)
{
    for (int k = WTime::Sec; k > WTime::Ps; --k)
        if (t.g[static_cast<size_t>(k)] != 0)
            return k;
    return WTime::Ns;
}

} // namespace

WListRows::WListRows(const CCaptureRecord &captureRecord, const CFile &settingsRecord)
    : record(captureRecord)
    , settings(settingsRecord)
{}

void WListRows::SetColumns(std::span<const uint8_t> rows, int channelCount)
{
    channels = channelCount;
    columns.clear();
    for (const uint8_t row : rows) {
        Column c;
        c.Row = row;
        if (row < channelCount) {
            c.Channel = row;
        } else if (row < 2 * channelCount && row - channelCount < CFile::MaxChannels) {
            const SignalEntry &bus = settings.BusEntry[static_cast<size_t>(row - channelCount)];
            c.Width = std::min<int>(bus.BitCount, MaxMembers);
            c.Base = std::clamp<int>(bus.DisplayFormat, 0, 2);
            for (int k = 0; k < c.Width; ++k) {
                const uint16_t m = bus.Members[static_cast<size_t>(k)];
                // A member the model lacks reads as 0: bit 32 is never set.
                const int bit = m < channelCount ? m : 32;
                c.Members[static_cast<size_t>(k)] = static_cast<uint8_t>(bit);
            }
        } else {
            continue;
        }
        columns.push_back(c);
    }
    cells.assign(static_cast<size_t>(std::max(DataRows(), 0) * ColumnCount()) * CellSize, 0);
}

int WListRows::VisibleRowsOf(int gridHeight)
{
    return std::max(1, (gridHeight - RowHeight) / RowHeight - 2);
}

void WListRows::SetVisibleRows(int rows)
{
    visible = std::max(1, rows);
    cells.assign(static_cast<size_t>(DataRows() * ColumnCount()) * CellSize, 0);
}

int32_t WListRows::RecordFirstOf(uint32_t depthSamples, int triggerPosition)
{
    return -static_cast<int32_t>(static_cast<uint64_t>(depthSamples) *
                                 static_cast<uint32_t>(triggerPosition) / 10);
}

int32_t WListRows::RecordLastOf(uint32_t depthSamples, int triggerPosition)
{
    return static_cast<int32_t>(static_cast<uint64_t>(10 - triggerPosition) * depthSamples / 10);
}

int32_t WListRows::RecordFirst() const
{
    return RecordFirstOf(record.DepthSamples, std::clamp<int>(record.TriggerPosition, 0, 10));
}

int32_t WListRows::RecordLast() const
{
    return RecordLastOf(record.DepthSamples, std::clamp<int>(record.TriggerPosition, 0, 10));
}

void WListRows::SetCurrentIndex(int32_t index)
{
    current = std::clamp(index, RecordFirst(), std::max(RecordFirst(), RecordLast()));
}

uint32_t WListRows::CentreAddress() const
{
    return (record.TriggerAddress + 4u * static_cast<uint32_t>(current)) & record.RingMask();
}

uint32_t WListRows::FirstRowAddress() const
{
    return (CentreAddress() - 4u * static_cast<uint32_t>(Half())) & record.RingMask();
}

char *WListRows::Cell(int dataRow, int column)
{
    return &cells[(static_cast<size_t>(dataRow) * static_cast<size_t>(ColumnCount()) +
                   static_cast<size_t>(column)) *
                  CellSize];
}

void WListRows::Fill()
{
    const int rows = DataRows();
    const int count = ColumnCount();
    const size_t needed = static_cast<size_t>(rows * count) * CellSize;
    if (cells.size() != needed)
        cells.assign(needed, 0);
    const int32_t first = RecordFirst();
    const int32_t last = RecordLast();
    const bool valid = record.CaptureValid != 0;
    const uint32_t mask = record.RingMask();
    uint32_t address = FirstRowAddress();
    int32_t index = FirstIndex();
    for (int r = 0; r < rows; ++r, ++index, address = (address + 4) & mask) {
        if (!valid || index < first || index > last) {
            for (int c = 0; c < count; ++c)
                Cell(r, c)[0] = 0;
            continue;
        }
        const uint64_t word = record.ReadSample(address);
        char *cell = Cell(r, 0);
        cell[0] = static_cast<char>(SampleNumberText(cell + 1, index));
        for (size_t k = 0; k < columns.size(); ++k) {
            const Column &col = columns[k];
            cell = Cell(r, static_cast<int>(k) + 1);
            if (col.Channel >= 0) {
                cell[0] = 1;
                cell[1] = static_cast<char>('0' + ((word >> col.Channel) & 1));
                continue;
            }
            uint32_t value = 0;
            for (int m = 0; m < col.Width; ++m)
                value = (value << 1) | static_cast<uint32_t>((word >> col.Members[m]) & 1);
            cell[0] = static_cast<char>(ValueText(cell + 1, value, col.Width, col.Base));
        }
        cell = Cell(r, count - 1);
        cell[0] = static_cast<char>(TimerText(cell + 1, index, samplePeriod));
    }
}

std::string_view WListRows::Text(int dataRow, int column) const
{
    if (dataRow < 0 || dataRow >= DataRows() || column < 0 || column >= ColumnCount())
        return {};
    const size_t at = (static_cast<size_t>(dataRow) * static_cast<size_t>(ColumnCount()) +
                       static_cast<size_t>(column)) *
                      CellSize;
    if (at + CellSize > cells.size())
        return {};
    return {&cells[at + 1], static_cast<size_t>(static_cast<uint8_t>(cells[at]))};
}

size_t WListRows::SampleNumberText(char *out, int32_t n)
{
    out[0] = n == 0 ? ' ' : n < 0 ? '-' : '+';
    const uint64_t magnitude = n < 0 ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
    return 1 + WriteUnsigned(out + 1, magnitude);
}

size_t WListRows::TimerText(char *out, int32_t n, const WTime &period)
{
    if (n == 0) {
        size_t len = WriteText(out, " 0.0");
        return len + WriteText(out + len,
                               UnitTexts[static_cast<size_t>(HighestGroup(Normalise(period)))]);
    }
    out[0] = n < 0 ? '-' : '+';
    const uint32_t magnitude =
        n < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(n)) : static_cast<uint32_t>(n);
    const WTime t = Normalise(TimeMul(period, magnitude));
    const int k = HighestGroup(t);
    size_t len = 1 + WriteUnsigned(out + 1, t.g[static_cast<size_t>(k)]);
    out[len++] = '.';
    const uint32_t below = t.g[static_cast<size_t>(k - 1)];
    out[len++] = static_cast<char>('0' + below / 100 % 10);
    out[len++] = static_cast<char>('0' + below / 10 % 10);
    out[len++] = static_cast<char>('0' + below % 10);
    return len + WriteText(out + len, UnitTexts[static_cast<size_t>(k)]);
}

size_t WListRows::ValueText(char *out, uint32_t value, int width, int base)
{
    if (width <= 0)
        return 0;
    width = std::min(width, 32);
    switch (base) {
    case 0: {
        static constexpr char Hex[] = "0123456789ABCDEF";
        const int digits = (width + 3) / 4;
        out[0] = '0';
        out[1] = 'x';
        for (int d = 0; d < digits; ++d)
            out[2 + d] = Hex[(value >> (4 * (digits - 1 - d))) & 0xF];
        return static_cast<size_t>(2 + digits);
    }
    case 1:
        return WriteUnsigned(out, value);
    default:
        for (int b = 0; b < width; ++b)
            out[b] = static_cast<char>('0' + ((value >> (width - 1 - b)) & 1));
        return static_cast<size_t>(width);
    }
}

std::string WListRows::SampleNumberText(int32_t n)
{
    char out[CellSize];
    return {out, SampleNumberText(out, n)};
}

std::string WListRows::TimerText(int32_t n, const WTime &period)
{
    char out[CellSize];
    return {out, TimerText(out, n, period)};
}

std::string WListRows::ValueText(uint32_t value, int width, int base)
{
    char out[CellSize];
    return {out, ValueText(out, value, width, base)};
}

int32_t WListRows::IndexOfTime(const WTime &t, const WTime &period)
{
    if (Normalise(period).IsZero())
        return 0;
    const WTimeQuotient q = TimeDivide(Normalise(t), period);
    const auto whole = static_cast<int64_t>(TimeToInt64(q.q));
    if (!t.IsNegative())
        return static_cast<int32_t>(std::min<int64_t>(whole, INT32_MAX));
    const bool exact = Normalise(q.r).IsZero();
    return static_cast<int32_t>(std::max<int64_t>(-(whole + (exact ? 0 : 1)), INT32_MIN));
}

WTime WListRows::TimeOfIndex(int32_t n, const WTime &period)
{
    const uint32_t magnitude =
        n < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(n)) : static_cast<uint32_t>(n);
    WTime t = Normalise(TimeMul(period, magnitude));
    t.sign = n < 0 && !t.IsZero() ? 0 : 1;
    return t;
}
