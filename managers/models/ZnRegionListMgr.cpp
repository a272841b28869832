#include "ZnRegionListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnRegionManage.h"

namespace {
ZnRegionListMgr* gInstance = nullptr;
}

ZnRegionListMgr::ZnRegionListMgr()
    : ZnSavedList<ZnRegion>({ZnRegionManage::ListType, ZnRegionManage::DeletedType, ZnRegionManage::SaveType})
{}

ZnRegionListMgr* ZnRegionListMgr::instance()
{
    if (gInstance)
        return gInstance;
    gInstance = new ZnRegionListMgr;
    ServiceHub* hub = ServiceHub::instance();
    gInstance->m_centre = hub ? hub->centre() : nullptr;
    apiSetRegionCallback(gInstance->m_centre, &ZnRegionListMgr::onNotify);
    ZnManageCenter* centre = gInstance->m_centre;
    Store::requestList([centre] { return apiGetRegionList(centre); });
    return gInstance;
}

void ZnRegionListMgr::onNotify(int code, void* data)
{
    if (gInstance)
        gInstance->handle(code, data);
}

void ZnRegionListMgr::announceList()
{
    emit gotRegionList();
}

void ZnRegionListMgr::announceChanged(int id)
{
    emit regionChanged(id);
}

void ZnRegionListMgr::announceDeleted(int id)
{
    emit regionDeleted(id);
}

int ZnRegionListMgr::modifyRegion(const ZnRegion* region, int operation)
{
    return save(region, operation, &apiSaveRegion);
}
