#include "gather/CFileSystem.h"

#include "device/CFile.h"
#include "gather/ParameterFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <sys/stat.h>

namespace {

constexpr std::string_view Property = "Property";

constexpr std::array<std::string_view, 21> SampleRates{
    "250MHZ", "100MHZ", "50MHZ",  "25MHZ",  "10MHZ", "5MHZ",  "2.5MHZ",
    "1MHZ",   "500KHZ", "250KHZ", "100KHZ", "50KHZ", "25KHZ", "10KHZ",
    "5KHZ",   "2.5KHZ", "1K",     "500HZ",  "250HZ", "100HZ", "50HZ"};
constexpr std::array<std::string_view, 13> RamSizes{"AUTO",  "512B",  "1KB",  "2KB",  "4KB",
                                                    "8KB",   "16KB",  "32KB", "64KB", "128KB",
                                                    "256KB", "512KB", "1MB"};
constexpr std::array<std::string_view, 11> MainDelays{"0%",  "10%", "20%", "30%", "40%", "50%",
                                                      "60%", "70%", "80%", "90%", "100%"};
constexpr std::array<std::string_view, 2> OffOn{"OFF", "ON"};
constexpr std::array<std::string_view, 5> TriggerModes{"PATTERN1", "PATTERN2", "PATTERN3",
                                                       "PATTERNOR", "PULSEWIDTH"};
constexpr std::array<std::string_view, 4> PatternKeys{"TriggerPattern1", "TriggerPattern2",
                                                      "TriggerPattern3", "TriggerPatternOR"};
constexpr std::array<std::string_view, 3> Compares{"<", "=", ">"};
constexpr std::array<std::string_view, 2> Levels{"HIGH", "LOW"};
constexpr std::array<std::string_view, 4> VoltKeys{"Volt1", "Volt2", "Volt3", "Volt4"};
// The delay's units and the time group each one fills.
constexpr std::array<std::pair<std::string_view, size_t>, 4> DelayUnits{
    {{"SEC", 4}, {"MS", 3}, {"US", 2}, {"NS", 1}}};

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Position of an upper-cased text in a list, or -1.
template <size_t N> int Position(const std::array<std::string_view, N> &list, std::string_view text)
{
    const std::string up = ParameterFile::Upper(text);
    const auto it = std::find(list.begin(), list.end(), up);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

enum class Whole { Number, OutOfRange, NotANumber };

// A whole number with an optional sign, nothing else.
Whole ParseWhole(std::string_view text, int64_t &value)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return Whole::NotANumber;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size())
        return Whole::NotANumber;
    if (ec == std::errc::result_out_of_range)
        return Whole::OutOfRange;
    return ec == std::errc{} ? Whole::Number : Whole::NotANumber;
}

// A decimal number such as "1.5", "-0.8", ".5" or "+2", read in single
// precision; no exponent, no "inf" or "nan".
bool ParseVolts(std::string_view text, float &volts)
{
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789.-") != std::string_view::npos ||
        text.find_first_of("0123456789") == std::string_view::npos)
        return false;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), volts, std::chars_format::fixed);
    return ec == std::errc{} && end == text.data() + text.size();
}

} // namespace

void CFileSystem::Defaults(CFile &record)
{
    record = CFile{};
    record.ModelCode = 1;
    record.ResetSettings();
    const auto channels = static_cast<uint16_t>(CFile::MaxChannels);
    for (int i = 0; i < CFile::MaxChannels; ++i) {
        const auto n = static_cast<size_t>(i);
        record.DisplayOrder[n] = static_cast<uint8_t>(i);
        SignalEntry &entry = record.ChannelEntry[n];
        entry.Members.fill(channels);
        entry.Members[0] = static_cast<uint16_t>(i);
        entry.InUse = 1;
    }
    record.PortLevel.fill(DefaultLevel);
}

void CFileSystem::Record(uint8_t code, bool counted)
{
    LastErrorCode = code;
    if (counted)
        ++ErrorCount;
}

bool CFileSystem::LevelOfVolts(float volts, uint16_t &level)
{
    if (!(volts >= -4.0f && volts <= 4.0f))
        return false;
    const float tenths = volts * 10.0f;
    level = static_cast<uint16_t>(127 + static_cast<int>(std::trunc(tenths)));
    return true;
}

