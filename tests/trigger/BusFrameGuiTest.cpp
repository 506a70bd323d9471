// The bus definitions page by mouse: marking cells, toggling the mode,
// adding, deleting and erasing rows, the level buttons, and that the record
// changes on Commit only. With TRACEMOOR_SCREENSHOTS set, the page is kept
// as a picture.

#include "device/CFile.h"
#include "trigger/BusFrame.h"
#include "trigger/BusRowsModel.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

CFile Record(int model)
{
    CFile f;
    f.ModelCode = static_cast<uint8_t>(model);
    f.ResetSettings();
    return f;
}

// The right grid's cell of `channel` in `row`.
QPoint CellOf(const BusFrame &frame, int row, int channel)
{
    const int column = frame.Table().ChannelCount() - 1 - channel;
    return frame.RightGrid->visualRect(frame.RightGrid->model()->index(row, column)).center();
}

void Mark(BusFrame &frame, int row, int channel)
{
    const QPoint at = CellOf(frame, row, channel);
    QTest::mouseClick(frame.RightGrid->viewport(), Qt::LeftButton, {}, at);
}

struct Page
{
    explicit Page(int model)
        : settings(Record(model))
    {
        sheet.resize(BusFrame::PanelWidth, BusFrame::PanelHeight);
        frame = new BusFrame(&sheet, settings);
        sheet.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    }
    CFile settings;
    QWidget sheet;
    BusFrame *frame = nullptr;
};

TEST(BusFramePage, MarksByMouseCommitOnlyOnOk)
{
    Page p(8);
    BusFrame &f = *p.frame;
    const CFile before = p.settings;
    f.Add->click();
    f.Add->click();
    EXPECT_EQ(f.RightGrid->model()->rowCount(), 2);
    // Row 0: CH7, CH3, CH5 in this order; a press dragged over CH4 and CH6
    // marks them as well.
    for (int c : {7, 3, 5})
        Mark(f, 0, c);
    EXPECT_EQ(f.RightGrid->model()->index(0, 31 - 5).data().toString(), "3");
    EXPECT_EQ(f.LeftGrid->model()->index(0, 2).data().toString(), "3");
    QTest::mousePress(f.RightGrid->viewport(), Qt::LeftButton, {}, CellOf(f, 1, 4));
    QMouseEvent drag(QEvent::MouseMove, CellOf(f, 1, 6),
                     f.RightGrid->viewport()->mapToGlobal(QPointF(CellOf(f, 1, 6))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.RightGrid->viewport(), &drag);
    QTest::mouseRelease(f.RightGrid->viewport(), Qt::LeftButton, {}, CellOf(f, 1, 6));
    EXPECT_EQ(f.Table().MembersText(1), "4 , 6");
    // The mouse over a row shows its name, MSB and members.
    QMouseEvent hover(QEvent::MouseMove, CellOf(f, 0, 0),
                      f.RightGrid->viewport()->mapToGlobal(QPointF(CellOf(f, 0, 0))), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.RightGrid->viewport(), &hover);
    EXPECT_EQ(f.StatusPanels[1]->text(), "MSB = CH7");
    EXPECT_EQ(f.StatusPanels[2]->text(), "7 , 3 , 5");

    // A click in "Mode" empties the row and switches to "Auto".
    const QRect mode = f.LeftGrid->visualRect(f.LeftGrid->model()->index(1, 0));
    QTest::mouseClick(f.LeftGrid->viewport(), Qt::LeftButton, {}, mode.center());
    EXPECT_EQ(f.LeftGrid->model()->index(1, 0).data().toString(), "Auto");
    EXPECT_EQ(f.LeftGrid->model()->index(1, 2).data().toString(), "0");

    EXPECT_EQ(p.settings.DisplayOrder, before.DisplayOrder);
    f.Commit();
    EXPECT_EQ(p.settings.DisplayOrder[0], 32);
    EXPECT_EQ(p.settings.DisplayOrder[1], 64); // the Auto row without marks is dropped
    EXPECT_EQ(p.settings.BusEntry[0].Members[0], 7);
    EXPECT_EQ(p.settings.BusEntry[0].Members[2], 5);
    if (!qEnvironmentVariableIsEmpty("TRACEMOOR_SCREENSHOTS"))
        p.sheet.grab().save(
            QDir(qEnvironmentVariable("TRACEMOOR_SCREENSHOTS")).filePath("bus-page.png"));
}

TEST(BusFramePage, PortsAndLevelButtonsFollowTheModel)
{
    Page sixteen(3);
    ASSERT_EQ(sixteen.frame->LevelButtons.size(), 2u);
    EXPECT_EQ(sixteen.frame->LevelButtons[0]->text(), "Volt 1 : 1.5v");
    EXPECT_EQ(sixteen.frame->PortHeaders[1]->text(), "Port 2");
    // The highest port lies at the left.
    EXPECT_LT(sixteen.frame->PortHeaders[1]->x(), sixteen.frame->PortHeaders[0]->x());
    Page compact(9);
    compact.settings.PortLevel[1] = 242;
    compact.frame->WriteLevelTexts();
    ASSERT_EQ(compact.frame->LevelButtons.size(), 2u);
    EXPECT_EQ(compact.frame->LevelButtons[1]->text(), "Volt 2 : -1.3v");
    Page wide(8);
    EXPECT_EQ(wide.frame->LevelButtons.size(), 4u);
}

TEST(BusFramePage, DeleteAndEraseActOnTheCurrentRow)
{
    Page p(3);
    BusFrame &f = *p.frame;
    f.Add->click();
    f.Add->click();
    Mark(f, 1, 2);
    Mark(f, 0, 9);
    f.SetCurrentRow(1);
    f.btn_Erase->click();
    EXPECT_EQ(f.Table().BitsText(1), "0");
    f.SetCurrentRow(0);
    f.btn_Delete->click();
    ASSERT_EQ(f.Table().RowCount(), 1);
    EXPECT_EQ(f.Table().RowAt(0).Name, "None1");
    f.btn_Delete->click();
    EXPECT_TRUE(f.LeftGrid->model()->index(0, 0).data().toString().isEmpty());
}

} // namespace
