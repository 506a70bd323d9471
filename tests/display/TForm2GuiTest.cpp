#include "tests/analyzer/AnalyzerGuiHelpers.h"
#include "tests/display/LanguageFileForTest.h"

#include "display/CursorState.h"
#include "display/TForm2.h"
#include "display/WCursor.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

class CursorSet : public testing::Test
{
protected:
    // Cursors "A".."D", then "B" deleted.
    void MakeCursors()
    {
        for (int i = 0; i < 4; ++i)
            ASSERT_NE(cursors.AddCursor(WTime{}).Added, nullptr);
        ASSERT_TRUE(cursors.RemoveCursor('B'));
    }

    // Shows the dialog; `actions` run while it shows, then it is closed
    // with "E&xit" unless it closed already.
    void Show(const std::function<void()> &actions)
    {
        ModalAnswerer answer([&](QWidget *w) {
            EXPECT_EQ(w, &dialog);
            actions();
            if (dialog.isVisible())
                dialog.Button2->click();
        });
        dialog.Execute(cursors);
        EXPECT_EQ(answer.Seen(), 1);
    }

    void Choose(const char *from, const char *to)
    {
        dialog.ComboBox1->setCurrentText(QLatin1String(from));
        dialog.ComboBox2->setCurrentText(QLatin1String(to));
    }

    WCursor cursors;
    TForm2 dialog;
};

TEST_F(CursorSet, ListsOfferTAndTheUserCursorsAndAddMakesStatesUntilExit)
{
    MakeCursors();
    CursorState states;
    QObject::connect(&dialog, &TForm2::StateAdded,
                     [&](char from, char to) { states.AddState(from, to); });
    Show([&] {
        for (const QComboBox *box : {dialog.ComboBox1, dialog.ComboBox2}) {
            EXPECT_EQ(Items(box), QStringList({"A", "C", "D", "T"}));
            EXPECT_EQ(box->currentIndex(), 0);
        }
        Choose("D", "T");
        dialog.Button1->click();
        Choose("A", "C");
        dialog.Button1->click();
        EXPECT_TRUE(dialog.isVisible());
        dialog.Button2->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    std::vector<std::pair<char, char>> made;
    for (const CursorState::CState &s : states.States())
        made.emplace_back(s.From, s.To);
    // Newest first.
    EXPECT_EQ(made, (std::vector<std::pair<char, char>>{{'A', 'C'}, {'D', 'T'}}));
}

TEST_F(CursorSet, WithoutUserCursorsBothListsOfferNoneAndAddDoesNothing)
{
    int added = 0;
    QObject::connect(&dialog, &TForm2::StateAdded, [&](char, char) { ++added; });
    Show([&] {
        EXPECT_EQ(Items(dialog.ComboBox1), QStringList({"<None>"}));
        EXPECT_EQ(Items(dialog.ComboBox2), QStringList({"<None>"}));
        dialog.Button1->click();
        EXPECT_TRUE(dialog.isVisible());
    });
    EXPECT_EQ(added, 0);

    // The lists follow the cursors at the next show.
    MakeCursors();
    Show([&] { EXPECT_EQ(Items(dialog.ComboBox2), QStringList({"A", "C", "D", "T"})); });
}

TEST_F(CursorSet, TextsComeFromTheLanguageFile)
{
    const auto texts = [&] {
        QStringList t;
        Show([&] {
            t << dialog.windowTitle() << dialog.Label1->text() << dialog.Button1->text()
              << dialog.Button2->text();
        });
        return t;
    };
    EXPECT_EQ(texts(), QStringList({"Cursor Set", "To", "Add", "Cancel"}));
    LanguageFileForTest file("[CursorMenu]\nstrCursorSet=Cursorpaar\n[Report]\nstrTo=bis\n"
                             "[Common]\nstrAddBtnCaption=Neu\nstrCancelBtnCaption=Ende\n");
    EXPECT_EQ(texts(), QStringList({"Cursorpaar", "bis", "Neu", "Ende"}));
}

} // namespace
