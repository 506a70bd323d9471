#pragma once

#include "display/WTime.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;

// The delay keypad: a number typed on the keypad or the keyboard and its
// unit (nS, uS, mS, Sec). It edits a time value in place; Cancel leaves it.
class Tform_delay : public QDialog
{
    Q_OBJECT

public:
    explicit Tform_delay(QWidget *parent = nullptr);

    // Shows the dialog modally on `delay`.
    void Execute(WTime &delay);
    // What Execute does before the dialog runs.
    void Begin(WTime &delay);

    QLineEdit *edit_number = nullptr;
    QComboBox *UnitList = nullptr;
    QPushButton *btn_Clear = nullptr;
    QPushButton *btn_BKSP = nullptr;
    QPushButton *btn_Left = nullptr;
    QPushButton *btn_Right = nullptr;
    // "7" "8" "9" / "4" "5" "6" / "1" "2" "3" / "0" "." "-".
    std::array<QPushButton *, 12> Keypad{};
    QPushButton *btn_OK = nullptr;
    QPushButton *btn_Cancel = nullptr;

public slots:
    void KeypadClick(QChar key);
    void btn_ClearClick();
    void btn_BKSPClick();
    void btn_OKClick();
    void btn_CancelClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void TextChange();

    WTime *value = nullptr;
};
