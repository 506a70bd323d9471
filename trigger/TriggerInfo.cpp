#include "trigger/TriggerInfo.h"

#include "device/CFile.h"
#include "trigger/TriggerCounterText.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

QGroupBox *RadioGroup(QWidget *parent, const char *name, const QString &caption,
                      const QStringList &items, QButtonGroup *&buttons)
{
    auto *box = new QGroupBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    QFont bold = box->font();
    bold.setBold(true);
    bold.setPointSize(10);
    box->setFont(bold);
    buttons = new QButtonGroup(box);
    auto *layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto *radio = new QRadioButton(items[i], box);
        QFont plain = radio->font();
        plain.setBold(false);
        radio->setFont(plain);
        radio->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(name)).arg(i));
        buttons->addButton(radio, i);
        layout->addWidget(radio);
    }
    buttons->button(0)->setChecked(true);
    return box;
}

} // namespace

TriggerInfo::TriggerInfo(QWidget *parent, CFile &settings)
    : QFrame(parent)
    , record(settings)
{
    setObjectName(QStringLiteral("TriggerInfo"));
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Sunken);

    ContinuousGroup = RadioGroup(
        this, "Continuous", UiText::Get("Bus/TriggerEdit", "strRadioGroupCaption", "Continuous"),
        {UiText::Get("Common", "strOFF", "OFF"), UiText::Get("Common", "strON", "ON")}, continuous);

    TrigCounterLabel =
        new QLabel(UiText::Get("Bus/TriggerEdit", "strTrigCounterCaption", "Trig Counter"), this);
    TrigCounter = new QLineEdit(QStringLiteral("1"), this);
    TrigCounter->setObjectName(QStringLiteral("TrigCounter"));
    TrigCounter->setMaxLength(3);
    TrigCounter->setFixedWidth(48);
    TrigCounter->setToolTip(
        UiText::Get("Bus/TriggerEdit", "strHint1", "The value limit is between 1 to 255."));
    // Only digits (and backspace) reach the text, typed or pasted.
    TrigCounter->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), TrigCounter));
    TrigCounterLabel->setBuddy(TrigCounter);
    TimesLabel = new QLabel(UiText::Get("Bus/TriggerEdit", "strTimes", "Times"), this);

    TriggerModeGroup =
        RadioGroup(this, "TriggerMode",
                   UiText::Get("Bus/TriggerEdit", "strTriggerModeCaption", "Trigger Mode"),
                   {UiText::Get("Bus/TriggerEdit", "strInternal", "Internal"),
                    UiText::Get("Bus/TriggerEdit", "strExternal", "External")},
                   triggerMode);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ContinuousGroup);
    layout->addWidget(TrigCounterLabel);
    auto *counterRow = new QHBoxLayout;
    counterRow->addWidget(TrigCounter);
    counterRow->addWidget(TimesLabel);
    counterRow->addStretch(1);
    layout->addLayout(counterRow);
    layout->addWidget(TriggerModeGroup);
    layout->addStretch(1);

    connect(TrigCounter, &QLineEdit::textChanged, this, &TriggerInfo::TrigCounterChange);
    connect(triggerMode, &QButtonGroup::idClicked, this, [this](int index) {
        TriggerModeCopy = index;
        emit TriggerModeClicked(index);
    });
}

void TriggerInfo::SetIndex(QButtonGroup *group, int index)
{
    if (QAbstractButton *b = group->button(index == 1 ? 1 : 0))
        b->setChecked(true);
}

int TriggerInfo::ContinuousIndex() const
{
    return continuous->checkedId();
}

int TriggerInfo::TriggerModeIndex() const
{
    return triggerMode->checkedId();
}

void TriggerInfo::SetTriggerModeIndex(int index)
{
    SetIndex(triggerMode, index);
    TriggerModeCopy = TriggerModeIndex();
}

void TriggerInfo::Load()
{
    const bool demo = record.ModelCode == 0;
    TrigCounter->setText(demo ? QStringLiteral("1") : QString::number(record.TriggerCounter));
    SetIndex(continuous, demo ? 0 : record.ContinuousTrigger);
    SetTriggerModeIndex(demo ? 0 : record.ClockSource);
    for (QWidget *w : {static_cast<QWidget *>(ContinuousGroup), static_cast<QWidget *>(TrigCounter),
                       static_cast<QWidget *>(TriggerModeGroup)})
        w->setEnabled(!demo);
}

void TriggerInfo::TrigCounterChange()
{
    const auto fixed = TriggerCounterText::Corrected(TrigCounter->text().toStdString());
    if (fixed.Said == TriggerCounterText::Message::Maximum)
        AppMessage::Warning(this, window()->windowTitle(),
                            UiText::Get("Bus/TriggerEdit", "strInfo_Warning2",
                                        "Out of limit. The maximum is 255."));
    else if (fixed.Said == TriggerCounterText::Message::Minimum)
        AppMessage::Warning(
            this, window()->windowTitle(),
            UiText::Get("Bus/TriggerEdit", "strInfo_Warning3", "Out of limit. The minimum is 1."));
    const QString text = QString::fromStdString(fixed.Text);
    if (text != TrigCounter->text())
        TrigCounter->setText(text);
}

void TriggerInfo::Commit()
{
    int counter = 1;
    if (!TriggerCounterText::Value(TrigCounter->text().toStdString(), counter)) {
        AppMessage::Warning(this, window()->windowTitle(),
                            UiText::Get("Bus/TriggerEdit", "strInfo_Warning1",
                                        "Data format error.Data will not be saved."));
        record.ContinuousTrigger = 0;
        record.TriggerCounter = 1;
        record.ClockSource = 0;
        return;
    }
    record.ContinuousTrigger = static_cast<uint8_t>(ContinuousIndex() == 1 ? 1 : 0);
    record.TriggerCounter = static_cast<uint8_t>(counter);
    record.ClockSource = static_cast<uint8_t>(TriggerModeIndex() == 1 ? 1 : 0);
}

void TriggerInfo::Erase()
{
    SetIndex(continuous, 0);
    TrigCounter->setText(QStringLiteral("1"));
    SetTriggerModeIndex(0);
}
