#pragma once

#include "ZnCap.h"
#include "ZnLockedList.h"

#include <list>

class ZnManageCenter;

// The capture units for the pages. Not a Qt object: it tells its view (set by
// the service hub) about a new list, a changed unit and a removed one.
class ZnCapListMgr : public ZnLockedList
{
public:
    enum { Busy = 2, PauseMs = 100, MaxAttempts = 50 };

    ZnCapListMgr() = default;

    // gCapList; the first call also registers the callbacks and waits for the
    // first list.
    static ZnCapListMgr* instance();

    // Registers the three callbacks with the centre; nothing without one.
    static void registerCallbacks(ZnManageCenter* centre);
    // With the service hub's centre: registers and asks for the list, pausing
    // 100 ms after each try while busy.
    void registerAndWait();
    // Asks for the list again; the result code.
    int waitReady(ZnManageCenter* centre);

    // Null, without locking, until the first list; else the list with the lock
    // held: the caller unlocks().
    std::list<ZnCap>* lockList();
    std::list<ZnCap>* lockedList() { return lockList(); }
    bool findCap(int id, ZnCap& out);
    // The copy changes only when the server accepted; the result code, -1 for a
    // negative one.
    int removeCap(ZnManageCenter* centre, const ZnCap& cap);
    // 0 when accepted (the copy then holds the unit), -1 without centre, else 4.
    int modifyCap(ZnManageCenter* centre, const ZnCap& cap);

    // The callbacks (receive thread).
    static void onList(std::list<ZnCap>* list);
    static void onRemoved(int id);
    static void onChanged(ZnCap* cap);

    ~ZnCapListMgr() override;

private:
    std::list<ZnCap>* m_list = nullptr;
};

// The one holder, made before main and never freed: the receive thread may call
// back until the process ends.
extern ZnCapListMgr& gCapList;
