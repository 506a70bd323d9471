#include "cli/CaptureCommand.h"

#include "analyzer/CAcquisition.h"
#include "cli/CaptureOptions.h"
#include "cli/CliSession.h"
#include "cli/CliStatus.h"
#include "cli/CliValues.h"
#include "cli/HeadlessWindow.h"
#include "cli/TriggerOptions.h"
#include "device/CEzUsb.h"
#include "files/ProjectFile.h"

#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using Timer = AcquisitionWindow::Timer;
using Warning = AcquisitionWindow::Warning;

// A pause between ticks that left the sequence where it was (polling the
// capture-done flag, or a busy analyzer), as Timer1's interval.
constexpr std::chrono::milliseconds TickInterval{10};
constexpr int DefaultTimeDivRow = 3; // 100nS, the record's default

uint64_t RowPs(const ModelTable::TimeValueEntry &v)
{
    uint64_t ps = static_cast<uint64_t>(v.value);
    for (int u = 0; u < v.unit; ++u)
        ps *= 1000;
    return ps;
}

std::string ModelText(int code)
{
    return std::to_string(code) + " (" + std::string(ModelTable::Model(code).name) + ")";
}

// "250MHz", "2.5KHz", "25Hz" as a period in picoseconds.
std::optional<uint64_t> FrequencyPs(std::string_view text)
{
    static constexpr std::pair<std::string_view, uint64_t> Suffixes[] = {
        {"mhz", 1000000}, {"khz", 1000}, {"hz", 1}};
    for (const auto &[suffix, scale] : Suffixes) {
        if (text.size() <= suffix.size() ||
            !CliValues::Same(text.substr(text.size() - suffix.size()), suffix))
            continue;
        const auto tenths = CliValues::Tenths(text.substr(0, text.size() - suffix.size()));
        if (!tenths || *tenths <= 0)
            return std::nullopt;
        // 10^12 ps divided by (tenths / 10) x scale hertz.
        const uint64_t hzTenths = static_cast<uint64_t>(*tenths) * scale;
        if (10000000000000ULL % hzTenths != 0)
            return std::nullopt;
        return 10000000000000ULL / hzTenths;
    }
    return std::nullopt;
}

std::optional<int> TimeDivRow(std::string_view text)
{
    const auto t = CliValues::Time(text);
    for (int r = 0; r < ModelTable::TimeDivRowCount; ++r) {
        const ModelTable::TimeDivRow &row = ModelTable::Row(r);
        if (CliValues::Same(text, row.text) ||
            (t && !t->IsNegative() && CliValues::Picoseconds(*t) == RowPs(row.timeDiv)))
            return r;
    }
    return std::nullopt;
}

std::optional<int> RateRow(std::string_view text, const WSystem &sys)
{
    std::optional<uint64_t> ps = FrequencyPs(text);
    if (!ps) {
        const auto t = CliValues::Time(text);
        if (t && !t->IsNegative())
            ps = CliValues::Picoseconds(*t);
    }
    if (!ps)
        return std::nullopt;
    for (size_t r = 0; r < sys.SamplePeriodValue.size(); ++r)
        if (RowPs({sys.SamplePeriodValue[r], sys.SamplePeriodUnit[r]}) == *ps)
            return static_cast<int>(r);
    return std::nullopt;
}

std::string WarningText(Warning w)
{
    switch (w) {
    case Warning::NoDevice:
        return "the analyzer is gone (No device connected.)";
    case Warning::LinkFail:
        return "the analyzer reports a link failure (Linking fail.)";
    case Warning::DeviceWrong:
        return "the analyzer is not the model selected (Version is wrong.)";
    case Warning::ProcessingFail:
        return "the analyzer gave no settings back (Processing fail.)";
    case Warning::NoAccess:
        break;
    }
    return AcquisitionWindow::NoAccessText;
}

} // namespace

