#include "ZnTitleMoveEvent.h"

#include <QCursor>
#include <QEvent>
#include <QWidget>

ZnTitleMoveEvent::ZnTitleMoveEvent(QWidget *window, QWidget *title) : window(window), title(title) {}

bool ZnTitleMoveEvent::eventFilter(QObject *watched, QEvent *event)
{
    if (watched && watched->isWidgetType() && watched == title && window) {
        if (isMoveEnabled() && event->type() == QEvent::MouseButtonPress) {
            pressed = true;
            pressCursor = QCursor::pos();
            pressWindowPos = window->pos();
        } else if (isMoveEnabled() && pressed && event->type() == QEvent::MouseMove) {
            window->move(pressWindowPos + QCursor::pos() - pressCursor);
        } else if (isMoveEnabled() && event->type() == QEvent::MouseButtonRelease) {
            pressed = false;
        }
        onTitleEvent(watched, event);
    }
    return QObject::eventFilter(watched, event);
}

bool ZnTitleMoveEvent::onTitleEvent(QObject *, QEvent *)
{
    return false;
}

bool ZnTitleMoveEvent::isMoveEnabled()
{
    return true;
}
