#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <string>

class ZnManageCenter;
class ZnTerminal;

// Turns the centre's loss and terminal-conflict callbacks (receive thread) into
// messages on the GUI thread. A loss ends the program; conflicts are listed.
class ZnNetLosssHandle : public QObject
{
    Q_OBJECT
public:
    static ZnNetLosssHandle *create(ZnManageCenter *centre);
    static ZnNetLosssHandle *instance();

    static void onNetLoss();
    static void onDeviceConflict(int code, const char *body);

    // The terminals of a conflict body; null when it is not a JSON array.
    static std::unique_ptr<QList<ZnTerminal>> parseConflictList(const std::string &body);
    // The message text shown for a conflict list.
    static QString conflictText(const QList<ZnTerminal> &terminals);

    bool isShowingConflict() const { return showingConflict; }

signals:
    void netloss_signal();
    void device_conflict_signal(QString body);

public slots:
    void slot_netloss();
    void slot_device_conflict(QString body);

private:
    explicit ZnNetLosssHandle(ZnManageCenter *centre);

    ZnManageCenter *centre;
    bool showingConflict = false;
};
