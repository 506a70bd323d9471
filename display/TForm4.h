#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class WCursor;

// "GOTO Cursor Setting": picks the user cursor to bring into view. The list
// holds the user cursors by character code, or "<None>" alone.
class TForm4 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm4(QWidget *parent = nullptr);

    // Shows the dialog modally over these cursors. The name of the cursor
    // chosen with "OK"; nothing for "Cancel" or when there was no user
    // cursor to choose. The caller moves the view (on the waveform page
    // ViewCommands::GotoCursorPosition) and resets the acquisition step.
    std::optional<char> Execute(const WCursor &cursors);

    // Texts from the active language file; read on every show.
    void LoadTexts();

    QLabel *Label1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

    // Set by "OK" when a user cursor was chosen.
    std::optional<char> Chosen;

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    const WCursor *cursors = nullptr;
};
