#include "search/SearchModeBox.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>

#include <algorithm>

SearchModeBox::SearchModeBox(QWidget *parent)
    : QGroupBox(QStringLiteral("Mode"), parent)
    , buttons(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    const char *names[] = {"Hex", "Dec", "Bin"};
    for (int i = 0; i < 3; ++i) {
        auto *b = new QRadioButton(QLatin1String(names[i]), this);
        b->setObjectName(QLatin1String(names[i]));
        buttons->addButton(b, i);
        layout->addWidget(b);
    }
    buttons->button(0)->setChecked(true);
    connect(buttons, &QButtonGroup::idClicked, this, &SearchModeBox::BaseClicked);
}

void SearchModeBox::SetBase(int base)
{
    if (QAbstractButton *b = buttons->button(base))
        b->setChecked(true);
}

int SearchModeBox::Base() const
{
    return std::max(buttons->checkedId(), 0);
}
