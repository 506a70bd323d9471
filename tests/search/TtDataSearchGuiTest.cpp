// The search dialog and the condition editor: the rows offered, adding and
// checking conditions, the list kept between openings, editing a row.

#include "../analyzer/AnalyzerWindowFixture.h"

#include "device/CFile.h"
#include "search/SearchModeBox.h"
#include "search/SearchValueEdit.h"
#include "search/Tform_DataEdit.h"
#include "search/TtDataSearch.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

using C = SearchCondition;

void Name(SignalEntry &e, const char *name)
{
    e.Name.fill(0);
    std::memcpy(e.Name.data(), name, std::strlen(name));
}

// A 16-channel record listing CH3, bus 0 (CH7..CH4), CH0 and bus 1 (3 bits).
CFile Listed()
{
    CFile f;
    f.ModelCode = 3;
    f.ResetSettings();
    f.DisplayOrder.fill(32);
    const uint8_t order[] = {3, 16, 0, 17};
    std::copy(std::begin(order), std::end(order), f.DisplayOrder.begin());
    Name(f.ChannelEntry[3], "CLK");
    Name(f.ChannelEntry[0], "EN");
    Name(f.BusEntry[0], "DATA");
    Name(f.BusEntry[1], "SEL");
    f.BusEntry[0].Members.fill(16);
    f.BusEntry[1].Members.fill(16);
    for (uint16_t j = 0; j < 4; ++j)
        f.BusEntry[0].Members[j] = static_cast<uint16_t>(7 - j);
    for (uint16_t j = 0; j < 3; ++j)
        f.BusEntry[1].Members[j] = static_cast<uint16_t>(10 - j);
    f.BusEntry[0].BitCount = 4;
    f.BusEntry[1].BitCount = 3;
    return f;
}

// Opens the dialog modally and runs `steps` inside it.
void Open(TtDataSearch &dialog, const CFile &f, const std::function<void()> &steps)
{
    QTimer::singleShot(0, [&] {
        steps();
        if (dialog.isVisible())
            dialog.reject();
    });
    dialog.OpenDialog(f, 16);
}

QString Cell(const TtDataSearch &d, int r, int c)
{
    const QTableWidgetItem *item = d.tDataGrid->item(r, c);
    return item ? item->text() : QStringLiteral("<none>");
}

void Choose(TtDataSearch &d, int item)
{
    d.tChannelBox->setCurrentIndex(item);
    d.tChannelBoxChange();
}

std::vector<SearchCondition> Effective(const TtDataSearch &d, int channels)
{
    const auto list = d.Conditions(channels);
    return {list.begin(), list.end()};
}

void Type(QWidget *edit, const QString &keys)
{
    QTest::keyClicks(edit, keys);
}