std::string CaptureCommand::ApplyOptions(const CliArguments &a, CliSession &session,
                                         int &timeDivRow)
{
    CFile &file = session.Settings;
    WSystem &sys = session.System;
    timeDivRow = DefaultTimeDivRow;
    if (const auto v = a.Value("time-div")) {
        const auto row = TimeDivRow(*v);
        if (!row)
            return "--time-div " + *v + ": not a time/div of the table (10nS .. 1Sec)";
        timeDivRow = *row;
    }
    if (const auto v = a.Value("rate")) {
        if (a.Has("time-div"))
            return "--rate and --time-div both choose the row: give one";
        const auto row = RateRow(*v, sys);
        if (!row)
            return "--rate " + *v + ": model " + ModelText(sys.ModelCode) +
                   " has no such sample period";
        timeDivRow = *row;
    }
    file.TimeDivRow = file.RateRow = static_cast<int16_t>(timeDivRow);

    if (const auto v = a.Value("depth")) {
        int found = -1;
        for (uint32_t d = 0; d < sys.DepthCount; ++d)
            if (CliValues::Same(*v, sys.DepthTexts[d]))
                found = static_cast<int>(d);
        if (found < 0)
            return "--depth " + *v + ": model " + ModelText(sys.ModelCode) + " offers " +
                   TriggerOptions::DepthList(sys);
        file.MemoryDepthIndex = static_cast<int16_t>(found);
    }
    if (const auto v = a.Value("position")) {
        const auto p = CliValues::Integer(*v, 10, 90);
        if (!p || *p % 10 != 0)
            return "--position " + *v + ": 10, 20, ... 90 (percent before the trigger)";
        file.MemoryPercent = file.TriggerPositionCode = static_cast<int16_t>(*p / 10);
    }
    if (const auto v = a.Value("counter")) {
        const auto n = CliValues::Integer(*v, 1, 255);
        if (!n)
            return "--counter " + *v + ": 1 .. 255";
        file.TriggerCounter = static_cast<uint8_t>(*n);
    }
    file.ContinuousTrigger = a.Has("continuous") ? 1 : 0;
    for (const std::string &v : a.Values("threshold")) {
        const std::string error = TriggerOptions::ApplyThreshold(v, file);
        if (!error.empty())
            return "--threshold " + v + ": " + error;
    }
    return TriggerOptions::ApplyTrigger(a, sys, file);
}

