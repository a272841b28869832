#include "ZnD74ListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnD74Manage.h"

namespace {
ZnD74ListMgr* g_d74ListMgr = nullptr;
}

ZnD74ListMgr* ZnD74ListMgr::instance()
{
    if (!g_d74ListMgr) {
        g_d74ListMgr = new ZnD74ListMgr;
        ServiceHub* hub = ServiceHub::instance();
        ZnManageCenter* centre = hub ? hub->centre() : nullptr;
        g_d74ListMgr->m_centre = centre;
        apiSetD74Callback(centre, &ZnD74ListMgr::onNotify);
        Store::requestList([centre] { return apiGetD74List(centre); });
    }
    return g_d74ListMgr;
}

void ZnD74ListMgr::onNotify(int code, void* data)
{
    if (g_d74ListMgr)
        g_d74ListMgr->handle(code, data);
}

void ZnD74ListMgr::handle(int code, void* data)
{
    switch (code) {
    case ZnD74Manage::ListType:
        if (m_store.replaceAll(Store::listOf(data)))
            emit gotD74List();
        break;
    case ZnD74Manage::ModifyType:
        if (const ZnMic* mic = Store::recordOf(data))
            applyChanged(*mic);
        break;
    case ZnD74Manage::DeletedType: {
        int id = 0;
        if (Store::idOf(data, id))
            applyDeleted(id);
        break;
    }
    case ZnD74Manage::ButtonCallsType:
        if (data)
            m_btnCalls.take(*static_cast<const std::list<ZnMicBtnCall>*>(data));
        break;
    default:
        break;
    }
}

void ZnD74ListMgr::applyChanged(const ZnMic& mic)
{
    if (m_store.upsert(mic) != Store::NotApplied)
        emit d74Changed(mic.id);
}

void ZnD74ListMgr::applyDeleted(int id)
{
    if (m_store.erase(id))
        emit d74Deleted(id);
}

int ZnD74ListMgr::modifyD74(const ZnMic& mic, int op)
{
    return Store::change([&] { return apiModifyD74(m_centre, &mic, op); }, [&] { applyChanged(mic); });
}

int ZnD74ListMgr::removeD74(const ZnMic& mic)
{
    return Store::change([&] { return apiRemoveDevice(m_centre, mic.id, mic.type.c_str()); },
                         [&] { applyDeleted(mic.id); });
}

int ZnD74ListMgr::requestBtnCalls(const ZnMic& mic)
{
    m_btnCalls.ask(mic.id);
    return apiGetD74ButtonCalls(m_centre, &mic);
}

int ZnD74ListMgr::setBtnCalls(const ZnMicBtnCall& call)
{
    return apiSetD74ButtonCall(m_centre, &call);
}
