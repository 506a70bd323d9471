#include "gather/CGatherControl.h"

#include "device/CEzUsb.h"
#include "gather/GatherDataFile.h"
#include "gather/ParameterFile.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <span>

namespace {

constexpr std::string_view DataFileFailedText = "The data file could not be written: ";
constexpr std::string_view NoDataPathText = "no Data Output is chosen.";

} // namespace

CGatherControl::CGatherControl(std::string systemFile_, Hooks hooks_)
    : systemFile(std::move(systemFile_))
    , hooks(std::move(hooks_))
{
    CFileSystem::Defaults(record);
}

CGatherControl::~CGatherControl() = default;

void CGatherControl::CreateLink(std::unique_ptr<UsbDriver> driver)
{
    capture.SetLink(nullptr);
    link.reset();
    link = std::make_unique<CEzUsb>(
        record, sys,
        [this](CCyUSBDevice::Change change) {
            if (change == CCyUSBDevice::Change::Arrived) {
                if (!link->Connected)
                    link->Connect();
            } else {
                if (capture.Capturing()) {
                    capture.Abandon();
                    if (hooks.PollTimer)
                        hooks.PollTimer(false);
                }
                try {
                    link->Device().CloseDevice();
                } catch (const std::exception &) {
                    // The handle is gone with the device either way.
                }
                link->Connected = false;
            }
        },
        std::move(driver));
    capture.SetLink(link.get());
}

bool CGatherControl::Connected() const
{
    return link != nullptr && link->Connected;
}

void CGatherControl::PumpDeviceEvents()
{
    if (link != nullptr)
        link->PumpEvents(0);
}

void CGatherControl::Say(std::string_view text) const
{
    if (hooks.Message)
        hooks.Message(std::string(text));
}

void CGatherControl::Notify() const
{
    if (hooks.Changed)
        hooks.Changed();
}

void CGatherControl::SetWatching(bool on)
{
    watching = on;
    if (hooks.WatchTimer)
        hooks.WatchTimer(on);
}

void CGatherControl::Startup()
{
    // The history is only ever written into an existing file: it is made
    // here, in the user's own folder, so that the last file is remembered.
    std::error_code ec;
    if (!systemFile.empty() && !std::filesystem::exists(systemFile, ec)) {
        std::filesystem::create_directories(std::filesystem::path(systemFile).parent_path(), ec);
        std::ofstream(systemFile) << "[FileHistory]\n";
    }
    const std::string last = ParameterFile(systemFile).Read("FileHistory", "FilePath1");
    if (last != ParameterFile::Empty)
        LoadParameterFile(last);
}

void CGatherControl::LoadParameterFile(const std::string &path)
{
    parameterPath = path;
    const ParameterFile file(path);
    const std::string restart = ParameterFile::Upper(file.Read("Setting", "AutoRestart"));
    autoRestart = restart == "YES";
    if (restart != "YES" && restart != "NO")
        file.Write("Setting", "AutoRestart", "NO");
    ParameterFile(systemFile).Write("FileHistory", "FilePath1", path);
    // No data path at all is no path: never a file named "Empty".
    dataPath = file.Read("Files", "DataPath");
    if (dataPath == ParameterFile::Empty)
        dataPath.clear();
    sampleRate = file.Read("Property", "SampleRate");
    ramSize = file.Read("Property", "RamSize");
    delayTime = file.Read("Property", "DelayTime");
    Notify();
}

void CGatherControl::SetDataPath(const std::string &path)
{
    dataPath = path;
    ParameterFile(parameterPath).Write("Files", "DataPath", path);
    Notify();
}

bool CGatherControl::Execute()
{
    if (!ParameterFile(parameterPath).Exists()) {
        Say(NoFileText);
        return false;
    }
    if (hooks.IconSet)
        hooks.IconSet(1);
    parser.Forget();
    SetWatching(true);
    Notify();
    return true;
}

void CGatherControl::Start()
{
    if (hooks.IconSet)
        hooks.IconSet(1);
    parser.Forget();
    SetWatching(true);
    if (hooks.Animate)
        hooks.Animate(true);
}

void CGatherControl::Break()
{
    parser.RecordStop();
    if (capture.Capturing()) {
        capture.Abandon();
        if (hooks.PollTimer)
            hooks.PollTimer(false);
    }
    if (hooks.IconSet)
        hooks.IconSet(1);
    // The watch ends before the message: while it is shown, the timers go
    // on running and must not start a capture.
    SetWatching(false);
    if (hooks.Animate)
        hooks.Animate(false);
    Say(TerminatedText);
}

void CGatherControl::ForceTrigger()
{
    parser.RecordStop();
    const ParameterFile file(parameterPath);
    file.Write("Property", "TriggerMode", "Pattern1");
    for (const char *key :
         {"TriggerPattern1", "TriggerPattern2", "TriggerPattern3", "TriggerPatternOR"})
        file.Write("Property", key, AllDontCare);
    Start();
}

void CGatherControl::SetAutoRestart(bool on, bool watch)
{
    autoRestart = on;
    ParameterFile(parameterPath).Write("Setting", "AutoRestart", on ? "Yes" : "No");
    if (on && hooks.IconSet)
        hooks.IconSet(1);
    if (watch)
        SetWatching(true);
    Notify();
}

void CGatherControl::ShowWindowCommand()
{
    SetWatching(false);
    if (hooks.ShowWindow)
        hooks.ShowWindow();
}

void CGatherControl::WatchTick()
{
    if (!watching || capture.Capturing() || !parser.FileAgeChanged(parameterPath))
        return;
    SetWatching(false);
    if (hooks.IconSet)
        hooks.IconSet(2);
    parser.Parse(ParameterFile(parameterPath), record);
    const auto outcome = capture.Start([this] { LoadParameterFile(parameterPath); });
    if (outcome == CGatherCapture::Outcome::Waiting) {
        if (hooks.PollTimer)
            hooks.PollTimer(true);
        return;
    }
    Finish(outcome);
}

void CGatherControl::PollTick()
{
    if (!capture.Capturing())
        return;
    const auto outcome = capture.Poll();
    if (outcome == CGatherCapture::Outcome::Waiting)
        return;
    if (hooks.PollTimer)
        hooks.PollTimer(false);
    Finish(outcome);
}

void CGatherControl::Finish(CGatherCapture::Outcome outcome)
{
    const int before = written;
    FinishCapture(outcome);
    if (hooks.Ended)
        hooks.Ended(written != before);
}

void CGatherControl::FinishCapture(CGatherCapture::Outcome outcome)
{
    if (outcome == CGatherCapture::Outcome::Captured) {
        const auto memory = std::span<const uint8_t>(sys.SampleBuffer).first(sys.MemorySize);
        if (GatherDataFile::Write(dataPath, parser.StatusByte(), capture.TriggerAddress, memory)) {
            ++written;
        } else {
            Say(std::string(DataFileFailedText) +
                (dataPath.empty() ? std::string(NoDataPathText) : dataPath));
        }
    } else if (!capture.Message.empty()) {
        Say(capture.Message);
    }
    // A device that went away during the capture is seen now.
    PumpDeviceEvents();
    if (outcome == CGatherCapture::Outcome::NoDevice || !Connected()) {
        if (hooks.ShowWindow)
            hooks.ShowWindow();
        Say(NoDeviceText);
        return;
    }
    if (autoRestart) {
        if (hooks.IconSet)
            hooks.IconSet(1);
        SetWatching(true);
    }
}
