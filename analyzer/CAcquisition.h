#pragma once

#include "analyzer/AcquisitionWindow.h"
#include "display/WTime.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

class AFile;
class CCaptureRecord;
class CEzUsb;
class CFile;
class DIV_WTime;
class WSystem;

// Acquisition control: the run commands, the capture sequence that Timer1
// advances one step per tick (or the demo capture on the Demo model), the
// hand-over of a finished capture to the display on Timer2, and the turning
// of device status bytes into messages. Qt-free; the main window reaches it
// through AcquisitionWindow.
//
// The capture sequence, one step per tick:
//   0 send settings  StopCapture, delay and pre/post bytes, identity check,
//                    WriteBlock + the settings block (run-parameter image on
//                    models 9 and 10)
//   1 start          StartCapture
//   2 wait           ReadBlock until the block says the capture is done
//   3 read-out       ReadSamples + the whole sample memory, PlaceRecord
// A repeated run continues at step 1. Every device wait is bounded by the
// command channel's time-outs; busy (0xE0) keeps the step for the next tick.
class CAcquisition
{
public:
    using RunMode = AcquisitionWindow::RunMode;
    using Timer = AcquisitionWindow::Timer;
    using Warning = AcquisitionWindow::Warning;

    // Sequence steps.
    static constexpr int StepSendSettings = 0;
    static constexpr int StepStart = 1;
    static constexpr int StepWait = 2;
    static constexpr int StepReadOut = 3;

    // Bulk time-outs.
    static constexpr uint32_t BlockTimeoutMs = 100;
    static constexpr uint32_t AutoScaleBlockTimeoutMs = 500;
    static constexpr uint32_t SamplesTimeoutMs = 1000;
    static constexpr size_t RunImageBytes = 1024;
    // Stop repeats StopCapture while the transfer itself fails, this often
    // and this long at most.
    static constexpr int StopAttempts = 1002;
    static constexpr std::chrono::milliseconds StopTime{3000};
    // Auto Scale repeats its command until accepted; the status of the last
    // request goes to ReportStatus when it is refused too. A device whose
    // requests time out ends the loop after the time given here.
    static constexpr int AutoScaleRequests = 5002;
    static constexpr std::chrono::milliseconds AutoScaleCommandTime{10000};
    // Auto Scale then waits for the scaled settings block at most this many
    // ReadBlock requests and this long, whichever ends first.
    static constexpr int AutoScaleBlockRequests = 1000;
    static constexpr std::chrono::milliseconds AutoScaleBlockTime{10000};
    // Demo captures follow each other at most this often.
    static constexpr uint32_t DemoIntervalMs = 100;

    CAcquisition(WSystem &system, CFile &settings, AFile &runImage, CCaptureRecord &record,
                 DIV_WTime &timeBase, AcquisitionWindow &window, std::minstd_rand &random);

    // The command channel; null (or disconnected) means no analyzer.
    void SetLink(CEzUsb *link) { EzUsb = link; }
    CEzUsb *Link() const { return EzUsb; }

    // --- Commands -----------------------------------------------------------
    void Run();       // repeated captures until Stop
    void SingleRun(); // one capture, then idle
    void AutoScale(); // the device chooses the settings, then repeated captures
    void Stop();
    void ToggleAutoStore();
    // Model selection dialog, settings reset, idle.
    void ChangeModel();

    // --- Timers -------------------------------------------------------------
    void Timer1Tick(); // one capture step, or one demo capture on the Demo model
    void Timer2Tick(); // hands a read-out capture to the display

    // One step of the capture sequence (nothing while CaptureReady is set).
    void CaptureStep();
    // One synthetic capture of the Demo model.
    void DemoCapture();

