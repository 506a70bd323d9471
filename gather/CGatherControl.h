#pragma once

#include "device/CFile.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "gather/CFileSystem.h"
#include "gather/CGatherCapture.h"

#include <functional>
#include <memory>
#include <string>

class CEzUsb;
class UsbDriver;

// What Gathermoor does, without its window: the parameter file and
// "System.txt", the commands (Execute, Start, Break, Auto Restart, Force
// Trigger, the path pickers' results), the watch tick that starts a capture
// when the parameter file's modification time changes, and the capture
// itself up to the data file. The window (or the windowless runner) owns the
// timers and shows what the hooks hand it. Qt-free.
//
// States: idle, watching (the watch timer runs), capturing (the poll timer
// runs, second icon set). Execute, Start, Auto Restart and Force Trigger
// start watching; Break and Show Window stop it; a capture stops it and
// returns to it only with Auto Restart on.
class CGatherControl
{
public:
    // Texts of the program.
    static constexpr std::string_view NoFileText = "File is not exist ";
    static constexpr std::string_view NoDeviceText =
        "Device is not connected.Please connect the device with PC.";
    static constexpr std::string_view TerminatedText = "Data Acquisition is terminated.";
    static constexpr std::string_view SystemFileName = "System.txt";
    static constexpr std::string_view AllDontCare = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";

    struct Hooks
    {
        std::function<void(const std::string &)> Message;
        std::function<void(int)> IconSet;     // 1 idle or watching, 2 capturing
        std::function<void(bool)> Animate;    // the icon's animation while watching
        std::function<void(bool)> WatchTimer; // the 500 ms watch on or off
        std::function<void(bool)> PollTimer;  // the capture's poll on or off
        std::function<void()> ShowWindow;     // restore and show the window
        std::function<void()> Changed;        // paths, Auto Restart or Start changed
        std::function<void(bool)> Ended;      // a capture ended; true: data file written
    };

    // `systemFile`: the path of "System.txt".
    CGatherControl(std::string systemFile, Hooks hooks);
    ~CGatherControl();
    CGatherControl(const CGatherControl &) = delete;
    CGatherControl &operator=(const CGatherControl &) = delete;

    // The command channel over `driver`, connected to the first analyzer.
    // A device arrival connects when no analyzer is connected; the removal
    // of the open one closes it.
    void CreateLink(std::unique_ptr<UsbDriver> driver);
    CEzUsb *Link() const { return capture.Link(); }
    bool Connected() const;
    // Delivers device changes (call it from a timer).
    void PumpDeviceEvents();

    // Start-up once the device is connected: System.txt is created when
    // missing and the parameter file it names last is loaded.
    void Startup();
    // Loads a parameter file: its Auto Restart, data path and properties.
    void LoadParameterFile(const std::string &path);
    // The data path picker's result, written to the parameter file too.
    void SetDataPath(const std::string &path);
    // False (with "File is not exist ") when the parameter file is missing.
    bool Execute();
    void Start();
    void Break();
    void ForceTrigger();
    // The menu item also starts watching (`watch`), the check box does not.
    void SetAutoRestart(bool on, bool watch = true);
    void ShowWindowCommand();

    // The timers.
    void WatchTick();
    void PollTick();

    bool Watching() const { return watching; }
    bool Capturing() const { return capture.Capturing(); }
    bool AutoRestart() const { return autoRestart; }
    bool StartEnabled() const { return !autoRestart; }
    const std::string &ParameterPath() const { return parameterPath; }
    const std::string &DataPath() const { return dataPath; }
    // The properties the hidden page shows: SampleRate, RamSize, DelayTime.
    const std::string &SampleRateText() const { return sampleRate; }
    const std::string &RamSizeText() const { return ramSize; }
    const std::string &DelayTimeText() const { return delayTime; }
    const CFileSystem &Parser() const { return parser; }
    const CFile &Record() const { return record; }
    const WSystem &System() const { return sys; }
    const CGatherCapture &Capture() const { return capture; }
    CGatherCapture &Capture() { return capture; }
    int DataFilesWritten() const { return written; }

private:
    void SetWatching(bool on);
    void Finish(CGatherCapture::Outcome outcome);
    void FinishCapture(CGatherCapture::Outcome outcome);
    void Say(std::string_view text) const;
    void Notify() const;

    std::string systemFile;
    Hooks hooks;
    std::string parameterPath;
    std::string dataPath;
    std::string sampleRate;
    std::string ramSize;
    std::string delayTime;
    bool autoRestart = false;
    bool watching = false;
    int written = 0;
    CFileSystem parser;
    WSystem sys;
    CFile record;
    CCaptureRecord placement{sys, record};
    CGatherCapture capture{sys, record, placement};
    std::unique_ptr<CEzUsb> link;
};
