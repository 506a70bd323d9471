#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class WCursor;

// "Cursor Set": picks two cursors for a new cursor state. Both lists offer
// "T" and the user cursors by character code; without user cursors they
// offer "<None>" alone and "&Add" does nothing. "&Add" leaves the dialog
// open, so several states can be made in one visit.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);

    // Shows the dialog modally over these cursors. Every "&Add" emits
    // StateAdded; the receiver makes the state and its button and refreshes
    // the cursor states.
    void Execute(const WCursor &cursors);

    // Texts from the active language file; read on every show.
    void LoadTexts();

    QComboBox *ComboBox1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *ComboBox2 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

signals:
    void StateAdded(char fromName, char toName);

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    const WCursor *cursors = nullptr;
};
