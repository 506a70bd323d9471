#include "display/TForm2.h"

#include "display/WCursor.h"
#include "ui/UiText.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Fills a list with the choices, the first one selected.
void Fill(QComboBox *box, const std::vector<std::string> &choices)
{
    box->clear();
    for (const std::string &c : choices)
        box->addItem(QString::fromStdString(c));
    box->setCurrentIndex(box->count() > 0 ? 0 : -1);
}

} // namespace

TForm2::TForm2(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Cursor Set"));
    setModal(true);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Label1 = new QLabel(QStringLiteral("To"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    Button1 = new QPushButton(QStringLiteral("&Add"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("E&xit"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QComboBox *box : {ComboBox1, ComboBox2})
        box->setMinimumWidth(80);

    auto *layout = new QVBoxLayout(this);
    auto *lists = new QHBoxLayout;
    lists->addWidget(ComboBox1);
    lists->addWidget(Label1);
    lists->addWidget(ComboBox2);
    layout->addLayout(lists);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
}

void TForm2::Execute(const WCursor &cursorList)
{
    cursors = &cursorList;
    exec();
    cursors = nullptr;
}

void TForm2::LoadTexts()
{
    setWindowTitle(UiText::Get("CursorMenu", "strCursorSet", "Cursor Set"));
    Label1->setText(UiText::Get("Report", "strTo", "To"));
    Button1->setText(UiText::Get("Common", "strAddBtnCaption", "Add"));
    Button2->setText(UiText::Get("Common", "strCancelBtnCaption", "Cancel"));
}

void TForm2::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm2::FormShow()
{
    LoadTexts();
    std::vector<std::string> choices{std::string(WCursor::NoneText)};
    if (cursors)
        choices = cursors->StateChoices();
    Fill(ComboBox1, choices);
    Fill(ComboBox2, choices);
}

void TForm2::Button1Click()
{
    if (!cursors || cursors->Count() == 0)
        return;
    const QString from = ComboBox1->currentText();
    const QString to = ComboBox2->currentText();
    if (from.size() != 1 || to.size() != 1)
        return;
    const char fromName = static_cast<char>(from[0].unicode());
    const char toName = static_cast<char>(to[0].unicode());
    // A list shown earlier may name a cursor deleted since.
    if (!cursors->FindCursor(fromName) || !cursors->FindCursor(toName))
        return;
    emit StateAdded(fromName, toName);
}

void TForm2::Button2Click()
{
    reject();
}
