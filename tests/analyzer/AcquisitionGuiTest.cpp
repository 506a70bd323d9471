// The main window against emulated analyzers: runs on every model, the
// faults of the device link, Demo captures and the command states.

#include "AnalyzerWindowFixture.h"

#include "analyzer/CAcquisition.h"
#include "analyzer/TDeviceSelectForm.h"
#include "analyzer/TForm1.h"
#include "analyzer/TForm1StatusBar.h"
#include "analyzer/TLamp.h"
#include "device/CEzUsb.h"
#include "device/EmulatedDriver.h"
#include "display/CCaptureRecord.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace {

// --- A capture on every model ----------------------------------------------------

class EveryModelWindow : public testing::TestWithParam<int>
{
};

TEST_P(EveryModelWindow, SingleRunBringsTheCaptureAndEndsIdle)
{
    const int model = GetParam();
    AnalyzerWindow w(model, Emulated(model));
    ASSERT_TRUE(w.form->EzUsb->Connected);
    EXPECT_EQ(w.form->combo_Device->currentText(), "Device0");
    EXPECT_EQ(w.Acquisition().AcquisitionStep, CAcquisition::StepSendSettings);
    w.SetCounterTrigger();
    // 10 us/div (400 ns samples) and the third depth of the model's list.
    w.form->DivComboBox->setCurrentIndex(9);
    w.form->Settings().MemoryDepthIndex = 3;
    w.form->Memory_Depth_ComboBox->setCurrentIndex(3);

    w.form->SingleRunButton->trigger();
    EXPECT_FALSE(w.form->SingleRunButton->isEnabled());
    EXPECT_TRUE(w.form->StopButton->isEnabled());
    ASSERT_TRUE(w.WaitIdle());

    EXPECT_EQ(w.Record().CaptureValid, 1);
    ASSERT_TRUE(w.Analyzer().LastCapture());
    EXPECT_EQ(w.Record().TriggerAddress, w.Analyzer().LastCapture()->TriggerAddress);
    EXPECT_EQ(w.form->ProgressBar1->value(), 100);
    EXPECT_FALSE(w.form->ALed1->On());
    EXPECT_FALSE(w.Acquisition().Running);
    EXPECT_TRUE(w.Messages().isEmpty()) << w.Messages().join("|").toStdString();
    EXPECT_EQ(w.Acquisition().LastTimeDivRow, 9);
    EXPECT_EQ(w.Settings().RateRow, 9);
    EXPECT_EQ(w.Record().DepthIndex, 3);
    EXPECT_EQ(w.form->StatusBar->PanelText(0), "Sample Rate : 400nS(2.5MHz)");
    EXPECT_EQ(w.form->StatusBar->PanelText(1),
              "Memory Depth : " + w.form->Memory_Depth_ComboBox->itemText(3));
    if (model == 5)
        KeepScreenshot(*w.form, "main-window-model5-run.png");
}

INSTANTIATE_TEST_SUITE_P(Models, EveryModelWindow, testing::Range(1, 11));

// --- Repeated runs and the command states ---------------------------------------------

TEST(AcquisitionWindow, RunRepeatsUntilStopWithTheCommandsOfARun)
{
    for (int model : {1, 4}) {
        AnalyzerWindow w(model, Emulated(model));
        w.SetCounterTrigger();
        w.form->RunButton->trigger();
        ASSERT_TRUE(WaitFor([&w] { return w.Analyzer().CapturesStarted() >= 3; }));
        EXPECT_TRUE(w.Acquisition().Running);

        // Running: run commands, files, search, model change and hand-shift off.
        for (QAction *a :
             {w.form->RunButton, w.form->SingleRun, w.form->Run1, w.form->Load, w.form->Save,
              w.form->Print1, w.form->ToolButton2, w.form->FindNext1, w.form->SearchPrevious,
              w.form->ChangeModel1, w.form->Import, w.form->Export, w.form->HandShiftButton})
            EXPECT_FALSE(a->isEnabled()) << model << " " << a->objectName().toStdString();
        EXPECT_TRUE(w.form->Stop2->isEnabled());
        EXPECT_TRUE(w.form->AutoStoreButton->isEnabled());

        w.form->StopButton->trigger();
        EXPECT_TRUE(w.Idle());
        EXPECT_EQ(w.Record().CaptureValid, 1);
        for (QAction *a : {w.form->RunButton, w.form->SingleRun, w.form->Run1, w.form->Load,
                           w.form->Save, w.form->Print1, w.form->ToolButton2, w.form->FindNext1,
                           w.form->SearchPrevious, w.form->ChangeModel1, w.form->HandShiftButton})
            EXPECT_TRUE(a->isEnabled()) << model << " " << a->objectName().toStdString();
        // Device memory transfers only for model codes 0, 1 and 2.
        EXPECT_EQ(w.form->Import->isEnabled(), model <= 2);
        EXPECT_EQ(w.form->Export->isEnabled(), model <= 2);
        EXPECT_FALSE(w.form->Stop2->isEnabled());
        EXPECT_TRUE(w.Messages().isEmpty());
    }
}

