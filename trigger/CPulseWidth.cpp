#include "trigger/CPulseWidth.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "device/CFile.h"

#include <algorithm>

namespace {

QComboBox *List(QWidget *parent, const char *name, const QStringList &items)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->addItems(items);
    list->setEditable(false);
    return list;
}

QLineEdit *DigitsEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(3);
    edit->setFixedWidth(40);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

} // namespace

CPulseWidth::CPulseWidth(QWidget *parent, CFile &settings,
                         std::function<std::string(int)> channelName)
    : QFrame(parent)
    , record(settings)
    , nameOf(std::move(channelName))
{
    setObjectName(QStringLiteral("PulseWidth"));
    QStringList channels;
    for (int c = 0; c < 32; ++c)
        channels << QStringLiteral("CH%1").arg(c);
    ChannelList = List(this, "ChannelList", channels);
    ChannelName = new QLabel(QStringLiteral("Channel0"), this);
    ChannelName->setObjectName(QStringLiteral("ChannelName"));
    ChannelName->setMinimumWidth(70);
    LevelList = List(this, "LevelList", {QStringLiteral("High"), QStringLiteral("Low")});
    CompareList = List(this, "CompareList", {"<", "=", ">"});
    WholeEdit = DigitsEdit(this, "WholeEdit");
    FractionEdit = DigitsEdit(this, "FractionEdit");
    UnitList = List(this, "UnitList", {"nS", "uS", "mS", "Sec"});

    // Two lines, so that the panel fits beside the options on a 16-channel model.
    auto *layout = new QVBoxLayout(this);
    auto *which = new QHBoxLayout;
    which->addWidget(new QLabel(QStringLiteral("If"), this));
    which->addWidget(ChannelList);
    which->addWidget(ChannelName);
    which->addStretch(1);
    auto *width = new QHBoxLayout;
    width->addWidget(LevelList);
    width->addWidget(CompareList);
    width->addWidget(WholeEdit);
    width->addWidget(new QLabel(QStringLiteral("."), this));
    width->addWidget(FractionEdit);
    width->addWidget(UnitList);
    width->addStretch(1);
    layout->addLayout(which);
    layout->addLayout(width);
    layout->addStretch(1);

    connect(ChannelList, &QComboBox::currentIndexChanged, this, &CPulseWidth::ChannelChange);
}

void CPulseWidth::ChannelChange(int channel)
{
    const std::string name = nameOf ? nameOf(channel) : std::string();
    ChannelName->setText(name.empty() ? QStringLiteral("Channel%1").arg(channel)
                                      : QString::fromLatin1(name.c_str()));
}

void CPulseWidth::Load()
{
    ChannelList->setCurrentIndex(std::min<int>(record.PulseChannel, 31));
    ChannelChange(ChannelList->currentIndex());
    LevelList->setCurrentIndex(record.PulsePolarity == 1 ? 1 : 0);
    CompareList->setCurrentIndex(std::min<int>(record.PulseCompare, 2));
    WholeEdit->setText(QString::number(record.PulseWhole));
    FractionEdit->setText(QString::number(record.PulseFraction));
    UnitList->setCurrentIndex(std::clamp<int>(record.PulseUnit - 1, 0, 3));
}

bool CPulseWidth::Commit()
{
    bool wholeOk = false;
    bool fractionOk = false;
    const int whole = WholeEdit->text().toInt(&wholeOk);
    const int fraction = FractionEdit->text().toInt(&fractionOk);
    if (!wholeOk || !fractionOk)
        return false;
    record.PulseChannel = static_cast<uint8_t>(ChannelList->currentIndex());
    record.PulsePolarity = static_cast<uint8_t>(LevelList->currentIndex());
    record.PulseCompare = static_cast<uint8_t>(CompareList->currentIndex());
    record.PulseWhole = static_cast<uint16_t>(whole);
    record.PulseFraction = static_cast<uint16_t>(fraction);
    record.PulseUnit = static_cast<uint8_t>(UnitList->currentIndex() + 1);
    return true;
}

void CPulseWidth::Erase()
{
    ChannelList->setCurrentIndex(0);
    // The label goes back to its first text, not to channel 0's name.
    ChannelName->setText(QStringLiteral("Channel0"));
    LevelList->setCurrentIndex(0);
    CompareList->setCurrentIndex(0);
    WholeEdit->setText(QStringLiteral("1"));
    FractionEdit->setText(QStringLiteral("0"));
    UnitList->setCurrentIndex(1);
}
