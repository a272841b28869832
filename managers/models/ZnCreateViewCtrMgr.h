#pragma once

class ZnLockedList;
class ZnQtViewCtrl;
class ZnViewConnectRequest;

// The view-controller registry: makes view controllers and connects pages to them.
class ZnCreateViewCtrMgr
{
public:
    virtual ~ZnCreateViewCtrMgr() = default;

    // The one registry, created on the first call.
    static ZnCreateViewCtrMgr* create();
    static ZnCreateViewCtrMgr* instance();

    // A new view controller when taken is 0, else null.
    static ZnQtViewCtrl* createView(int taken);
    // Connects a slot to the holder's view; -1 without holder, Qt view or slot.
    static int connectView(ZnLockedList* holder, const ZnViewConnectRequest& request);

private:
    ZnCreateViewCtrMgr() = default;
};
