#pragma once

#include "cli/CliArguments.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WI2C_Analyzer.h"
#include "protocols/WSPI_Core.h"
#include "protocols/WUART.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The options of "decode", per protocol: the controls of its page, one row
// each. A row names the option, says what kind of value it takes (a
// channel, a number in a range, a rate, one of a list, or a flag), gives its
// help line and its default and puts the value where it goes in the
// decoder's settings. The help, the reading of the arguments, the messages
// about values that do not fit and the settings of the decode all come from
// these rows.
namespace DecodeOptions {

enum class ValueKind {
    Channel, // a number, CHn or a signal name of the capture
    Number,  // a whole number Low .. High
    Rate,    // a whole number Low .. High, commas allowed ("125,000")
    Choice,  // one of Choices (any case); the value is its position
    Flag,    // given or not: 1 or 0
};

// What a row says, apart from where its value goes.
struct Field
{
    std::string_view Name; // without the leading "--"
    ValueKind Kind;
    // The help line; "{range}" stands for "Low .. High". A line ending in a
    // line break puts the default on the next line.
    std::string_view Help;
    // A channel, number or rate; of a choice, its position. Flags are off.
    int Default = 0;
    int Low = 0, High = 0; // of a number or a rate
    std::span<const std::string_view> Choices{};
    std::string_view Value{}; // the value's name in the help, for a rate or a choice
    std::string_view Note{};  // after the default in the help: "(none; Note)"
    // Read after the rows without it (the first value that does not fit is
    // the one told).
    bool ReadLast = false;
};

template <typename Job> struct Row : Field
{
    void (*Set)(Job &job, int value);
};

// Every name once (and none of --output and --help), every default a value
// the row takes.
template <typename Job, size_t N> constexpr bool Sound(const std::array<Row<Job>, N> &rows)
{
    for (size_t k = 0; k < N; ++k) {
        const Field &f = rows[k];
        if (f.Name == "output" || f.Name == "help")
            return false;
        for (size_t j = 0; j < k; ++j)
            if (rows[j].Name == f.Name)
                return false;
        if (f.Kind == ValueKind::Choice &&
            (f.Default < 0 || static_cast<size_t>(f.Default) >= f.Choices.size()))
            return false;
        if ((f.Kind == ValueKind::Number || f.Kind == ValueKind::Rate) &&
            (f.Default < f.Low || f.Default > f.High))
            return false;
        if ((f.Kind == ValueKind::Choice || f.Kind == ValueKind::Rate) == f.Value.empty())
            return false;
    }
    return true;
}

// The help line of a row: its text with the range filled in, then its default.
std::string HelpLine(const Field &f);
// What the help calls the value: CH, N, the row's own name for it, or
// nothing for a flag.
std::string_view ValueName(const Field &f);
// The value text of a row as its setting; nothing, with the reason in `why`,
// when it does not fit. `signals[c]` is the name of the capture's channel c.
std::optional<int> Read(const Field &f, std::string_view text, std::span<const std::string> signals,
                        std::string &why);

// The page's settings from the defaults of the rows and the options given;
// the first value that does not fit (rows marked ReadLast after the others)
// leaves its reason in `error`, and its setting its default.
template <typename Job, size_t N>
Job ReadOptions(const std::array<Row<Job>, N> &rows, const CliArguments &a,
                std::span<const std::string> signals, std::string &error)
{
    Job job;
    for (const Row<Job> &r : rows)
        r.Set(job, r.Default);
    for (const bool last : {false, true}) {
        for (const Row<Job> &r : rows) {
            if (r.ReadLast != last)
                continue;
            if (r.Kind == ValueKind::Flag) {
                if (a.Has(r.Name))
                    r.Set(job, 1);
                continue;
            }
            const auto text = a.Value(r.Name);
            if (!text)
                continue;
            std::string why;
            if (const auto v = Read(r, *text, signals, why))
                r.Set(job, *v);
            else if (error.empty())
                error = "--" + std::string(r.Name) + " " + *text + ": " + why;
        }
    }
    return job;
}

// A rate of the page's list is its entry there, any other one the page's
// custom entry with the rate.
template <size_t N, typename Custom>
void SetRate(const std::array<uint32_t, N> &rates, int customIndex, int rate, int &index,
             Custom &custom)
{
    const auto at = std::find(rates.begin(), rates.end(), static_cast<uint32_t>(rate));
    if (at != rates.end()) {
        index = static_cast<int>(at - rates.begin());
    } else {
        index = customIndex;
        custom = static_cast<Custom>(rate);
    }
}

inline constexpr const char *Usage =
    "tracemoor-cli decode i2c|spi|uart|can [options] FILE.pjf|FILE.vcd|FILE.sr";
inline constexpr const char *Text =
    "Decodes the project's capture as the analyzer program's protocol page does and\n"
    "writes the page's rows as CSV (RFC 4180, a header row). See\n"
    "tracemoor-cli decode PROTOCOL --help for the options of each.\n"
    "Exit codes: 0 rows written, 1 bad options, 2 a file that cannot be read or\n"
    "written, 3 no row decoded (the header is still written).";
// Under each page's own text in its help.
inline constexpr const char *ChannelText =
    "Channels are numbers (3), CH3, or the names of the capture's signals (SDA).";

inline constexpr CliArguments::Option Output{"output", 'o', "FILE",
                                             "write the CSV here (default: standard output)"};

using enum ValueKind;

inline constexpr std::array<std::string_view, 3> NumberTexts{"bin", "dec", "hex"};
inline constexpr std::array<std::string_view, 2> LowHigh{"low", "high"};

// --- I2C ---------------------------------------------------------------------

inline constexpr const char *I2cText =
    "The packets of the I2C page (SCL, SDA) over the record's decode window.";

struct I2cJob
{
    WI2C_Analyzer::Settings Settings;
    bool Addresses = false; // the table per address instead of the packets
};

inline constexpr std::array<Row<I2cJob>, 8> I2c{{
    {{.Name = "scl", .Kind = Channel, .Help = "SCL channel", .Default = 0},
     [](I2cJob &j, int v) { j.Settings.SclChannel = v; }},
    {{.Name = "sda", .Kind = Channel, .Help = "SDA channel", .Default = 1},
     [](I2cJob &j, int v) { j.Settings.SdaChannel = v; }},
    {{.Name = "text",
      .Kind = Choice,
      .Help = "bin, dec or hex",
      .Default = 2,
      .Choices = NumberTexts,
      .Value = "MODE"},
     [](I2cJob &j, int v) { j.Settings.TextMode = v; }},
    {{.Name = "address-bits",
      .Kind = Number,
      .Help = "address bits",
      .Default = 7,
      .Low = 1,
      .High = WI2C_Analyzer::MaxBits},
     [](I2cJob &j, int v) { j.Settings.AddressBits = v; }},
    {{.Name = "data-bits",
      .Kind = Number,
      .Help = "data bits",
      .Default = 8,
      .Low = 1,
      .High = WI2C_Analyzer::MaxBits},
     [](I2cJob &j, int v) { j.Settings.DataBits = v; }},
    {{.Name = "read-level",
      .Kind = Choice,
      .Help = "level of the read bit: low or high",
      .Default = 1,
      .Choices = LowHigh,
      .Value = "LEVEL"},
     [](I2cJob &j, int v) { j.Settings.ReadLevel = static_cast<uint8_t>(v); }},
    {{.Name = "ack-level",
      .Kind = Choice,
      .Help = "level of an ACK bit: low or high",
      .Default = 0,
      .Choices = LowHigh,
      .Value = "LEVEL"},
     [](I2cJob &j, int v) { j.Settings.AckLevel = static_cast<uint8_t>(v); }},
    {{.Name = "addresses", .Kind = Flag, .Help = "the table per address instead of the packets"},
     [](I2cJob &j, int v) { j.Addresses = v != 0; }},
}};

// --- SPI ---------------------------------------------------------------------

inline constexpr const char *SpiText =
    "The packets of the SPI page, MOSI rows first, each row led by its line.";

struct SpiJob
{
    WSPI_Core::Settings Settings;
    bool Statistics = false; // the statistics row of each line instead of the packets
};

inline constexpr std::array<std::string_view, 2> MsbLsb{"msb", "lsb"};
inline constexpr std::array<std::string_view, 2> HighLow{"high", "low"};
inline constexpr std::array<std::string_view, 6> SpiModes{"0", "1", "2", "3", "raising", "falling"};

// The line options are read after the page's own, MOSI first.
inline constexpr std::array<Row<SpiJob>, 14> Spi{{
    {{.Name = "sck", .Kind = Channel, .Help = "SCK channel", .Default = 0},
     [](SpiJob &j, int v) { j.Settings.SckChannel = v; }},
    {{.Name = "ss", .Kind = Channel, .Help = "SS channel", .Default = 1},
     [](SpiJob &j, int v) { j.Settings.SsChannel = v; }},
    {{.Name = "bit-order",
      .Kind = Choice,
      .Help = "msb (MSB -> LSB) or lsb (LSB -> MSB)",
      .Default = 0,
      .Choices = MsbLsb,
      .Value = "ORDER"},
     [](SpiJob &j, int v) { j.Settings.BitOrder = v; }},
    {{.Name = "ss-level",
      .Kind = Choice,
      .Help = "active SS level: low or high",
      .Default = 1,
      .Choices = HighLow,
      .Value = "LEVEL"},
     [](SpiJob &j, int v) { j.Settings.SsLevel = v; }},
    {{.Name = "mosi", .Kind = Channel, .Help = "MOSI channel", .Default = 2, .ReadLast = true},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Mosi].Channel = v; }},
    {{.Name = "mosi-mode",
      .Kind = Choice,
      .Help = "0..3 (CPOL, CPHA), raising or falling",
      .Default = 0,
      .Choices = SpiModes,
      .Value = "MODE",
      .ReadLast = true},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Mosi].Mode = v; }},
    {{.Name = "mosi-bits",
      .Kind = Number,
      .Help = "bits per MOSI word: {range}",
      .Default = 8,
      .Low = WSPI_Core::MinBits,
      .High = WSPI_Core::MaxBits,
      .ReadLast = true},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Mosi].WordBits = v; }},
    {{.Name = "no-mosi", .Kind = Flag, .Help = "leave MOSI out"},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Mosi].Enabled = v == 0; }},
    {{.Name = "miso", .Kind = Channel, .Help = "MISO channel", .Default = 3, .ReadLast = true},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Miso].Channel = v; }},
    {{.Name = "miso-mode",
      .Kind = Choice,
      .Help = "as --mosi-mode",
      .Default = 0,
      .Choices = SpiModes,
      .Value = "MODE",
      .ReadLast = true},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Miso].Mode = v; }},
    {{.Name = "miso-bits",
      .Kind = Number,
      .Help = "bits per MISO word: {range}",
      .Default = 8,
      .Low = WSPI_Core::MinBits,
      .High = WSPI_Core::MaxBits,
      .ReadLast = true},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Miso].WordBits = v; }},
    {{.Name = "no-miso", .Kind = Flag, .Help = "leave MISO out"},
     [](SpiJob &j, int v) { j.Settings.Lines[WSPI_Core::Miso].Enabled = v == 0; }},
    {{.Name = "text",
      .Kind = Choice,
      .Help = "bin, dec or hex",
      .Default = 2,
      .Choices = NumberTexts,
      .Value = "MODE"},
     [](SpiJob &j, int v) { j.Settings.TextMode = v; }},
    {{.Name = "statistics",
      .Kind = Flag,
      .Help = "the statistics row of each line instead of the packets"},
     [](SpiJob &j, int v) { j.Statistics = v != 0; }},
}};

