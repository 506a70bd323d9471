#pragma once

#include <QGroupBox>

class QButtonGroup;

// A captioned group of radio buttons in a number of columns, read and set by
// item index (-1: none).
class TRadioGroup : public QGroupBox
{
public:
    TRadioGroup(QWidget *parent, const char *name, const QString &caption, const QStringList &items,
                int columns);

    int ItemIndex() const;
    void SetItemIndex(int index);
    void SetItemText(int index, const QString &text);

private:
    QButtonGroup *group;
};
