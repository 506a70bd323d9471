// The waveform page in the main window: a Demo capture drawn as rows with
// their names, scrolling, hand-shift and the colour scheme.

#include "AnalyzerWindowFixture.h"

#include "display/CWaveform.h"
#include "display/TPaintBox.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>

namespace {

// Pixels of `colour` in the display layer.
int CountColour(const CWaveform &w, TColor colour)
{
    int n = 0;
    for (int y = 0; y < w.DisplayLayer.Height(); ++y)
        for (int x = 0; x < w.PanelWidth; ++x)
            n += w.DisplayLayer.Pixel(x, y) == colour;
    return n;
}

TEST(WaveformPage, DemoRunShowsTheCounterRowsWithNames)
{
    AnalyzerWindow w(0, {});
    CWaveform &view = *w.form->Waveform;
    // Auto Scale lists every channel of Demo and runs; Stop ends the run.
    w.form->AutoScaleButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.Record().CaptureValid == 1; }));
    QTest::qWait(100);
    w.form->StopButton->trigger();
    ASSERT_EQ(w.Record().CaptureValid, 1);
    // One idle redraw (Timer3) draws the rows; a fixed wait could pass
    // without a tick on a loaded machine.
    ASSERT_TRUE(WaitFor([&view] { return CountColour(view, view.Rows[7].Colour) > 20; }));

    EXPECT_LT(view.Placement.FirstColumn, CWaveform::ColumnCount);
    const int channels = w.form->System().ChannelCount;
    ASSERT_EQ(w.form->StringGrid1->rowCount(), channels);
    for (int i = 0; i < channels; ++i) {
        EXPECT_EQ(w.form->StringGrid1->item(i, 1)->text(), QString::number(i));
        EXPECT_GE(w.form->StringGrid1->rowHeight(i), CWaveform::MinRowHeight);
    }
    EXPECT_FALSE(w.form->StringGrid1->item(0, 0)->text().isEmpty());
    // Every listed row is drawn in its colour.
    for (int row : {0, 1, 7})
        EXPECT_GT(CountColour(view, view.Rows[static_cast<size_t>(row)].Colour), 20) << row;
    KeepScreenshot(*w.form, "waveform-demo-run.png");
}

} // namespace
