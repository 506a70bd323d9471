#include "display/WRowLabels.h"

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/Graphics_Waveform.h"
#include "display/TimeText.h"
#include "lang/WSysLanguage.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int OrPatternType = 4;

template <size_t N> const std::string &Pick(const std::array<std::string, N> &words, size_t i)
{
    static const std::string none;
    return i < N ? words[i] : none;
}

std::string ThreeDigits(uint32_t v)
{
    std::string s = std::to_string(v);
    return std::string(s.size() < 3 ? 3 - s.size() : 0, '0') + s;
}

} // namespace

WRowLabels::Texts WRowLabels::Texts::FromLanguage(const WSysLanguage &language)
{
    Texts t;
    t.Low = language.Text(WSysLanguage::strWaveformMenu1Item1);
    t.High = language.Text(WSysLanguage::strWaveformMenu1Item2);
    t.Pattern = language.Text(WSysLanguage::strWaveformMenu1Item7);
    t.OrPatternUp = language.Text(WSysLanguage::strWaveformMenu1Item8);
    t.OrPatternDown = language.Text(WSysLanguage::strWaveformMenu1Item9);
    t.UpArrow = language.Text(WSysLanguage::strWaveformMenu1Item10);
    t.DownArrow = language.Text(WSysLanguage::strWaveformMenu1Item11);
    t.OrBusPattern = t.Pattern;
    return t;
}

WRowLabels::Texts WRowLabels::Texts::OfList()
{
    Texts t;
    t.UpArrow = " \u2191";
    t.DownArrow = " \u2193";
    t.OrBusPattern = "OR Pattern";
    return t;
}

WRowLabels::WRowLabels(Graphics_Waveform &waveform)
    : WRowLabels(waveform, Texts{})
{}

WRowLabels::WRowLabels(Graphics_Waveform &waveform, Texts words)
    : view(waveform)
    , settings(waveform.Settings)
    , texts(std::move(words))
{}

std::span<const uint8_t> WRowLabels::Rows() const
{
    return view.ListedRows();
}

std::string WRowLabels::Name(int row) const
{
    const int channels = view.System.ChannelCount;
    if (row < 0 || row >= view.System.RowCount)
        return {};
    if (row < channels)
        return row < CFile::MaxChannels
                   ? std::string(CFile::NameText(settings.ChannelEntry[static_cast<size_t>(row)]))
                   : std::string();
    const int bus = row - channels;
    if (bus >= CFile::MaxChannels)
        return {};
    return std::string(CFile::NameText(settings.BusEntry[static_cast<size_t>(bus)]));
}

std::string WRowLabels::TriggerText(int row)
{
    const int channels = std::min<int>(view.System.ChannelCount, CFile::MaxChannels);
    if (row < 0 || row >= view.System.RowCount)
        return {};
    const int type = settings.EffectiveTriggerType();
    if (type == PulseWidthType)
        return row == settings.PulseChannel && row < channels ? PulseText() : std::string();
    // Types above 5 come only from a damaged block: they have no pattern row.
    if (type > CFile::PatternRows)
        return {};
    if (row < channels)
        return ChannelText(row, type);
    return BusText(row - view.System.ChannelCount, type);
}

std::string WRowLabels::ChannelText(int channel, int type) const
{
    const uint8_t condition =
        settings.TriggerCondition[static_cast<size_t>(type - 1)][static_cast<size_t>(channel)];
    switch (condition) {
    case CFile::CondLow:
        return texts.Low;
    case CFile::CondHigh:
        return texts.High;
    case CFile::CondX:
        return "X";
    case CFile::CondRise:
        if (type == OrPatternType)
            return texts.OrPatternUp;
        return texts.Pattern + std::to_string(type) + texts.UpArrow;
    case CFile::CondFall:
        if (type == OrPatternType)
            return texts.OrPatternDown;
        return texts.Pattern + std::to_string(type) + texts.DownArrow;
    default:
        return {};
    }
}

std::string WRowLabels::BusText(int bus, int type) const
{
    if (bus < 0 || bus >= CFile::MaxChannels)
        return {};
    const SignalEntry &entry = settings.BusEntry[static_cast<size_t>(bus)];
    const auto &row = settings.TriggerCondition[static_cast<size_t>(type - 1)];
    // A block from a file may carry any width and any member number: at most
    // 16 members, and members that are no channel of the model (the "none"
    // marker among them) have no condition and are left out, as the bus value
    // leaves them out.
    const int width = std::min<int>(entry.BitCount, static_cast<int>(entry.Members.size()));
    const int channels = std::min<int>(view.System.ChannelCount, CFile::MaxChannels);
    std::array<uint8_t, 16> conditions{};
    size_t n = 0;
    for (int k = 0; k < width; ++k) {
        const uint16_t member = entry.Members[static_cast<size_t>(k)];
        if (member < channels)
            conditions[n++] = row[member];
    }
    const std::string pattern = BusPattern(std::span<const uint8_t>(conditions.data(), n));
    if (type == OrPatternType)
        return texts.OrBusPattern + " = " + pattern;
    return texts.Pattern + std::to_string(type) + " = " + pattern;
}

std::string WRowLabels::BusPattern(std::span<const uint8_t> conditions)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const size_t count = conditions.size();
    const size_t groups = (count + BusGroupSize - 1) / BusGroupSize;
    std::string pattern;
    pattern.reserve(groups);
    // The most significant group takes what is left over: count mod 4 members.
    size_t begin = 0;
    for (size_t g = groups; g-- > 0;) {
        const size_t end = count - g * BusGroupSize;
        bool anyX = false;
        bool anyLevel = false;
        bool other = false;
        unsigned digit = 0;
        for (size_t i = begin; i < end; ++i) {
            const uint8_t c = conditions[i];
            digit <<= 1;
            if (c == CFile::CondX)
                anyX = true;
            else if (c == CFile::CondLow || c == CFile::CondHigh) {
                anyLevel = true;
                digit |= c;
            } else
                other = true;
        }
        if (other || (anyX && anyLevel))
            pattern.push_back('$');
        else if (anyX)
            pattern.push_back('X');
        else
            pattern.push_back(Hex[digit]);
        begin = end;
    }
    return pattern;
}

std::string WRowLabels::PulseText()
{
    const uint64_t count = view.PulseCount();

    // The width as PulseCount takes it: the unit clamped to ns..s, and a
    // fraction of a thousand or more (possible only in a block from a file)
    // carried into the whole, so that the text reads as the time in use.
    const int unit = std::clamp<int>(settings.PulseUnit, 1, 4);
    const uint32_t whole = settings.PulseWhole + settings.PulseFraction / 1000u;
    const uint32_t fraction = settings.PulseFraction % 1000u;

    std::string text = Pick(texts.PulseLevels, settings.PulsePolarity);
    text += " ";
    text += Pick(texts.PulseCompares, settings.PulseCompare);
    text += " ";
    text += std::to_string(whole) + "." + ThreeDigits(fraction);
    text += " ";
    text += Pick(texts.PulseUnits, static_cast<size_t>(unit - 1));
    text += " (";
    if (count == 0)
        return text + "Underflow" + ")";
    if (count > DIV_WTime::MaxPulseSamples)
        return text + "Overflow" + ") ";
    const WTime width = TimeMul(view.RatePeriod(), static_cast<uint32_t>(count));
    return text + TimeText(width, view.SamplePeriodUnit) + ")";
}

int WRowLabels::ChannelPanelWidth(int fontSize, std::string_view text, int panel1Width)
{
    // Characters, not bytes: a language's words may be UTF-8.
    const auto length = std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    return fontSize * static_cast<int>(length) + panel1Width;
}
