#include "protocols/TRadioGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget *parent, const char *name, const QString &caption,
                         const QStringList &items, int columns)
    : QGroupBox(caption, parent)
    , group(new QButtonGroup(this))
{
    setObjectName(QLatin1String(name));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 2);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        group->addButton(button, i);
        grid->addWidget(button, i / columns, i % columns);
    }
}

int TRadioGroup::ItemIndex() const
{
    return group->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton *b = group->button(index))
        b->setChecked(true);
}

void TRadioGroup::SetItemText(int index, const QString &text)
{
    if (QAbstractButton *b = group->button(index))
        b->setText(text);
}
