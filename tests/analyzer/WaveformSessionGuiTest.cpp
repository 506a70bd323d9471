// What a user sees on the waveform page: a Demo capture at three zoom
// levels, emulated bus traffic with a bus row in each number base, and a
// whole mouse session (run, zoom, scroll, two cursors and their time and
// frequency, the white background, a renamed channel). With
// TRACEMOOR_SCREENSHOTS set, each step is kept as a picture.

#include "AnalyzerWindowFixture.h"

#include "display/CWaveform.h"
#include "display/CursorState.h"
#include "display/TForm2.h"
#include "display/TPaintBox.h"
#include "display/Tform_name.h"
#include "display/WCursor.h"
#include "display/WRowTexts.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>

namespace {

// Pixels of the row's colour in the visible part of the display layer.
int RowPixels(const CWaveform &view, int row)
{
    const TColor colour = view.Rows[static_cast<size_t>(row)].Colour;
    int n = 0;
    for (int y = 0; y < view.PanelHeight; ++y)
        for (int x = 0; x < view.PanelWidth; ++x)
            n += view.DisplayLayer.Pixel(x, y) == colour;
    return n;
}

void ZoomTo(TForm1 &form, int row)
{
    form.DivComboBox->setCurrentIndex(row);
    form.DivComboBoxChange();
}

TEST(WaveformSession, DemoAtThreeZoomLevels)
{
    AnalyzerWindow w(0, {});
    w.Acquisition().DemoPauseMs = 0;
    w.form->AutoScaleButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.Record().CaptureValid == 1; }));
    w.form->StopButton->trigger();
    const CWaveform &view = *w.form->Waveform;
    struct Zoom
    {
        int row;
        const char *picture;
    };
    for (const Zoom z : {Zoom{1, "waveform-demo-20ns.png"}, Zoom{3, "waveform-demo-100ns.png"},
                         Zoom{7, "waveform-demo-2us.png"}}) {
        ZoomTo(*w.form, z.row);
        EXPECT_EQ(view.TimeDivIndex, z.row);
        for (int row : {0, 3})
            EXPECT_GT(RowPixels(view, row), 50) << z.picture << " row " << row;
        KeepScreenshot(*w.form, z.picture);
    }
    // Compressed far enough, the fastest channel is one band of activity.
    EXPECT_GT(view.SamplesPerPixel, 0u);
}

