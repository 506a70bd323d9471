// Auto Scale on an emulated analyzer: the program takes over the time base
// the analyzer chose for its traffic, and the traffic shows on the page.

#include "AnalyzerWindowFixture.h"

#include "display/CWaveform.h"
#include "device/ModelTable.h"

#include <QAction>
#include <QComboBox>

namespace {

// Level changes in the columns the view converted for a channel.
int Changes(const CWaveform &view, int channel)
{
    int n = 0;
    for (const uint8_t shape : view.ChannelShapes(channel))
        n += shape == 9;
    return n;
}

TEST(AutoScaleWindow, TakesTheAnalyzersTimeBaseAndShowsTheTraffic)
{
    struct Case
    {
        const char *scene;
        int channel; // the scene's fastest line
        int fastestRow;
    };
    const Case cases[] = {
        {"scene=uart", 4, 14},            // 9600 baud: bits of 104 us
        {"scene=spi,clock=1000000", 0, 7}, // 1 MHz clock
    };
    for (const Case &c : cases) {
        AnalyzerWindow w(5, Emulated(5, c.scene));
        ASSERT_EQ(w.form->DivComboBox->currentIndex(), 3) << "100nS at start";
        // A fresh analyzer holds no signal list: yes, list every channel.
        MessageRecorder yes(true);
        w.form->AutoScaleButton->trigger();
        ASSERT_TRUE(WaitFor([&w] { return w.Record().CaptureValid == 1; })) << c.scene;
        w.form->StopButton->trigger();
        ASSERT_TRUE(w.WaitIdle());
        const int row = w.form->DivComboBox->currentIndex();
        EXPECT_GE(row, c.fastestRow) << c.scene << ": " << ModelTable::Row(row).text;
        EXPECT_EQ(w.form->Waveform->TimeDivIndex, row) << c.scene;
        EXPECT_EQ(w.Settings().TimeDivRow, row) << c.scene;
        w.form->RedrawWaveform();
        EXPECT_GE(Changes(*w.form->Waveform, c.channel), 10) << c.scene << " looks flat";
    }
}

} // namespace
