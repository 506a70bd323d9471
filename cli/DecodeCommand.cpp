#include "cli/DecodeCommand.h"

#include "cli/CliSession.h"
#include "cli/CliStatus.h"
#include "cli/CliValues.h"
#include "cli/DecodeOptions.h"
#include "files/AtomicFile.h"
#include "protocols/DecodeCsv.h"
#include "protocols/WCAN_Core.h"
#include "protocols/WI2C_Analyzer.h"
#include "protocols/WSPI_Core.h"
#include "protocols/WUART.h"

#include <algorithm>

namespace {

// Reads options into decoder settings; the first one that does not fit
// leaves its reason in `error`.
struct Reader
{
    const CliArguments &a;
    std::vector<std::string> signalNames; // of the capture's channels, by number
    std::string error;

    Reader(const CliArguments &arguments, const CliSession &session)
        : a(arguments)
    {
        for (int c = 0; c < session.System.ChannelCount && c < CFile::MaxChannels; ++c)
            signalNames.emplace_back(
                CFile::NameText(session.Settings.ChannelEntry[static_cast<size_t>(c)]));
    }

    bool Bad(std::string_view name, const std::string &value, const std::string &why)
    {
        if (error.empty())
            error = "--" + std::string(name) + " " + value + ": " + why;
        return false;
    }
    template <typename T> void Channel(std::string_view name, T &slot)
    {
        if (const auto v = a.Value(name)) {
            if (const auto c = CliValues::Channel(*v, signalNames)) {
                slot = static_cast<T>(*c);
            } else {
                std::string list;
                for (size_t k = 0; k < signalNames.size(); ++k)
                    list += (k ? ", " : "") + signalNames[k] + " (CH" + std::to_string(k) + ")";
                Bad(name, *v,
                    "no channel of this capture: a number 0 .. " +
                        std::to_string(static_cast<int>(signalNames.size()) - 1) +
                        ", CHn or a name of its signals: " + list);
            }
        }
    }
    template <typename T> void Number(std::string_view name, int low, int high, T &slot)
    {
        if (const auto v = a.Value(name)) {
            if (const auto n = CliValues::Integer(*v, low, high))
                slot = static_cast<T>(*n);
            else
                Bad(name, *v, std::to_string(low) + " .. " + std::to_string(high));
        }
    }
    template <typename T>
    void Pick(std::string_view name, std::initializer_list<std::string_view> names, T &slot)
    {
        if (const auto v = a.Value(name)) {
            if (const auto i = CliValues::Choice(*v, names)) {
                slot = static_cast<T>(*i);
            } else {
                std::string list;
                for (std::string_view n : names)
                    list += (list.empty() ? "" : ", ") + std::string(n);
                Bad(name, *v, "one of " + list);
            }
        }
    }
    // A rate given as its number ("125000" or "125,000"): the entry of the
    // table when it is one, else `custom` (with `customIndex`) for a whole
    // number from low to high.
    template <size_t N>
    void Rate(std::string_view name, const std::array<uint32_t, N> &rates, uint32_t low,
              uint32_t high, int customIndex, int &slot, uint32_t &custom)
    {
        if (const auto v = a.Value(name)) {
            std::string digits = *v;
            digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
            const auto n = CliValues::Integer(digits, low, high);
            if (!n) {
                Bad(name, *v, "a whole number from " + std::to_string(low) + " to " +
                                  std::to_string(high));
                return;
            }
            const auto at = std::find(rates.begin(), rates.end(), static_cast<uint32_t>(*n));
            if (at != rates.end()) {
                slot = static_cast<int>(at - rates.begin());
            } else {
                slot = customIndex;
                custom = static_cast<uint32_t>(*n);
            }
        }
    }
};

std::string StateText(bool channelMissing, bool bits)
{
    if (channelMissing)
        return "a channel this model lacks";
    if (bits)
        return "a bit count out of range";
    return "the decoder could not run";
}

struct Protocol
{
    std::string_view Name;
    std::span<const CliArguments::Option> Options;
    std::string_view Text;
    DecodeCommand::Outcome (*Decode)(const CliArguments &, const CliSession &);
};

const std::array<Protocol, 4> Protocols{{
    {"i2c", DecodeOptions::I2c,
     "The packets of the I2C page (SCL, SDA) over the record's decode window.",
     &DecodeCommand::I2c},
    {"spi", DecodeOptions::Spi,
     "The packets of the SPI page, MOSI rows first, each row led by its line.",
     &DecodeCommand::Spi},
    {"uart", DecodeOptions::Uart,
     "The frames of the UART page, from the trigger event to the record's end.",
     &DecodeCommand::Uart},
    {"can", DecodeOptions::Can,
     "The frames of the CAN page, from the trigger event to the record's end.",
     &DecodeCommand::Can},
}};

} // namespace

