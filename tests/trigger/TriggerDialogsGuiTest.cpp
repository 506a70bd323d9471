// The trigger configuration dialog, the delay keypad and the level dialog
// on a settings record of their own, without the main window.

#include "../analyzer/AnalyzerGuiHelpers.h"

#include "device/CFile.h"
#include "trigger/CPulseWidth.h"
#include "trigger/GridFrame.h"
#include "trigger/TBusEdit.h"
#include "trigger/Tform_Triglevel.h"
#include "trigger/Tform_delay.h"
#include "trigger/TriggerInfo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// With TRACEMOOR_SCREENSHOTS set to a folder, the dialog is kept there.
void Keep(QWidget &dialog, const QString &name)
{
    const QString folder = qEnvironmentVariable("TRACEMOOR_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    dialog.show();
    QTest::qWait(50);
    dialog.grab().save(QDir(folder).filePath(name));
    dialog.hide();
}

CFile Record(int model)
{
    CFile r;
    r.ModelCode = static_cast<uint8_t>(model);
    r.ResetSettings();
    for (auto &row : r.TriggerCondition)
        row.fill(CFile::CondX);
    return r;
}

void Condition(GridFrame &grid, int channel, int tag)
{
    grid.Grid->setCurrentCell(GridFrame::ConditionRow, grid.ColumnOf(channel));
    grid.MenuItemClick(tag);
}

TEST(TBusEditGui, CancelChangesNothingAndReopeningShowsTheStoredConditions)
{
    CFile record = Record(4);
    record.TriggerCondition[0][3] = CFile::CondHigh;
    record.TriggerCounter = 4;
    const CFile before = record;
    TBusEdit dialog;
    dialog.Begin(record, 1);
    EXPECT_EQ(dialog.PageControl->currentIndex(), TBusEdit::TriggerPageIndex);
    EXPECT_EQ(dialog.size(), QSize(890, 505));
    GridFrame &grid = *dialog.Grids()[0];
    Condition(grid, 9, 4); // Falling
    grid.CycleColumn(grid.ColumnOf(3));
    dialog.Info()->TrigCounter->setText("9");
    dialog.btn_Cancel->click();
    EXPECT_EQ(record.TriggerCondition, before.TriggerCondition);
    EXPECT_EQ(record.TriggerCounter, 4);

    dialog.Begin(record, 1);
    EXPECT_EQ(dialog.Grids()[0]->RowText(), QString(28, 'X') + "HXXX");
    EXPECT_EQ(dialog.Info()->TrigCounter->text(), "4");
    dialog.btn_Cancel->click();
    dialog.Begin(record, 0);
    EXPECT_EQ(dialog.PageControl->currentIndex(), TBusEdit::BusPageIndex);
    EXPECT_NE(dialog.BusPage(), nullptr);
}

TEST(TBusEditGui, OkWritesPatternsTypeAndOptions)
{
    CFile record = Record(3);
    TBusEdit dialog;
    dialog.Begin(record, 1);
    EXPECT_EQ(dialog.size(), QSize(550, 505));
    dialog.PageButtons[3]->click(); // Pattern 1 OR pattern
    ASSERT_NE(dialog.Grids()[1], nullptr);
    Condition(*dialog.Grids()[0], 2, 3); // Raising
    Condition(*dialog.Grids()[1], 7, 0); // Low in the OR row
    dialog.Info()->TrigCounter->setText("12");
    dialog.Info()->ContinuousGroup->findChild<QRadioButton *>("Continuous1")->click();
    dialog.btn_Yes->click();
    EXPECT_EQ(record.TriggerType, 4);
    EXPECT_EQ(record.TriggerCondition[0][2], CFile::CondRise);
    EXPECT_EQ(record.TriggerCondition[3][7], CFile::CondLow);
    EXPECT_EQ(record.TriggerCounter, 12);
    EXPECT_EQ(record.ContinuousTrigger, 1);
}

TEST(TBusEditGui, ASequenceTurnsEdgesIntoDontCareAlsoInTheOrRow)
{
    CFile record = Record(3);
    record.TriggerCondition[0][5] = CFile::CondFall;
    record.TriggerCondition[3][5] = CFile::CondRise;
    TBusEdit dialog;
    dialog.Begin(record, 1);
    dialog.PageButtons[1]->click();
    EXPECT_EQ(dialog.PageType(), 2);
    EXPECT_EQ(dialog.Grids()[0]->RowText(), QString(16, 'X'));
    EXPECT_EQ(dialog.Record().TriggerConditionEdit[3][5], CFile::CondX);
    // Edges cannot be made in a sequence: the menu offers none.
    dialog.Grids()[1]->CycleColumn(0);
    dialog.Grids()[1]->CycleColumn(0);
    dialog.Grids()[1]->CycleColumn(0);
    EXPECT_EQ(dialog.Grids()[1]->RowText(), QString(16, 'X'));
    for (QAction *a : dialog.Grids()[1]->PopupMenu->actions()) {
        const int tag = a->data().toInt();
        EXPECT_EQ(a->isEnabled(), tag != 3 && tag != 4) << tag;
    }
}

TEST(TBusEditGui, TheExternalClockOnA200MHzModelLocksChannel31)
{
    CFile record = Record(1);
    record.TriggerCondition[0][31] = CFile::CondHigh;
    TBusEdit dialog;
    dialog.Begin(record, 1);
    EXPECT_FALSE(dialog.ptWarningLabel->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.PageButtons[4]->isEnabled());
    dialog.Info()->TriggerModeGroup->findChild<QRadioButton *>("TriggerMode1")->click();
    EXPECT_TRUE(dialog.ptWarningLabel->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.PageButtons[4]->isEnabled());
    GridFrame &grid = *dialog.Grids()[0];
    EXPECT_EQ(dialog.Record().TriggerConditionEdit[0][31], CFile::CondX);
    grid.MenuItemClick(6); // All Low
    EXPECT_EQ(grid.RowText(), "X" + QString(31, 'L'));
    grid.CycleColumn(0);
    EXPECT_EQ(grid.RowText().front(), 'X');
    Keep(dialog, "trigger-dialog-external-clock-model1.png");
}

TEST(TBusEditGui, OnTheDemoTheOptionsAreFixed)
{
    CFile record = Record(0);
    record.TriggerCounter = 5;
    record.ContinuousTrigger = 1;
    TBusEdit dialog;
    dialog.Begin(record, 1);
    TriggerInfo &info = *dialog.Info();
    EXPECT_FALSE(info.TrigCounter->isEnabled());
    EXPECT_FALSE(info.ContinuousGroup->isEnabled());
    EXPECT_FALSE(info.TriggerModeGroup->isEnabled());
    EXPECT_FALSE(dialog.PageButtons[4]->isEnabled());
    dialog.btn_Yes->click();
    EXPECT_EQ(record.TriggerCounter, 1);
    EXPECT_EQ(record.ContinuousTrigger, 0);
    EXPECT_EQ(record.ClockSource, 0);
}

TEST(TBusEditGui, TheCounterEditKeepsItsLimits)
{
    struct Case
    {
        const char *typed;
        const char *shown;
        const char *said;
    };
    const Case cases[] = {{"300", "255", "Out of limit. The maximum is 255."},
                          {"0", "1", "Out of limit. The minimum is 1."},
                          {"", "1", nullptr},
                          {"42", "42", nullptr}};
    CFile record = Record(3);
    TBusEdit dialog;
    dialog.Begin(record, 1);
    QLineEdit *counter = dialog.Info()->TrigCounter;
    for (const Case &c : cases) {
        MessageRecorder messages;
        counter->setFocus();
        counter->selectAll();
        if (*c.typed == '\0')
            QTest::keyClick(counter, Qt::Key_Backspace); // deleting every digit
        else
            QTest::keyClicks(counter, c.typed);
        EXPECT_EQ(counter->text(), c.shown) << c.typed;
        if (c.said) {
            ASSERT_FALSE(messages.messages.empty()) << c.typed;
            EXPECT_EQ(messages.messages.back().text, c.said);
        } else {
            EXPECT_TRUE(messages.messages.empty()) << c.typed;
        }
    }
    QTest::keyClicks(counter, "x-");
    EXPECT_EQ(counter->text(), "42");
}

TEST(TBusEditGui, ARecordWithFieldsOutOfRangeShowsSaneValuesAndOkWritesValidOnes)
{
    CFile record = Record(3);
    record.TriggerType = 200;
    record.TriggerCondition[0][0] = 4;
    record.TriggerCondition[0][1] = 99;
    record.TriggerCounter = 0;
    record.PulseUnit = 9;
    TBusEdit dialog;
    dialog.Begin(record, 1);
    EXPECT_EQ(dialog.PageType(), 1);
    EXPECT_TRUE(dialog.PageButtons[0]->isChecked());
    EXPECT_EQ(dialog.Grids()[0]->RowText(), QString(16, 'X'));
    EXPECT_EQ(dialog.Info()->TrigCounter->text(), "1");
    dialog.btn_Yes->click();
    EXPECT_EQ(record.TriggerType, 1);
    EXPECT_EQ(record.TriggerCondition[0][0], CFile::CondX);
    EXPECT_EQ(record.TriggerCondition[0][1], CFile::CondX);
    EXPECT_EQ(record.TriggerCounter, 1);
    EXPECT_EQ(record.PulseUnit, 1);
}

TEST(TBusEditGui, ThePulseWidthPageLoadsCommitsAndRefusesAnEmptyWidth)
{
    CFile record = Record(4);
    record.TriggerType = 5;
    record.PulseChannel = 7;
    record.PulsePolarity = 1;
    record.PulseCompare = 2;
    record.PulseUnit = 3;
    record.PulseWhole = 12;
    record.PulseFraction = 5;
    std::snprintf(record.ChannelEntry[7].Name.data(), 9, "%s", "STROBE");
    TBusEdit dialog;
    dialog.Begin(record, 1);
    CPulseWidth *p = dialog.PulseWidth();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ChannelList->currentText(), "CH7");
    EXPECT_EQ(p->ChannelName->text(), "STROBE");
    EXPECT_EQ(p->LevelList->currentText(), "Low");
    EXPECT_EQ(p->CompareList->currentText(), ">");
    EXPECT_EQ(p->WholeEdit->text(), "12");
    EXPECT_EQ(p->FractionEdit->text(), "5");
    EXPECT_EQ(p->UnitList->currentText(), "mS");
    Keep(dialog, "trigger-dialog-pulse-width-32ch.png");

    MessageRecorder messages;
    p->WholeEdit->clear();
    dialog.btn_Yes->click();
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(record.PulseWhole, 12); // not written: the dialog stays open
    p->WholeEdit->setText("3");
    p->UnitList->setCurrentIndex(1);
    dialog.btn_Yes->click();
    EXPECT_EQ(record.PulseWhole, 3);
    EXPECT_EQ(record.PulseUnit, 2);
    EXPECT_EQ(record.TriggerType, 5);
}

