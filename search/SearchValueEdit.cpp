#include "search/SearchValueEdit.h"

#include "search/SearchValueRules.h"

#include <QKeyEvent>

SearchValueEdit::SearchValueEdit(QWidget *parent)
    : QLineEdit(parent)
{
    SetBase(SearchCondition::Hexadecimal);
}

void SearchValueEdit::SetBase(int b)
{
    base = b;
    setMaxLength(SearchValueRules::MaxLength(b));
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
