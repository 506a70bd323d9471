// The option rows of "decode": what they set when nothing is given, their
// help lines and how they read a value.

#include "cli/DecodeOptions.h"

#include <gtest/gtest.h>

namespace {

using namespace DecodeOptions;

template <typename Job, size_t N> Job Defaults(const std::array<Row<Job>, N> &rows)
{
    Job job;
    for (const Row<Job> &r : rows)
        r.Set(job, r.Default);
    return job;
}

// The defaults the help tells are the page's own: decoding without options
// decodes as the page does when first shown.
TEST(DecodeOptionDefaults, AreThePagesSettings)
{
    const I2cJob i2c = Defaults(I2c);
    const WI2C_Analyzer::Settings i2cPage;
    EXPECT_EQ(i2c.Settings.SclChannel, i2cPage.SclChannel);
    EXPECT_EQ(i2c.Settings.SdaChannel, i2cPage.SdaChannel);
    EXPECT_EQ(i2c.Settings.TextMode, i2cPage.TextMode);
    EXPECT_EQ(i2c.Settings.AddressBits, i2cPage.AddressBits);
    EXPECT_EQ(i2c.Settings.DataBits, i2cPage.DataBits);
    EXPECT_EQ(i2c.Settings.ReadLevel, i2cPage.ReadLevel);
    EXPECT_EQ(i2c.Settings.AckLevel, i2cPage.AckLevel);
    EXPECT_FALSE(i2c.Addresses);

    const SpiJob spi = Defaults(Spi);
    const WSPI_Core::Settings spiPage;
    EXPECT_EQ(spi.Settings.SckChannel, spiPage.SckChannel);
    EXPECT_EQ(spi.Settings.SsChannel, spiPage.SsChannel);
    EXPECT_EQ(spi.Settings.BitOrder, spiPage.BitOrder);
    EXPECT_EQ(spi.Settings.SsLevel, spiPage.SsLevel);
    EXPECT_EQ(spi.Settings.TextMode, spiPage.TextMode);
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(spi.Settings.Lines[k].Enabled, spiPage.Lines[k].Enabled) << k;
        EXPECT_EQ(spi.Settings.Lines[k].Channel, spiPage.Lines[k].Channel) << k;
        EXPECT_EQ(spi.Settings.Lines[k].Mode, spiPage.Lines[k].Mode) << k;
        EXPECT_EQ(spi.Settings.Lines[k].WordBits, spiPage.Lines[k].WordBits) << k;
    }
    EXPECT_FALSE(spi.Statistics);

    const WUART uart = Defaults(Uart);
    const WUART uartPage;
    EXPECT_EQ(uart.Channel, uartPage.Channel);
    EXPECT_EQ(uart.BaudIndex, uartPage.BaudIndex);
    EXPECT_EQ(uart.FrameBits, uartPage.FrameBits);
    EXPECT_EQ(uart.ParityMode, uartPage.ParityMode);
    EXPECT_EQ(uart.StopBits, uartPage.StopBits);
    EXPECT_EQ(uart.DataDirection, uartPage.DataDirection);
    EXPECT_EQ(uart.DataSource, uartPage.DataSource);
    EXPECT_EQ(uart.TextMode, uartPage.TextMode);

    const WCAN_Core can = Defaults(Can);
    const WCAN_Core canPage;
    EXPECT_EQ(can.Channel, canPage.Channel);
    EXPECT_EQ(can.RateIndex, canPage.RateIndex);
    EXPECT_EQ(can.ShowExtendedId, canPage.ShowExtendedId);
}

// The arguments after "decode PROTOCOL" read through the rows.
template <typename Job, size_t N>
Job ReadArguments(const std::array<Row<Job>, N> &rows, std::vector<std::string> args,
                  std::string &error)
{
    std::vector<CliArguments::Option> options;
    for (const Row<Job> &r : rows)
        options.push_back({r.Name, 0, ValueName(r), {}});
    CliArguments a;
    EXPECT_TRUE(a.Parse(args, options)) << a.Error;
    const std::vector<std::string> signals{"SCL", "SDA", "CH02", "CH03", "TXD"};
    return ReadOptions(rows, a, signals, error);
}

