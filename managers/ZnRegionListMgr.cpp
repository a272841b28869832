#include "ZnRegionListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnRegionManage.h"

#include <algorithm>

namespace {
ZnRegionListMgr* gInstance = nullptr;
}

ZnRegionListMgr::ZnRegionListMgr() = default;

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
    ZnRegionListMgr* self = gInstance;
    if (!self)
        return;
    switch (code) {
    case ZnRegionManage::ListType:
        if (self->m_store.replaceAll(Store::listOf(data)))
            emit self->gotRegionList();
        break;
    case ZnRegionManage::DeletedType: {
        int id = 0;
        if (Store::idOf(data, id) && self->m_store.erase(id))
            emit self->regionDeleted(id);
        break;
    }
    case ZnRegionManage::SaveType:
        if (const ZnRegion* region = Store::recordOf(data))
            self->apply(*region, Modify);
        break;
    default:
        break;
    }
}

int ZnRegionListMgr::maxRegionId() const
{
    int top = 0;
    bool any = false;
    m_store.forEach([&](const ZnRegion& r) {
        top = any ? std::max(top, r.regionId) : r.regionId;
        any = true;
    });
    return top;
}

bool ZnRegionListMgr::getRegion(int regionId, ZnRegion* out) const
{
    return out && m_store.copyRecord(regionId, *out);
}

int ZnRegionListMgr::modifyRegion(const ZnRegion* region, int operation)
{
    if (!region || operation < Add || operation > Delete)
        return -1;
    const ZnRegion copy(*region);
    return Store::change([&] { return apiSaveRegion(m_centre, &copy, operation); },
                         [&] { apply(copy, operation); });
}

void ZnRegionListMgr::apply(const ZnRegion& region, int kind)
{
    const int id = region.regionId;
    if (kind == Delete) {
        if (m_store.erase(id))
            emit regionDeleted(id);
        return;
    }
    // Adding a region that is already listed changes nothing.
    if (kind == Add && m_store.contains(id))
        return;
    m_store.upsert(region);
    emit regionChanged(id);
}
