#include "cli/CliSession.h"

#include "analyzer/ViewCommands.h"
#include "cli/CliValues.h"
#include "display/WTimeSystem.h"
#include "files/ProjectFile.h"
#include "files/SigrokSession.h"
#include "files/VcdReader.h"

#include <algorithm>

CliSession::CliSession()
{
    SelectModel(System.ModelCode);
}

void CliSession::SelectModel(int code)
{
    System.SelectModel(code);
    Settings.ModelCode = static_cast<uint8_t>(System.ModelCode);
    Settings.ResetSettings();
    ApplyGeometry();
}

void CliSession::ApplyGeometry()
{
    const auto row = [](int r) {
        return static_cast<int16_t>(std::clamp(r, 0, ModelTable::TimeDivRowCount - 1));
    };
    TimeBase.TimeDivIndex = row(Settings.TimeDivRow);
    TimeBase.RateIndex = row(Settings.RateRow);
    const int depth = System.ComputeSplit(Settings.MemoryDepthIndex, Settings.RateRow);
    Record.DepthIndex = static_cast<uint16_t>(std::max(depth, 0));
    Record.SetTriggerPosition(Settings.MemoryPercent);
    const size_t d = std::min<size_t>(Record.DepthIndex, System.DepthCount - 1);
    Record.DepthSamples = static_cast<uint32_t>(std::max(System.DepthSamples[d], 0));
    TimeBase.DepthSamples = Record.DepthSamples;
    TimeBase.PreTriggerPercent = Record.PreTriggerPercent;
    TimeBase.PostTriggerPercent = Record.PostTriggerPercent;
    TimeBase.UpdateTimeBase();
}

std::string CliSession::Load(const std::string &path)
{
    const bool session = SigrokSession::IsSessionName(path);
    FromVcd = session || VcdReader::IsVcdName(path);
    if (FromVcd) {
        VcdReader::Result vcd = session ? SigrokSession::Read(path) : VcdReader::Read(path);
        if (!vcd.Error.empty())
            return vcd.Error;
        Notes = std::move(vcd.Notes);
        ProjectFile::Apply(std::move(vcd.Contents), Settings, System);
    } else {
        const ProjectFile::Error error = ProjectFile::Load(path, Settings, System);
        if (error != ProjectFile::Error::None)
            return std::string(ProjectFile::ErrorText(error));
    }
    ApplyGeometry();
    // A delay past the pre-trigger part leaves no trigger sample to confirm,
    // as at the capture.
    const WTime delay = ViewCommands::SettingsDelay(Settings);
    Record.NotConfirmable = !delay.IsNegative() && TimeGreater(delay, TimeBase.PreSpan);
    // Placed as the device reported it, and kept so when the trigger search
    // finds nothing: the samples are the file's either way.
    const uint32_t mask = Record.RingMask();
    Record.EndAddress = Settings.ReportedEndAddress & mask;
    Record.TriggerAddress = (Record.EndAddress - Settings.PostTriggerBytes) & mask;
    Record.SaveCapture();
    Record.PlaceRecord();
    return {};
}

void CliSession::TellNotes(std::ostream &err, const std::string &path) const
{
    for (const std::string &note : Notes)
        err << "tracemoor-cli: " << path << ": " << note << '\n';
}

CaptureWindow CliSession::Window() const
{
    return CaptureWindow::OfRecord(Record, System, Settings);
}

WTime CliSession::PagePeriod() const
{
    return WTimeSystem(Settings).Period();
}

UartCanTiming CliSession::Timing() const
{
    UartCanTiming timing;
    timing.SamplePeriod = TimeBase.SamplePeriod;
    WTime event = ViewCommands::SettingsDelay(Settings);
    event.sign = (event.sign == 0 || event.IsZero()) ? 1 : 0;
    timing.TriggerEvent = event;
    timing.PreSpan = TimeBase.PreSpan;
    return timing;
}

uint64_t CliSession::PeriodPs() const
{
    return CliValues::Picoseconds(Normalise(TimeBase.SamplePeriod));
}
