#include "ZnD72ListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnD72Manage.h"

namespace {
ZnD72ListMgr* g_d72ListMgr = nullptr;
}

ZnD72ListMgr::ZnD72ListMgr()
    : ZnTalkConsoleList(
        {ZnD72Manage::ListType, ZnD72Manage::ModifyType, ZnD72Manage::DeletedType, ZnD72Manage::ButtonCallsType})
{}

ZnD72ListMgr* ZnD72ListMgr::instance()
{
    if (!g_d72ListMgr) {
        g_d72ListMgr = new ZnD72ListMgr;
        ServiceHub* hub = ServiceHub::instance();
        g_d72ListMgr->m_centre = hub ? hub->centre() : nullptr;
        apiSetD72Callback(g_d72ListMgr->m_centre, &ZnD72ListMgr::onNotify);
        apiGetD72List(g_d72ListMgr->m_centre);
    }
    return g_d72ListMgr;
}

void ZnD72ListMgr::onNotify(int code, void* data)
{
    if (!g_d72ListMgr)
        return;
    // No message of the server produces 234 yet; the model takes it when one does.
    if (code == ZnD72Manage::NotifiedButtonCallsType)
        g_d72ListMgr->takeNotifiedBtnCalls(static_cast<const std::list<ZnMicBtnCall>*>(data));
    else
        g_d72ListMgr->handle(code, data);
}

void ZnD72ListMgr::takeNotifiedBtnCalls(const std::list<ZnMicBtnCall>* calls)
{
    std::list<ZnMicBtnCall> old;
    {
        QMutexLocker lock(&m_notifiedMutex);
        old.swap(m_notifiedBtnCalls);
        if (calls)
            m_notifiedBtnCalls = *calls;
    }
    if (calls)
        emit gotD72BtnCallList();
}

std::list<ZnMicBtnCall> ZnD72ListMgr::notifiedBtnCallList() const
{
    QMutexLocker lock(&m_notifiedMutex);
    return m_notifiedBtnCalls;
}

void ZnD72ListMgr::announceList()
{
    emit gotD72List();
}

void ZnD72ListMgr::announceChanged(int id)
{
    emit d72Changed(id);
}

void ZnD72ListMgr::announceDeleted(int id)
{
    emit d72Deleted(id);
}

int ZnD72ListMgr::modifyD72(const ZnMic& mic)
{
    return Store::change([&] { return apiModifyD72(m_centre, &mic); }, [&] { applyChanged(mic); });
}

int ZnD72ListMgr::removeD72(const ZnMic& mic)
{
    return Store::change([&] { return apiRemoveDevice(m_centre, mic.id, mic.type.c_str()); },
                         [&] { applyDeleted(mic.id); });
}

int ZnD72ListMgr::requestBtnCalls(const ZnMic& mic)
{
    m_btnCalls.ask(mic.id);
    // Any answer counts as asked: the list shows what arrived.
    return apiGetD72ButtonCalls(m_centre, &mic) < 0 ? -1 : 0;
}

int ZnD72ListMgr::setBtnCalls(const std::vector<ZnMicBtnCall>& calls)
{
    return apiSetD72ButtonCall(m_centre, &calls);
}
