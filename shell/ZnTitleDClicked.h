#pragma once

#include <QObject>
#include <QPointer>

// Watches the main window's title bar: a double click there asks the owner to
// toggle between the maximised and the normal window. Lets every event through.
class ZnTitleDClicked : public QObject
{
    Q_OBJECT

public:
    ZnTitleDClicked(QObject *owner, QObject *watched);

    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual bool onTitleEvent(QObject *watched, QEvent *event);

signals:
    void doubleClicked();

private:
    QPointer<QObject> owner;
    QObject *watched;
};
