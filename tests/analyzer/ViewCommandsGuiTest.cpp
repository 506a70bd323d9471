// The main window's view commands and cursors on a Demo capture, driven
// through the window's own controls: zoom limits, grid style, colours,
// cursors with their markers and states, the GOTO commands, "Default", the
// signal list's mouse handling and hand-shift panning.

#include "AnalyzerWindowFixture.h"

#include "analyzer/ViewCommands.h"
#include "display/CWaveform.h"
#include "display/CursorState.h"
#include "display/TForm2.h"
#include "display/TForm4.h"
#include "display/TPaintBox.h"
#include "display/Tform_name.h"
#include "display/WCursor.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

namespace {

WTime Us(uint32_t us, bool negative = false)
{
    return Normalise(WTime::Of(0, 0, us, 0, 0, negative ? 0 : 1));
}

// A Demo window with a stopped Auto Scale capture on show.
class ViewWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        w.Acquisition().DemoPauseMs = 0;
        w.form->AutoScaleButton->trigger();
        ASSERT_TRUE(WaitFor([this] { return w.Record().CaptureValid == 1; }));
        w.form->StopButton->trigger();
        ASSERT_TRUE(w.Idle());
    }

    CWaveform &View() { return *w.form->Waveform; }
    WCursor &Cursors() { return *w.form->Cursors; }
    int MarkerLeft(char name) { return View().MarkerOf(name)->x(); }
    int TriggerMarkerColumn()
    {
        return View().PreTriggerPercent * View().PanelWidth / 100 - WCursor::TipOffset;
    }

    AnalyzerWindow w{0, {}};
};

TEST_F(ViewWindow, ZoomCommandsStopAtTheFirstAndLastRow)
{
    TForm1 &f = *w.form;
    f.DivComboBox->setCurrentIndex(0);
    f.DivComboBoxChange();
    EXPECT_EQ(View().TimeDivIndex, 0);
    EXPECT_FALSE(f.ZoomInButton->isEnabled());
    EXPECT_TRUE(f.ZoomOutButton->isEnabled());
    for (int i = 0; i < 30; ++i)
        if (f.ZoomOut1->isEnabled())
            f.ZoomOut1->trigger();
    EXPECT_EQ(View().TimeDivIndex, ViewCommands::InternalLastRow);
    EXPECT_EQ(f.DivComboBox->currentIndex(), ViewCommands::InternalLastRow);
    EXPECT_FALSE(f.ZoomOut1->isEnabled());
    f.ZoomInButton->trigger();
    EXPECT_EQ(View().TimeDivIndex, ViewCommands::InternalLastRow - 1);
    EXPECT_TRUE(f.ZoomIn1->isEnabled() && f.ZoomOut1->isEnabled());
    // Zooming keeps the capture's sample period.
    EXPECT_EQ(View().RateIndex, w.Settings().RateRow);
}

TEST_F(ViewWindow, GridStyleCyclesAndTheBackgroundToggles)
{
    TForm1 &f = *w.form;
    const int start = View().GridStyle;
    for (int i = 0; i < 4; ++i)
        f.GridButton->trigger();
    EXPECT_EQ(View().GridStyle, start);

    const TColor corner = View().DisplayLayer.Pixel(View().PanelWidth - 2, 300);
    EXPECT_EQ(corner, 0x000000);
    f.B_W_Button->trigger();
    EXPECT_EQ(f.BackgroundColor, 0xFFFFFFu);
    EXPECT_EQ(f.ForegroundColor, 0u);
    EXPECT_EQ(View().DisplayLayer.Pixel(View().PanelWidth - 2, 300), 0xFFFFFF);
    f.BW1->trigger();
    EXPECT_EQ(f.BackgroundColor, 0u);
    EXPECT_EQ(f.ListColor, f.SystemListColor);
}

