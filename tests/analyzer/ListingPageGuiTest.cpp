// The "Listing" page over a real capture of the emulated analyzer: the rows
// it shows, and that it and the waveform page stay one capture (reorder,
// rename, bus base, cursors moved on either page). With
// TRACEMOOR_SCREENSHOTS set, the page is kept as a picture.

#include "AnalyzerWindowFixture.h"

#include "display/CListMode.h"
#include "display/CWaveform.h"
#include "display/TPaintBox.h"
#include "display/Tform_name.h"
#include "display/WCursor.h"
#include "trigger/BusFrame.h"
#include "trigger/TBusEdit.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>

namespace {

QString Cell(const CListMode &list, int dataRow, int column)
{
    // Model row 0 holds the trigger texts.
    return list.Grid()->model()->index(dataRow + 1, column).data().toString();
}

QString Header(const CListMode &list, int column)
{
    return list.Grid()->model()->headerData(column, Qt::Horizontal).toString();
}

// A captured counter on model 1 with CH0..CH3 and a 6-bit bus CH5..CH0 in
// binary, shown on the Listing page.
struct ListedCapture
{
    AnalyzerWindow w{1, Emulated(1, "scene=counter,tick=2000")};
    CListMode &list = *w.form->ListMode;

    ListedCapture()
    {
        CFile &s = w.Settings();
        const int channels = w.form->System().ChannelCount;
        s.DisplayOrder.fill(static_cast<uint8_t>(w.form->System().RowCount));
        for (int c = 0; c < 4; ++c)
            s.DisplayOrder[static_cast<size_t>(c)] = static_cast<uint8_t>(c);
        SignalEntry &bus = s.BusEntry[0];
        bus.BitCount = 6;
        bus.DisplayFormat = 2;
        for (int m = 0; m < 6; ++m)
            bus.Members[static_cast<size_t>(m)] = static_cast<uint16_t>(5 - m);
        s.DisplayOrder[4] = static_cast<uint8_t>(channels);
        w.form->Waveform->RefreshRows();
        w.SetCounterTrigger();
        w.form->PageControl1->setCurrentIndex(AcquisitionWindow::ListPage);
        w.form->SingleRunButton->trigger();
        EXPECT_TRUE(w.WaitIdle());
        EXPECT_EQ(w.Record().CaptureValid, 1);
    }
};

TEST(ListingPage, ShowsTheCaptureSampleBySample)
{
    ListedCapture c;
    CListMode &list = c.list;
    const WListRows &rows = list.Rows();
    EXPECT_EQ(Header(list, 0), "Sample Number");
    EXPECT_EQ(Header(list, 1), "CH00");
    EXPECT_EQ(Header(list, 5), "BUS00");
    EXPECT_EQ(Header(list, 6), "Timer");
    // The trigger texts: CH0 rising in Pattern 1, CH1 and CH2 high.
    const QAbstractItemModel &m = *list.Grid()->model();
    EXPECT_EQ(m.index(0, 1).data().toString(), QString::fromUtf8("Pattern1 \u2191"));
    EXPECT_EQ(m.index(0, 2).data().toString(), "High");
    EXPECT_EQ(m.index(0, 4).data().toString(), "X");

    EXPECT_EQ(list.ScrollBar()->minimum(), rows.RecordFirst());
    EXPECT_EQ(list.ScrollBar()->maximum(), rows.RecordLast());
    const int half = rows.Half();
    EXPECT_EQ(Cell(list, half, 0), " 0");
    // The trigger sample: CH0 has just risen, CH1 and CH2 are high.
    EXPECT_EQ(Cell(list, half, 1), "1");
    EXPECT_EQ(Cell(list, half, 2), "1");
    EXPECT_EQ(Cell(list, half, 3), "1");
    const QString bits = Cell(list, half, 5);
    ASSERT_EQ(bits.size(), 6);
    EXPECT_EQ(bits.right(3), "111");
    EXPECT_EQ(Cell(list, half + 1, 0), "+1");
    EXPECT_TRUE(Cell(list, half + 1, 6).startsWith('+'));

    // The wheel and the scroll bar move the list by one sample.
    QWheelEvent down(QPointF(30, 50), list.Grid()->viewport()->mapToGlobal(QPointF(30, 50)),
                     QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                     false);
    QApplication::sendEvent(list.Grid()->viewport(), &down);
    EXPECT_EQ(list.Position(), 1);
    EXPECT_EQ(Cell(list, half, 0), "+1");
    list.ScrollBar()->setValue(rows.RecordLast());
    EXPECT_EQ(Cell(list, half, 0), QString("+%1").arg(rows.RecordLast()));
    EXPECT_TRUE(Cell(list, half + 1, 0).isEmpty());

    // The popup's commands, and the search entry point of the list.
    const std::unique_ptr<QMenu> popup = list.BuildPopup();
    QStringList items;
    for (QAction *a : popup->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{"GOTO...", "Search...", "Advanced Trigger", "Advanced Bus"}));
    popup->actions()[0]->menu()->actions()[2]->trigger(); // GOTO Begin
    EXPECT_EQ(list.Position(), rows.RecordFirst());
    list.ShowSampleAtTop(-7);
    EXPECT_EQ(Cell(list, 0, 0), "-7");
    KeepScreenshot(*c.w.form, "listing-page.png");
}

