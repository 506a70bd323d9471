// A new user's first hour, on an emulated analyzer: a fresh configuration,
// the attached analyzer offered by the model selection, the offer to list
// every channel accepted, and a capture of I2C traffic on screen. With
// TRACEMOOR_SCREENSHOTS set, the page is kept as a picture.

#include "AnalyzerWindowFixture.h"

#include "display/CWaveform.h"
#include "files/CIniFile.h"

#include <QAction>
#include <QComboBox>
#include <QProgressBar>
#include <QTableWidget>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

TEST(FirstRun, FromAFreshConfigurationToAnI2cCaptureOnScreen)
{
    AnalyzerTestFolder folder; // no System.ini yet
    const std::string ini = folder.File("System.ini");
    DeviceEnvironment environment("model=5,scene=i2c,text=Hello");
    MessageRecorder recorder(true); // Yes to every question

    std::vector<uint8_t> offered;
    int preselected = -1;
    ModalAnswerer answer([&](QWidget *dialog) {
        if (auto *select = qobject_cast<TDeviceSelectForm *>(dialog)) {
            offered = select->EntryCodes;
            const int entry = select->Device_Box->currentIndex();
            if (entry >= 0)
                preselected = select->EntryCodes[static_cast<size_t>(entry)];
            select->OK_btn->click(); // the user takes what is offered first
        }
    });
    TForm1 form(nullptr, ini);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // The fresh mask offers Demo; the analyzer that is attached is offered
    // beside it and preselected, and the mask is left as it was.
    EXPECT_EQ(offered, (std::vector<uint8_t>{0, 5}));
    EXPECT_EQ(preselected, 5);
    EXPECT_EQ(form.System().ModelCode, 5);
    EXPECT_EQ(CIniFile(ini).ReadString("Model", "Host", ""), "1");
    EXPECT_EQ(form.windowTitle(), "Logic Analyzer V2.06 - PC-Based LA 100MHz/4ns(16CH)");

    // A time/div that shows a few I2C bits, then Single Run on the empty list.
    form.DivComboBox->setCurrentIndex(11);
    form.DivComboBoxChange();
    form.SingleRunButton->trigger();
    ASSERT_TRUE(WaitFor([&form] {
        return !form.Timer1->isActive() && !form.Timer2->isActive() && form.RunButton->isEnabled();
    }));

    // One line told the user and the offer was taken: every channel is listed.
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].kind, AppMessage::Kind::Question);
    EXPECT_TRUE(recorder.messages[0].text.startsWith("The signal list is empty"));
    EXPECT_EQ(form.StringGrid1->item(0, 0)->text(), "CH00");
    EXPECT_EQ(form.StringGrid1->item(15, 0)->text(), "CH15");

    // The capture is on the page: SCL (CH0) and SDA (CH1) change in view.
    EXPECT_EQ(form.CaptureRecord->CaptureValid, 1);
    for (int c = 0; c < 2; ++c) {
        const auto shapes = form.Waveform->ChannelShapes(c);
        EXPECT_NE(std::find(shapes.begin(), shapes.end(), CWaveform::Edge), shapes.end())
            << "CH" << c;
    }
    EXPECT_EQ(form.ProgressBar1->value(), AcquisitionWindow::IdleProgress);
    KeepScreenshot(form, "first-run-i2c.png");
}

} // namespace