TEST(DataSearchDialog, AddsCheckedConditionsAndKeepsTheList)
{
    MessageRecorder messages;
    const CFile f = Listed();
    TtDataSearch d;
    Open(d, f, [&] {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("DataSearch"));
        const QStringList offered{"CH3 -- CLK", "CH0 -- EN", "Bus0 -- DATA", "Bus1 -- SEL"};
        ASSERT_EQ(d.tChannelBox->count(), offered.size());
        for (int i = 0; i < d.tChannelBox->count(); ++i)
            EXPECT_EQ(d.tChannelBox->itemText(i), offered[i]);
        EXPECT_TRUE(d.tLevelBox->isEnabled());
        EXPECT_FALSE(d.tEdit_Data->isEnabled());

        d.tLevelBox->setCurrentIndex(1);
        d.tBtn_Add->click();
        d.tBtn_Add->click(); // the same row again: nothing
        ASSERT_EQ(d.tDataGrid->rowCount(), 2);
        EXPECT_EQ(Cell(d, 0, 0) + Cell(d, 0, 1) + Cell(d, 0, 2), QStringLiteral("CH3CLK1"));
        EXPECT_EQ(Cell(d, 1, 0), QString());

        Choose(d, 2);
        EXPECT_FALSE(d.tLevelBox->isEnabled());
        EXPECT_EQ(d.ptValueLimit->text(), QStringLiteral("Maximum of data is F(h)"));
        EXPECT_EQ(d.tEdit_Data->text(), QStringLiteral("0"));
        d.tEdit_Data->clear();
        Type(d.tEdit_Data, QStringLiteral("1z0"));
        EXPECT_EQ(d.tEdit_Data->text(), QStringLiteral("10"));
        d.tBtn_Add->click();
        d.tEdit_Data->clear();
        d.tBtn_Add->click();
        EXPECT_EQ(d.tDataGrid->rowCount(), 2);
        Type(d.tEdit_Data, QStringLiteral("a"));
        d.tBtn_Add->click();
        EXPECT_EQ(Cell(d, 1, 0) + Cell(d, 1, 2), QStringLiteral("Bus0A (h)"));

        // The text follows the base; binary texts have the bus width.
        Choose(d, 3);
        d.tEdit_Data->clear();
        Type(d.tEdit_Data, QStringLiteral("5"));
        d.tSearchMode->findChild<QRadioButton *>(QStringLiteral("Bin"))->click();
        EXPECT_EQ(d.tEdit_Data->text(), QStringLiteral("101"));
        EXPECT_EQ(d.ptValueLimit->text(), QStringLiteral("Maximum of data is 111(b)"));
        d.tBtn_Add->click();
        d.tBtn_OK->click();
    });
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("Out of limit.The maximum isF(h)"));
    EXPECT_EQ(messages.messages[1].text, QStringLiteral("Warning! Need a value for search."));
    const std::vector<SearchCondition> three{{1, 3, 0}, {10, 16, 0}, {5, 17, 2}};
    EXPECT_EQ(Effective(d, 16), three);

    // Opened again: the saved list, written from the values; Cancel keeps it.
    Open(d, f, [&] {
        EXPECT_TRUE(d.Conditions(16).empty());
        ASSERT_EQ(d.tDataGrid->rowCount(), 4);
        EXPECT_EQ(Cell(d, 1, 2), QStringLiteral("A(h)"));
        EXPECT_EQ(Cell(d, 2, 2), QStringLiteral("101(b)"));
        Choose(d, 2);
        KeepScreenshot(d, "data-search-dialog.png");
        d.tDataGrid->setCurrentCell(0, 0);
        d.tBtn_Delete->click();
        EXPECT_EQ(Cell(d, 0, 0), QStringLiteral("Bus0"));
        EXPECT_EQ(d.Working().size(), 2u);
        d.tBtn_Cancel->click();
    });
    EXPECT_EQ(Effective(d, 16), three);
    // On a 32-channel model the rows name other signals: the list is dropped.
    EXPECT_TRUE(Effective(d, 32).empty());
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(d.tDataGrid->rowCount(), 1);
        d.tBtn_Cancel->click();
    });
    d.OpenDialog(f, 32);
    EXPECT_TRUE(Effective(d, 32).empty());
}