TEST(ListingPage, ReorderRenameAndBaseShowOnBothPages)
{
    ListedCapture c;
    TForm1 &f = *c.w.form;
    CListMode &list = c.list;
    // Dragging CH02's column in front of CH00's reorders the waveform rows.
    list.Grid()->horizontalHeader()->moveSection(3, 1);
    EXPECT_EQ(Header(list, 1), "CH02");
    EXPECT_EQ(Header(list, 2), "CH00");
    EXPECT_EQ(f.StringGrid1->item(0, 0)->text(), "CH02");
    EXPECT_EQ(f.StringGrid1->item(1, 0)->text(), "CH00");
    // The first and the last column stay where they are.
    list.Grid()->horizontalHeader()->moveSection(0, 2);
    EXPECT_EQ(Header(list, 0), "Sample Number");
    EXPECT_EQ(f.StringGrid1->item(0, 0)->text(), "CH02");

    // Renamed on the list: the waveform's signal list shows it too.
    ModalAnswerer answer([&f](QWidget *dialog) {
        if (dialog == f.form_name) {
            f.form_name->edit_name->setText("CLK");
            f.form_name->btn_yes->click();
        }
    });
    emit list.Grid()->horizontalHeader()->sectionDoubleClicked(2);
    EXPECT_EQ(Header(list, 2), "CLK");
    EXPECT_EQ(f.StringGrid1->item(1, 0)->text(), "CLK");

    // Renamed on the waveform page: the list's header follows.
    f.RenameListRow(0);
    EXPECT_EQ(Header(list, 1), "CLK");
}