int CaptureCommand::Run(std::span<const std::string> args, std::ostream &out, std::ostream &err)
{
    CliArguments a;
    if (!a.Parse(args, CaptureOptions::List))
        return CliStatus::Fail(err, CliStatus::Usage, a.Error + " (see capture --help)");
    if (a.HelpAsked()) {
        out << CliArguments::HelpText(CaptureOptions::Usage, CaptureOptions::Text,
                                      CaptureOptions::List);
        return CliStatus::Ok;
    }
    if (!a.Operands.empty())
        return CliStatus::Fail(err, CliStatus::Usage, "no operand is taken: " + a.Operands[0]);
    const auto output = a.Value("output");
    if (!output || output->empty())
        return CliStatus::Fail(err, CliStatus::Usage, "capture needs -o FILE.pjf");

    std::optional<int> model;
    if (const auto v = a.Value("model")) {
        model = CliValues::Same(*v, "demo") ? 0 : CliValues::Integer(*v, 0, 10);
        if (!model)
            return CliStatus::Fail(err, CliStatus::Usage,
                                   "--model " + *v + ": no such model (0 / demo, 1 .. 10)");
    }
    int tenths = 100; // seconds
    if (const auto v = a.Value("timeout")) {
        const auto t = CliValues::Tenths(*v);
        if (!t || *t < 1 || *t > 10000)
            return CliStatus::Fail(err, CliStatus::Usage,
                                   "--timeout " + *v + ": 0.1 .. 1000 seconds");
        tenths = *t;
    }
    const std::string seconds =
        std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "");
    std::optional<WTime> delay;
    if (const auto v = a.Value("delay")) {
        delay = CliValues::Time(*v);
        if (!delay)
            return CliStatus::Fail(err, CliStatus::Usage,
                                   "--delay " + *v + ": a time such as 2.5us or -1ms");
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(100 * tenths);

    CliSession session;
    std::unique_ptr<CEzUsb> usb;
    if (model != 0) {
        usb = std::make_unique<CEzUsb>(session.Settings, session.System,
                                       [&usb](CCyUSBDevice::Change change) {
                                           // The analyzer went: the link closes, so the
                                           // sequence says "no device".
                                           if (change != CCyUSBDevice::Change::Removed || !usb)
                                               return;
                                           usb->Device().CloseDevice();
                                           usb->Connected = false;
                                       });
        if (const auto v = a.Value("device")) {
            const auto index = CliValues::Integer(*v, 0, 255);
            if (!index)
                return CliStatus::Fail(err, CliStatus::Usage, "--device " + *v + ": an index");
            if (!usb->ConnectAt(static_cast<int>(*index)) && !usb->AccessDenied)
                return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                       "no analyzer at device index " + *v);
        }
        if (!usb->Connected)
            return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                   usb->AccessDenied ? AcquisitionWindow::NoAccessText
                                                     : "no analyzer found");
        uint8_t named = usb->IdentifyDevice(session.Settings);
        while (named == CEzUsb::StatusBusy && Clock::now() < deadline) {
            std::this_thread::sleep_for(TickInterval);
            named = usb->IdentifyDevice(session.Settings);
        }
        if (named == CEzUsb::StatusBusy)
            return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                   "the analyzer stayed busy for " + seconds + " s");
        if (named == 0)
            return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                   usb->Connected ? "the analyzer's identity names no known model"
                                                  : "the analyzer did not answer");
        if (model && *model != named)
            return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                   "the analyzer is model " + ModelText(named) + ", not model " +
                                       ModelText(*model));
        model = named;
    }
    session.SelectModel(*model);

    int row = DefaultTimeDivRow;
    const std::string bad = ApplyOptions(a, session, row);
    if (!bad.empty())
        return CliStatus::Fail(err, CliStatus::Usage, bad);

    const bool progress = !a.Has("quiet") && ::isatty(STDERR_FILENO);
    HeadlessWindow window(row, progress ? stderr : nullptr);
    std::minstd_rand random{std::random_device{}()};
    CAcquisition acquisition(session.System, session.Settings, session.RunImage, session.Record,
                             session.TimeBase, window, random);
    acquisition.DemoPauseMs = 0;
    acquisition.SetLink(usb.get());
    acquisition.AcquisitionStep = CAcquisition::StepSendSettings;
    if (delay)
        acquisition.Delay = *delay;

    acquisition.SingleRun();
    bool late = false;
    while (window.TimerEnabled(Timer::Timer1) || window.TimerEnabled(Timer::Timer2)) {
        if (Clock::now() >= deadline) {
            late = true;
            break;
        }
        const int step = acquisition.AcquisitionStep;
        if (window.TimerEnabled(Timer::Timer1))
            acquisition.Timer1Tick();
        if (window.TimerEnabled(Timer::Timer2))
            acquisition.Timer2Tick();
        if (step == acquisition.AcquisitionStep && window.Captures == 0)
            std::this_thread::sleep_for(TickInterval);
    }
    window.EndProgress();

    if (!window.Warnings.empty())
        return CliStatus::Fail(err, CliStatus::FileOrDevice, WarningText(window.Warnings.front()));
    if (late) {
        const int step = acquisition.AcquisitionStep;
        const uint8_t status = acquisition.LastStatus;
        const int failed = acquisition.FailedTransfers;
        const int rejected = acquisition.RejectedBlocks;
        acquisition.Stop();
        const std::string after = " for " + seconds + " s";
        if (status == CEzUsb::StatusBusy)
            return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                   "the analyzer stayed busy" + after);
        if (failed > 0)
            return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                   "time-out: the analyzer's transfers failed" + after);
        if (rejected > 0)
            return CliStatus::Fail(err, CliStatus::FileOrDevice,
                                   "the blocks the analyzer returned failed their check" + after);
        if (step == CAcquisition::StepWait)
            return CliStatus::Fail(err, CliStatus::Empty,
                                   "no trigger" + after + "; nothing written");
        return CliStatus::Fail(err, CliStatus::FileOrDevice, "time-out" + after);
    }
    if (window.Captures == 0)
        return CliStatus::Fail(err, CliStatus::FileOrDevice,
                               "a transfer to the analyzer failed; the capture ended");
    if (session.Record.CaptureValid == 0)
        return CliStatus::Fail(err, CliStatus::Empty,
                               "no trigger: the capture holds no sample that meets the trigger "
                               "condition; nothing written");

    const ProjectFile::Error e = ProjectFile::Save(*output, session.Settings, session.System);
    if (e != ProjectFile::Error::None)
        return CliStatus::Fail(err, CliStatus::FileOrDevice,
                               *output + ": " + std::string(ProjectFile::ErrorText(e)));
    return CliStatus::Ok;
}