TEST(DataSearchDialog, GridDoubleClickEditsTheCondition)
{
    MessageRecorder messages;
    const CFile f = Listed();
    TtDataSearch d;
    // Two rows: CH3 = 1 and bus 1 = 5.
    Open(d, f, [&] {
        d.tBtn_Add->setFocus();
        d.tLevelBox->setCurrentIndex(1);
        d.tBtn_Add->click();
        Choose(d, 3);
        d.tEdit_Data->setText(QStringLiteral("5"));
        d.tBtn_Add->click();
        d.tBtn_OK->click();
    });
    auto inEditor = [](const std::function<void(Tform_DataEdit &)> &steps) {
        QTimer::singleShot(0, [steps] {
            auto *edit = qobject_cast<Tform_DataEdit *>(QApplication::activeModalWidget());
            ASSERT_NE(edit, nullptr);
            steps(*edit);
            if (edit->isVisible())
                edit->reject();
        });
    };
    Open(d, f, [&] {
        inEditor([](Tform_DataEdit &e) {
            EXPECT_EQ(e.windowTitle(), QStringLiteral("Data Edit"));
            ASSERT_NE(e.LevelBox, nullptr);
            e.LevelBox->setCurrentIndex(2);
            e.tBtn_OK->click();
        });
        d.tDataGridDblClick(0);
        EXPECT_EQ(Cell(d, 0, 2), QStringLiteral("Falling"));
        EXPECT_EQ(d.Working()[0], (C{2, 3, Tform_DataEdit::ChannelBase}));

        inEditor([](Tform_DataEdit &e) {
            ASSERT_NE(e.DataEdit, nullptr);
            // Blank until a base is chosen.
            EXPECT_EQ(e.LimitText->text(), QStringLiteral(" "));
            e.ModeBox->findChild<QRadioButton *>(QStringLiteral("Bin"))->click();
            EXPECT_EQ(e.LimitText->text(), QStringLiteral("Maximum of data is 111(b)"));
            e.ModeBox->findChild<QRadioButton *>(QStringLiteral("Dec"))->click();
            Type(e.DataEdit, QStringLiteral("8"));
            e.tBtn_OK->click(); // out of limit: the editor stays
            EXPECT_TRUE(e.isVisible());
            e.DataEdit->setText(QStringLiteral("6"));
            e.tBtn_OK->click();
        });
        d.tDataGridDblClick(1);
        EXPECT_EQ(Cell(d, 1, 2), QStringLiteral("6"));
        EXPECT_EQ(d.Working()[1], (C{6, 17, SearchCondition::Decimal}));
        d.tBtn_OK->click();
    });
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, QStringLiteral("Out of limit.The maximum is7"));
}

// The record above with bus 0 sixteen bits wide (CH15 .. CH0).
CFile Wide()
{
    CFile f = Listed();
    for (uint16_t j = 0; j < 16; ++j)
        f.BusEntry[0].Members[j] = static_cast<uint16_t>(15 - j);
    f.BusEntry[0].BitCount = 16;
    return f;
}

void ClickBase(QWidget &modeBox, int base)
{
    const char *names[] = {"Hex", "Dec", "Bin"};
    modeBox.findChild<QRadioButton *>(QLatin1String(names[base]))->click();
}

// A base change converts the whole value: no digit is cut by the length of
// either base, and what is added or confirmed is the value typed.
struct BaseChange
{
    int from;
    const char *typed;
    int to;
    const char *shown;
    uint16_t value; // stored by Add or OK; 0: out of limit
};

constexpr int Hex = SearchCondition::Hexadecimal, Dec = SearchCondition::Decimal,
              Bin = SearchCondition::Binary;

const BaseChange baseChanges[] = {
    {Bin, "1000000000000000", Dec, "32768", 32768},
    {Dec, "65535", Hex, "FFFF", 65535},
    {Bin, "1111111111111111", Hex, "FFFF", 65535},
    {Dec, "65535", Bin, "1111111111111111", 65535},
    {Hex, "FFFF", Dec, "65535", 65535},
    {Hex, "8000", Bin, "1000000000000000", 32768},
    {Dec, "12345", Bin, "0011000000111001", 12345},
    {Bin, "0011000000111001", Hex, "3039", 12345},
    {Dec, "99999", Hex, "1869F", 0}, // wider than the bus: kept whole
};

