#include "search/SearchValueEdit.h"

#include "search/SearchValueRules.h"

#include <QKeyEvent>

#include <algorithm>

SearchValueEdit::SearchValueEdit(QWidget *parent)
    : QLineEdit(parent)
{
    SetBase(SearchCondition::Hexadecimal);
}

void SearchValueEdit::SetBase(int b)
{
    SetBaseAndText(b, text());
}

void SearchValueEdit::SetBaseAndText(int b, const QString &newText)
{
    base = b;
    // The length first: QLineEdit cuts a text longer than its maximum, both
    // the one it holds and the one it is given.
    setMaxLength(std::max<int>(SearchValueRules::MaxLength(b), static_cast<int>(newText.size())));
    if (newText != text())
        setText(newText);
}

void SearchValueEdit::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    // Keys without a character (arrows, Delete, Home, ...) keep their
    // editing; a character must be a digit of the base.
    if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const char16_t c = text[0].unicode();
    if (c > 0x7F || !SearchValueRules::Accepts(static_cast<char>(c), base)) {
        event->ignore();
        return;
    }
    insert(text.toUpper());
    event->accept();
}
