#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Event filter on a dialog's header: pressing on the header and moving drags the
// dialog. It never swallows an event.
class ZnTitleMoveEvent : public QObject
{
public:
    ZnTitleMoveEvent(QWidget *window, QWidget *title);

    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual bool onTitleEvent(QObject *watched, QEvent *event);
    virtual bool isMoveEnabled();

private:
    QWidget *window;
    QWidget *title;
    QPoint pressCursor;
    QPoint pressWindowPos;
    bool pressed = false;
};