TEST(DataSearchDialog, ABaseChangeKeepsEveryDigitOfTheValue)
{
    const CFile f = Wide();
    for (const BaseChange &c : baseChanges) {
        MessageRecorder messages;
        TtDataSearch d;
        Open(d, f, [&] {
            Choose(d, 2);
            ClickBase(*d.tSearchMode, c.from);
            d.tEdit_Data->clear();
            Type(d.tEdit_Data, QLatin1String(c.typed));
            ASSERT_EQ(d.tEdit_Data->text(), QLatin1String(c.typed));
            ClickBase(*d.tSearchMode, c.to);
            EXPECT_EQ(d.tEdit_Data->text(), QLatin1String(c.shown)) << c.typed;
            d.tBtn_Add->click();
            d.tBtn_OK->click();
        });
        const std::vector<SearchCondition> added = Effective(d, 16);
        if (c.value == 0) {
            EXPECT_TRUE(added.empty()) << c.typed;
            ASSERT_EQ(messages.messages.size(), 1u) << c.typed;
            EXPECT_EQ(messages.messages[0].text,
                      QStringLiteral("Out of limit.The maximum isFFFF(h)"));
        } else {
            EXPECT_EQ(added, (std::vector<SearchCondition>{{c.value, 16, c.to}})) << c.typed;
            EXPECT_TRUE(messages.messages.empty()) << c.typed;
        }
    }
}

TEST(DataSearchDialog, ABaseChangeInTheEditorKeepsEveryDigitOfTheValue)
{
    const CFile f = Wide();
    for (const BaseChange &c : baseChanges) {
        MessageRecorder messages;
        QTimer::singleShot(0, [&] {
            auto *e = qobject_cast<Tform_DataEdit *>(QApplication::activeModalWidget());
            ASSERT_NE(e, nullptr);
            ClickBase(*e->ModeBox, c.from);
            Type(e->DataEdit, QLatin1String(c.typed));
            ASSERT_EQ(e->DataEdit->text(), QLatin1String(c.typed));
            ClickBase(*e->ModeBox, c.to);
            EXPECT_EQ(e->DataEdit->text(), QLatin1String(c.shown)) << c.typed;
            e->tBtn_OK->click();
            if (e->isVisible())
                e->reject();
        });
        Tform_DataEdit edit;
        edit.EditCondition(16, f, 16);
        if (c.value == 0) {
            EXPECT_EQ(edit.confirmed, 0) << c.typed;
            ASSERT_EQ(messages.messages.size(), 1u) << c.typed;
            EXPECT_EQ(messages.messages[0].text,
                      QStringLiteral("Out of limit.The maximum isFFFF(h)"));
        } else {
            EXPECT_EQ(edit.confirmed, 1) << c.typed;
            EXPECT_EQ(static_cast<uint16_t>(edit.value), c.value) << c.typed;
            EXPECT_EQ(edit.base, c.to) << c.typed;
        }
    }
}

// The base the condition editor returns is the dialog's base from then on:
// its previous base, key filter, length and limit text included.
TEST(DataSearchDialog, TheBaseSetByTheEditorIsTheBaseOfTheValueBox)
{
    MessageRecorder messages;
    const CFile f = Wide();
    TtDataSearch d;
    Open(d, f, [&] {
        Choose(d, 2);
        d.tEdit_Data->setText(QStringLiteral("5"));
        d.tBtn_Add->click();
        QTimer::singleShot(0, [] {
            auto *e = qobject_cast<Tform_DataEdit *>(QApplication::activeModalWidget());
            ASSERT_NE(e, nullptr);
            ClickBase(*e->ModeBox, Bin);
            Type(e->DataEdit, QStringLiteral("110"));
            e->tBtn_OK->click();
            if (e->isVisible())
                e->reject();
        });
        d.tDataGridDblClick(0);
        EXPECT_EQ(Cell(d, 0, 2), QStringLiteral("110 (b)"));
        EXPECT_EQ(d.tSearchMode->Base(), Bin);
        EXPECT_EQ(d.ptValueLimit->text(), QStringLiteral("Maximum of data is 1111111111111111(b)"));
        Choose(d, 2);
        d.tEdit_Data->clear();
        Type(d.tEdit_Data, QStringLiteral("1201"));
        EXPECT_EQ(d.tEdit_Data->text(), QStringLiteral("101"));
        ClickBase(*d.tSearchMode, Dec);
        EXPECT_EQ(d.tEdit_Data->text(), QStringLiteral("5"));
        d.tBtn_OK->click();
    });
    EXPECT_EQ(Effective(d, 16), (std::vector<SearchCondition>{{6, 16, Bin}}));
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
