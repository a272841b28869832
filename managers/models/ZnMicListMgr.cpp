#include "ZnMicListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnMicManage.h"
#include "ZnSleep.h"

namespace {
ZnMicListMgr* g_micListMgr = nullptr;
}

const int ZnMicListMgr::AllPlayTerminalList = ZnMicManage::AllPlayType;

ZnMicListMgr* ZnMicListMgr::instance()
{
    if (!g_micListMgr)
        g_micListMgr = new ZnMicListMgr;
    return g_micListMgr;
}

void ZnMicListMgr::onNotify(int code, void* data)
{
    if (g_micListMgr && data)
        g_micListMgr->handle(code, data);
}

ZnManageCenter* ZnMicListMgr::takeHubCentre()
{
    ServiceHub* hub = ServiceHub::instance();
    m_centre = hub ? hub->centre() : nullptr;
    return m_centre;
}

ZnOwnedList<BookEntry>* ZnMicListMgr::book(int type)
{
    switch (type) {
    case ZnMicManage::CallBookType:
        return &m_callBook;
    case ZnMicManage::TransferType:
        return &m_transfers;
    case ZnMicManage::MonitorType:
        return &m_monitors;
    case ZnMicManage::SourceType:
        return &m_sources;
    case ZnMicManage::RegionType:
        return &m_regions;
    default:
        return nullptr;
    }
}

void ZnMicListMgr::handle(int code, void* data)
{
    switch (code) {
    case ZnMicManage::ListType: {
        Store::List list = *Store::listOf(data);
        ZnMicManage::sortDescending(list);
        if (m_store.replaceAll(std::move(list)))
            emit gotMicList();
        break;
    }
    case ZnMicManage::ConsoleType:
        applyChanged(*Store::recordOf(data));
        break;
    case ZnMicManage::DeletedType: {
        int id = 0;
        if (Store::idOf(data, id) && m_store.erase(id))
            emit micDeleted(id);
        break;
    }
    case ZnMicManage::AllCallType:
    case ZnMicManage::AllPlayType: {
        std::list<ZnMic> fresh = *static_cast<const std::list<ZnMic>*>(data);
        QMutexLocker lock(&m_store.mutex());
        (code == ZnMicManage::AllCallType ? m_allCall : m_allPlay).swap(fresh);
        break;
    }
    default:
        if (ZnOwnedList<BookEntry>* b = book(code))
            b->take(*static_cast<const std::list<BookEntry>*>(data));
        break;
    }
}

void ZnMicListMgr::applyChanged(const ZnMic& mic)
{
    // A console pushed before the first list counts as well.
    if (m_store.upsert(mic, Store::TakeEarly) != Store::NotApplied)
        emit micChanged(mic.id);
}

int ZnMicListMgr::requestMicList()
{
    ZnManageCenter* centre = takeHubCentre();
    apiSetMicCallback(centre, &ZnMicListMgr::onNotify);
    return Store::requestList([centre] { return apiGetMicList(centre); });
}

int ZnMicListMgr::requestMic(ZnManageCenter* centre, int terminalId)
{
    ZnMic held;
    if (!centre || !m_store.copyRecord(terminalId, held))
        return -1;
    // A console whose flag is set is not asked for again.
    if (held.extraFlagA)
        return 0;
    return Store::change([&] { return apiGetMicTerminal(centre, terminalId); });
}

int ZnMicListMgr::modifyMic(const ZnMic& mic)
{
    return Store::change([&] { return apiModifyMic(m_centre, &mic); }, [&] { applyChanged(mic); });
}

int ZnMicListMgr::deleteMic(const ZnMic& mic)
{
    // The console leaves without a signal: the page drops its row itself.
    return Store::change([&] { return apiRemoveDevice(m_centre, mic.id, mic.type.c_str()); },
                         [&] { m_store.erase(mic.id); });
}

int ZnMicListMgr::requestMicBooks(const BookRequest* request)
{
    if (!request)
        return -1;
    ZnManageCenter* centre = takeHubCentre();
    // A book may be asked for before the console list: its answer needs the callback too.
    apiSetMicCallback(centre, &ZnMicListMgr::onNotify);
    if (ZnOwnedList<BookEntry>* b = book(request->requestType))
        b->ask(request->terminalId);
    return Store::requestList([&] { return apiGetMicBooks(centre, request); });
}

int ZnMicListMgr::setMicBooks(const BookRequest* request)
{
    if (!request)
        return -1;
    const int result = apiSetMicBooks(m_centre, request);
    ZnSleep::ms(Store::ChangePauseMs);
    return result;
}

std::list<ZnMic> ZnMicListMgr::playTermList() const
{
    QMutexLocker lock(&m_store.mutex());
    return m_allPlay;
}

const std::list<ZnMic>* ZnMicListMgr::lockAllPlayTerminals() const
{
    m_store.mutex().lock();
    return &m_allPlay;
}