// --- UART --------------------------------------------------------------------

inline constexpr const char *UartText =
    "The frames of the UART page, from the trigger event to the record's end.";

inline constexpr std::array<std::string_view, 3> Parities{"none", "odd", "even"};
inline constexpr std::array<std::string_view, 2> LsbMsb{"lsb", "msb"};
inline constexpr std::array<std::string_view, 2> Sources{"ic", "rs232"};
inline constexpr std::array<std::string_view, 3> UartTexts{"ascii", "both", "hex"};

// --data-bits sets the frame's data bits; the parity bit is added to them
// once every option is read (UartFrame).
inline constexpr std::array<Row<WUART>, 8> Uart{{
    {{.Name = "channel", .Kind = Channel, .Help = "the line's channel", .Default = 0},
     [](WUART &u, int v) { u.Channel = v; }},
    {{.Name = "baud",
      .Kind = Rate,
      .Help = "any whole number {range}, such as 9600, 115200 or 921600\n",
      .Default = 9600,
      .Low = WUART::MinBaud,
      .High = WUART::MaxBaud,
      .Value = "RATE"},
     [](WUART &u, int v) {
         SetRate(WUART::BaudRates, WUART::CustomIndex, v, u.BaudIndex, u.CustomBaud);
     }},
    {{.Name = "data-bits", .Kind = Number, .Help = "{range}", .Default = 8, .Low = 5, .High = 8},
     [](WUART &u, int v) { u.FrameBits = v; }},
    {{.Name = "parity",
      .Kind = Choice,
      .Help = "none, odd or even",
      .Default = WUART::ParityNone,
      .Choices = Parities,
      .Value = "PARITY",
      .Note = "8 data bits leave no room for one"},
     [](WUART &u, int v) { u.ParityMode = v; }},
    {{.Name = "stop-bits", .Kind = Number, .Help = "1 or 2", .Default = 1, .Low = 1, .High = 2},
     [](WUART &u, int v) { u.StopBits = v; }},
    {{.Name = "bit-order",
      .Kind = Choice,
      .Help = "lsb (LSB -> MSB) or msb (MSB -> LSB)",
      .Default = WUART::LsbFirst,
      .Choices = LsbMsb,
      .Value = "ORDER"},
     [](WUART &u, int v) { u.DataDirection = v; }},
    {{.Name = "source",
      .Kind = Choice,
      .Help = "ic (From IC) or rs232 (From RS-232, inverted line)",
      .Default = WUART::FromIC,
      .Choices = Sources,
      .Value = "SOURCE"},
     [](WUART &u, int v) { u.DataSource = v; }},
    {{.Name = "text",
      .Kind = Choice,
      .Help = "ascii, both or hex",
      .Default = WUART::Ascii,
      .Choices = UartTexts,
      .Value = "MODE"},
     [](WUART &u, int v) { u.TextMode = v; }},
}};