TEST(WaveformSession, BusRowsInEachBaseOverEmulatedTraffic)
{
    AnalyzerWindow w(1, Emulated(1, "scene=counter,tick=2000"));
    CFile &s = w.Settings();
    const int channels = w.form->System().ChannelCount;
    // Three buses over CH7..CH0, one per base, under CH0..CH3.
    s.DisplayOrder.fill(static_cast<uint8_t>(w.form->System().RowCount));
    for (int c = 0; c < 4; ++c)
        s.DisplayOrder[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
    for (int b = 0; b < 3; ++b) {
        SignalEntry &bus = s.BusEntry[static_cast<size_t>(b)];
        bus.BitCount = 8;
        for (int m = 0; m < 8; ++m)
            bus.Members[static_cast<size_t>(m)] = static_cast<uint16_t>(7 - m);
        s.DisplayOrder[static_cast<size_t>(4 + b)] = static_cast<uint8_t>(channels + b);
    }
    w.form->Waveform->RefreshRows();
    w.SetCounterTrigger();
    ZoomTo(*w.form, 6);
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    ASSERT_EQ(w.Record().CaptureValid, 1);
    CWaveform &view = *w.form->Waveform;
    for (int b = 0; b < 3; ++b)
        view.SetDisplayBase(channels + b, b);
    w.form->RedrawWaveform();

    const char *prefixes[] = {"0x", "", ""};
    for (int b = 0; b < 3; ++b) {
        std::vector<WRowTexts::Spot> texts;
        WRowTexts::BusTexts(view.BusValues(b), view.BusShapes(b), view.Placement.FirstColumn, 8, b,
                            texts);
        ASSERT_FALSE(texts.empty()) << "base " << b;
        EXPECT_EQ(texts.front().Text.rfind(prefixes[b], 0), 0u) << texts.front().Text;
        EXPECT_GT(RowPixels(view, channels + b), 50) << "base " << b;
    }
    EXPECT_EQ(w.form->StringGrid1->item(4, 0)->text(), "BUS00");
    KeepScreenshot(*w.form, "waveform-model1-bus-bases.png");
}

TEST(WaveformSession, I2cAndSpiScenesShowTheirSignalsAtTheTrigger)
{
    struct Scene
    {
        const char *emulator;
        int lines;
        const char *picture;
    };
    for (const Scene sc :
         {Scene{"scene=i2c,text=Hi,clock=100000", 2, "waveform-model5-i2c.png"},
          Scene{"scene=spi,text=Hi,clock=1000000", 4, "waveform-model5-spi.png"}}) {
        AnalyzerWindow w(5, Emulated(5, sc.emulator));
        CFile &s = w.Settings();
        s.DisplayOrder.fill(static_cast<uint8_t>(w.form->System().RowCount));
        for (int c = 0; c < sc.lines; ++c)
            s.DisplayOrder[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
        for (auto &row : s.TriggerCondition)
            row.fill(CFile::CondX);
        // I2C start (SDA falls while SCL is high); SPI select going low.
        s.TriggerType = 1;
        s.TriggerCondition[0][sc.lines == 2 ? 1 : 1] = CFile::CondFall;
        if (sc.lines == 2)
            s.TriggerCondition[0][0] = CFile::CondHigh;
        w.form->Waveform->RefreshRows();
        ZoomTo(*w.form, sc.lines == 2 ? 11 : 8);
        w.form->SingleRunButton->trigger();
        ASSERT_TRUE(w.WaitIdle()) << sc.emulator;
        ASSERT_EQ(w.Record().CaptureValid, 1) << sc.emulator;
        const CWaveform &view = *w.form->Waveform;
        for (int c = 0; c < sc.lines; ++c) {
            // Every line changes somewhere in the window: an edge column.
            const auto shapes = view.ChannelShapes(c);
            EXPECT_NE(std::find(shapes.begin(), shapes.end(), CWaveform::Edge), shapes.end())
                << sc.emulator << " CH" << c;
        }
        KeepScreenshot(*w.form, sc.picture);
    }
}

TEST(WaveformSession, AWholeSessionByMouse)
{
    AnalyzerWindow w(0, {});
    TForm1 &f = *w.form;
    w.Acquisition().DemoPauseMs = 0;
    f.AutoScaleButton->trigger();
    ASSERT_TRUE(WaitFor([&w] { return w.Record().CaptureValid == 1; }));
    f.StopButton->trigger();
    CWaveform &view = *f.Waveform;

    // Zoom in twice and out once: 50 ns/div.
    f.ZoomOutButton->trigger();
    f.ZoomInButton->trigger();
    f.ZoomInButton->trigger();
    EXPECT_EQ(view.TimeDivIndex, 2);
    // Scroll a little to the left of the trigger.
    view.Device.HScrollBar->setValue(-60);
    EXPECT_TRUE(view.ViewPosition.IsNegative());
    KeepScreenshot(f, "session-1-zoom-scroll.png");

    // Cursor A at the trigger column, then 100 pixels later cursor B.
    f.CursorAddButton->trigger();
    view.Device.HScrollBar->setValue(40);
    f.CursorAddButton->trigger();
    ModalAnswerer answer([&f](QWidget *dialog) {
        if (dialog == f.Form2) {
            f.Form2->ComboBox1->setCurrentText("A");
            f.Form2->ComboBox2->setCurrentText("B");
            f.Form2->Button1->click();
            f.Form2->Button2->click();
        } else if (dialog == f.form_name) {
            f.form_name->edit_name->setText("CLK");
            f.form_name->btn_yes->click();
        }
    });
    f.CursorSetButton->trigger();
    // Back so that both cursors show.
    view.Device.HScrollBar->setValue(0);
    ASSERT_EQ(f.StateButtons.size(), 1u);
    QPushButton *state = f.StateButtons.begin()->second;
    // 100 pixels of 1 ns: 100 ns, 10 MHz.
    EXPECT_EQ(state->text(), "A To B = 100.000ns");
    KeepScreenshot(f, "session-2-cursors-time.png");
    state->click();
    EXPECT_EQ(state->text(), "A To B = 10MHz");

    f.B_W_Button->trigger();
    f.RenameListRow(0);
    EXPECT_EQ(f.StringGrid1->item(0, 0)->text(), "CLK");
    EXPECT_EQ(view.DisplayLayer.Pixel(view.PanelWidth - 2, 300), 0xFFFFFF);
    KeepScreenshot(f, "session-3-white-renamed.png");
}

} // namespace
