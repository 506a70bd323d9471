#include "display/TForm4.h"

#include "display/WCursor.h"
#include "ui/UiText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm4::TForm4(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("GOTO Cursor Setting"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("GOTO"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMinimumWidth(80);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto *layout = new QVBoxLayout(this);
    auto *choice = new QHBoxLayout;
    choice->addWidget(Label1);
    choice->addWidget(ComboBox1);
    layout->addLayout(choice);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
}

std::optional<char> TForm4::Execute(const WCursor &cursorList)
{
    cursors = &cursorList;
    Chosen.reset();
    exec();
    cursors = nullptr;
    return Chosen;
}

void TForm4::LoadTexts()
{
    setWindowTitle(UiText::Get("CursorMenu", "strFormCaption", "Goto cursor setting"));
    // The label shares the waveform menu's "GOTO..." key, and its text.
    Label1->setText(UiText::Get("WavefromMenu2", "strWaveformMenu2Item1", "GOTO..."));
    Button1->setText(UiText::Get("Common", "strOKBtnCaption", "OK"));
    Button2->setText(UiText::Get("Common", "strCancelBtnCaption", "Cancel"));
}

void TForm4::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm4::FormShow()
{
    LoadTexts();
    Chosen.reset();
    ComboBox1->clear();
    std::vector<std::string> choices{std::string(WCursor::NoneText)};
    if (cursors)
        choices = cursors->GotoChoices();
    for (const std::string &c : choices)
        ComboBox1->addItem(QString::fromStdString(c));
    ComboBox1->setCurrentIndex(ComboBox1->count() > 0 ? 0 : -1);
}

void TForm4::Button1Click()
{
    const QString name = ComboBox1->currentText();
    if (cursors && cursors->Count() > 0 && name.size() == 1) {
        const char c = static_cast<char>(name[0].unicode());
        if (cursors->FindCursor(c))
            Chosen = c;
    }
    accept();
}

void TForm4::Button2Click()
{
    reject();
}
