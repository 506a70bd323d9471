#include "tests/analyzer/AnalyzerGuiHelpers.h"
#include "tests/display/LanguageFileForTest.h"

#include "display/TForm4.h"
#include "display/WCursor.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

class GotoCursor : public testing::Test
{
protected:
    // Shows the dialog; `actions` run while it shows and close it.
    std::optional<char> Show(const std::function<void()> &actions)
    {
        ModalAnswerer answer([&](QWidget *w) {
            EXPECT_EQ(w, &dialog);
            actions();
            EXPECT_FALSE(dialog.isVisible());
        });
        const std::optional<char> chosen = dialog.Execute(cursors);
        EXPECT_EQ(answer.Seen(), 1);
        return chosen;
    }

    QStringList Items() const
    {
        QStringList items;
        for (int i = 0; i < dialog.ComboBox1->count(); ++i)
            items << dialog.ComboBox1->itemText(i);
        return items;
    }

    WCursor cursors;
    TForm4 dialog;
};

TEST_F(GotoCursor, OkNamesTheChosenUserCursorAndCancelNothing)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(cursors.AddCursor(WTime{}).Added, nullptr);
    ASSERT_TRUE(cursors.RemoveCursor('A'));
    QStringList offered;
    EXPECT_EQ(Show([&] {
                  offered = Items();
                  EXPECT_EQ(dialog.ComboBox1->currentText(), "B");
                  dialog.ComboBox1->setCurrentText("D");
                  dialog.Button1->click();
              }),
              'D');
    EXPECT_EQ(offered, QStringList({"B", "C", "D"}));
    EXPECT_EQ(Show([&] { dialog.Button1->click(); }), 'B');
    EXPECT_EQ(Show([&] { dialog.Button2->click(); }), std::nullopt);
}

TEST_F(GotoCursor, WithoutUserCursorsOkOnlyCloses)
{
    EXPECT_EQ(Show([&] {
                  EXPECT_EQ(Items(), QStringList({"<None>"}));
                  dialog.Button1->click();
              }),
              std::nullopt);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(GotoCursor, TextsComeFromTheLanguageFile)
{
    const auto texts = [&] {
        QStringList t;
        Show([&] {
            t << dialog.windowTitle() << dialog.Label1->text() << dialog.Button1->text()
              << dialog.Button2->text();
            dialog.Button2->click();
        });
        return t;
    };
    EXPECT_EQ(texts(), QStringList({"Goto cursor setting", "GOTO...", "OK", "Cancel"}));
    LanguageFileForTest file("[CursorMenu]\nstrFormCaption=Springen\n"
                             "[WavefromMenu2]\nstrWaveformMenu2Item1=Gehe zu\n"
                             "[Common]\nstrOKBtnCaption=Ja\nstrCancelBtnCaption=Nein\n");
    EXPECT_EQ(texts(), QStringList({"Springen", "Gehe zu", "Ja", "Nein"}));
}

} // namespace