TEST_F(ViewWindow, CursorsAreNamedInTurnUpToTheLimitAndDefaultRemovesThem)
{
    TForm1 &f = *w.form;
    f.CursorAddButton->trigger();
    f.CursorAddButton->trigger();
    ASSERT_NE(Cursors().FindCursor('A'), nullptr);
    ASSERT_NE(Cursors().FindCursor('B'), nullptr);
    ASSERT_NE(View().MarkerOf('B'), nullptr);
    // Both sit on the trigger column, as "T" does.
    EXPECT_EQ(MarkerLeft('A'), TriggerMarkerColumn());
    EXPECT_EQ(MarkerLeft('T'), TriggerMarkerColumn());

    // "Delete" removes the selected (newest) cursor and its marker.
    f.Delete1->trigger();
    EXPECT_EQ(Cursors().FindCursor('B'), nullptr);
    EXPECT_EQ(View().MarkerOf('B'), nullptr);

    for (int i = 0; i < 24; ++i)
        f.CursorAddButton->trigger();
    EXPECT_EQ(Cursors().Count(), WCursor::MaxUserCursors);
    EXPECT_EQ(Cursors().FindCursor('T'), &Cursors().TriggerCursor());
    f.CursorAddButton->trigger();
    EXPECT_EQ(Cursors().Count(), WCursor::MaxUserCursors);
    EXPECT_EQ(w.Messages(), QStringList{"Out of Cursor limit."});

    f.Default1->trigger();
    EXPECT_EQ(Cursors().Count(), 0);
    EXPECT_TRUE(Cursors().TriggerCursor().Time.IsZero());
    EXPECT_TRUE(View().ViewPosition.IsZero());
    EXPECT_EQ(View().MarkerOf('A'), nullptr);
    EXPECT_NE(View().MarkerOf('T'), nullptr);
    EXPECT_TRUE(w.Idle());
}

TEST_F(ViewWindow, CursorStateButtonShowsTimeThenFrequency)
{
    TForm1 &f = *w.form;
    f.CursorAddButton->trigger();
    f.CursorAddButton->trigger();
    Cursors().FindCursor('A')->Time = WTime{};
    Cursors().FindCursor('B')->Time = Normalise(WTime::Of(0, 500, 2, 0, 0, 1));
    ModalAnswerer answer([&f](QWidget *dialog) {
        ASSERT_EQ(dialog, f.Form2);
        f.Form2->ComboBox1->setCurrentText("A");
        f.Form2->ComboBox2->setCurrentText("B");
        f.Form2->Button1->click();
        f.Form2->Button2->click();
    });
    f.CursorSetButton->trigger();
    ASSERT_EQ(f.StateButtons.size(), 1u);
    QPushButton *button = f.StateButtons.begin()->second;
    EXPECT_EQ(button->text(), "A To B = 2.500us");
    button->click();
    EXPECT_EQ(button->text(), "A To B = 400KHz");
    // Deleting a cursor leaves the state with question marks.
    f.Delete1->trigger();
    EXPECT_EQ(button->text(), " ? To ? = xxx ");
    f.CursorStates->Select(f.StateButtons.begin()->first);
    f.wCStateDelete->trigger();
    EXPECT_TRUE(f.StateButtons.empty());
}

TEST_F(ViewWindow, MarkersOffTheEdgesParkAtTheBorders)
{
    TForm1 &f = *w.form;
    f.CursorAddButton->trigger();
    f.CursorAddButton->trigger();
    Cursors().FindCursor('A')->Time = Us(900);
    Cursors().FindCursor('B')->Time = Us(900, true);
    f.RedrawWaveform();
    EXPECT_EQ(MarkerLeft('A'), View().PanelWidth - 10);
    EXPECT_EQ(MarkerLeft('B'), -8);
}

