#pragma once

#include "ZnFAlarm.h"
#include "ZnListStore.h"

#include <QObject>

#include <list>
#include <memory>

class ZnFAlarmTrigger;
class ZnManageCenter;

// The fire-alarm interfaces for the pages: sorted by id when a list arrives, a
// changed interface moves to the end.
class ZnFAlarmListMgr : public QObject
{
    Q_OBJECT

public:
    enum { ListCode = 289, ChangedCode = 290, DeletedCode = 292 };

    // Created on the first call; sends nothing.
    static ZnFAlarmListMgr* instance();
    // The manager's callback (receive thread).
    static void onNotify(int code, void* data);

    // Registers the callback and asks for the list, repeating every 10 ms while the
    // centre is busy; the result code.
    int registerAndWait();

    // The list with the model's lock held; never null. The caller reads it and then
    // calls unlockList(), without calling into the centre meanwhile.
    const std::list<ZnFAlarm>* lockList() const;
    void unlockList() const;
    const std::list<ZnFAlarm>* lock() const { return lockList(); }
    void unlock() const { unlockList(); }
    bool findFAlarm(int id, ZnFAlarm& out) const;
    std::unique_ptr<ZnFAlarm> copyFAlarm(int id) const;

    // Repeat while busy (100 ms apart); the copy changes only on 0.
    int modifyFAlarm(const ZnFAlarm& alarm);
    int deleteFAlarm(const ZnFAlarm& alarm);
    // Sent once; the answer carries nothing but its result code.
    int setTrigger(const ZnFAlarmTrigger& trigger);

signals:
    void gotFAlarmList();
    void fAlarmChanged(int id);
    void alarmDeleted(int id);

private:
    typedef ZnListStore<ZnFAlarm, ZnListKind::RetryBusy> Store;

    ZnFAlarmListMgr();
    void handle(int code, void* data);

    ZnManageCenter* m_centre = nullptr;
    Store m_store;
};