TEST(AcquisitionWindow, AutoStoreTogglesTogetherAndGoesOffWhenIdle)
{
    AnalyzerWindow w(3, Emulated(3));
    w.form->RunButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.form->Stop2->isEnabled(); }));
    w.form->AutoStoreButton->trigger();
    EXPECT_TRUE(w.Acquisition().AutoStoreOn);
    EXPECT_TRUE(w.form->AutoStore1->isChecked());
    EXPECT_TRUE(w.form->AutoStoreButton->isChecked());
    w.form->AutoStore1->trigger();
    EXPECT_FALSE(w.Acquisition().AutoStoreOn);
    EXPECT_FALSE(w.form->AutoStoreButton->isChecked());
    w.form->AutoStoreButton->trigger();
    w.form->Stop2->trigger();
    EXPECT_FALSE(w.Acquisition().AutoStoreOn);
    EXPECT_FALSE(w.form->AutoStore1->isChecked());
    EXPECT_FALSE(w.form->AutoStoreButton->isChecked());
}

// --- Faults --------------------------------------------------------------------------------

struct WindowFault
{
    const char *name;
    const char *emulator;
    QStringList messages;
};

class FaultWindow : public testing::TestWithParam<WindowFault>
{
};

TEST_P(FaultWindow, ShowsItsMessageAndTheProgramGoesOn)
{
    const WindowFault &c = GetParam();
    AnalyzerWindow w(5, Emulated(5, c.emulator));
    w.SetCounterTrigger();
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(w.Messages(), c.messages);
    EXPECT_FALSE(w.form->ALed1->On());

    // Still usable: another single run either captures or says why not.
    w.recorder.messages.clear();
    const bool connected = w.form->EzUsb->Connected;
    ModalAnswerer answer([](QWidget *dialog) {
        if (auto *select = qobject_cast<TDeviceSelectForm *>(dialog))
            select->OK_btn->click();
    });
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    if (connected) {
        EXPECT_TRUE(w.Messages().isEmpty()) << w.Messages().join("|").toStdString();
        EXPECT_EQ(w.Record().CaptureValid, 1);
    } else {
        EXPECT_EQ(w.form->combo_Device->currentText(), "Select Device.");
        EXPECT_EQ(w.Messages(), QStringList{"No device connected."});
        EXPECT_EQ(answer.Seen(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultWindow,
    testing::Values(WindowFault{"Busy", "busy=8", {}},
                    WindowFault{"LinkFail", "linkfail=StartCapture*1", {"Linking fail."}},
                    WindowFault{
                        "UnplugAtReadSamples", "unplug=ReadSamples", {"No device connected."}},
                    WindowFault{"ShortRead", "short=ReadSamples*1", {}},
                    WindowFault{"CorruptedBlock", "corrupt=2", {}},
                    WindowFault{"TimeOut", "timeout=ReadBlock*2,timeout=ReadSamples*1", {}}),
    [](const testing::TestParamInfo<WindowFault> &row) { return row.param.name; });

TEST(AcquisitionWindow, AnotherModelSaysVersionIsWrongAndOpensTheModelSelection)
{
    AnalyzerWindow w(5, Emulated(6));
    const int dialogsAtStart = w.dialogs;
    std::vector<uint8_t> offered;
    int preselected = -1;
    ModalAnswerer answer([&](QWidget *dialog) {
        if (auto *select = qobject_cast<TDeviceSelectForm *>(dialog)) {
            offered = select->EntryCodes;
            preselected = select->EntryCodes.at(
                static_cast<size_t>(std::max(select->Device_Box->currentIndex(), 0)));
            select->OK_btn->click();
        }
    });
    w.form->RunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(w.Messages(), QStringList{"Version is wrong."});
    EXPECT_EQ(answer.Seen(), 1);
    // The analyzer that is attached is offered beside the mask and preselected.
    EXPECT_EQ(offered, (std::vector<uint8_t>{5, 6}));
    EXPECT_EQ(preselected, 6);
    EXPECT_EQ(w.form->System().ModelCode, 6);
    EXPECT_EQ(dialogsAtStart, 1);
    EXPECT_FALSE(w.Acquisition().Running);
    EXPECT_EQ(w.Acquisition().AcquisitionStep, CAcquisition::StepSendSettings);
}

TEST(AcquisitionWindow, AutoScaleWithoutADeviceSaysNoDeviceConnected)
{
    AnalyzerWindow w(5, "count=0");
    EXPECT_EQ(w.form->combo_Device->currentText(), "Select Device.");
    w.form->AutoScaleButton->trigger();
    EXPECT_EQ(w.Messages(), QStringList{"No device connected."});
    EXPECT_TRUE(w.Idle());
}

TEST(AcquisitionWindow, AnAnalyzerThisUserMayNotOpenIsNamedWithTheFix)
{
    AnalyzerWindow w(5, "model=5,noaccess");
    ModalAnswerer answer([](QWidget *dialog) {
        if (auto *select = qobject_cast<TDeviceSelectForm *>(dialog))
            select->OK_btn->click();
    });
    w.form->RunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    const QStringList once{QString::fromUtf8(AcquisitionWindow::NoAccessText)};
    EXPECT_EQ(w.Messages(), once);
    EXPECT_EQ(answer.Seen(), 0) << "not a wrong model";
    w.recorder.messages.clear();
    w.form->AutoScaleButton->trigger();
    EXPECT_EQ(w.Messages(), once);
    EXPECT_TRUE(w.Idle());
}

TEST(AcquisitionWindow, UnpluggingMidRunEndsItAndPluggingBackConnectsAgain)
{
    AnalyzerWindow w(8, Emulated(8));
    w.SetCounterTrigger();
    w.form->RunButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.Analyzer().CapturesStarted() >= 2; }));

    w.Driver().Unplug(w.Driver().Config().Foreign);
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(w.Messages(), QStringList{"No device connected."});
    EXPECT_FALSE(w.form->EzUsb->Connected);
    EXPECT_EQ(w.form->combo_Device->currentText(), "Select Device.");

    w.Driver().Plug(w.Driver().Config().Foreign);
    ASSERT_TRUE(WaitFor([&w] { return w.form->EzUsb->Connected; }));
    EXPECT_EQ(w.form->combo_Device->currentText(), "Device0");
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(w.Record().CaptureValid, 1);
    EXPECT_EQ(w.Messages().size(), 1);
}

