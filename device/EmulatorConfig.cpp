#include "device/EmulatorConfig.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <charconv>
#include <utility>

namespace {

struct NamedCommand
{
    std::string_view Name;
    int Code;
};

constexpr std::array<NamedCommand, 11> CommandNames{{
    {"hello", 0x00},
    {"autoscale", 0x0A},
    {"checkready", 0x16},
    {"startcapture", 0x70},
    {"stopcapture", 0x71},
    {"identify", 0x80},
    {"readblock", 0x81},
    {"readsamples", 0x82},
    {"writeblock", 0x88},
    {"writesamples", 0x89},
    {"setthreshold", 0xA0},
}};

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::optional<uint32_t> Number(std::string_view s)
{
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s.remove_prefix(2);
        base = 16;
    }
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty())
        return std::nullopt;
    return value;
}

// "-3", "+3", "3".
std::optional<int> Signed(std::string_view s)
{
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+'))
        s.remove_prefix(1);
    const auto n = Number(s);
    if (!n || *n > 1000000)
        return std::nullopt;
    return negative ? -static_cast<int>(*n) : static_cast<int>(*n);
}

std::optional<int> Command(std::string_view s)
{
    const std::string name = Lower(s);
    for (const NamedCommand &c : CommandNames) {
        if (c.Name == name)
            return c.Code;
    }
    const auto n = Number(s);
    if (!n || *n > 0xFF)
        return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<std::vector<uint8_t>> HexBytes(std::string_view s)
{
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s.remove_prefix(2);
    if (s.empty() || s.size() % 2 != 0)
        return std::nullopt;
    std::vector<uint8_t> out;
    for (size_t i = 0; i < s.size(); i += 2) {
        uint8_t b = 0;
        const auto [end, ec] = std::from_chars(s.data() + i, s.data() + i + 2, b, 16);
        if (ec != std::errc() || end != s.data() + i + 2)
            return std::nullopt;
        out.push_back(b);
    }
    return out;
}

// "C", "C*N" or "C@K": a command with a repeat count or a position.
bool CommandFault(std::string_view value, EmulatorFault &fault)
{
    const size_t star = value.find_first_of("*@");
    const auto command = Command(value.substr(0, star));
    if (!command)
        return false;
    fault.Command = *command;
    if (star == std::string_view::npos)
        return true;
    const auto n = Number(value.substr(star + 1));
    if (!n || *n == 0 || *n > 1000000)
        return false;
    if (value[star] == '*')
        fault.Count = static_cast<int>(*n);
    else
        fault.At = static_cast<int>(*n);
    return true;
}

// "C:V[*N]" as the command part "C[*N]" and the number V (nothing when V is
// not a number); "C[*N]" without a colon as itself and nothing.
std::pair<std::string, std::optional<uint32_t>> CommandAndValue(std::string_view value)
{
    const size_t colon = value.find(':');
    if (colon == std::string_view::npos)
        return std::pair{std::string(value), std::optional<uint32_t>{}};
    const std::string_view rest = value.substr(colon + 1);
    const size_t star = rest.find('*');
    std::string command(value.substr(0, colon));
    if (star != std::string_view::npos)
        command += std::string(rest.substr(star));
    return std::pair{command, Number(rest.substr(0, star))};
}

std::optional<SceneOptions::Kind> SceneKind(std::string_view s)
{
    const std::string name = Lower(s);
    if (name == "counter")
        return SceneOptions::Kind::Counter;
    if (name == "i2c")
        return SceneOptions::Kind::I2c;
    if (name == "spi")
        return SceneOptions::Kind::Spi;
    if (name == "uart")
        return SceneOptions::Kind::Uart;
    if (name == "can")
        return SceneOptions::Kind::Can;
    if (name == "cpu")
        return SceneOptions::Kind::CpuBus;
    return std::nullopt;
}

// "8N1", "7E2", ...: data bits 5..8, parity N, O or E, stop bits 1 or 2.
bool UartFormat(std::string_view v, SceneOptions &scene)
{
    if (v.size() != 3 || v[0] < '5' || v[0] > '8' || (v[2] != '1' && v[2] != '2'))
        return false;
    const std::string_view parities = "NOE";
    const size_t parity = parities.find(static_cast<char>(std::toupper(v[1])));
    if (parity == std::string_view::npos)
        return false;
    scene.UartDataBits = v[0] - '0';
    scene.UartParity = static_cast<int>(parity);
    scene.UartStopBits = v[2] - '0';
    return true;
}

// A fault item: no value for every frame, K for the K-th (from 1).
bool FaultIndex(std::string_view v, int &at)
{
    if (v.empty()) {
        at = -1;
        return true;
    }
    const auto n = Number(v);
    if (!n || *n == 0 || *n > 1000000)
        return false;
    at = static_cast<int>(*n);
    return true;
}

} // namespace