TEST(ListingPage, ACursorMovedOnOnePageIsThereOnTheOther)
{
    ListedCapture c;
    TForm1 &f = *c.w.form;
    CListMode &list = c.list;
    const WTime period = list.Rows().SamplePeriod();
    list.SetPosition(10);
    f.CursorAddButton->trigger();
    WCursor::Cursor *a = f.Cursors->FindCursor('A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(list.RowOfCursor(*a), 10);
    TPaintBox *marker = list.MarkerOf('A');
    ASSERT_NE(marker, nullptr);
    const int half = list.Rows().Half();
    EXPECT_EQ(marker->y(), (half + WListRows::FixedRows) * WListRows::RowHeight);
    EXPECT_FALSE(list.LinesOfRow(half).empty());

    // Dragged three rows down on the list: the cursor's time follows.
    QTest::mousePress(marker, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5 + 3 * WListRows::RowHeight),
                     marker->mapToGlobal(QPointF(5, 65)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(marker, &move);
    QTest::mouseRelease(marker, Qt::LeftButton, {}, QPoint(5, 65));
    EXPECT_EQ(list.RowOfCursor(*a), 13);
    const WTime expected =
        SignedSub(WListRows::TimeOfIndex(13, period), f.Cursors->TriggerCursor().Time);
    EXPECT_TRUE(a->Time == expected);

    // Moved on the waveform page (as a ruler drag sets it): the list marker follows.
    a->Time = SignedSub(WListRows::TimeOfIndex(-4, period), f.Cursors->TriggerCursor().Time);
    f.RefreshCursorStates();
    EXPECT_EQ(list.RowOfCursor(*a), -4);
    list.GotoCursor('A');
    EXPECT_EQ(list.Position(), -4);
    EXPECT_EQ(list.MarkerOf('A')->y(), (half + WListRows::FixedRows) * WListRows::RowHeight);

    // For the picture: a second cursor, and CH7..CH0 in hexadecimal and decimal too.
    CFile &s = c.w.Settings();
    for (int b = 1; b < 3; ++b) {
        SignalEntry &bus = s.BusEntry[static_cast<size_t>(b)];
        bus.BitCount = 8;
        bus.DisplayFormat = static_cast<uint16_t>(b - 1);
        for (int m = 0; m < 8; ++m)
            bus.Members[static_cast<size_t>(m)] = static_cast<uint16_t>(7 - m);
        s.DisplayOrder[static_cast<size_t>(4 + b)] =
            static_cast<uint8_t>(f.System().ChannelCount + b);
    }
    f.Waveform->RefreshRows();
    f.RefreshListing();
    list.SetPosition(-2);
    f.CursorAddButton->trigger();
    EXPECT_EQ(Header(list, 6), "BUS01");
    EXPECT_TRUE(Cell(list, half, 6).startsWith("0x"));
    KeepScreenshot(f, "listing-page-cursors.png");
}

// The bus editor opened from the list's popup: OK shows the new rows on the
// waveform page and on the list, Cancel changes nothing.
TEST(ListingPage, BusesDefinedInTheDialogShowOnBothPages)
{
    ListedCapture c;
    TForm1 &f = *c.w.form;
    CListMode &list = c.list;
    const auto orderBefore = c.w.Settings().DisplayOrder;
    bool ok = false;
    ModalAnswerer answer([&f, &ok](QWidget *dialog) {
        if (dialog != f.BusEdit)
            return;
        BusFrame &frame = *f.BusEdit->Bus();
        if (!ok) {
            frame.Add->click(); // a sixth row, left without marks
            frame.btn_DeleteClick();
            f.BusEdit->btn_Cancel->click();
            return;
        }
        // Keep CH0, make row 1 a bus of CH3..CH1 (User order), drop the rest.
        BusTable &t = frame.Table();
        t.Erase(1);
        for (int ch : {3, 2, 1})
            t.ToggleCell(1, ch);
        t.SetName(1, "NIBBLE");
        for (int r = t.RowCount() - 1; r >= 2; --r)
            t.Delete(r);
        frame.RowsChanged();
        f.BusEdit->btn_Yes->click();
    });
    const std::unique_ptr<QMenu> popup = list.BuildPopup();
    QAction *advancedBus = popup->actions()[3];
    advancedBus->trigger();
    EXPECT_EQ(answer.Seen(), 1);
    EXPECT_EQ(c.w.Settings().DisplayOrder, orderBefore);
    EXPECT_EQ(Header(list, 5), "BUS00");

    ok = true;
    advancedBus->trigger();
    const int channels = f.System().ChannelCount;
    EXPECT_EQ(c.w.Settings().DisplayOrder[1], channels);
    EXPECT_EQ(list.Rows().ColumnCount(), 4);
    EXPECT_EQ(Header(list, 2), "NIBBLE");
    EXPECT_EQ(f.StringGrid1->item(1, 0)->text(), "NIBBLE");
    EXPECT_EQ(f.StringGrid1->rowCount() >= 2, true);
    // The new bus 0 keeps the base bus 0 had (binary) and reads CH3..CH1 of
    // the sample shown.
    list.SetPosition(0);
    EXPECT_EQ(Cell(list, list.Rows().Half(), 2), "111");
    EXPECT_EQ(f.Waveform->Rows[static_cast<size_t>(channels)].BusWidth, 3);
}

// A run started on the Listing page keeps the delay set on the waveform page
// (it used to go to zero).
TEST(ListingPage, ARunStartedOnTheListKeepsTheDelay)
{
    AnalyzerWindow w(1, Emulated(1, "scene=counter,tick=2000"));
    w.SetCounterTrigger();
    w.Acquisition().Delay = WTime::Of(0, 0, 5); // 5 us
    w.form->PageControl1->setCurrentIndex(AcquisitionWindow::ListPage);
    w.form->SingleRunButton->trigger();
    ASSERT_TRUE(w.WaitIdle());
    EXPECT_EQ(w.Settings().DelayGroups[2], 5);
    EXPECT_EQ(w.Settings().DelayNegative, 0);
}

} // namespace
