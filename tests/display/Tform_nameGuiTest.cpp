#include "tests/analyzer/AnalyzerGuiHelpers.h"
#include "tests/display/LanguageFileForTest.h"

#include "device/CFile.h"
#include "display/Tform_name.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

class NameKeyboard : public testing::Test
{
protected:
    void Click(char key)
    {
        QPushButton *b = dialog.KeyButton(key);
        ASSERT_NE(b, nullptr) << key;
        b->click();
    }
    void Click(const char *keys)
    {
        for (const char *k = keys; *k; ++k)
            Click(*k);
    }

    // Runs EditText(start): `actions` run while the dialog shows, then
    // `close` (OK by default) ends it.
    QString Edit(const QString &start, const std::function<void()> &actions,
                 QPushButton *Tform_name::*close = &Tform_name::btn_yes)
    {
        ModalAnswerer answer([&](QWidget *w) {
            EXPECT_EQ(w, &dialog);
            actions();
            if (close && dialog.isVisible())
                (dialog.*close)->click();
        });
        const QString result = dialog.EditText(start);
        EXPECT_EQ(answer.Seen(), 1);
        return result;
    }

    QString Shown() const { return dialog.edit_name->text(); }
    int Caret() const { return dialog.edit_name->cursorPosition(); }

    Tform_name dialog;
};

std::string NameOf(const SignalEntry &e)
{
    return std::string(CFile::NameText(e));
}

TEST_F(NameKeyboard, RenameWritesTheChannelOrTheBusOfTheRow)
{
    const struct
    {
        uint8_t model; // 3 has 16 channels, 1 has 32
        int row;
        bool bus;
        int index;
    } cases[] = {{3, 5, false, 5}, {3, 18, true, 2}, {1, 18, false, 18}, {1, 33, true, 1}};
    for (const auto &c : cases) {
        CFile settings;
        settings.ModelCode = c.model;
        std::strcpy(settings.ChannelEntry[static_cast<size_t>(c.index)].Name.data(), "chan");
        std::strcpy(settings.BusEntry[static_cast<size_t>(c.index)].Name.data(), "bus");
        SignalEntry &target = c.bus ? settings.BusEntry[static_cast<size_t>(c.index)]
                                    : settings.ChannelEntry[static_cast<size_t>(c.index)];
        const SignalEntry &other = c.bus ? settings.ChannelEntry[static_cast<size_t>(c.index)]
                                         : settings.BusEntry[static_cast<size_t>(c.index)];
        const std::string before = NameOf(target);
        QString shown;
        ModalAnswerer answer([&](QWidget *) {
            shown = Shown();
            dialog.btn_clear->click();
            Click("rx");
            dialog.btn_yes->click();
        });
        EXPECT_TRUE(dialog.RenameRow(settings, c.row)) << c.row;
        EXPECT_EQ(shown.toStdString(), before) << c.row;
        EXPECT_EQ(NameOf(target), "rx") << c.row;
        EXPECT_EQ(NameOf(other), c.bus ? "chan" : "bus") << c.row;
    }
}

TEST_F(NameKeyboard, CancelAndRowsOutsideTheModelLeaveTheRecordAlone)
{
    CFile settings;
    settings.ModelCode = 3; // 16 channels, 16 buses
    std::strcpy(settings.BusEntry[0].Name.data(), "keep");
    ModalAnswerer answer([&](QWidget *) {
        Click("zz");
        dialog.btn_cancel->click();
    });
    EXPECT_FALSE(dialog.RenameRow(settings, 16));
    EXPECT_EQ(NameOf(settings.BusEntry[0]), "keep");
    EXPECT_FALSE(dialog.RenameRow(settings, 32));
    EXPECT_FALSE(dialog.RenameRow(settings, -1));
    EXPECT_EQ(answer.Seen(), 1);
}

TEST_F(NameKeyboard, ANinthCharacterIsRefusedAndEightAreStoredWithTheirZeroByte)
{
    CFile settings;
    settings.ModelCode = 1;
    std::memcpy(settings.ChannelEntry[4].Name.data(), "ABCDEFGHI", 9); // no zero byte
    ModalAnswerer answer([&](QWidget *) {
        dialog.btn_clear->click();
        Click("qwertyuio");
        EXPECT_EQ(Shown(), "qwertyui");
        QTest::keyClick(dialog.edit_name, Qt::Key_P);
        EXPECT_EQ(Shown(), "qwertyui");
        dialog.btn_yes->click();
    });
    ASSERT_TRUE(dialog.RenameRow(settings, 4));
    EXPECT_EQ(std::memcmp(settings.ChannelEntry[4].Name.data(), "qwertyui\0", 9), 0);
}

