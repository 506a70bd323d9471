#pragma once

// A test bench for acquisition control without any window: the settings,
// the model tables, the capture record and the time base, a command channel
// over emulated analyzers, and a window that only records what it was told.

#include "analyzer/AcquisitionWindow.h"
#include "analyzer/CAcquisition.h"
#include "device/AFile.h"
#include "device/CEzUsb.h"
#include "device/CFile.h"
#include "device/EmulatedDriver.h"
#include "device/WSystem.h"
#include "display/CCaptureRecord.h"
#include "display/DIV_WTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

class RecordingWindow : public AcquisitionWindow
{
public:
    void EnableTimer(Timer timer, bool on) override { timers[static_cast<size_t>(timer)] = on; }
    bool TimerEnabled(Timer timer) const override { return timers[static_cast<size_t>(timer)]; }
    void SetProgress(int percent) override { progress = percent; }
    void SetLamp(bool on) override { lamp = on; }
    void SetRunControls(RunMode m) override { mode = m; }
    void ShowWarning(Warning w) override { warnings.push_back(w); }
    void ChooseModel() override
    {
        ++modelChoices;
        if (onChooseModel)
            onChooseModel();
    }
    void ModelChanged() override { ++modelChanges; }
    bool OfferEveryChannel() override
    {
        ++channelOffers;
        return listEveryChannel;
    }
    int ActivePage() const override { return page; }
    int DivComboBoxIndex() const override { return divIndex; }
    void SelectCombos() override {}
    void FillDivList() override {}
    void WriteStatusBar() override { ++statusWrites; }
    void ShowDelay(const std::string &text) override { delayText = text; }
    void ClearWaveform(bool keepDrawing) override
    {
        ++clears;
        lastClearKept = keepDrawing;
    }
    void SetViewPosition(const WTime &t) override { viewPosition = t; }
    void ScrollWaveformHome() override {}
    void UpdateCursors() override {}
    void PlaceTriggerMark() override {}
    void RefreshList() override {}
    WTime ListDelay() const override { return listDelay; }
    void ShowCapture() override { ++captures; }
    void RedrawWaveform() override { ++redraws; }
    void RefreshViews() override { ++viewRefreshes; }
    void EnableSpiPage() override {}

    bool Idle() const
    {
        return !TimerEnabled(Timer::Timer1) && !TimerEnabled(Timer::Timer2) &&
               TimerEnabled(Timer::Timer3) && mode == RunMode::Idle;
    }

    std::array<bool, 4> timers{false, false, false, true};
    int progress = 100;
    bool lamp = false;
    RunMode mode = RunMode::Idle;
    std::vector<Warning> warnings;
    int modelChoices = 0;
    int modelChanges = 0;
    int channelOffers = 0;
    bool listEveryChannel = false; // the answer to the empty-list offer
    std::function<void()> onChooseModel;
    int page = WaveformPage;
    int divIndex = 3;
    int statusWrites = 0;
    std::string delayText;
    int clears = 0;
    bool lastClearKept = false;
    WTime viewPosition;
    WTime listDelay;
    int captures = 0;
    int redraws = 0;
    int viewRefreshes = 0;
};

// Selected model `model`, analyzers as TRACEMOOR_DEVICE's `emulator` text
// says ("" for none at all, no command channel).
class AcquisitionBench
{
public:
    AcquisitionBench(int model, const std::string &emulator)
    {
        system.SelectModel(model);
        settings.ModelCode = static_cast<uint8_t>(model);
        settings.ResetSettings();
        record = std::make_unique<CCaptureRecord>(system, settings);
        timeBase = std::make_unique<DIV_WTime>(system, settings);
        acquisition = std::make_unique<CAcquisition>(system, settings, image, *record, *timeBase,
                                                     window, random);
        acquisition->DemoPauseMs = 0;
        if (emulator.empty())
            return;
        const auto config = EmulatorConfig::Parse(emulator);
        EXPECT_TRUE(config) << emulator;
        auto emulated = std::make_unique<EmulatedDriver>(*config);
        driver = emulated.get();
        link = std::make_unique<CEzUsb>(
            settings, system,
            [this](CCyUSBDevice::Change change) {
                if (change == CCyUSBDevice::Change::Arrived) {
                    // As the window does once the arrival has settled.
                    if (link->Connect())
                        acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
                    return;
                }
                link->Device().CloseDevice();
                link->Connected = false;
                acquisition->DeviceRemoved();
            },
            std::move(emulated));
        if (link->Connected)
            acquisition->AcquisitionStep = CAcquisition::StepSendSettings;
        acquisition->SetLink(link.get());
        // Whatever the greeting read away is not a capture.
        std::fill(system.SampleBuffer.begin(), system.SampleBuffer.end(), uint8_t{0});
    }

    AnalyzerFirmware &Analyzer() { return driver->Firmware(driver->Config().Foreign); }

    // Runs the timers as the event loop would, until both capture timers are
    // off or `ticks` ticks have passed. Returns the ticks used.
    int Tick(int ticks = 400)
    {
        int n = 0;
        for (; n < ticks && (window.TimerEnabled(AcquisitionWindow::Timer::Timer1) ||
                             window.TimerEnabled(AcquisitionWindow::Timer::Timer2));
             ++n) {
            if (window.TimerEnabled(AcquisitionWindow::Timer::Timer1))
                acquisition->Timer1Tick();
            if (window.TimerEnabled(AcquisitionWindow::Timer::Timer2))
                acquisition->Timer2Tick();
        }
        return n;
    }
    // Ticks until `captures` captures were shown (or `ticks` passed).
    void TickUntilShown(int captures, int ticks = 400)
    {
        for (int n = 0; n < ticks && window.captures < captures; ++n)
            Tick(1);
    }

    // The command codes the analyzer received, in order.
    std::vector<uint16_t> Commands()
    {
        std::vector<uint16_t> codes;
        for (const auto &c : Analyzer().Commands())
            codes.push_back(c.Value);
        return codes;
    }
    int CountOf(uint16_t code)
    {
        const auto codes = Commands();
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }

    // Pattern 1: CH0 rising while CH1 and CH2 are high (every 64 samples of
    // the counter scene), so that the software search has something to find.
    void SetCounterTrigger()
    {
        for (auto &row : settings.TriggerCondition)
            row.fill(CFile::CondX);
        settings.TriggerType = 1;
        settings.TriggerCondition[0][0] = CFile::CondRise;
        settings.TriggerCondition[0][1] = CFile::CondHigh;
        settings.TriggerCondition[0][2] = CFile::CondHigh;
    }

    WSystem system;
    CFile settings;
    AFile image;
    std::unique_ptr<CCaptureRecord> record;
    std::unique_ptr<DIV_WTime> timeBase;
    RecordingWindow window;
    std::minstd_rand random{7};
    std::unique_ptr<CAcquisition> acquisition;
    EmulatedDriver *driver = nullptr;
    std::unique_ptr<CEzUsb> link;
};