TEST(TBusEditGui, EraseClearsTheGridsThePulseWidthAndTheOptions)
{
    CFile record = Record(3);
    record.TriggerType = 3;
    record.TriggerCondition[1][4] = CFile::CondLow;
    record.TriggerCounter = 8;
    record.PulseChannel = 12;
    record.PulsePolarity = 1;
    record.PulseCompare = 2;
    record.PulseWhole = 250;
    record.PulseFraction = 125;
    record.PulseUnit = 4;
    std::snprintf(record.ChannelEntry[0].Name.data(), 9, "%s", "DATA0");
    TBusEdit dialog;
    dialog.Begin(record, 1);
    dialog.btn_Erase_Pat->click();
    for (GridFrame *g : dialog.Grids())
        EXPECT_EQ(g->RowText(), QString(16, 'X'));
    EXPECT_EQ(dialog.Info()->TrigCounter->text(), "1");
    dialog.PageButtons[4]->click();
    CPulseWidth *p = dialog.PulseWidth();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ChannelName->text(), "CH12"); // the channel's name while loaded
    dialog.btn_Erase_Pat->click();
    const std::pair<QString, QString> erased[] = {
        {p->ChannelList->currentText(), "CH0"},
        {p->ChannelName->text(), "Channel0"},
        {p->LevelList->currentText(), "High"},
        {p->CompareList->currentText(), "<"},
        {p->WholeEdit->text(), "1"},
        {p->FractionEdit->text(), "0"},
        {p->UnitList->currentText(), "uS"},
    };
    for (const auto &[shown, wanted] : erased)
        EXPECT_EQ(shown, wanted);
    // Choosing channel 0 again shows its name.
    p->ChannelList->setCurrentIndex(1);
    p->ChannelList->setCurrentIndex(0);
    EXPECT_EQ(p->ChannelName->text(), "DATA0");
}