DecodeCommand::Outcome DecodeCommand::I2c(const CliArguments &a, const CliSession &session)
{
    Reader r(a, session);
    WI2C_Analyzer::Settings s;
    r.Channel("scl", s.SclChannel);
    r.Channel("sda", s.SdaChannel);
    r.Pick("text", {"bin", "dec", "hex"}, s.TextMode);
    r.Number("address-bits", 1, WI2C_Analyzer::MaxBits, s.AddressBits);
    r.Number("data-bits", 1, WI2C_Analyzer::MaxBits, s.DataBits);
    r.Pick("read-level", {"low", "high"}, s.ReadLevel);
    r.Pick("ack-level", {"low", "high"}, s.AckLevel);
    Outcome o;
    if (!r.error.empty()) {
        o.Error = r.error;
        return o;
    }
    const WI2C_Analyzer::Result result =
        WI2C_Analyzer::Decode(session.Window(), s, session.PagePeriod());
    if (result.State != WI2C_Analyzer::Status::Decoded) {
        o.Error = StateText(result.State == WI2C_Analyzer::Status::ChannelMissing,
                            result.State == WI2C_Analyzer::Status::BitsOutOfRange);
        return o;
    }
    const bool addresses = a.Has("addresses");
    const DecodeTable &table = addresses ? result.Addresses : result.Packets;
    o.Csv = DecodeCsv::Text(
        addresses ? WI2C_Analyzer::AddressHeaders() : WI2C_Analyzer::PacketHeaders(), table);
    o.Rows = table.Rows();
    return o;
}

DecodeCommand::Outcome DecodeCommand::Spi(const CliArguments &a, const CliSession &session)
{
    Reader r(a, session);
    WSPI_Core::Settings s;
    r.Channel("sck", s.SckChannel);
    r.Channel("ss", s.SsChannel);
    r.Pick("bit-order", {"msb", "lsb"}, s.BitOrder);
    r.Pick("ss-level", {"high", "low"}, s.SsLevel);
    r.Pick("text", {"bin", "dec", "hex"}, s.TextMode);
    static constexpr std::array<std::string_view, 2> Prefix{"mosi", "miso"};
    for (size_t k = 0; k < 2; ++k) {
        const std::string p(Prefix[k]);
        WSPI_Core::Line &line = s.Lines[k];
        line.Enabled = !a.Has("no-" + p);
        r.Channel(p, line.Channel);
        r.Pick(p + "-mode", {"0", "1", "2", "3", "raising", "falling"}, line.Mode);
        r.Number(p + "-bits", WSPI_Core::MinBits, WSPI_Core::MaxBits, line.WordBits);
    }
    Outcome o;
    if (!r.error.empty()) {
        o.Error = r.error;
        return o;
    }
    const WSPI_Core::Result result = WSPI_Core::Decode(session.Window(), s, session.PagePeriod());
    if (result.State != WSPI_Core::Status::Decoded) {
        o.Error = StateText(result.State == WSPI_Core::Status::ChannelMissing,
                            result.State == WSPI_Core::Status::BitsOutOfRange);
        return o;
    }
    const bool statistics = a.Has("statistics");
    std::vector<std::string> header{"Line"};
    for (std::string &h : statistics ? WSPI_Core::StatisticsHeaders() : WSPI_Core::PacketHeaders())
        header.push_back(std::move(h));
    o.Csv = DecodeCsv::Line(header);
    for (size_t k = 0; k < 2; ++k) {
        if (!s.Lines[k].Enabled)
            continue;
        const DecodeTable &table =
            statistics ? result.Lines[k].Statistics : result.Lines[k].Packets;
        DecodeCsv::AppendRows(o.Csv, table, WSPI_Core::LineNames[k]);
        o.Rows += table.Rows();
    }
    return o;
}

