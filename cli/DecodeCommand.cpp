#include "cli/DecodeCommand.h"

#include "cli/CliSession.h"
#include "cli/CliStatus.h"
#include "cli/DecodeOptions.h"
#include "files/AtomicFile.h"
#include "protocols/DecodeCsv.h"

namespace {

using DecodeOptions::Row;

struct Outcome
{
    std::string Csv;
    int Rows = 0;
    std::string Error; // options that do not fit this capture
};

// The options of a page for the argument reader and the help: --output,
// then the page's rows with their help lines.
struct OptionList
{
    std::vector<std::string> HelpLines;
    std::vector<CliArguments::Option> Options;

    template <typename Job, size_t N> explicit OptionList(const std::array<Row<Job>, N> &rows)
    {
        for (const Row<Job> &r : rows)
            HelpLines.push_back(DecodeOptions::HelpLine(r));
        Options.push_back(DecodeOptions::Output);
        for (size_t k = 0; k < rows.size(); ++k)
            Options.push_back({rows[k].Name, 0, DecodeOptions::ValueName(rows[k]), HelpLines[k]});
    }
    // The options point into HelpLines.
    OptionList(const OptionList &) = delete;
    OptionList &operator=(const OptionList &) = delete;
};

// The capture's channel names, by number.
std::vector<std::string> SignalNames(const CliSession &session)
{
    std::vector<std::string> names;
    for (int c = 0; c < session.System.ChannelCount && c < CFile::MaxChannels; ++c)
        names.emplace_back(CFile::NameText(session.Settings.ChannelEntry[static_cast<size_t>(c)]));
    return names;
}

std::string StateText(bool channelMissing, bool bits)
{
    if (channelMissing)
        return "a channel this model lacks";
    if (bits)
        return "a bit count out of range";
    return "the decoder could not run";
}

Outcome I2c(const CliArguments &a, const CliSession &session)
{
    Outcome o;
    const auto job =
        DecodeOptions::ReadOptions(DecodeOptions::I2c, a, SignalNames(session), o.Error);
    if (!o.Error.empty())
        return o;
    const WI2C_Analyzer::Result result =
        WI2C_Analyzer::Decode(session.Window(), job.Settings, session.PagePeriod());
    if (result.State != WI2C_Analyzer::Status::Decoded) {
        o.Error = StateText(result.State == WI2C_Analyzer::Status::ChannelMissing,
                            result.State == WI2C_Analyzer::Status::BitsOutOfRange);
        return o;
    }
    const DecodeTable &table = job.Addresses ? result.Addresses : result.Packets;
    o.Csv = DecodeCsv::Text(
        job.Addresses ? WI2C_Analyzer::AddressHeaders() : WI2C_Analyzer::PacketHeaders(), table);
    o.Rows = table.Rows();
    return o;
}

Outcome Spi(const CliArguments &a, const CliSession &session)
{
    Outcome o;
    const auto job =
        DecodeOptions::ReadOptions(DecodeOptions::Spi, a, SignalNames(session), o.Error);
    if (!o.Error.empty())
        return o;
    const WSPI_Core::Result result =
        WSPI_Core::Decode(session.Window(), job.Settings, session.PagePeriod());
    if (result.State != WSPI_Core::Status::Decoded) {
        o.Error = StateText(result.State == WSPI_Core::Status::ChannelMissing,
                            result.State == WSPI_Core::Status::BitsOutOfRange);
        return o;
    }
    std::vector<std::string> header{"Line"};
    for (std::string &h :
         job.Statistics ? WSPI_Core::StatisticsHeaders() : WSPI_Core::PacketHeaders())
        header.push_back(std::move(h));
    o.Csv = DecodeCsv::Line(header);
    for (size_t k = 0; k < 2; ++k) {
        if (!job.Settings.Lines[k].Enabled)
            continue;
        const DecodeTable &table =
            job.Statistics ? result.Lines[k].Statistics : result.Lines[k].Packets;
        DecodeCsv::AppendRows(o.Csv, table, WSPI_Core::LineNames[k]);
        o.Rows += table.Rows();
    }
    return o;
}

// UART and CAN list their rows from the trigger event to the record's end.
template <typename Decoder> Outcome FromTrigger(const Decoder &decoder, const CliSession &session)
{
    Outcome o;
    const DecodeTable table = decoder.Decode(session.Record, session.Timing());
    o.Error = table.Message;
    o.Csv = DecodeCsv::Text(Decoder::Headers(), table);
    o.Rows = table.Rows();
    return o;
}

Outcome Uart(const CliArguments &a, const CliSession &session)
{
    Outcome o;
    WUART u = DecodeOptions::ReadOptions(DecodeOptions::Uart, a, SignalNames(session), o.Error);
    if (const std::string frame = DecodeOptions::UartFrame(u); !frame.empty() && o.Error.empty())
        o.Error = "--parity " + *a.Value("parity") + ": " + frame;
    if (!o.Error.empty())
        return o;
    return FromTrigger(u, session);
}

Outcome Can(const CliArguments &a, const CliSession &session)
{
    Outcome o;
    const WCAN_Core c =
        DecodeOptions::ReadOptions(DecodeOptions::Can, a, SignalNames(session), o.Error);
    if (!o.Error.empty())
        return o;
    return FromTrigger(c, session);
}

struct Protocol
{
    std::string_view Name;
    OptionList Options;
    std::string_view Text;
    Outcome (*Decode)(const CliArguments &, const CliSession &);
};

const std::array<Protocol, 4> &Protocols()
{
    static const std::array<Protocol, 4> protocols{{
        {"i2c", OptionList(DecodeOptions::I2c), DecodeOptions::I2cText, &I2c},
        {"spi", OptionList(DecodeOptions::Spi), DecodeOptions::SpiText, &Spi},
        {"uart", OptionList(DecodeOptions::Uart), DecodeOptions::UartText, &Uart},
        {"can", OptionList(DecodeOptions::Can), DecodeOptions::CanText, &Can},
    }};
    return protocols;
}

} // namespace

int DecodeCommand::Run(std::span<const std::string> args, std::ostream &out, std::ostream &err)
{
    const Protocol *protocol = nullptr;
    if (!args.empty())
        for (const Protocol &p : Protocols())
            if (args[0] == p.Name)
                protocol = &p;
    if (protocol == nullptr) {
        if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
            out << CliArguments::HelpText(DecodeOptions::Usage, DecodeOptions::Text, {});
            return CliStatus::Ok;
        }
        return CliStatus::Fail(err, CliStatus::Usage,
                               "decode needs a protocol: i2c, spi, uart or can");
    }
    CliArguments a;
    if (!a.Parse(args.subspan(1), protocol->Options.Options))
        return CliStatus::Fail(err, CliStatus::Usage,
                               a.Error + " (see decode " + std::string(protocol->Name) +
                                   " --help)");
    if (a.HelpAsked()) {
        out << CliArguments::HelpText("tracemoor-cli decode " + std::string(protocol->Name) +
                                          " [options] FILE.pjf|FILE.vcd|FILE.sr",
                                      std::string(protocol->Text) + "\n" +
                                          DecodeOptions::ChannelText,
                                      protocol->Options.Options);
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