// Each trigger page on a 16- and a 32-channel model, for looking at.
TEST(TBusEditGui, PagesForTheEye)
{
    if (qEnvironmentVariable("TRACEMOOR_SCREENSHOTS").isEmpty())
        GTEST_SKIP() << "no screenshot folder";
    for (int model : {3, 4}) {
        CFile record = Record(model);
        record.TriggerCondition[0][1] = CFile::CondFall;
        record.TriggerCondition[0][0] = CFile::CondHigh;
        record.TriggerCondition[1][2] = CFile::CondLow;
        record.TriggerCondition[2][3] = CFile::CondHigh;
        record.TriggerCondition[3][8] = CFile::CondRise;
        TBusEdit dialog;
        dialog.Begin(record, 1);
        for (int type = 1; type <= 5; ++type) {
            dialog.PageButtons[static_cast<size_t>(type - 1)]->click();
            Keep(dialog, QStringLiteral("trigger-dialog-%1ch-type%2.png")
                             .arg(model == 3 ? 16 : 32)
                             .arg(type));
        }
    }
}

TEST(Tform_delayGui, TheKeypadEditsAtTheCaretAndStopsAtEightCharacters)
{
    Tform_delay dialog;
    WTime delay = WTime::Of(0, 0, 5, 1); // 1 ms 5 us
    dialog.show();
    dialog.Begin(delay);
    EXPECT_EQ(dialog.edit_number->text(), "1.005");
    EXPECT_EQ(dialog.UnitList->currentText(), "mS");
    EXPECT_TRUE(dialog.edit_number->hasSelectedText());
    Keep(dialog, "delay-keypad.png");
    dialog.KeypadClick('2'); // replaces the selection
    dialog.KeypadClick('5');
    EXPECT_EQ(dialog.edit_number->text(), "25");
    dialog.btn_Left->click();
    dialog.KeypadClick('.');
    EXPECT_EQ(dialog.edit_number->text(), "2.5");
    dialog.btn_BKSPClick();
    EXPECT_EQ(dialog.edit_number->text(), "25");
    dialog.btn_Right->click();
    for (char c : std::string("123456"))
        dialog.KeypadClick(c);
    EXPECT_EQ(dialog.edit_number->text(), "25123456");
    EXPECT_FALSE(dialog.Keypad[0]->isEnabled());
    dialog.btn_BKSPClick();
    EXPECT_TRUE(dialog.Keypad[0]->isEnabled());
    QTest::keyClicks(dialog.edit_number, "a-.7");
    EXPECT_EQ(dialog.edit_number->text(), "25123457");
    dialog.btn_ClearClick();
    EXPECT_EQ(dialog.edit_number->text(), "");
    dialog.KeypadClick('-');
    dialog.KeypadClick('3');
    dialog.btn_OKClick();
    EXPECT_EQ(delay, WTime::Of(0, 0, 0, 3, 0, 0));
}