TEST(DecodeOptionReading, PutsEachValueInItsSetting)
{
    std::string error;
    const SpiJob spi = ReadArguments(Spi,
                                     {"--ss", "TXD", "--ss-level", "HIGH", "--miso-mode", "falling",
                                      "--mosi-bits", "12", "--no-miso", "--statistics"},
                                     error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(spi.Settings.SsChannel, 4);
    EXPECT_EQ(spi.Settings.SsLevel, 0);
    EXPECT_EQ(spi.Settings.Lines[WSPI_Core::Miso].Mode, WSPI_Core::Falling);
    EXPECT_EQ(spi.Settings.Lines[WSPI_Core::Mosi].WordBits, 12);
    EXPECT_TRUE(spi.Settings.Lines[WSPI_Core::Mosi].Enabled);
    EXPECT_FALSE(spi.Settings.Lines[WSPI_Core::Miso].Enabled);
    EXPECT_TRUE(spi.Statistics);

    WUART uart =
        ReadArguments(Uart, {"--data-bits", "7", "--parity", "odd", "--baud", "57,600"}, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(UartFrame(uart), "");
    EXPECT_EQ(uart.FrameBits, 8); // seven data bits and the parity bit
    EXPECT_EQ(uart.ParityMode, WUART::ParityOdd);
    EXPECT_EQ(WUART::BaudRates[static_cast<size_t>(uart.BaudIndex)], 57600u);
}

struct FirstError
{
    const char *name;
    std::vector<std::string> args; // of "decode spi"
    const char *error;
};

class DecodeOptionFirstError : public testing::TestWithParam<FirstError>
{
};

// Of several values that do not fit, the one told is the first of the page's
// own options, then of the lines', MOSI first, whatever the order given.
TEST_P(DecodeOptionFirstError, IsThePagesBeforeTheLines)
{
    std::string error;
    ReadArguments(Spi, GetParam().args, error);
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Spi, DecodeOptionFirstError,
    testing::Values(
        FirstError{"TextBeforeMosi",
                   {"--mosi-bits", "0", "--text", "oct"},
                   "--text oct: one of bin, dec, hex"},
        FirstError{"SckBeforeText",
                   {"--text", "oct", "--sck", "x"},
                   "--sck x: no channel of this capture: a number 0 .. 4, CHn or a name of its "
                   "signals: SCL (CH0), SDA (CH1), CH02 (CH2), CH03 (CH3), TXD (CH4)"},
        FirstError{
            "MosiBeforeMiso", {"--miso-mode", "4", "--mosi-bits", "29"}, "--mosi-bits 29: 1 .. 28"},
        FirstError{"LastValueGiven", {"--mosi-bits", "29", "--mosi-bits", "9"}, ""}),
    [](const auto &p) { return std::string(p.param.name); });

TEST(DecodeOptionReading, EightDataBitsLeaveNoRoomForParity)
{
    std::string error;
    WUART uart = ReadArguments(Uart, {"--parity", "even"}, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(UartFrame(uart), "8 data bits leave no room for a parity bit");
}

// A rate of the page's list selects its entry; any other one the custom
// entry with the rate.
TEST(DecodeOptionRates, SelectTheListEntryOrTheCustomOne)
{
    WUART u;
    SetRate(WUART::BaudRates, WUART::CustomIndex, 115200, u.BaudIndex, u.CustomBaud);
    EXPECT_EQ(WUART::BaudRates[static_cast<size_t>(u.BaudIndex)], 115200u);
    SetRate(WUART::BaudRates, WUART::CustomIndex, 921600, u.BaudIndex, u.CustomBaud);
    EXPECT_EQ(u.BaudIndex, WUART::CustomIndex);
    EXPECT_EQ(u.CustomBaud, 921600u);
}

constexpr std::array<std::string_view, 3> Modes{"bin", "dec", "hex"};

struct HelpCase
{
    const char *name;
    Field field;
    const char *line;
};

class DecodeOptionHelp : public testing::TestWithParam<HelpCase>
{
};

TEST_P(DecodeOptionHelp, TellsTheRangeAndTheDefault)
{
    EXPECT_EQ(HelpLine(GetParam().field), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DecodeOptionHelp,
    testing::Values(
        HelpCase{"Channel", {"scl", Channel, "SCL channel", 3}, "SCL channel (3)"},
        HelpCase{"Range", {"bits", Number, "bits: {range}", 8, 1, 28}, "bits: 1 .. 28 (8)"},
        HelpCase{"Choice",
                 {"text", Choice, "bin, dec or hex", 1, 0, 0, Modes, "MODE"},
                 "bin, dec or hex (dec)"},
        HelpCase{"Note",
                 {"text", Choice, "bin, dec or hex", 2, 0, 0, Modes, "MODE", "the page's"},
                 "bin, dec or hex (hex; the page's)"},
        HelpCase{"DefaultOnItsOwnLine",
                 {"baud", Rate, "{range}\n", 9600, 50, 100000, {}, "RATE"},
                 "50 .. 100000\n                              (9600)"},
        HelpCase{"Flag", {"no-mosi", Flag, "leave MOSI out"}, "leave MOSI out"}),
    [](const auto &p) { return std::string(p.param.name); });

struct ReadCase
{
    const char *name;
    Field field;
    const char *text;
    std::optional<int> value;
    const char *why; // when refused
};

class DecodeOptionRead : public testing::TestWithParam<ReadCase>
{
};

TEST_P(DecodeOptionRead, TakesAFittingValueOrSaysWhatFits)
{
    const ReadCase &c = GetParam();
    const std::vector<std::string> signals{"SCL", "SDA", "CH02"};
    std::string why;
    EXPECT_EQ(Read(c.field, c.text, signals, why), c.value);
    EXPECT_EQ(why, c.value ? "" : c.why);
}

constexpr Field Bits{"bits", Number, "", 8, 1, 28};
constexpr Field Baud{"baud", Rate, "", 9600, 50, 10000000, {}, "RATE"};
constexpr Field Text{"text", Choice, "", 2, 0, 0, Modes, "MODE"};
constexpr Field Scl{"scl", Channel, "", 0};

INSTANTIATE_TEST_SUITE_P(
    Values, DecodeOptionRead,
    testing::Values(ReadCase{"NumberInRange", Bits, "28", 28, ""},
                    ReadCase{"NumberAbove", Bits, "29", {}, "1 .. 28"},
                    ReadCase{"NumberNotANumber", Bits, "x", {}, "1 .. 28"},
                    ReadCase{"RateWithCommas", Baud, "921,600", 921600, ""},
                    ReadCase{"RateBelow", Baud, "49", {}, "a whole number from 50 to 10000000"},
                    ReadCase{"RateOnlyCommas", Baud, ",", {}, "a whole number from 50 to 10000000"},
                    ReadCase{"ChoiceAnyCase", Text, "DEC", 1, ""},
                    ReadCase{"ChoiceUnknown", Text, "oct", {}, "one of bin, dec, hex"},
                    ReadCase{"ChannelByName", Scl, "sda", 1, ""},
                    ReadCase{"ChannelByNumber", Scl, "CH2", 2, ""},
                    ReadCase{"ChannelMissing",
                             Scl,
                             "3",
                             {},
                             "no channel of this capture: a number 0 .. 2, CHn or a name of its "
                             "signals: SCL (CH0), SDA (CH1), CH02 (CH2)"}),
    [](const auto &p) { return std::string(p.param.name); });

} // namespace
