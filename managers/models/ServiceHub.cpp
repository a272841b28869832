#include "ServiceHub.h"

#include "ZnApi.h"
#include "ZnCapListMgr.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnLevelList.h"
#include "ZnQtViewCtrl.h"
#include "ZnSchemeList.h"

#include <atomic>

namespace {
std::atomic<ServiceHub*> gHub{nullptr};
}

ServiceHub::ServiceHub(ZnManageCenter* centre) : m_centre(centre) {}

ServiceHub* ServiceHub::create(ZnManageCenter* centre)
{
    static ServiceHub* hub = [centre] {
        ServiceHub* made = new ServiceHub(centre);
        made->attachCapList();
        made->setLevelList(&gLevelList);
        if (!gLevelList.view())
            gLevelList.setView(ZnCreateViewCtrMgr::createView(0));
        if (centre) {
            ZnLevelList::registerCallbacks(centre);
            ZnSchemeList::instance()->registerCallbacks(centre);
        }
        return made;
    }();
    gHub.store(hub);
    return hub;
}

void ServiceHub::attachCapList()
{
    if (!gCapList.view())
        gCapList.setView(ZnCreateViewCtrMgr::createView(0));
    m_capList = &gCapList;
    ZnCapListMgr::registerCallbacks(m_centre);
}

ServiceHub* ServiceHub::instance()
{
    return gHub.load();
}

int ServiceHub::requestCapList()
{
    if (!m_centre)
        return -1;
    return gCapList.waitReady(m_centre);
}