TEST(Tform_delayGui, AnErrorFormatAsksToRetryAndNeverChangesTheDelay)
{
    const WTime kept = WTime::Of(0, 0, 7);
    for (bool retry : {true, false}) {
        MessageRecorder messages(retry);
        Tform_delay dialog;
        WTime delay = kept;
        dialog.show();
        dialog.Begin(delay);
        dialog.edit_number->setText("1.2.3");
        dialog.btn_OKClick();
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].text, "You had input an error format");
        EXPECT_EQ(messages.messages[0].caption, "Format Error");
        EXPECT_EQ(delay, kept);
        EXPECT_EQ(dialog.isVisible(), retry);
        if (retry) {
            EXPECT_EQ(dialog.edit_number->text(), "");
            dialog.edit_number->setText("2.5");
            dialog.UnitList->setCurrentIndex(1);
            dialog.btn_OKClick();
            EXPECT_EQ(delay, WTime::Of(0, 500, 2));
        }
    }
}

struct LevelCase
{
    int model;
    int port;
    bool all;
    int standard; // -1: the slider
    int slider;   // 0: left end, else a code
    std::array<int, 4> expected;
};

class LevelDialog : public testing::TestWithParam<LevelCase>
{
};

TEST_P(LevelDialog, StoresTheCodeOfTheChoice)
{
    const LevelCase &c = GetParam();
    CFile record = Record(c.model);
    Tform_Triglevel dialog;
    dialog.Begin(c.port, record);
    EXPECT_EQ(dialog.windowTitle(),
              QStringLiteral("Logic Level Setting : Port %1").arg(c.port + 1));
    dialog.SetAllPorts->setChecked(c.all);
    if (c.standard >= 0)
        dialog.StandardList->setCurrentIndex(c.standard);
    else
        dialog.Slider->setValue(c.slider == 0 ? dialog.Slider->minimum() : c.slider);
    dialog.btn_OKClick();
    for (size_t p = 0; p < 4; ++p)
        EXPECT_EQ(record.PortLevel[p], c.expected[p]) << p;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LevelDialog,
    testing::Values(LevelCase{9, 1, false, 2, 0, {270, 242, 270, 270}}, // ECL on port 2
                    LevelCase{3, 0, false, -1, 0, {87, 142, 142, 142}}, // -4.0 V
                    LevelCase{9, 0, false, -1, 0, {55, 270, 270, 270}}, // -20.0 V
                    LevelCase{3, 2, true, -1, 147, {147, 147, 147, 147}},
                    LevelCase{10, 3, true, -1, 275, {275, 275, 275, 275}},
                    LevelCase{4, 3, false, 1, 0, {142, 142, 142, 152}})); // CMOS

