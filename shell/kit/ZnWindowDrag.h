#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Lets a frameless window be moved by a left-button drag on any part of it that
// does not take the press itself. The window forwards its mouse events here.
class ZnWindowDrag
{
public:
    explicit ZnWindowDrag(QWidget *target);

    void mousePress(QMouseEvent *event);
    void mouseMove(QMouseEvent *event);
    void mouseRelease(QMouseEvent *event);

    bool isDragging() const { return dragging; }

private:
    QPoint pressPos;
    bool dragging = false;
    QWidget *target;
};
