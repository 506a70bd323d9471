#include "analyzer/Tform_ExtFreq.h"

#include "analyzer/FreqEditRules.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

Tform_ExtFreq::Tform_ExtFreq(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("form_ExtFreq"));
    setWindowTitle(QStringLiteral("External Clock"));
    setModal(true);

    FreqEdit = new QLineEdit(QStringLiteral("10"), this);
    FreqEdit->setObjectName(QStringLiteral("FreqEdit"));
    // Typing is filtered key by key; pasting or dropping takes digits only.
    FreqEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), FreqEdit));
    FreqEdit->installEventFilter(this);

    FreqGroup = new QGroupBox(QStringLiteral("Freq."), this);
    FreqGroup->setObjectName(QStringLiteral("FreqGroup"));
    units = new QButtonGroup(this);
    auto *unitRow = new QHBoxLayout(FreqGroup);
    const char *names[] = {"MHz", "KHz", "Hz"};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(QLatin1String(names[i]), FreqGroup);
        radio->setObjectName(QStringLiteral("FreqGroup%1").arg(names[i]));
        units->addButton(radio, i);
        unitRow->addWidget(radio);
    }
    units->button(0)->setChecked(true);

    btn_OK = new QPushButton(QStringLiteral("OK"), this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FreqEdit);
    layout->addWidget(FreqGroup);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_OK);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btn_OK, &QPushButton::clicked, this, &Tform_ExtFreq::btn_OKClick);
    connect(FreqEdit, &QLineEdit::textEdited, this, &Tform_ExtFreq::FreqEditChange);
}

int Tform_ExtFreq::FreqGroupIndex() const
{
    return units->checkedId();
}

void Tform_ExtFreq::SetFreqGroupIndex(int index)
{
    if (QAbstractButton *b = units->button(index))
        b->setChecked(true);
}

void Tform_ExtFreq::FreqEditChange()
{
    const std::string now = FreqEdit->text().toStdString();
    const std::string corrected = FreqEditRules::Corrected(now, FreqGroupIndex());
    if (corrected != now)
        FreqEdit->setText(QString::fromStdString(corrected));
}

void Tform_ExtFreq::btn_OKClick()
{
    FreqEditChange();
    Frequency = FreqEdit->text().toInt();
    Unit = FreqGroupIndex();
    accept();
}

bool Tform_ExtFreq::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FreqEdit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btn_OKClick();
            return true;
        }
        const QString text = key->text();
        // Keys without a character (arrows, Delete, Home) move or delete as usual.
        if (!text.isEmpty() && (text.size() != 1 || text[0].unicode() > 0x7F ||
                                !FreqEditRules::AcceptsKey(static_cast<char>(text[0].unicode()))))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