TEST(LevelDialogGui, ShowsTheStoredLevelAndCancelKeepsIt)
{
    CFile record = Record(9);
    record.PortLevel[1] = 242;
    record.PortLevel[2] = 255;
    record.PortLevel[3] = 9999; // from a file: shown at the nearest end
    Tform_Triglevel dialog;
    dialog.Begin(1, record);
    EXPECT_TRUE(dialog.Standard->isChecked());
    EXPECT_EQ(dialog.StandardList->currentIndex(), 2);
    EXPECT_EQ(dialog.ValueLabel->text(), "-1.3");
    EXPECT_EQ(dialog.MinLabel->text(), "-20v");
    Keep(dialog, "level-dialog-model9.png");
    dialog.Begin(2, record);
    EXPECT_EQ(dialog.ValueLabel->text(), "0");
    dialog.Begin(3, record);
    EXPECT_EQ(dialog.Slider->value(), 455);
    dialog.Slider->setValue(300);
    EXPECT_TRUE(dialog.UserDefine->isChecked());
    dialog.btn_Cancel->click();
    EXPECT_EQ(record.PortLevel[3], 9999);
    CFile other = Record(3);
    dialog.Begin(0, other);
    EXPECT_EQ(dialog.MaxLabel->text(), "4v");
    Keep(dialog, "level-dialog-model3.png");
}

} // namespace
