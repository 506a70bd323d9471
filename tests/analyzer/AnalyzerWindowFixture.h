#pragma once

// A shown main window over emulated analyzers (or Demo), for the window
// tests of the analyzer: the device environment, waiting on the event loop,
// screenshots on request.

#include "AnalyzerGuiHelpers.h"
#include "AnalyzerTestFolder.h"

#include "analyzer/CAcquisition.h"
#include "analyzer/TDeviceSelectForm.h"
#include "analyzer/TForm1.h"
#include "device/CEzUsb.h"
#include "device/EmulatedDriver.h"
#include "display/CCaptureRecord.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

// TRACEMOOR_DEVICE for one test, restored afterwards.
class DeviceEnvironment
{
public:
    explicit DeviceEnvironment(const std::string &value)
        : old(qgetenv("TRACEMOOR_DEVICE"))
        , had(qEnvironmentVariableIsSet("TRACEMOOR_DEVICE"))
    {
        qputenv("TRACEMOOR_DEVICE", QByteArray::fromStdString(value));
    }
    ~DeviceEnvironment()
    {
        if (had)
            qputenv("TRACEMOOR_DEVICE", old);
        else
            qunsetenv("TRACEMOOR_DEVICE");
    }
    DeviceEnvironment(const DeviceEnvironment &) = delete;
    DeviceEnvironment &operator=(const DeviceEnvironment &) = delete;

private:
    QByteArray old;
    bool had;
};

// Upper bound of a wait for something the program does by itself: generous,
// since a loaded machine (both cores busy, sanitizers) can be slow, and a
// passing test never waits for it to run out.
constexpr int WaitBoundMs = 30000;

// Lets the event loop run until `done` holds or `ms` have passed.
inline bool WaitFor(const std::function<bool()> &done, int ms = WaitBoundMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

// A shown main window on model `model` (0: Demo) over the analyzers that
// `emulator` describes, with every message recorded instead of shown.
class AnalyzerWindow
{
public:
    // `listChannels`: every channel is listed in the signal list after start.
    AnalyzerWindow(int model, const std::string &emulator, bool listChannels = true)
        : environment(model == 0 ? std::string("demo") : emulator)
    {
        // Only the model asked for is offered; the selection at start takes it.
        std::ofstream(folder.File("System.ini"))
            << "[History]\nLastFile=\n[Model]\nHost=" << std::hex << (1 << model) << "\n";
        form = std::make_unique<TForm1>(nullptr, folder.File("System.ini"));
        ModalAnswerer answer([this, model](QWidget *dialog) {
            ++dialogs;
            if (auto *select = qobject_cast<TDeviceSelectForm *>(dialog)) {
                // The connected analyzer is offered too: take the model asked for.
                const auto &codes = select->EntryCodes;
                const auto entry = std::find(codes.begin(), codes.end(), model);
                if (entry != codes.end())
                    select->Device_Box->setCurrentIndex(static_cast<int>(entry - codes.begin()));
                select->OK_btn->click();
            }
        });
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        EXPECT_EQ(form->System().ModelCode, model);
        // A user who has listed the channels: a run draws them without asking.
        if (listChannels) {
            form->Acquisition->ListEveryChannel();
            form->RefreshFromSettings(false);
        }
    }

    CAcquisition &Acquisition() { return *form->Acquisition; }
    CFile &Settings() { return form->Settings(); }
    CCaptureRecord &Record() { return *form->CaptureRecord; }
    EmulatedDriver &Driver()
    {
        return dynamic_cast<EmulatedDriver &>(form->EzUsb->Device().Driver());
    }
    AnalyzerFirmware &Analyzer() { return Driver().Firmware(Driver().Config().Foreign); }

    bool Idle() const
    {
        const bool timers =
            !form->Timer1->isActive() && !form->Timer2->isActive() && form->Timer3->isActive();
        return timers && form->RunButton->isEnabled() && !form->StopButton->isEnabled();
    }
    bool WaitIdle(int ms = WaitBoundMs)
    {
        return WaitFor([this] { return Idle(); }, ms);
    }

    // Pattern 1: CH0 rising while CH1 and CH2 are high.
    void SetCounterTrigger()
    {
        CFile &s = form->Settings();
        for (auto &row : s.TriggerCondition)
            row.fill(CFile::CondX);
        s.TriggerType = 1;
        s.TriggerCondition[0][0] = CFile::CondRise;
        s.TriggerCondition[0][1] = CFile::CondHigh;
        s.TriggerCondition[0][2] = CFile::CondHigh;
    }

    QStringList Messages() const
    {
        QStringList texts;
        for (const auto &m : recorder.messages)
            texts << m.text;
        return texts;
    }

    AnalyzerTestFolder folder;
    DeviceEnvironment environment;
    MessageRecorder recorder;
    std::unique_ptr<TForm1> form;
    int dialogs = 0;
};

inline std::string Emulated(int model, const std::string &more = {})
{
    return "model=" + std::to_string(model) + (more.empty() ? "" : "," + more);
}
