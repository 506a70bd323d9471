#include "trigger/Tform_Triglevel.h"

#include "device/CFile.h"
#include "trigger/PortLevels.h"
#include "ui/UiText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

Tform_Triglevel::Tform_Triglevel(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("form_Triglevel"));
    setModal(true);

    SetAllPorts = new QCheckBox(this);
    SetAllPorts->setObjectName(QStringLiteral("SetAllPorts"));
    Settings = new QGroupBox(this);
    Settings->setObjectName(QStringLiteral("Settings"));
    Standard = new QRadioButton(Settings);
    Standard->setObjectName(QStringLiteral("Standard"));
    StandardList = new QComboBox(Settings);
    StandardList->setObjectName(QStringLiteral("StandardList"));
    StandardList->addItems({"TTL (1.5v)", "CMOS (2.5v)", "ECL (-1.3)"});
    UserDefine = new QRadioButton(Settings);
    UserDefine->setObjectName(QStringLiteral("UserDefine"));
    auto *choice = new QButtonGroup(this);
    choice->addButton(Standard);
    choice->addButton(UserDefine);
    Slider = new QSlider(Qt::Horizontal, Settings);
    Slider->setObjectName(QStringLiteral("Slider"));
    Slider->setSingleStep(1);
    Slider->setPageStep(10);
    Slider->setTickPosition(QSlider::NoTicks);
    Slider->setMinimumWidth(240);
    MinLabel = new QLabel(Settings);
    MaxLabel = new QLabel(Settings);
    ValueLabel = new QLabel(Settings);
    ValueLabel->setObjectName(QStringLiteral("ValueLabel"));
    ValueLabel->setAlignment(Qt::AlignCenter);
    QFont big = ValueLabel->font();
    big.setPointSize(14);
    ValueLabel->setFont(big);

    auto *group = new QGridLayout(Settings);
    group->addWidget(Standard, 0, 0);
    group->addWidget(StandardList, 0, 1, 1, 2);
    group->addWidget(UserDefine, 1, 0);
    group->addWidget(Slider, 1, 1, 1, 2);
    auto *ends = new QHBoxLayout;
    ends->addWidget(MinLabel);
    ends->addStretch(1);
    ends->addWidget(ValueLabel);
    ends->addStretch(1);
    ends->addWidget(MaxLabel);
    group->addLayout(ends, 2, 1, 1, 2);

    btn_OK = new QPushButton(this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setDefault(true);
    btn_Cancel = new QPushButton(this);
    btn_Cancel->setObjectName(QStringLiteral("btn_Cancel"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SetAllPorts);
    layout->addWidget(Settings);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_OK);
    buttons->addWidget(btn_Cancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Slider, &QSlider::valueChanged, this, &Tform_Triglevel::SliderChange);
    connect(StandardList, &QComboBox::currentIndexChanged, this,
            [this] { Standard->setChecked(true); });
    connect(btn_OK, &QPushButton::clicked, this, &Tform_Triglevel::btn_OKClick);
    connect(btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Tform_Triglevel::Begin(int portIndex, CFile &settings)
{
    record = &settings;
    port = std::clamp(portIndex, 0, 3);
    model = settings.ModelCode;
    static const char *const ports[] = {" : Port 1", " : Port 2", " : Port 3", " : Port 4"};
    setWindowTitle(UiText::Get("SetVoltage", "strFormLevelCaption", "Logic Level Setting") +
                   QLatin1String(ports[port]));
    SetAllPorts->setText(
        UiText::Get("SetVoltage", "strSetAllPort", "Set the setting to all ports"));
    SetAllPorts->setToolTip(
        UiText::Get("SetVoltage", "strHint1",
                    "When you select this seletion,the setting will be setted to all ports."));
    Settings->setTitle(UiText::Get("SetVoltage", "strSetting", "Settings"));
    Standard->setText(UiText::Get("SetVoltage", "strStandard", "Standard"));
    UserDefine->setText(UiText::Get("SetVoltage", "strUserDefine", "User define"));
    btn_OK->setText(UiText::Get("Common", "strOKBtnCaption", "OK"));
    btn_Cancel->setText(UiText::Get("Common", "strCancelBtnCaption", "Cancel"));
    const bool compact = PortLevels::Compact(model);
    MinLabel->setText(compact ? QStringLiteral("-20v") : QStringLiteral("-4v"));
    MaxLabel->setText(compact ? QStringLiteral("20v") : QStringLiteral("4v"));

    // Centred first, so that the move to the port's code shows its value.
    const QSignalBlocker quiet(Slider);
    Slider->setRange(PortLevels::MinCode(model), PortLevels::MaxCode(model));
    Slider->setValue(PortLevels::Centre(model));
    SetAllPorts->setChecked(false);
    {
        const QSignalBlocker still(StandardList);
        StandardList->setCurrentIndex(0);
    }
    Standard->setAutoExclusive(false);
    UserDefine->setAutoExclusive(false);
    Standard->setChecked(false);
    UserDefine->setChecked(false);
    Standard->setAutoExclusive(true);
    UserDefine->setAutoExclusive(true);
    // A code out of the dialog's range (from a file) shows at the nearest end.
    const int code = record->PortLevel[static_cast<size_t>(port)];
    Slider->setValue(PortLevels::Clamped(model, code));
    SliderChange(Slider->value());
    if (const int level = PortLevels::StandardOf(model, code); level >= 0) {
        const QSignalBlocker still(StandardList);
        StandardList->setCurrentIndex(level);
        Standard->setChecked(true);
    }
}

bool Tform_Triglevel::Execute(int portIndex, CFile &settings)
{
    Begin(portIndex, settings);
    const bool ok = exec() == QDialog::Accepted;
    record = nullptr;
    return ok;
}

bool Tform_Triglevel::Show(QWidget *parent, int portIndex, CFile &settings)
{
    Tform_Triglevel dialog(parent);
    return dialog.Execute(portIndex, settings);
}

void Tform_Triglevel::SliderChange(int code)
{
    UserDefine->setChecked(true);
    ValueLabel->setText(QString::fromStdString(PortLevels::VoltText(model, code)));
    const bool negative = code < PortLevels::Centre(model);
    ValueLabel->setStyleSheet(negative ? QStringLiteral("color: #FF0000;")
                                       : QStringLiteral("color: #008080;"));
}

void Tform_Triglevel::btn_OKClick()
{
    if (!record)
        return;
    int code = -1;
    if (Standard->isChecked())
        code = PortLevels::StandardCode(model, StandardList->currentIndex());
    else if (UserDefine->isChecked())
        code = Slider->value();
    if (code >= 0) {
        if (SetAllPorts->isChecked())
            record->PortLevel.fill(static_cast<uint16_t>(code));
        else
            record->PortLevel[static_cast<size_t>(port)] = static_cast<uint16_t>(code);
    }
    accept();
}
