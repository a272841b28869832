#pragma once

#include <QObject>

// The Qt signals behind a view controller; emitted on the receive thread, so
// receivers on the GUI thread get them queued.
class ZnQtViewSignal : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void haveTerminals();
    void addTerminal(int id);
    void delTerminal(int id);
    void updateTerminal(int id);
};
