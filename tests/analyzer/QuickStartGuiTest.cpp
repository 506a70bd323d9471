// The README's first command: scripts/run-demo.sh starts Tracemoor on the
// Demo with --auto-scale. The window is made as the program's entry makes
// it, on a fresh configuration, and must open on a capture with its rows
// listed. With TRACEMOOR_SCREENSHOTS set, the page is kept as a picture.

#include "AnalyzerWindowFixture.h"

#include "display/CWaveform.h"

#include <QTableWidget>

#include <algorithm>

namespace {

TEST(QuickStart, TheDemoOpensOnItsCounterCaptureWithEveryChannelListed)
{
    AnalyzerTestFolder folder; // a fresh configuration
    DeviceEnvironment environment("demo");
    MessageRecorder recorder;
    TForm1 form(nullptr, folder.File("System.ini"));
    form.AutoScaleAtStart = true; // --auto-scale
    form.CreateDialogs();
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(WaitFor([&form] { return form.CaptureRecord->CaptureValid == 1; }, 30000));
    // The next idle redraw has drawn the rows.
    ASSERT_TRUE(WaitFor(
        [&form] {
            const auto shapes = form.Waveform->ChannelShapes(0);
            return std::find(shapes.begin(), shapes.end(), CWaveform::Edge) != shapes.end();
        },
        30000));
    form.Stop2Click();

    EXPECT_TRUE(recorder.messages.empty()); // Auto Scale on the Demo asks nothing
    ASSERT_GE(form.StringGrid1->rowCount(), 16);
    EXPECT_EQ(form.StringGrid1->item(0, 0)->text(), "CH00");
    EXPECT_EQ(form.StringGrid1->item(15, 0)->text(), "CH15");
    // The counter pattern: its lowest bits change within the window.
    for (int c = 0; c < 4; ++c) {
        const auto shapes = form.Waveform->ChannelShapes(c);
        EXPECT_NE(std::find(shapes.begin(), shapes.end(), CWaveform::Edge), shapes.end())
            << "CH" << c;
    }
    KeepScreenshot(form, "quick-start-demo.png");
}

} // namespace
