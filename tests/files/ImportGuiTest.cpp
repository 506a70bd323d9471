// A Value Change Dump opened with File > Open shows on the pages as a loaded
// project does: the waveform's columns and the Listing's rows hold the
// dump's edges at their samples, the scroll bar reaches the last sample, the
// status bar and the Memory Percent box tell the trigger at the first sample,
// and a dump longer than the model's memory is kept whole (and saved as a
// sigrok session, not a project). With
// TRACEMOOR_SCREENSHOTS the waveform page is kept as a picture.

#include "tests/analyzer/AnalyzerWindowFixture.h"

#include "analyzer/TForm1StatusBar.h"
#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "files/FileSys.h"
#include "files/SigrokSession.h"

#include <QFile>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

namespace {

// Two wires on a 1 us grid: `a` high over samples 100..249, `b` low over
// 250..399, then `a` toggling every `toggle` samples until sample `length`.
std::string Dump(int length, int toggle)
{
    std::string text = "$timescale 1 us $end\n$scope module top $end\n"
                       "$var wire 1 ! a $end\n$var wire 1 \" b $end\n"
                       "$upscope $end\n$enddefinitions $end\n"
                       "#0\n0!\n1\"\n#100\n1!\n#250\n0!\n0\"\n#400\n1\"\n";
    int level = 0;
    for (int t = 1000; t < length; t += toggle) {
        level ^= 1;
        text += "#" + std::to_string(t) + "\n" + (level ? "1!" : "0!") + "\n";
    }
    text += "#" + std::to_string(length) + "\n";
    return text;
}

class ImportWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        FileSys::Wait = [](int) {};
        FileSys::ChooseFile = [this](QWidget *, bool, const QString &) { return choice; };
    }
    void TearDown() override
    {
        AppMessage::SetHandler({});
        FileSys::ChooseFile = [](QWidget *, bool, const QString &) { return FileSys::Choice{}; };
    }
    void Open(TForm1 &form, const std::string &text)
    {
        const QString path = dir.filePath(QStringLiteral("dump.vcd"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
        f.close();
        choice = {path, 1};
        // Every question answered Yes (the window sets its own handler when
        // it is built).
        AppMessage::SetHandler(
            [](AppMessage::Kind, const QString &, const QString &) { return true; });
        form.LoadClick();
    }
    // The column of the first 0 -> 1 (rising) or 1 -> 0 change of a
    // channel's levels at or after column `from`; -1 when none.
    static int EdgeColumn(const CWaveform &view, int channel, bool rising, int from = 0)
    {
        const auto levels = view.ChannelLevels(channel);
        const auto shapes = view.ChannelShapes(channel);
        for (int k = std::max(from, 1); k < CWaveform::ColumnCount; ++k) {
            if (shapes[static_cast<size_t>(k)] == CWaveform::NoData ||
                shapes[static_cast<size_t>(k - 1)] == CWaveform::NoData)
                continue;
            const int was = levels[static_cast<size_t>(k - 1)] & 1;
            const int now = levels[static_cast<size_t>(k)] & 1;
            if (was != now && now == (rising ? 1 : 0))
                return k;
        }
        return -1;
    }
    static QString Cell(const CListMode &list, int dataRow, int column)
    {
        return list.Grid()->model()->index(dataRow + 1, column).data().toString();
    }

    QTemporaryDir dir;
    FileSys::Choice choice;
};

TEST_F(ImportWindow, ADumpShowsItsEdgesOnTheWaveformAndTheListing)
{
    AnalyzerWindow w(0, "");
    TForm1 &form = *w.form;
    Open(form, Dump(1000, 1000));
    CCaptureRecord &record = *form.CaptureRecord;
    ASSERT_EQ(record.CaptureValid, 1);
    EXPECT_EQ(record.DepthSamples, 1000u);
    EXPECT_EQ(record.PreTriggerPercent, 0);

    // 1 us a sample at the record's 25 us/div (500 ns a pixel): the edges
    // lie two columns a sample apart.
    CWaveform &view = *form.Waveform;
    form.RedrawWaveform();
    const int aUp = EdgeColumn(view, 0, true);
    const int aDown = EdgeColumn(view, 0, false);
    const int bDown = EdgeColumn(view, 1, false);
    const int bUp = EdgeColumn(view, 1, true);
    ASSERT_GE(aUp, 0);
    EXPECT_EQ(aDown - aUp, 300);
    EXPECT_EQ(bDown, aDown);
    EXPECT_EQ(bUp - bDown, 300);
    // Between the edges the levels are the dump's, not flat.
    EXPECT_EQ(view.ChannelLevels(0)[static_cast<size_t>(aUp + 10)] & 1, 1);
    EXPECT_EQ(view.ChannelLevels(1)[static_cast<size_t>(aUp + 10)] & 1, 1);
    EXPECT_EQ(view.ChannelLevels(1)[static_cast<size_t>(bDown + 10)] & 1, 0);

    KeepScreenshot(form, "import-vcd-waveform.png");

    // The Listing: sample 99 before a's rise, 100 after it, 250 both fallen.
    CListMode &list = *form.ListMode;
    form.PageControl1->setCurrentIndex(AcquisitionWindow::ListPage);
    struct Row
    {
        int sample;
        const char *a;
        const char *b;
    };
    for (const Row &r :
         {Row{0, "0", "1"}, Row{99, "0", "1"}, Row{100, "1", "1"}, Row{249, "1", "1"},
          Row{250, "0", "0"}, Row{400, "0", "1"}, Row{999, "0", "1"}}) {
        list.ShowSampleAtTop(r.sample);
        EXPECT_EQ(Cell(list, 0, 1), r.a) << r.sample;
        EXPECT_EQ(Cell(list, 0, 2), r.b) << r.sample;
    }

    // The trigger at the first sample: 0 % before it, in the box and the
    // status bar.
    EXPECT_EQ(form.MemoryPercent->currentText(), "");
    EXPECT_EQ(form.MemoryPercent->placeholderText(), "0% / 100%");
    EXPECT_TRUE(form.StatusBar->PanelText(2).endsWith("0% / 100%"))
        << form.StatusBar->PanelText(2).toStdString();
}

TEST_F(ImportWindow, ADumpLongerThanTheModelsMemoryIsKeptWholeAndScrolledToItsEnd)
{
    AnalyzerWindow w(0, "");
    TForm1 &form = *w.form;
    // 1.2 M samples of 1 us: more than any depth of the 16-channel models.
    Open(form, Dump(1200000, 1000));
    CCaptureRecord &record = *form.CaptureRecord;
    ASSERT_EQ(record.CaptureValid, 1);
    EXPECT_EQ(record.DepthSamples, 1200000u);
    EXPECT_TRUE(form.System().HoldsImport());
    EXPECT_EQ(form.System().MemorySize, 8u << 20); // 4.8 MB of words, rounded up
    EXPECT_TRUE(form.StatusBar->PanelText(1).endsWith("1200000"))
        << form.StatusBar->PanelText(1).toStdString();
    EXPECT_EQ(form.Memory_Depth_ComboBox->currentText(), "Import");

    // The scroll bar reaches the record's end (two pixels a sample); near it
    // the last toggle shows: a rises at sample 1199000 and stays high.
    CWaveform &view = *form.Waveform;
    QScrollBar &bar = *view.Device.HScrollBar;
    EXPECT_GE(bar.maximum(), 2 * 1199999);
    bar.setValue(2 * 1198800);
    form.RedrawWaveform();
    const int up = EdgeColumn(view, 0, true);
    ASSERT_GE(up, 0);
    EXPECT_EQ(EdgeColumn(view, 0, false), -1); // the fall before it, 1000 samples back
    KeepScreenshot(form, "import-vcd-end.png");

    // The Listing reaches the last sample.
    CListMode &list = *form.ListMode;
    form.PageControl1->setCurrentIndex(AcquisitionWindow::ListPage);
    list.ShowSampleAtTop(1198999);
    EXPECT_EQ(Cell(list, 0, 1), "0");
    EXPECT_EQ(Cell(list, 1, 1), "1");
    // Its end, as for every capture, the trigger's index plus the samples
    // after it.
    list.GotoEnd();
    EXPECT_EQ(list.Position(), 1200000);

    // Saved: not as a project, which holds the model's memory only, but as a
    // sigrok session with every sample.
    choice = {dir.filePath(QStringLiteral("long.pjf")), 1};
    form.SaveClick();
    EXPECT_FALSE(QFile::exists(choice.path));
    choice = {dir.filePath(QStringLiteral("long")), 2};
    form.SaveClick();
    const VcdReader::Result saved =
        SigrokSession::Read(dir.filePath(QStringLiteral("long.sr")).toStdString());
    ASSERT_EQ(saved.Error, "");
    EXPECT_EQ(saved.Samples, 1200000u);

    // A run gives the import up: the model's own memory again.
    form.SingleRunButton->trigger();
    EXPECT_FALSE(form.System().HoldsImport());
    EXPECT_EQ(form.System().MemorySize, form.System().ModelMemorySize());
    form.StopButton->trigger();
}

} // namespace
