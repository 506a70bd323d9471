#include "display/ListKeys.h"

#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

ListKeys::ListKeys(QWidget *grid, std::function<void(Move)> move)
    : QObject(grid)
    , onMove(std::move(move))
{
    grid->setFocusPolicy(Qt::StrongFocus);
    grid->installEventFilter(this);
}

int32_t ListKeys::Moved(Move m, int32_t current, int32_t page, int32_t first, int32_t last)
{
    const int64_t step = std::max(page, 1);
    int64_t to = current;
    switch (m) {
    case Move::RowUp:
        to = int64_t{current} - 1;
        break;
    case Move::RowDown:
        to = int64_t{current} + 1;
        break;
    case Move::PageUp:
        to = current - step;
        break;
    case Move::PageDown:
        to = current + step;
        break;
    case Move::First:
        return first;
    case Move::Last:
        return last;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(to, first, std::max(first, last)));
}

bool ListKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !onMove)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    switch (key->key()) {
    case Qt::Key_Up:
        onMove(Move::RowUp);
        return true;
    case Qt::Key_Down:
        onMove(Move::RowDown);
        return true;
    case Qt::Key_PageUp:
        onMove(Move::PageUp);
        return true;
    case Qt::Key_PageDown:
        onMove(Move::PageDown);
        return true;
    case Qt::Key_Home:
        onMove(Move::First);
        return true;
    case Qt::Key_End:
        onMove(Move::Last);
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
