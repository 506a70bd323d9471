#include "display/Tform_name.h"

#include "device/CFile.h"
#include "device/ModelTable.h"
#include "display/WGetName.h"
#include "ui/UiText.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <array>
#include <string_view>

namespace {

// The four rows of keys: their characters, the left edge of the first key
// and the top of the row. Keys are 32 pixels apart.
struct KeyRow
{
    std::string_view Keys;
    int Left;
    int Top;
};
constexpr std::array<KeyRow, 4> KeyRows{{
    {"1234567890", 64, 64},
    {"qwertyuiop", 48, 104},
    {"asdfghjkl", 64, 144},
    {"zxcvbnm.", 80, 184},
}};
static_assert(KeyRows[0].Keys.size() + KeyRows[1].Keys.size() + KeyRows[2].Keys.size() +
                  KeyRows[3].Keys.size() ==
              Tform_name::KeyCount);
constexpr int KeyPitch = 32;
constexpr int KeySize = 30;

bool IsAsciiLetter(char16_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

Tform_name::Tform_name(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("form_name"));
    setWindowTitle(QStringLiteral("Name"));
    setModal(true);
    setFixedSize(440, 306);

    edit_name = new QLineEdit(this);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setGeometry(64, 16, 286, 30);
    edit_name->setMaxLength(MaxName);
    edit_name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Text comes from the keys and the filtered keyboard only: no pasting
    // or dropping of foreign characters.
    edit_name->setContextMenuPolicy(Qt::NoContextMenu);
    edit_name->setAcceptDrops(false);
    edit_name->installEventFilter(this);

    for (const KeyRow &r : KeyRows) {
        for (size_t i = 0; i < r.Keys.size(); ++i) {
            const char c = r.Keys[i];
            const QString name = c == '.' ? QStringLiteral("btn_key_period")
                                          : QStringLiteral("btn_key_%1").arg(QLatin1Char(c));
            QPushButton *b =
                NewButton(name.toLatin1().constData(), QString(QLatin1Char(c)),
                          r.Left + static_cast<int>(i) * KeyPitch, r.Top, KeySize, KeySize);
            keys.push_back({c, b});
            connect(b, &QPushButton::clicked, this, [this, b] { KeyClick(b); });
        }
    }
    btn_space = NewButton("btn_space", QStringLiteral("Space"), 8, 224, 300, 30);
    connect(btn_space, &QPushButton::clicked, this, [this] { KeyClick(btn_space); });

    btn_moveleft = NewButton("btn_moveleft", QStringLiteral("<----"), 8, 104, 38, 30);
    btn_moveright = NewButton("btn_moveright", QStringLiteral("---->"), 370, 104, 62, 30);
    btn_bksp = NewButton("btn_bksp", QStringLiteral("BKSP"), 384, 64, 48, 30);
    btn_capsL = NewButton("btn_capsL", QStringLiteral("Caps"), 8, 144, 54, 30);
    btn_capsR = NewButton("btn_capsR", QStringLiteral("Caps"), 352, 144, 80, 30);
    btn_shiftL = NewButton("btn_shiftL", QStringLiteral("Shift"), 8, 184, 70, 30);
    btn_shiftR = NewButton("btn_shiftR", QStringLiteral("Shift"), 336, 184, 96, 30);
    btn_clear = NewButton("btn_clear", QStringLiteral("Clear"), 316, 224, 116, 30);
    btn_yes = NewButton("btn_yes", QStringLiteral("&OK"), 236, 266, 94, 30);
    btn_cancel = NewButton("btn_cancel", QStringLiteral("&Cancel"), 338, 266, 94, 30);
    for (QPushButton *b : {btn_shiftL, btn_shiftR, btn_capsL, btn_capsR})
        b->setCheckable(true);

    connect(btn_shiftL, &QPushButton::toggled, this, &Tform_name::btn_shiftClick);
    connect(btn_shiftR, &QPushButton::toggled, this, &Tform_name::btn_shiftClick);
    connect(btn_capsL, &QPushButton::toggled, this, &Tform_name::btn_capsClick);
    connect(btn_capsR, &QPushButton::toggled, this, &Tform_name::btn_capsClick);
    connect(btn_bksp, &QPushButton::clicked, this, &Tform_name::btn_bkspClick);
    connect(btn_moveleft, &QPushButton::clicked, this, &Tform_name::btn_moveleftClick);
    connect(btn_moveright, &QPushButton::clicked, this, &Tform_name::btn_moverightClick);
    connect(btn_clear, &QPushButton::clicked, this, &Tform_name::btn_clearClick);
    connect(btn_yes, &QPushButton::clicked, this, &Tform_name::btn_yesClick);
    connect(btn_cancel, &QPushButton::clicked, this, &Tform_name::btn_cancelClick);
}

QPushButton *Tform_name::NewButton(const char *name, const QString &caption, int x, int y, int w,
                                   int h)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(x, y, w, h);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
}

