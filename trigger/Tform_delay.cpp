#include "trigger/Tform_delay.h"

#include "trigger/DelayKeypad.h"
#include "ui/AppMessage.h"
#include "ui/UiText.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int MaxCharacters = 8;

} // namespace

Tform_delay::Tform_delay(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("form_delay"));
    setModal(true);

    edit_number = new QLineEdit(this);
    edit_number->setObjectName(QStringLiteral("edit_number"));
    edit_number->setMaxLength(MaxCharacters);
    edit_number->setAlignment(Qt::AlignRight);
    QFont big = edit_number->font();
    big.setPointSize(14);
    edit_number->setFont(big);
    edit_number->installEventFilter(this);

    UnitList = new QComboBox(this);
    UnitList->setObjectName(QStringLiteral("UnitList"));
    UnitList->addItems({"nS", "uS", "mS", "Sec"});

    auto button = [this](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    btn_Clear = button("btn_Clear", QStringLiteral("Clear"));
    btn_BKSP = button("btn_BKSP", QStringLiteral("BKSP"));
    btn_Left = button("btn_Left", QStringLiteral("<---"));
    btn_Right = button("btn_Right", QStringLiteral("--->"));
    auto *keys = new QGridLayout;
    const QString faces = QStringLiteral("7894561230.-");
    for (int i = 0; i < 12; ++i) {
        const QChar face = faces[i];
        QPushButton *b = button("btn_Key", QString(face));
        b->setObjectName(QStringLiteral("btn_Key%1").arg(i));
        b->setMinimumSize(44, 36);
        connect(b, &QPushButton::clicked, this, [this, face] { KeypadClick(face); });
        Keypad[static_cast<size_t>(i)] = b;
        keys->addWidget(b, i / 3, i % 3);
    }
    btn_OK = new QPushButton(QStringLiteral("&OK"), this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setAutoDefault(false);
    btn_Cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btn_Cancel->setObjectName(QStringLiteral("btn_Cancel"));
    btn_Cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(edit_number, 1);
    top->addWidget(UnitList);
    layout->addLayout(top);
    auto *edits = new QHBoxLayout;
    for (QPushButton *b : {btn_Clear, btn_BKSP, btn_Left, btn_Right})
        edits->addWidget(b);
    layout->addLayout(edits);
    layout->addLayout(keys);
    auto *closing = new QHBoxLayout;
    closing->addStretch(1);
    closing->addWidget(btn_OK);
    closing->addWidget(btn_Cancel);
    layout->addLayout(closing);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btn_Clear, &QPushButton::clicked, this, &Tform_delay::btn_ClearClick);
    connect(btn_BKSP, &QPushButton::clicked, this, &Tform_delay::btn_BKSPClick);
    connect(btn_Left, &QPushButton::clicked, this, [this] {
        edit_number->setCursorPosition(std::max(edit_number->cursorPosition() - 1, 0));
        edit_number->setFocus();
    });
    connect(btn_Right, &QPushButton::clicked, this, [this] {
        edit_number->setCursorPosition(
            std::min(edit_number->cursorPosition() + 1, int(edit_number->text().size())));
        edit_number->setFocus();
    });
    connect(btn_OK, &QPushButton::clicked, this, &Tform_delay::btn_OKClick);
    connect(btn_Cancel, &QPushButton::clicked, this, &Tform_delay::btn_CancelClick);
    connect(edit_number, &QLineEdit::textChanged, this, &Tform_delay::TextChange);
}

void Tform_delay::Begin(WTime &delay)
{
    value = &delay;
    setWindowTitle(UiText::Get("Interface", "strButton1Caption", "Delay"));
    btn_OK->setText(QStringLiteral("&") + UiText::Get("Common", "strOKBtnCaption", "OK"));
    btn_Cancel->setText(QStringLiteral("&") +
                        UiText::Get("Common", "strCancelBtnCaption", "Cancel"));
    const DelayKeypad::Shown shown = DelayKeypad::Show(delay);
    UnitList->setCurrentIndex(shown.UnitIndex);
    edit_number->setText(QString::fromStdString(shown.Text));
    edit_number->setFocus();
    edit_number->selectAll();
}

void Tform_delay::Execute(WTime &delay)
{
    Begin(delay);
    exec();
    value = nullptr;
}

void Tform_delay::TextChange()
{
    const bool room = edit_number->text().size() < MaxCharacters;
    for (QPushButton *b : Keypad)
        b->setEnabled(room);
}

void Tform_delay::KeypadClick(QChar key)
{
    // A selection is replaced; otherwise the key goes in at the caret.
    edit_number->insert(QString(key));
    edit_number->setFocus();
}

void Tform_delay::btn_ClearClick()
{
    edit_number->clear();
    edit_number->setCursorPosition(0);
    edit_number->setFocus();
}

void Tform_delay::btn_BKSPClick()
{
    QString text = edit_number->text();
    const int at = edit_number->hasSelectedText() ? edit_number->selectionStart()
                                                  : edit_number->cursorPosition();
    if (at > 0) {
        text.remove(at - 1, 1);
        edit_number->setText(text);
    }
    edit_number->setCursorPosition(std::max(at - 1, 0));
    edit_number->setFocus();
}

void Tform_delay::btn_OKClick()
{
    const auto parsed =
        DelayKeypad::Parse(edit_number->text().toStdString(), UnitList->currentIndex());
    if (parsed) {
        if (value)
            *value = *parsed;
        accept();
        return;
    }
    // A text that is no number never changes the delay: Retry lets the user
    // type again, Cancel closes with the delay as it was.
    if (AppMessage::RetryCancel(this, QStringLiteral("Format Error"),
                                QStringLiteral("You had input an error format"))) {
        btn_ClearClick();
        return;
    }
    reject();
}

void Tform_delay::btn_CancelClick()
{
    edit_number->clear();
    reject();
}

bool Tform_delay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edit_number && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            btn_OKClick();
            return true;
        case Qt::Key_Escape:
            btn_CancelClick();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
            return false;
        default:
            break;
        }
        const QString text = key->text();
        const bool digit = text.size() == 1 && text[0].isDigit() && text[0].unicode() < 128;
        if (!digit)
            return true;
        // At eight characters the keyboard adds nothing more, like the keypad.
        return !edit_number->hasSelectedText() && edit_number->text().size() >= MaxCharacters;
    }
    return QDialog::eventFilter(watched, event);
}
