#include "ZnD74ListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnD74Manage.h"

namespace {
ZnD74ListMgr* g_d74ListMgr = nullptr;
}

ZnD74ListMgr::ZnD74ListMgr()
    : ZnTalkConsoleList(
        {ZnD74Manage::ListType, ZnD74Manage::ModifyType, ZnD74Manage::DeletedType, ZnD74Manage::ButtonCallsType})
{}

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

void ZnD74ListMgr::announceList()
{
    emit gotD74List();
}

void ZnD74ListMgr::announceChanged(int id)
{
    emit d74Changed(id);
}

void ZnD74ListMgr::announceDeleted(int id)
{
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
    // Any answer counts as asked: the list shows what arrived.
    return apiGetD74ButtonCalls(m_centre, &mic) < 0 ? -1 : 0;
}

int ZnD74ListMgr::setBtnCalls(const ZnMicBtnCall& call)
{
    return apiSetD74ButtonCall(m_centre, &call);
}
