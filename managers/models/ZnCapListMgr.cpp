#include "ZnCapListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnBusyRetry.h"
#include "ZnViewBaseCtr.h"

#include <QMutexLocker>

#include <algorithm>
#include <mutex>

namespace {
// Finds a unit by id in a list the caller has locked.
std::list<ZnCap>::iterator findById(std::list<ZnCap>& list, int id)
{
    return std::find_if(list.begin(), list.end(), [id](const ZnCap& c) { return c.id == id; });
}
}

ZnCapListMgr::~ZnCapListMgr()
{
    delete m_list;
}

ZnCapListMgr& gCapList = *new ZnCapListMgr;

ZnCapListMgr* ZnCapListMgr::instance()
{
    static std::once_flag first;
    std::call_once(first, [] { gCapList.registerAndWait(); });
    return &gCapList;
}

void ZnCapListMgr::registerCallbacks(ZnManageCenter* centre)
{
    if (!centre)
        return;
    apiSetCapCallbacks(centre, &ZnCapListMgr::onList, &ZnCapListMgr::onRemoved, &ZnCapListMgr::onChanged);
}

void ZnCapListMgr::registerAndWait()
{
    ServiceHub* hub = ServiceHub::instance();
    ZnManageCenter* centre = hub ? hub->centre() : nullptr;
    registerCallbacks(centre);
    waitReady(centre);
}

int ZnCapListMgr::waitReady(ZnManageCenter* centre)
{
    return ZnBusyRetry::run([centre] { return apiGetCapList(centre); }, PauseMs, MaxAttempts);
}

std::list<ZnCap>* ZnCapListMgr::lockList()
{
    m_mutex.lock();
    if (!m_list) {
        m_mutex.unlock();
        return nullptr;
    }
    return m_list;
}

bool ZnCapListMgr::findCap(int id, ZnCap& out)
{
    QMutexLocker lock(&m_mutex);
    if (!m_list)
        return false;
    auto it = findById(*m_list, id);
    if (it == m_list->end())
        return false;
    out = *it;
    return true;
}

int ZnCapListMgr::removeCap(ZnManageCenter* centre, const ZnCap& cap)
{
    // A refusal's reason reaches the operator through the play-terminal model.
    const int result = apiRemoveDevice(centre, cap.id, cap.type.c_str());
    if (result < 0)
        return -1;
    if (result == 0) {
        QMutexLocker lock(&m_mutex);
        if (m_list) {
            auto it = findById(*m_list, cap.id);
            if (it != m_list->end())
                m_list->erase(it);
        }
    }
    return result;
}

int ZnCapListMgr::modifyCap(ZnManageCenter* centre, const ZnCap& cap)
{
    if (!centre)
        return -1;
    if (apiModifyCap(centre, &cap) != 0)
        return 4;
    QMutexLocker lock(&m_mutex);
    if (!m_list)
        m_list = new std::list<ZnCap>;
    auto it = findById(*m_list, cap.id);
    if (it != m_list->end())
        *it = cap;
    else
        m_list->push_back(cap);
    return 0;
}

void ZnCapListMgr::onList(std::list<ZnCap>* list)
{
    if (!list)
        return;
    std::list<ZnCap> fresh(*list);
    fresh.sort([](const ZnCap& a, const ZnCap& b) { return a.id < b.id; });
    ZnCapListMgr* caps = &gCapList;
    {
        QMutexLocker lock(&caps->m_mutex);
        if (!caps->m_list)
            caps->m_list = new std::list<ZnCap>;
        caps->m_list->swap(fresh);
    }
    if (ZnViewBaseCtr* view = caps->view())
        view->haveTerminals();
}

void ZnCapListMgr::onRemoved(int id)
{
    ZnCapListMgr* caps = &gCapList;
    bool erased = false;
    {
        QMutexLocker lock(&caps->m_mutex);
        if (!caps->m_list)
            return;
        auto it = findById(*caps->m_list, id);
        if (it != caps->m_list->end()) {
            caps->m_list->erase(it);
            erased = true;
        }
    }
    if (erased) {
        if (ZnViewBaseCtr* view = caps->view())
            view->delTerminal(id);
    }
}

void ZnCapListMgr::onChanged(ZnCap* cap)
{
    if (!cap)
        return;
    ZnCapListMgr* caps = &gCapList;
    {
        QMutexLocker lock(&caps->m_mutex);
        if (!caps->m_list)
            return;
        auto it = findById(*caps->m_list, cap->id);
        if (it != caps->m_list->end())
            caps->m_list->erase(it);
        caps->m_list->push_back(*cap);
    }
    if (ZnViewBaseCtr* view = caps->view())
        view->updateTerminal(cap->id);
}
