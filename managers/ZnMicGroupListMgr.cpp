#include "ZnMicGroupListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnMicGroupManage.h"

#include <algorithm>

namespace {
ZnMicGroupListMgr* gInstance = nullptr;
}

ZnMicGroupListMgr::ZnMicGroupListMgr() = default;

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
    ZnMicGroupListMgr* self = gInstance;
    if (!self)
        return;
    switch (code) {
    case ZnMicGroupManage::ListType:
        if (self->m_store.replaceAll(Store::listOf(data)))
            emit self->gotGroupList();
        break;
    case ZnMicGroupManage::DeletedType: {
        int id = 0;
        if (Store::idOf(data, id) && self->m_store.erase(id))
            emit self->groupDeleted(id);
        break;
    }
    case ZnMicGroupManage::SaveType:
        if (const ZnMicGroup* group = Store::recordOf(data))
            self->apply(*group, Modify);
        break;
    default:
        break;
    }
}

int ZnMicGroupListMgr::maxGroupId() const
{
    int top = 0;
    bool any = false;
    m_store.forEach([&](const ZnMicGroup& g) {
        top = any ? std::max(top, g.groupId) : g.groupId;
        any = true;
    });
    return top;
}

bool ZnMicGroupListMgr::getGroup(int groupId, ZnMicGroup* out) const
{
    return out && m_store.copyRecord(groupId, *out);
}

int ZnMicGroupListMgr::modifyGroup(const ZnMicGroup* group, int operation)
{
    if (!group || operation < Add || operation > Delete)
        return -1;
    const ZnMicGroup copy(*group);
    return Store::change([&] { return apiSaveMicGroup(m_centre, &copy, operation); },
                         [&] { apply(copy, operation); });
}

void ZnMicGroupListMgr::apply(const ZnMicGroup& group, int kind)
{
    const int id = group.groupId;
    if (kind == Delete) {
        if (m_store.erase(id))
            emit groupDeleted(id);
        return;
    }
    // Adding a group that is already listed changes nothing.
    if (kind == Add && m_store.contains(id))
        return;
    m_store.upsert(group);
    emit groupChanged(id);
}
