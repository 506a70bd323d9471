#pragma once

#include <QGroupBox>

class QButtonGroup;

// The radio group "Mode" of a bus value: Hex, Dec, Bin in three columns.
class SearchModeBox : public QGroupBox
{
    Q_OBJECT

public:
    explicit SearchModeBox(QWidget *parent = nullptr);

    // 0 hexadecimal, 1 decimal, 2 binary; other values are ignored.
    void SetBase(int base);
    int Base() const;

signals:
    // The user picked another base.
    void BaseClicked(int base);

private:
    QButtonGroup *buttons = nullptr;
};
