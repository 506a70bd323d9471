#pragma once

#include <QLineEdit>

// The value box of a bus condition: takes only the digits of its base (and
// backspace), writes hexadecimal letters in upper case, and holds as many
// characters as the widest bus needs in that base. A change of base never
// cuts the text the box holds: a value converted to the new base keeps all
// its digits, so that the check on entry sees the value that was typed.
class SearchValueEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit SearchValueEdit(QWidget *parent = nullptr);

    // The base's key filter and length; the text stays whole.
    void SetBase(int base);
    // The text written in the new base, then the base's filter and length.
    void SetBaseAndText(int base, const QString &text);
    int Base() const { return base; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int base = 0;
};
