#pragma once

#include <QObject>
#include <QPointer>

class InfoCenterMgr;

// Watches the main window's title bar: a double click there toggles between the
// maximised and the normal window. Lets every event through.
class ZnTitleDClicked : public QObject
{
public:
    ZnTitleDClicked(InfoCenterMgr *owner, QObject *watched);

    bool eventFilter(QObject *watched, QEvent *event) override;
    virtual bool onTitleEvent(QObject *watched, QEvent *event);

private:
    QPointer<InfoCenterMgr> owner;
    QObject *watched;
};
