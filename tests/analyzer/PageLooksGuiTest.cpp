// Every page of the main window at the two sizes users meet most, 1024 x 768
// and on a 1920 x 1080 screen (the window's largest size, 1032 x 776), over an SPI capture of the emulated analyzer:
// the waveform's picture fills the plot after each resize and the ruler's
// leftmost label is whole. With TRACEMOOR_SCREENSHOTS set (under Xvfb for
// the real look) each page is kept as a picture, look-<page>-<width>.png.

#include "AnalyzerWindowFixture.h"

#include "display/CWaveform.h"

#include <QAction>
#include <QFrame>
#include <QTabWidget>

namespace {

TEST(PageLooks, EveryPageAtTwoSizes)
{
    AnalyzerWindow w(5, Emulated(5, "scene=spi"));
    TForm1 &f = *w.form;
    f.SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    ASSERT_EQ(w.Record().CaptureValid, 1);
    // The protocol pages and the CPU map on.
    for (QAction *a : {f.I2CButton, f.SPIButton, f.UARTButton, f.CANButton, f.btn_CPU_Map})
        a->trigger();
    struct Size
    {
        int width, height;
    };
    for (const Size s : {Size{1024, 768}, Size{1920, 1080}}) {
        // The window grows no larger than 1032 x 776: on the large screen
        // that is what maximising gives.
        f.resize(s.width, s.height);
        QTest::qWait(100);
        for (int page = 0; page < f.PageControl1->count(); ++page) {
            if (!f.PageControl1->isTabVisible(page))
                continue;
            f.PageControl1->setCurrentIndex(page);
            QTest::qWait(150);
            if (page == 0) {
                const CWaveform &v = *f.Waveform;
                EXPECT_EQ(v.PanelWidth, std::min(v.Device.PlotPanel->width(), 1024))
                    << s.width;
                CWaveformCore::RulerMarks marks;
                v.RulerMarksOf(marks);
                ASSERT_GT(marks.LabelCount, 1);
                for (int i = 0; i < marks.LabelCount; ++i) {
                    const auto &l = marks.Labels[static_cast<size_t>(i)];
                    const int left = v.RulerLabelLeft(l);
                    EXPECT_GE(left, 0) << l.Text << " cut at the left";
                    EXPECT_LE(left + v.RulerImage.Canvas().TextWidth(l.Text), v.PanelWidth)
                        << l.Text << " cut at the right";
                }
            }
            const std::string name = "look-" +
                                     f.PageControl1->widget(page)->objectName().toStdString() +
                                     "-" + std::to_string(s.width) + ".png";
            KeepScreenshot(f, name.c_str());
        }
        f.PageControl1->setCurrentIndex(0);
    }
}

} // namespace