DecodeCommand::Outcome DecodeCommand::Uart(const CliArguments &a, const CliSession &session)
{
    Reader r(a, session);
    WUART u;
    int dataBits = 8;
    r.Channel("channel", u.Channel);
    r.Rate("baud", WUART::BaudRates, WUART::MinBaud, WUART::MaxBaud, WUART::CustomIndex,
           u.BaudIndex, u.CustomBaud);
    r.Number("data-bits", 5, 8, dataBits);
    r.Pick("parity", {"none", "odd", "even"}, u.ParityMode);
    r.Number("stop-bits", 1, 2, u.StopBits);
    r.Pick("bit-order", {"lsb", "msb"}, u.DataDirection);
    r.Pick("source", {"ic", "rs232"}, u.DataSource);
    r.Pick("text", {"ascii", "both", "hex"}, u.TextMode);
    if (dataBits == 8 && u.ParityMode != WUART::ParityNone)
        r.Bad("parity", *a.Value("parity"), "8 data bits leave no room for a parity bit");
    u.FrameBits = dataBits + (u.ParityMode != WUART::ParityNone ? 1 : 0);
    Outcome o;
    if (!r.error.empty()) {
        o.Error = r.error;
        return o;
    }
    const DecodeTable table = u.Decode(session.Record, session.Timing());
    o.Error = table.Message;
    o.Csv = DecodeCsv::Text(WUART::Headers(), table);
    o.Rows = table.Rows();
    return o;
}

DecodeCommand::Outcome DecodeCommand::Can(const CliArguments &a, const CliSession &session)
{
    Reader r(a, session);
    WCAN_Core c;
    int extended = 1;
    r.Channel("channel", c.Channel);
    r.Rate("rate", WCAN_Core::BitRates, WCAN_Core::MinRate, WCAN_Core::MaxRate,
           WCAN_Core::CustomIndex, c.RateIndex, c.CustomRate);
    r.Pick("extended", {"hide", "display"}, extended);
    c.ShowExtendedId = extended == 1;
    Outcome o;
    if (!r.error.empty()) {
        o.Error = r.error;
        return o;
    }
    const DecodeTable table = c.Decode(session.Record, session.Timing());
    o.Error = table.Message;
    o.Csv = DecodeCsv::Text(WCAN_Core::Headers(), table);
    o.Rows = table.Rows();
    return o;
}

int DecodeCommand::Run(std::span<const std::string> args, std::ostream &out, std::ostream &err)
{
    const std::string usage = "tracemoor-cli decode i2c|spi|uart|can [options] FILE.pjf|FILE.vcd|FILE.sr";
    const Protocol *protocol = nullptr;
    if (!args.empty())
        for (const Protocol &p : Protocols)
            if (args[0] == p.Name)
                protocol = &p;
    if (protocol == nullptr) {
        if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
            out << CliArguments::HelpText(
                usage,
                "Decodes the project's capture as the analyzer program's protocol page does and\n"
                "writes the page's rows as CSV (RFC 4180, a header row). See\n"
                "tracemoor-cli decode PROTOCOL --help for the options of each.\n"
                "Exit codes: 0 rows written, 1 bad options, 2 a file that cannot be read or\n"
                "written, 3 no row decoded (the header is still written).",
                {});
            return CliStatus::Ok;
        }
        return CliStatus::Fail(err, CliStatus::Usage,
                               "decode needs a protocol: i2c, spi, uart or can");
    }
    CliArguments a;
    if (!a.Parse(args.subspan(1), protocol->Options))
        return CliStatus::Fail(err, CliStatus::Usage,
                               a.Error + " (see decode " + std::string(protocol->Name) +
                                   " --help)");
    if (a.HelpAsked()) {
        out << CliArguments::HelpText(
            "tracemoor-cli decode " + std::string(protocol->Name) + " [options] FILE.pjf|FILE.vcd|FILE.sr",
            std::string(protocol->Text) +
                "\nChannels are numbers (3), CH3, or the names of the capture's signals (SDA).",
            protocol->Options);
        return CliStatus::Ok;
    }
    if (a.Operands.size() != 1)
        return CliStatus::Fail(err, CliStatus::Usage, "decode takes one FILE.pjf or FILE.vcd");
    CliSession session;
    const std::string error = session.Load(a.Operands[0]);
    if (!error.empty())
        return CliStatus::Fail(err, CliStatus::FileOrDevice, a.Operands[0] + ": " + error);
    session.TellNotes(err, a.Operands[0]);

    const Outcome o = protocol->Decode(a, session);
    if (!o.Error.empty())
        return CliStatus::Fail(err, CliStatus::Usage, o.Error);
    if (const auto path = a.Value("output")) {
        if (!AtomicFile::Write(*path, std::string_view(o.Csv)))
            return CliStatus::Fail(err, CliStatus::FileOrDevice, "cannot write " + *path);
    } else {
        out << o.Csv;
    }
    if (o.Rows == 0)
        return CliStatus::Fail(err, CliStatus::Empty, "no rows decoded");
    return CliStatus::Ok;
}
