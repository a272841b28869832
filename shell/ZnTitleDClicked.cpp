#include "ZnTitleDClicked.h"

#include <QEvent>

ZnTitleDClicked::ZnTitleDClicked(QObject *owner, QObject *watched) : owner(owner), watched(watched) {}

bool ZnTitleDClicked::eventFilter(QObject *obj, QEvent *event)
{
    if (obj == watched)
        onTitleEvent(obj, event);
    return QObject::eventFilter(obj, event);
}

bool ZnTitleDClicked::onTitleEvent(QObject *, QEvent *event)
{
    if (!owner || event->type() != QEvent::MouseButtonDblClick)
        return false;
    emit doubleClicked();
    return true;
}
