#include "ZnWindowDrag.h"

#include <QMouseEvent>
#include <QWidget>

ZnWindowDrag::ZnWindowDrag(QWidget *target) : target(target) {}

void ZnWindowDrag::mousePress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging = true;
    pressPos = event->pos();
}

void ZnWindowDrag::mouseMove(QMouseEvent *event)
{
    if (dragging && target)
        target->move(event->globalPos() - pressPos);
}

void ZnWindowDrag::mouseRelease(QMouseEvent *)
{
    dragging = false;
}