TEST_F(NameKeyboard, ShiftAndCapsChangeTheCaptionsAndWhatTheKeysType)
{
    const QString typed = Edit("", [&] {
        EXPECT_EQ(dialog.KeyButton('7')->text(), "7");
        dialog.btn_shiftL->click();
        EXPECT_TRUE(dialog.btn_shiftR->isChecked());
        QString row1;
        for (char k : std::string("1234567890"))
            row1 += dialog.KeyButton(k)->text();
        EXPECT_EQ(row1, "_+-456&&*()");
        Click("7");
        dialog.btn_shiftR->click();
        EXPECT_FALSE(dialog.btn_shiftL->isChecked());
        EXPECT_EQ(dialog.KeyButton('7')->text(), "7");

        dialog.btn_capsR->click();
        EXPECT_EQ(dialog.KeyButton('q')->text(), "Q");
        EXPECT_EQ(dialog.KeyButton('m')->text(), "M");
        EXPECT_EQ(dialog.KeyButton('.')->text(), ".");
        Click("a7");
        dialog.btn_capsL->click();
        EXPECT_EQ(dialog.KeyButton('q')->text(), "q");
        Click("a");
        dialog.btn_space->click();
        // Left down: the next show releases both.
        dialog.btn_capsL->click();
        dialog.btn_shiftL->click();
    });
    EXPECT_EQ(typed, "&A7a ");
    Edit("", [&] {
        for (QPushButton *b :
             {dialog.btn_shiftL, dialog.btn_shiftR, dialog.btn_capsL, dialog.btn_capsR})
            EXPECT_FALSE(b->isChecked());
        EXPECT_EQ(dialog.KeyButton('2')->text(), "2");
        EXPECT_EQ(dialog.KeyButton('w')->text(), "w");
    });
}

TEST_F(NameKeyboard, KeysInsertAtTheCaretOrReplaceTheSelection)
{
    const struct
    {
        const char *start;
        int left;  // clicks of the left arrow
        int right; // then of the right arrow
        bool all;  // then select everything
        bool bksp; // then BKSP
        char key;  // then this key (0: none)
        const char *shown;
        int caret;
    } cases[] = {
        {"abcd", 0, 0, false, false, 'x', "abcdx", 5},
        {"abcd", 2, 0, false, false, 'x', "abxcd", 3},
        {"abcd", 4, 1, false, false, 'x', "axbcd", 2},
        {"abcd", 2, 0, false, true, 0, "acd", 1},
        {"abcd", 0, 0, false, true, 0, "abc", 3},
        {"abcd", 4, 0, false, true, 0, "abcd", 0},
        {"abcd", 2, 0, false, true, 'x', "axcd", 2},
        {"abcdefgh", 0, 0, true, false, 'q', "q", 1},
        {"abcdefgh", 3, 0, false, false, 'q', "abcdefgh", 5},
    };
    for (const auto &c : cases) {
        QString shown;
        int caret = -1;
        Edit(QString::fromLatin1(c.start), [&] {
            EXPECT_EQ(Caret(), static_cast<int>(std::strlen(c.start)));
            for (int i = 0; i < c.left; ++i)
                dialog.btn_moveleft->click();
            for (int i = 0; i < c.right; ++i)
                dialog.btn_moveright->click();
            if (c.all)
                dialog.edit_name->selectAll();
            if (c.bksp)
                dialog.btn_bksp->click();
            if (c.key)
                Click(c.key);
            shown = Shown();
            caret = Caret();
        });
        EXPECT_EQ(shown, QLatin1String(c.shown)) << c.start << " " << c.left << " " << c.key;
        EXPECT_EQ(caret, c.caret) << c.start << " " << c.left << " " << c.key;
    }
}

TEST_F(NameKeyboard, TheKeyboardTypesOnlyNameCharacters)
{
    const QString typed =
        Edit("", [&] { QTest::keyClicks(dialog.edit_name, "a!b/c(D)&*+-._ 9,?="); });
    // The length limit cuts the accepted characters at eight.
    EXPECT_EQ(typed, "abc(D)&*");
    const QString more = Edit("", [&] {
        const QString eAcute(QChar(0xE9));
        QKeyEvent accented(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, eAcute);
        QApplication::sendEvent(dialog.edit_name, &accented);
        QTest::keyClicks(dialog.edit_name, "+-._9");
        QTest::keyClick(dialog.edit_name, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(dialog.edit_name, Qt::Key_Backspace);
        QTest::keyClick(dialog.edit_name, Qt::Key_Home);
        QTest::keyClick(dialog.edit_name, Qt::Key_Delete);
    });
    EXPECT_EQ(more, "-._");
}

TEST_F(NameKeyboard, EnterConfirmsAndEscapeCancels)
{
    const auto typeOneThen = [this](Qt::Key key) {
        return [this, key] {
            Click("1");
            QTest::keyClick(dialog.edit_name, key);
        };
    };
    EXPECT_EQ(Edit("bus", typeOneThen(Qt::Key_Return), nullptr), "bus1");
    EXPECT_EQ(Edit("bus", typeOneThen(Qt::Key_Escape), nullptr), "bus");
    const auto clear = [this] { dialog.btn_clear->click(); };
    EXPECT_EQ(Edit("bus", clear, &Tform_name::btn_cancel), "bus");
    EXPECT_EQ(Edit("bus", clear), "");
}

TEST_F(NameKeyboard, NoButtonTakesTheFocus)
{
    const auto buttons = dialog.findChildren<QPushButton *>();
    EXPECT_EQ(buttons.size(), Tform_name::KeyCount + 11);
    for (const QPushButton *b : buttons)
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << b->objectName().toStdString();
}

TEST_F(NameKeyboard, TextsComeFromTheLanguageFileOnEveryShow)
{
    const auto texts = [&] {
        QStringList t;
        Edit("", [&] {
            t << dialog.windowTitle() << dialog.btn_yes->text() << dialog.btn_cancel->text();
        });
        return t;
    };
    EXPECT_EQ(texts(), QStringList({"Name", "OK", "Cancel"}));
    LanguageFileForTest file("[Keyboard]\nstrFormCaption=Nom\n"
                             "[Common]\nstrOKBtnCaption=D'accord\nstrCancelBtnCaption=Annuler\n");
    EXPECT_EQ(texts(), QStringList({"Nom", "D'accord", "Annuler"}));
}

} // namespace
