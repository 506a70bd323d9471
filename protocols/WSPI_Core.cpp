#include "protocols/WSPI_Core.h"

#include "protocols/SpiPacketPass.h"
#include "protocols/SpiSamplePass.h"

std::vector<std::string> WSPI_Core::PacketHeaders()
{
    return {"Paquet",    "Bit d'drreur", "Longueur",  "Donn\u00e9es",
            "Msg. Time", "Abs. Time",    "Idle. Time"};
}

std::vector<std::string> WSPI_Core::StatisticsHeaders()
{
    return {"Min MSG. Time",      "Max MSG. Time",  "Avg MSG. Time",      "Min Idle. Time",
            "Max Idle. Time",     "Avg Idle. Time", "Min Package Length", "Max Package Length",
            "Min Package Length", "Min Error-Bit",  "Max Error-Bit",      "Total Error-Bit"};
}

WSPI_Core::Result WSPI_Core::Decode(const CaptureWindow &window, const Settings &s,
                                    const WTime &period)
{
    Result r;
    Decode(window, s, period, r);
    return r;
}

void WSPI_Core::Decode(const CaptureWindow &window, const Settings &s, const WTime &period,
                       Result &r)
{
    const auto validChannel = [&](int c) { return c >= 0 && c < window.Channels && c < 32; };
    bool channelsOk = validChannel(s.SckChannel) && validChannel(s.SsChannel);
    bool bitsOk = true, modesOk = true;
    for (const Line &line : s.Lines) {
        if (line.Enabled) {
            channelsOk = channelsOk && validChannel(line.Channel);
            bitsOk = bitsOk && line.WordBits >= MinBits && line.WordBits <= MaxBits;
            modesOk = modesOk && line.Mode >= Cpol0Cpha0 && line.Mode <= Falling;
        }
    }
    r.State = !channelsOk ? Status::ChannelMissing
              : !bitsOk   ? Status::BitsOutOfRange
              : !modesOk  ? Status::BadMode
                          : Status::Decoded;
    for (LineResult &l : r.Lines) {
        l.Packets.Clear();
        l.Statistics.Clear();
    }
    const size_t n = window.Count;
    if (r.State != Status::Decoded || window.Ring.empty()) {
        r.SckTrace.assign(n, 10);
        r.SsTrace.assign(n, 10);
        for (LineResult &l : r.Lines)
            l.Trace.assign(n, 10);
        return;
    }

    r.SckTrace.resize(n);
    r.SsTrace.resize(n);
    for (size_t k = 0; k < 2; ++k) {
        r.Lines[k].Trace.resize(n);
        r.Events[k].resize(n);
    }

    SpiSamplePass::Run(window, s, r);

    for (size_t k = 0; k < 2; ++k) {
        if (s.Lines[k].Enabled)
            SpiPacketPass::Run(r.Events[k], s.Lines[k], s, period, r.Lines[k]);
    }
}