bool Tform_name::RenameRow(CFile &record, int signalRow)
{
    const int channels = ModelTable::Model(record.ModelCode).channels;
    if (signalRow < 0 || signalRow >= 2 * channels)
        return false;
    settings = &record;
    row = signalRow;
    renaming = true;
    const WGetName names(record);
    shownText = QString::fromLatin1(names.RowName(signalRow, channels));
    return exec() == QDialog::Accepted;
}

QString Tform_name::EditText(const QString &text)
{
    settings = nullptr;
    renaming = false;
    shownText = text;
    if (exec() != QDialog::Accepted)
        return text;
    return edit_name->text();
}

void Tform_name::LoadTexts()
{
    setWindowTitle(UiText::Get("Keyboard", "strFormCaption", "Name"));
    btn_yes->setText(UiText::Get("Common", "strOKBtnCaption", "OK"));
    btn_cancel->setText(UiText::Get("Common", "strCancelBtnCaption", "Cancel"));
}

void Tform_name::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void Tform_name::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    // Showing a dialog hands the edit the focus as if by Tab, which selects
    // its whole text; the caret belongs behind the text instead.
    if (visible)
        edit_name->setCursorPosition(static_cast<int>(edit_name->text().size()));
}

void Tform_name::FormShow()
{
    LoadTexts();
    for (QPushButton *b : {btn_shiftL, btn_shiftR, btn_capsL, btn_capsR}) {
        const QSignalBlocker quiet(b);
        b->setChecked(false);
    }
    SetCaptions();
    edit_name->setText(shownText);
    edit_name->setCursorPosition(static_cast<int>(edit_name->text().size()));
    edit_name->setFocus();
}

QString Tform_name::KeyCaption(char key, bool shift, bool caps)
{
    if (shift) {
        constexpr std::string_view from = "1237890";
        constexpr std::array<const char *, 7> to{"_", "+", "-", "&&", "*", "(", ")"};
        if (const size_t at = from.find(key); at != std::string_view::npos)
            return QLatin1String(to[at]);
    }
    if (caps && key >= 'a' && key <= 'z')
        key = static_cast<char>(key - 'a' + 'A');
    return QString(QLatin1Char(key));
}

bool Tform_name::AcceptsKey(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || IsAsciiLetter(u) ||
           std::u16string_view(u"._()&*+-").find(u) != std::u16string_view::npos;
}

QPushButton *Tform_name::KeyButton(char key) const
{
    for (const Key &k : keys)
        if (k.Base == key)
            return k.Button;
    return nullptr;
}

void Tform_name::SetCaptions()
{
    const bool shift = btn_shiftL->isChecked();
    const bool caps = btn_capsL->isChecked();
    for (const Key &k : keys)
        k.Button->setText(KeyCaption(k.Base, shift, caps));
}

void Tform_name::KeyClick(QPushButton *key)
{
    // The key's first caption character ("&&" shows and types "&").
    const QChar c = key == btn_space ? QLatin1Char(' ') : key->text().at(0);
    // Replaces a selection, else inserts at the caret; the edit's length
    // limit drops a character that does not fit.
    edit_name->insert(QString(c));
    edit_name->setFocus();
}

void Tform_name::btn_shiftClick(bool down)
{
    // Both Shift buttons show one state.
    for (QPushButton *b : {btn_shiftL, btn_shiftR}) {
        const QSignalBlocker quiet(b);
        b->setChecked(down);
    }
    SetCaptions();
}

void Tform_name::btn_capsClick(bool down)
{
    for (QPushButton *b : {btn_capsL, btn_capsR}) {
        const QSignalBlocker quiet(b);
        b->setChecked(down);
    }
    SetCaptions();
}

void Tform_name::btn_bkspClick()
{
    // The character before the caret (the last one with the caret at the
    // end); nothing at the start.
    edit_name->backspace();
    edit_name->setFocus();
}

void Tform_name::btn_moveleftClick()
{
    edit_name->cursorBackward(false);
    edit_name->setFocus();
}

void Tform_name::btn_moverightClick()
{
    edit_name->cursorForward(false);
    edit_name->setFocus();
}

void Tform_name::btn_clearClick()
{
    edit_name->clear();
    edit_name->setFocus();
}

void Tform_name::btn_yesClick()
{
    if (renaming && settings) {
        const int channels = ModelTable::Model(settings->ModelCode).channels;
        const QByteArray name = edit_name->text().left(MaxName).toLatin1();
        WGetName(*settings).SetRowName(
            row, channels, std::string_view(name.constData(), static_cast<size_t>(name.size())));
    }
    accept();
}

void Tform_name::btn_cancelClick()
{
    reject();
}

bool Tform_name::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != edit_name)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            btn_yesClick();
            return true;
        case Qt::Key_Escape:
            btn_cancelClick();
            return true;
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return false;
        default:
            break;
        }
        if (key->matches(QKeySequence::Paste))
            return true;
        // Keys without a character (arrows, Home, End, Delete) move and
        // delete as usual; of the characters only those of a name pass.
        const QString text = key->text();
        return !text.isEmpty() && (text.size() != 1 || !AcceptsKey(text[0]));
    }
    // The X11 selection would be pasted by the middle button.
    if ((event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonRelease) &&
        static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton)
        return true;
    return QDialog::eventFilter(watched, event);
}