// Adds the parity bit to the frame; empty when it fits, else why not.
inline std::string UartFrame(WUART &u)
{
    if (u.ParityMode == WUART::ParityNone)
        return {};
    if (u.FrameBits == 8)
        return "8 data bits leave no room for a parity bit";
    ++u.FrameBits;
    return {};
}

// --- CAN ---------------------------------------------------------------------

inline constexpr const char *CanText =
    "The frames of the CAN page, from the trigger event to the record's end.";

inline constexpr std::array<std::string_view, 2> Extended{"hide", "display"};

inline constexpr std::array<Row<WCAN_Core>, 3> Can{{
    {{.Name = "channel", .Kind = Channel, .Help = "the bus channel, dominant low", .Default = 0},
     [](WCAN_Core &c, int v) { c.Channel = v; }},
    {{.Name = "rate",
      .Kind = Rate,
      .Help = "bit rate: any whole number {range}",
      .Default = 125000,
      .Low = WCAN_Core::MinRate,
      .High = WCAN_Core::MaxRate,
      .Value = "BITS"},
     [](WCAN_Core &c, int v) {
         SetRate(WCAN_Core::BitRates, WCAN_Core::CustomIndex, v, c.RateIndex, c.CustomRate);
     }},
    {{.Name = "extended",
      .Kind = Choice,
      .Help = "display or hide the extended identifier",
      .Default = 1,
      .Choices = Extended,
      .Value = "MODE"},
     [](WCAN_Core &c, int v) { c.ShowExtendedId = v == 1; }},
}};

static_assert(Sound(I2c) && Sound(Spi) && Sound(Uart) && Sound(Can));

} // namespace DecodeOptions