TEST(AcquisitionWindow, ChangeModelTakesTheChosenModelWithFreshSettings)
{
    AnalyzerWindow w(5, Emulated(6));
    std::ofstream(w.folder.File("System.ini")) << "[History]\nLastFile=\n[Model]\nHost=60\n";
    w.Settings().TriggerType = 3;
    w.Settings().MemoryDepthIndex = 4;
    ModalAnswerer answer([](QWidget *dialog) {
        if (auto *select = qobject_cast<TDeviceSelectForm *>(dialog)) {
            select->Device_Box->setCurrentIndex(1); // models 5 and 6 offered
            select->OK_btn->click();
        }
    });
    w.form->ChangeModel1->trigger();
    EXPECT_EQ(answer.Seen(), 1);
    EXPECT_EQ(w.form->System().ModelCode, 6);
    EXPECT_EQ(w.form->windowTitle(), "Logic Analyzer V2.06 - PC-Based LA 100MHz/4ns(32CH)");
    EXPECT_EQ(w.Settings().TriggerType, 1);
    EXPECT_EQ(w.form->Memory_Depth_ComboBox->currentIndex(), 0);
    EXPECT_EQ(w.form->Memory_Depth_ComboBox->count(), 11);
    EXPECT_TRUE(w.Idle());

    // The analyzer is a model 6: a run now captures. The fresh settings list
    // no channel, so the run offers to list them first (answered No here).
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    ASSERT_EQ(w.Messages().size(), 1) << w.Messages().join("|").toStdString();
    EXPECT_TRUE(w.Messages()[0].startsWith("The signal list is empty"));
    EXPECT_EQ(w.Record().CaptureValid, 1);
}

// --- Demo -------------------------------------------------------------------------------------

TEST(DemoWindowRun, RunMakesCapturesUntilStopAndSingleRunEndsIdle)
{
    AnalyzerWindow w(0, "");
    EXPECT_EQ(w.dialogs, 0);
    w.form->RunButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.Record().CaptureValid == 1; }));
    EXPECT_TRUE(w.Acquisition().Running);
    EXPECT_FALSE(w.form->RunButton->isEnabled());
    w.form->StopButton->trigger();
    EXPECT_TRUE(w.Idle());

    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(w.Record().CaptureValid, 1);
    EXPECT_EQ(w.form->ProgressBar1->value(), 100);
    EXPECT_EQ(w.form->Edit1->text(), "0.0ns");
    EXPECT_TRUE(w.Messages().isEmpty());
    KeepScreenshot(*w.form, "main-window-demo-run.png");
}

} // namespace