void CFileSystem::Parse(const ParameterFile &file, CFile &record)
{
    LastErrorCode = 0;
    ErrorCount = 0;
    Defaults(record);
    std::string text;

    if (!file.TryRead(Property, "SampleRate", text))
        Record(ErrorSampleRate, true);
    if (const int row = Position(SampleRates, text); row >= 0) {
        record.TimeDivRow = static_cast<int16_t>(row + 3);
        record.RateRow = static_cast<int16_t>(row + 3);
    } else {
        record.RateRow = 4;
    }

    if (!file.TryRead(Property, "RamSize", text))
        Record(ErrorRamSize, true);
    record.MemoryDepthIndex = static_cast<int16_t>(std::max(Position(RamSizes, text), 0));

    ParseDelay(file.Read(Property, "DelayTime"), record);

    const int percent = Position(MainDelays, file.Read(Property, "MainDelay"));
    record.MemoryPercent = static_cast<int16_t>(percent >= 0 ? percent : 5);

    if (!file.TryRead(Property, "Continuous", text))
        Record(ErrorCounter, true);
    record.ContinuousTrigger = static_cast<uint8_t>(std::max(Position(OffOn, text), 0));

    int64_t counter = 0;
    record.TriggerCounter = 1;
    switch (ParseWhole(file.Read(Property, "TrigCounter"), counter)) {
    case Whole::Number:
        if (counter >= 1 && counter <= 255) {
            record.TriggerCounter = static_cast<uint8_t>(counter);
            break;
        }
        [[fallthrough]];
    case Whole::OutOfRange:
        Record(ErrorCounter, true);
        break;
    case Whole::NotANumber:
        break;
    }

    record.TriggerType =
        static_cast<uint8_t>(Position(TriggerModes, file.Read(Property, "TriggerMode")) + 1);
    for (size_t row = 0; row < PatternKeys.size(); ++row)
        ParsePattern(file.Read(Property, PatternKeys[row]), record, static_cast<int>(row));

    int64_t channel = 0;
    const bool channelRead =
        ParseWhole(file.Read(Property, "PulseWidth_Channel"), channel) == Whole::Number;
    record.PulseChannel =
        static_cast<uint8_t>(channelRead && channel >= 0 && channel <= 31 ? channel : 0);
    record.PulseCompare = static_cast<uint8_t>(
        std::max(Position(Compares, file.Read(Property, "PulseWidth_Condition")), 0));
    record.PulsePolarity = static_cast<uint8_t>(
        std::max(Position(Levels, file.Read(Property, "PulseWidth_Level")), 0));
    // The pulse width's text is read but not interpreted: its whole part is
    // 0, its unit and fraction keep their defaults.
    (void)file.Read(Property, "PulseWidth_Value");
    record.PulseWhole = 0;

    for (size_t port = 0; port < VoltKeys.size(); ++port)
        ParseVolt(file.Read(Property, VoltKeys[port]), record, static_cast<int>(port));
}

void CFileSystem::ParseDelay(std::string_view text, CFile &record)
{
    record.DelayGroups.fill(0);
    record.DelayNegative = 0;
    const std::string up = ParameterFile::Upper(Trim(text));
    for (const auto &[unit, group] : DelayUnits) {
        if (up.size() < unit.size() || up.compare(up.size() - unit.size(), unit.size(), unit) != 0)
            continue;
        int64_t value = 0;
        const std::string_view number = std::string_view(up).substr(0, up.size() - unit.size());
        // A magnitude that does not fit its group cannot be read either.
        if (ParseWhole(number, value) != Whole::Number || value < -65535 || value > 65535)
            return;
        record.DelayGroups[group] = static_cast<uint16_t>(value < 0 ? -value : value);
        record.DelayNegative = value < 0 ? 1 : 0;
        return;
    }
    Record(ErrorDelayUnit, true);
}

void CFileSystem::ParsePattern(std::string_view text, CFile &record, int row)
{
    auto &conditions = record.TriggerCondition[static_cast<size_t>(row)];
    conditions.fill(CFile::CondX);
    if (text.size() != CFile::MaxChannels)
        Record(ErrorPattern, false);
    int edgeChannel = -1;
    const size_t count = std::min<size_t>(text.size(), CFile::MaxChannels);
    // The first character is channel 31, the last channel 0.
    for (size_t i = 0; i < count; ++i) {
        const int channel = CFile::MaxChannels - 1 - static_cast<int>(i);
        uint8_t code = CFile::CondX;
        switch (text[i]) {
        case 'L':
        case 'l':
            code = CFile::CondLow;
            break;
        case 'H':
        case 'h':
            code = CFile::CondHigh;
            break;
        case 'F':
        case 'f':
            code = CFile::CondFall;
            break;
        case 'R':
        case 'r':
            code = CFile::CondRise;
            break;
        default:
            break;
        }
        if (code == CFile::CondFall || code == CFile::CondRise) {
            // A row holds one edge: the later one wins.
            if (edgeChannel >= 0) {
                conditions[static_cast<size_t>(edgeChannel)] = CFile::CondX;
                Record(ErrorPattern, false);
            }
            edgeChannel = channel;
        }
        conditions[static_cast<size_t>(channel)] = code;
    }
}

void CFileSystem::ParseVolt(std::string_view text, CFile &record, int port)
{
    uint16_t &level = record.PortLevel[static_cast<size_t>(port)];
    level = DefaultLevel;
    const std::string up = ParameterFile::Upper(text);
    const std::string_view number = std::string_view(up).substr(0, up.find('V'));
    float volts = 0;
    if (!ParseVolts(number, volts)) {
        if (port == 0)
            Record(ErrorVolt, true);
        return;
    }
    if (!LevelOfVolts(volts, level))
        Record(ErrorVolt, true);
}

std::string CFileSystem::FileAgeText(const std::string &path)
{
    struct stat st
    {
    };
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

bool CFileSystem::FileAgeChanged(const std::string &path)
{
    std::string now = FileAgeText(path);
    if (now.empty() || now == LastSeenTime)
        return false;
    LastSeenTime = std::move(now);
    return true;
}
