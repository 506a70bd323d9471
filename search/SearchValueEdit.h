#pragma once

#include <QLineEdit>

// The value box of a bus condition: takes only the digits of its base (and
// backspace), writes hexadecimal letters in upper case, and holds as many
// characters as the widest bus needs in that base.
class SearchValueEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit SearchValueEdit(QWidget *parent = nullptr);

    void SetBase(int base);
    int Base() const { return base; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int base = 0;
};
