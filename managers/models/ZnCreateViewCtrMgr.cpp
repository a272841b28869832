#include "ZnCreateViewCtrMgr.h"

#include "ZnLockedList.h"
#include "ZnQtViewCtrl.h"
#include "ZnViewConnectRequest.h"

#include <atomic>

namespace {
std::atomic<ZnCreateViewCtrMgr*> gRegistry{nullptr};
}

ZnCreateViewCtrMgr* ZnCreateViewCtrMgr::create()
{
    static ZnCreateViewCtrMgr* registry = new ZnCreateViewCtrMgr;
    gRegistry.store(registry);
    return registry;
}

ZnCreateViewCtrMgr* ZnCreateViewCtrMgr::instance()
{
    return gRegistry.load();
}

ZnQtViewCtrl* ZnCreateViewCtrMgr::createView(int taken)
{
    return taken == 0 ? new ZnQtViewCtrl : nullptr;
}

int ZnCreateViewCtrMgr::connectView(ZnLockedList* holder, const ZnViewConnectRequest& request)
{
    // Only a Qt view has signals to connect to.
    auto* view = holder ? dynamic_cast<ZnQtViewCtrl*>(holder->view()) : nullptr;
    if (!view || !request.slot)
        return -1;
    return view->connectView(request);
}