int EmulatorConfig::ModelOf(int i) const
{
    if (Models.empty())
        return 1;
    return Models[static_cast<size_t>(std::clamp<int>(i, 0, static_cast<int>(Models.size()) - 1))];
}

std::optional<EmulatorConfig> EmulatorConfig::Parse(std::string_view text, std::string *error)
{
    EmulatorConfig config;
    bool countGiven = false;
    auto fail = [&](std::string_view item) -> std::optional<EmulatorConfig> {
        if (error != nullptr)
            *error = "TRACEMOOR_DEVICE: cannot understand \"" + std::string(item) + "\"";
        return std::nullopt;
    };

    size_t at = 0;
    while (at <= text.size()) {
        const size_t comma = std::min(text.find(',', at), text.size());
        const std::string_view item = text.substr(at, comma - at);
        at = comma + 1;
        if (item.empty())
            continue;
        const size_t eq = item.find('=');
        const std::string key = Lower(item.substr(0, eq));
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view{} : item.substr(eq + 1);
        const auto number = Number(value);

        if (eq == std::string_view::npos && Number(item)) {
            const uint32_t model = *Number(item);
            if (model < 1 || model > 10)
                return fail(item);
            config.Models = {static_cast<int>(model)};
        } else if (eq == std::string_view::npos && SceneKind(item)) {
            config.Scene.Scene = *SceneKind(item);
        } else if (key == "model") {
            config.Models.clear();
            size_t from = 0;
            while (from <= value.size()) {
                const size_t slash = std::min(value.find('/', from), value.size());
                const auto model = Number(value.substr(from, slash - from));
                if (!model || *model < 1 || *model > 10)
                    return fail(item);
                config.Models.push_back(static_cast<int>(*model));
                from = slash + 1;
            }
        } else if (key == "count" && number && *number <= MaxDevices) {
            config.Count = static_cast<int>(*number);
            countGiven = true;
        } else if (key == "foreign" && number && *number <= MaxDevices) {
            config.Foreign = static_cast<int>(*number);
        } else if (key == "scene" && SceneKind(value)) {
            config.Scene.Scene = *SceneKind(value);
        } else if (key == "data" && HexBytes(value)) {
            config.Scene.Data = *HexBytes(value);
        } else if (key == "text" && !value.empty()) {
            config.Scene.Data.assign(value.begin(), value.end());
        } else if (key == "addr" && number) {
            config.Scene.Address = *number;
        } else if (key == "clock" && number && *number >= 1 && *number <= 50000000) {
            config.Scene.ClockHz = *number;
        } else if (key == "baud" && number && *number >= 50 && *number <= 10000000) {
            config.Scene.Baud = *number;
        } else if (key == "bitrate" && number && *number >= 1000 && *number <= 1000000) {
            config.Scene.BitRate = *number;
        } else if (key == "id" && number && *number <= 0x1FFFFFFF) {
            config.Scene.CanId = *number;
        } else if (key == "ext" && (value.empty() || number)) {
            config.Scene.Extended = value.empty() || *number != 0;
        } else if (key == "uart" && UartFormat(value, config.Scene)) {
        } else if (key == "parityerror" && FaultIndex(value, config.Scene.ParityErrorAt)) {
        } else if (key == "framingerror" && FaultIndex(value, config.Scene.FramingErrorAt)) {
        } else if (key == "crcerror" && FaultIndex(value, config.Scene.CrcErrorAt)) {
        } else if (key == "noack" && FaultIndex(value, config.Scene.NoAckAt)) {
        } else if (key == "rtr" && value.empty()) {
            config.Scene.Remote = true;
        } else if (key == "dlc" && number && *number <= 15) {
            config.Scene.Dlc = static_cast<int>(*number);
        } else if (key == "skew" && Signed(value) &&
                   std::abs(*Signed(value)) <= SceneOptions::MaxSkewPercent) {
            config.Scene.SkewPercent = *Signed(value);
        } else if (key == "gap" && number && *number <= 1000000) {
            config.Scene.GapUs = *number;
        } else if (key == "abits" && number && (*number == 7 || *number == 10)) {
            config.Scene.I2cAddressBits = *number;
        } else if (key == "nack" && value.empty()) {
            config.Scene.I2cNack = true;
        } else if (key == "restart" && value.empty()) {
            config.Scene.I2cRestart = true;
        } else if (key == "bits" && number && *number >= 1 && *number <= 28) {
            config.Scene.SpiWordBits = *number;
        } else if (key == "tick" && number) {
            config.Scene.CounterTickNs = *number;
        } else if (key == "seed" && number) {
            config.Seed = *number;
        } else if (key == "polls" && number && *number <= 100000) {
            config.Polls = static_cast<int>(*number);
        } else if (key == "olddriver" && value.empty()) {
            config.OldDriver = true;
        } else if (key == "noaccess" && value.empty()) {
            config.NoAccess = true;
        } else if (key == "busy" && number) {
            config.Faults.push_back({EmulatorFault::Kind::Busy, -1, 0xE0,
                                     static_cast<int>(std::min<uint32_t>(*number, 1000000)), 1});
        } else if (key == "corrupt") {
            EmulatorFault fault{EmulatorFault::Kind::Corrupt, 0x81, 0, -1, 1};
            if (!value.empty()) {
                if (!number || *number == 0)
                    return fail(item);
                fault.Count = static_cast<int>(std::min<uint32_t>(*number, 1000000));
            }
            config.Faults.push_back(fault);
        } else if (key == "answer") {
            // answer=C:S[*N]
            EmulatorFault fault{EmulatorFault::Kind::Answer};
            const auto [command, status] = CommandAndValue(value);
            if (!status || *status > 0xFF || !CommandFault(command, fault))
                return fail(item);
            fault.Status = static_cast<uint8_t>(*status);
            config.Faults.push_back(fault);
        } else if (key == "short") {
            // short=C[:B][*N]
            EmulatorFault fault{EmulatorFault::Kind::Short};
            const auto [command, bytes] = CommandAndValue(value);
            if (!CommandFault(command, fault))
                return fail(item);
            if (value.find(':') != std::string_view::npos) {
                if (!bytes || *bytes > 0xFFFFFF)
                    return fail(item);
                fault.Bytes = static_cast<int>(*bytes);
            }
            config.Faults.push_back(fault);
        } else if (key == "linkfail" || key == "timeout" || key == "unplug" || key == "lateabort" ||
                   key == "stall") {
            EmulatorFault fault;
            fault.What = key == "linkfail"  ? EmulatorFault::Kind::LinkFail
                         : key == "timeout" ? EmulatorFault::Kind::Timeout
                         : key == "unplug"  ? EmulatorFault::Kind::Unplug
                         : key == "stall"   ? EmulatorFault::Kind::Stall
                                            : EmulatorFault::Kind::LateAbort;
            fault.Status = 0x35;
            if (!CommandFault(value, fault))
                return fail(item);
            config.Faults.push_back(fault);
        } else {
            return fail(item);
        }
    }
    if (!countGiven && config.Models.size() > 1)
        config.Count = static_cast<int>(config.Models.size());
    return config;
}
