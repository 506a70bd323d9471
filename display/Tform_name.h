#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class CFile;
class QLineEdit;
class QPushButton;

// "Name": edits a channel or bus name (at most 8 characters) with the
// keyboard or with an on-screen keyboard for touch screens. None of its
// buttons takes the focus, so the edit keeps its caret and selection while
// the keys are clicked.
//
// Both entries show the dialog modally and return when it closes; a test
// answers it while exec() runs (a timer that finds the active modal widget).
class Tform_name : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxName = 8;
    static constexpr int KeyCount = 37;

    explicit Tform_name(QWidget *parent = nullptr);

    // Rename mode: edits the name of signal-list row `row` of the settings
    // record (a channel below the model's channel count, else bus row -
    // channel count). True when "&OK" wrote the name, so the caller refreshes
    // the lists that show it. A row outside the model's rows shows nothing.
    bool RenameRow(CFile &settings, int row);
    // Text mode: the edited text when confirmed, else `text` as given.
    QString EditText(const QString &text);

    // Texts from the active language file; read on every show.
    void LoadTexts();

    // The caption a key shows for the Shift and Caps states: Caps turns the
    // letters to upper case, Shift turns "1", "2", "3", "7", "8", "9", "0"
    // into "_", "+", "-", "&" (written "&&"), "*", "(", ")".
    static QString KeyCaption(char key, bool shift, bool caps);
    // Characters the keyboard may type into the edit.
    static bool AcceptsKey(QChar c);

    // The key button of `key` as it shows without Shift and Caps ("1", "q",
    // "."); nullptr for any other character.
    QPushButton *KeyButton(char key) const;

    QLineEdit *edit_name = nullptr;
    QPushButton *btn_space = nullptr;
    QPushButton *btn_shiftL = nullptr;
    QPushButton *btn_shiftR = nullptr;
    QPushButton *btn_capsL = nullptr;
    QPushButton *btn_capsR = nullptr;
    QPushButton *btn_bksp = nullptr;
    QPushButton *btn_moveleft = nullptr;
    QPushButton *btn_moveright = nullptr;
    QPushButton *btn_clear = nullptr;
    QPushButton *btn_yes = nullptr;
    QPushButton *btn_cancel = nullptr;

public slots:
    void FormShow();
    void KeyClick(QPushButton *key);
    void btn_shiftClick(bool down);
    void btn_capsClick(bool down);
    void btn_bkspClick();
    void btn_moveleftClick();
    void btn_moverightClick();
    void btn_clearClick();
    void btn_yesClick();
    void btn_cancelClick();

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPushButton *NewButton(const char *name, const QString &caption, int x, int y, int w, int h);
    void SetCaptions();

    struct Key
    {
        char Base;
        QPushButton *Button;
    };
    std::vector<Key> keys;

    CFile *settings = nullptr;
    int row = 0;
    QString shownText;     // what the edit receives on show
    bool renaming = false; // "&OK" writes the name into the settings record
};
