#include "ZnMicGroupListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnMicGroupManage.h"

namespace {
ZnMicGroupListMgr* gInstance = nullptr;
}

ZnMicGroupListMgr::ZnMicGroupListMgr()
    : ZnSavedList<ZnMicGroup>({ZnMicGroupManage::ListType, ZnMicGroupManage::DeletedType, ZnMicGroupManage::SaveType})
{}

ZnMicGroupListMgr* ZnMicGroupListMgr::instance()
{
    if (gInstance)
        return gInstance;
    gInstance = new ZnMicGroupListMgr;
    ServiceHub* hub = ServiceHub::instance();
    gInstance->m_centre = hub ? hub->centre() : nullptr;
    apiSetMicGroupCallback(gInstance->m_centre, &ZnMicGroupListMgr::onNotify);
    ZnManageCenter* centre = gInstance->m_centre;
    Store::requestList([centre] { return apiGetMicGroupList(centre); });
    return gInstance;
}

void ZnMicGroupListMgr::onNotify(int code, void* data)
{
    if (gInstance)
        gInstance->handle(code, data);
}

void ZnMicGroupListMgr::announceList()
{
    emit gotGroupList();
}

void ZnMicGroupListMgr::announceChanged(int id)
{
    emit groupChanged(id);
}

void ZnMicGroupListMgr::announceDeleted(int id)
{
    emit groupDeleted(id);
}

int ZnMicGroupListMgr::modifyGroup(const ZnMicGroup* group, int operation)
{
    return save(group, operation, &apiSaveMicGroup);
}
