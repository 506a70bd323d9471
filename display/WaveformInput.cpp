#include "display/WaveformInput.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <cstdlib>

WaveformInput::WaveformInput(QWidget *plotPanel, QWidget *ruler, Hooks hooks)
    : QObject(plotPanel)
    , plot(plotPanel)
    , on(std::move(hooks))
{
    plot->setFocusPolicy(Qt::StrongFocus);
    plot->installEventFilter(this);
    // The pointer is followed over the picture without a button held, so
    // that the cursor keys know where it is.
    for (QWidget *child : plot->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        child->setMouseTracking(true);
        child->installEventFilter(this);
    }
    if (ruler)
        ruler->installEventFilter(this);
}

bool WaveformInput::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        pointerX = plot->mapFromGlobal(mouse->globalPosition().toPoint()).x();
        if (event->type() == QEvent::MouseButtonPress && watched != plot)
            plot->setFocus(Qt::MouseFocusReason);
        break;
    }
    case QEvent::Leave:
        if (watched == plot)
            pointerX = -1;
        break;
    case QEvent::Wheel:
        return Wheel(event);
    case QEvent::KeyPress:
        if (watched == plot)
            return Key(event);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool WaveformInput::Wheel(QEvent *event)
{
    auto *wheel = static_cast<QWheelEvent *>(event);
    const QPoint delta = wheel->angleDelta();
    const bool shift = wheel->modifiers().testFlag(Qt::ShiftModifier);
    // Sideways: a horizontal wheel or swipe, or Shift with the wheel (some
    // systems turn the latter into a horizontal delta themselves).
    const bool sideways = shift || std::abs(delta.x()) > std::abs(delta.y());
    if (sideways) {
        const int d = delta.x() != 0 ? delta.x() : delta.y();
        // Away from the user or to the left shows earlier times.
        const int notches = scrollWheel.Notches(d);
        if (notches != 0 && on.Scroll)
            on.Scroll(-notches);
    } else {
        const int notches = zoomWheel.Notches(delta.y());
        pointerX = plot->mapFromGlobal(wheel->globalPosition().toPoint()).x();
        for (int n = 0; n < std::abs(notches) && on.Zoom; ++n)
            on.Zoom(notches > 0, pointerX);
    }
    event->accept();
    return true;
}

bool WaveformInput::Key(QEvent *event)
{
    auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods =
        key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (mods != Qt::NoModifier)
        return false;
    const int tenth = 1;
    const int screen = WaveformNavigation::ScreenTenths;
    switch (key->key()) {
    case Qt::Key_Left:
        return on.Scroll ? (on.Scroll(-tenth), true) : false;
    case Qt::Key_Right:
        return on.Scroll ? (on.Scroll(tenth), true) : false;
    case Qt::Key_PageUp:
        return on.Scroll ? (on.Scroll(-screen), true) : false;
    case Qt::Key_PageDown:
        return on.Scroll ? (on.Scroll(screen), true) : false;
    case Qt::Key_1:
        return on.PlaceCursor ? (on.PlaceCursor('A', pointerX), true) : false;
    case Qt::Key_2:
        return on.PlaceCursor ? (on.PlaceCursor('B', pointerX), true) : false;
    default:
        return false;
    }
}