    // --- Pieces shared with the other commands -------------------------------
    // 0xE0 does nothing; any other status ends the run, returns to idle and
    // shows "Linking fail." (0x35) or "No device connected." (0x36; the
    // access message instead when the analyzer is there but may not be
    // opened).
    void ReportStatus(uint8_t status);
    // The window closed the link after the analyzer was removed. A run that
    // a failed transfer had just ended silently is reported now.
    void DeviceRemoved();
    // The connected analyzer is not the selected model: "Version is wrong.",
    // the model selection, settings reset, idle.
    void ModelMismatch();
    // Settings reset for the model now selected; the sample ring is cleared.
    void ResetAfterModelChange();
    // A run captures into the model's own memory: an imported capture larger
    // than it is given up first (empty rings of the model's size, the depth
    // inside the model's list).
    void LeaveImport();
    // What the device records: the delay (cut to the row's maximum, or moved
    // into the view when negative) and the pre/post-trigger byte counts.
    void PrepareDelay();
    // True when the trigger settings leave nothing to search for.
    void UpdateNoTriggerCondition();
    // TimeDivRow, MemoryDepthIndex and TriggerPositionCode as they are now.
    void TakeLastCaptureCopies();
    // The demo run's sample pattern in both rings; commands to running.
    void FillDemoCapture();
    // Every channel of the model as a row of its own, in channel order.
    void ListEveryChannel();
    // The views take their time rows from the settings record.
    void ViewFromRecord();
    // The delay as Edit1 shows it: a time in the time/div unit, or a count of
    // clock periods with the external clock.
    std::string DelayText(const WTime &delay) const;
    // The time/div row DivComboBox selects (the divider's row with the
    // external clock); the view's row when nothing is selected.
    int SelectedTimeDivRow() const;

    // --- State (main-window state of the acquisition) ------------------------
    bool Running = false;
    bool SingleShot = false;
    bool CaptureReady = false;
    int AcquisitionStep = StepStart;
    bool AutoStoreOn = false;
    bool NoTriggerCondition = false;
    // The main window's delay (shown in Edit1; Button1 sets it).
    WTime Delay;
    // Last-capture copies of the settings, taken when a capture is read out.
    int16_t LastTimeDivRow = 0;
    int16_t LastMemoryDepthIndex = 0;
    int16_t LastTriggerPositionCode = 0;
    // The state list's window around the trigger of a single run, in samples.
    uint32_t ListSamplesBefore = 0;
    uint32_t ListSamplesAfter = 0;
    // Pause between demo captures (tests set it to 0).
    uint32_t DemoPauseMs = DemoIntervalMs;
    // What a caller that waits on the sequence with a deadline of its own
    // can tell a stuck analyzer by: the status of the last command, the bulk
    // transfers that failed (each resets the port and repeats its step) and
    // the blocks read while waiting that failed their check.
    uint8_t LastStatus = 0;
    int FailedTransfers = 0;
    int RejectedBlocks = 0;

    // Status bytes of the command channel.
    static constexpr uint8_t Accepted = 0x10;
    static constexpr uint8_t Busy = 0xE0;
    static constexpr uint8_t NoDevice = 0x36;
    static constexpr uint8_t LinkFail = 0x35;
    static constexpr uint8_t Failed = 0x00; // the transfer itself failed

private:
    void SendSettings();
    void StartCaptureStep();
    void WaitCaptureDone();
    void ReadOut();
    // A command; a failed transfer from a device that has just gone counts
    // as "no device" (0x36).
    uint8_t Send(uint8_t code);
    // Delivers pending device changes; true when the analyzer is gone.
    bool LinkLost();
    bool Connected() const;
    // No link, because the analyzer present may not be opened by this user.
    bool AccessDenied() const;
    // False when the identity check read no identity: the failure is reported
    // as what it was (or, with `retry`, the step is left to the next tick).
    bool IdentityKnown(uint8_t model, bool retry);
    bool CompactModel() const;
    void ResetPort();
    void EndRun();
    // Lamp off, commands idle, progress bar back to its idle look.
    void ShowIdle();
    // True when the signal list holds no row to draw.
    bool SignalListEmpty() const;
    // An empty signal list draws nothing: the user may list every channel
    // (the run goes on either way). True when the list has rows now.
    bool OfferSignalList();
    // The depth index for this run, the record's depth and trigger position
    // and the time base that follows from them.
    void ApplyRecordGeometry();
    void TakeRowsFromDivComboBox();
    void TakePulseCount();
    // The main window's delay (magnitude rounded down to whole sample
    // periods) into DelayGroups/DelayNegative.
    void CopyDelayToRecord();
    void StoreDelay(const WTime &delay, bool negative);
    WTime RecordDelay() const;
    void AutoScaleCompactModel();
    void AutoScaleDemo();
    // Auto Scale's wait for the settings block; false when it never came.
    bool ReadScaledBlock();

    WSystem &sys;
    CFile &file;
    AFile &image;
    CCaptureRecord &record;
    DIV_WTime &time;
    AcquisitionWindow &window;
    std::minstd_rand &randomNumbers;
    CEzUsb *EzUsb = nullptr;
    bool pumping = false; // device changes are being delivered by LinkLost
    bool endedByTransferFailure = false;
    std::chrono::steady_clock::time_point lastDemo{};
};