TEST_F(ViewWindow, GotoCursorWithADelayBringsTheCursorBackToTheTriggerColumn)
{
    TForm1 &f = *w.form;
    // A run with a delay of +5 us leaves the trigger mark 5 us before the view.
    w.Acquisition().Delay = Us(5);
    Cursors().SetTriggerCursor(Us(5));
    f.SyncTriggerCursor();
    f.CursorAddButton->trigger();
    const WTime there = View().ViewPosition;
    f.GOTOEnd1->trigger();
    EXPECT_NE(MarkerLeft('A'), TriggerMarkerColumn());
    ModalAnswerer answer([&f](QWidget *dialog) {
        ASSERT_EQ(dialog, f.Form4);
        f.Form4->Button1->click();
    });
    f.Cursor1->trigger();
    EXPECT_EQ(View().ViewPosition, there);
    EXPECT_EQ(MarkerLeft('A'), TriggerMarkerColumn());
}

TEST_F(ViewWindow, DraggingAMarkerPastTheLeftEdgeScrollsTheView)
{
    TForm1 &f = *w.form;
    f.CursorAddButton->trigger();
    TPaintBox *marker = View().MarkerOf('A');
    const WTime before = View().ViewPosition;
    QTest::mousePress(marker, Qt::LeftButton, {}, QPoint(7, 10));
    EXPECT_TRUE(Cursors().Dragging);
    // Far left of the marker: the view moves one pixel and the left
    // auto-scroll runs until the button is released.
    View().DragMarker(-(MarkerLeft('A') + 50));
    EXPECT_TRUE(f.Timer4->isActive());
    const int parked = MarkerLeft('A');
    EXPECT_LT(parked, 10);
    // At least one tick of Timer4, however long the machine takes for it.
    EXPECT_TRUE(WaitFor([&] {
        return TimeGreater(TimeAbsDiff(before, View().ViewPosition), View().TimePerPixel);
    }));
    EXPECT_TRUE(View().ViewPosition.IsNegative());
    QTest::mouseRelease(marker, Qt::LeftButton, {}, QPoint(7, 10));
    EXPECT_FALSE(f.Timer4->isActive());
    EXPECT_FALSE(Cursors().Dragging);
    // The cursor went along with the view: its marker stayed where it was.
    EXPECT_EQ(MarkerLeft('A'), parked);
}

TEST_F(ViewWindow, SignalListRenamesAndReordersRows)
{
    TForm1 &f = *w.form;
    ModalAnswerer answer([&f](QWidget *dialog) {
        ASSERT_EQ(dialog, f.form_name);
        f.form_name->edit_name->setText("SDA");
        f.form_name->btn_yes->click();
    });
    // The grid's double click on a name (column 0).
    emit f.StringGrid1->cellDoubleClicked(1, 0);
    QWidget *port = f.StringGrid1->viewport();
    EXPECT_EQ(f.StringGrid1->item(1, 0)->text(), "SDA");
    EXPECT_STREQ(w.Settings().ChannelEntry[1].Name.data(), "SDA");

    // While the button is held the cell has a red frame; dragging the first
    // name onto the third row moves it there.
    const int y0 = f.StringGrid1->rowViewportPosition(0) + 5;
    const int y2 = f.StringGrid1->rowViewportPosition(2) + 5;
    QTest::mousePress(port, Qt::LeftButton, {}, QPoint(20, y0));
    const QRect cell = f.StringGrid1->visualItemRect(f.StringGrid1->item(0, 0));
    auto frameColour = [&] { return port->grab().toImage().pixelColor(cell.left() + 20, 1); };
    EXPECT_EQ(frameColour(), QColor(Qt::red));
    QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(20, y2));
    EXPECT_NE(frameColour(), QColor(Qt::red));
    EXPECT_EQ(w.Settings().DisplayOrder[0], 1);
    EXPECT_EQ(w.Settings().DisplayOrder[1], 2);
    EXPECT_EQ(w.Settings().DisplayOrder[2], 0);
    EXPECT_EQ(f.StringGrid1->item(0, 0)->text(), "SDA");
    EXPECT_EQ(f.StringGrid1->item(2, 1)->text(), "0");

    // A click in the pattern grid selects the same row in the name grid.
    const int y4 = f.StringGrid2->rowViewportPosition(4) + 5;
    QTest::mouseClick(f.StringGrid2->viewport(), Qt::LeftButton, {}, QPoint(20, y4));
    EXPECT_EQ(f.StringGrid1->currentRow(), 4);
}

TEST_F(ViewWindow, PatternPopupSetsTheConditionOfTheClickedRow)
{
    TForm1 &f = *w.form;
    QTimer::singleShot(50, [] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction *a : menu->actions())
            if (a->text() == "High")
                a->trigger();
        menu->close();
    });
    QWidget *port = f.StringGrid2->viewport();
    const int y = f.StringGrid2->rowViewportPosition(3) + 5;
    QTest::mousePress(port, Qt::RightButton, {}, QPoint(20, y));
    EXPECT_EQ(w.Settings().TriggerCondition[0][3], CFile::CondHigh);
    EXPECT_EQ(f.StringGrid2->item(3, 0)->text(), "High");
}

TEST_F(ViewWindow, HandShiftAndTheScrollBarMoveTheView)
{
    TForm1 &f = *w.form;
    f.HandShiftButton->trigger();
    EXPECT_TRUE(View().HandShift);
    EXPECT_TRUE(f.HandShift1->isChecked());
    TPaintBox *box = View().Device.PaintBox;
    EXPECT_EQ(box->cursor().shape(), f.HandCursor.shape());
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseMove(box, QPoint(200, 100));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(200, 100));
    // Dragged 100 pixels to the left: 100 pixels later in time.
    EXPECT_EQ(View().ViewPosition, TimeMul(View().TimePerPixel, 100));
    EXPECT_EQ(f.Edit1->text().toStdString(), View().DelayText());

    f.HandShift1->trigger();
    EXPECT_FALSE(View().HandShift);
    View().Device.HScrollBar->setValue(-40);
    WTime back = TimeMul(View().TimePerPixel, 40);
    back.sign = 0;
    EXPECT_EQ(View().ViewPosition, back);
}

TEST_F(ViewWindow, PagesOtherThanTheWaveformDisableItsCommands)
{
    TForm1 &f = *w.form;
    f.HandShiftButton->trigger();
    ASSERT_TRUE(View().HandShift);
    f.PageControl1->setCurrentIndex(1); // Listing
    for (QAction *a :
         {f.ZoomIn1, f.ZoomOutButton, f.GridButton, f.HandShift1, f.AutoStoreButton, f.EraseButton})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(f.BW1->isEnabled());
    EXPECT_FALSE(View().HandShift);
    EXPECT_FALSE(f.HandShiftButton->isChecked());
    f.PageControl1->setCurrentIndex(0);
    for (QAction *a : {f.ZoomOut1, f.GridButton, f.HandShift1, f.AutoStoreButton, f.EraseButton})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(ViewWindow, VerticalScrollMovesTheRowsAndTheSignalList)
{
    TForm1 &f = *w.form;
    QScrollBar *bar = View().Device.VScrollBar;
    // The rows' heights plus room to scroll past the last one.
    int sum = 0;
    for (int i = 0; i < f.StringGrid1->rowCount(); ++i)
        sum += f.StringGrid1->rowHeight(i);
    EXPECT_EQ(bar->maximum(), std::max(sum, View().Device.PlotPanel->height()) + 100);
    bar->setValue(44);
    EXPECT_EQ(View().VerticalOffset, 44);
    EXPECT_EQ(f.Panel8->y(), -44);
    // Two rows of 22 pixels are scrolled away: the top of the picture shows
    // the third row's colour and none of the first row's.
    auto colourInTopRows = [this](TColor colour) {
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < View().PanelWidth; ++x)
                if (View().DisplayLayer.Pixel(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(colourInTopRows(View().Rows[2].Colour));
    EXPECT_FALSE(colourInTopRows(View().Rows[0].Colour));
}

} // namespace
