#include "ZnD82ListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnBookRequest.h"
#include "ZnD82Manage.h"
#include "ZnSleep.h"

namespace {
ZnD82ListMgr* gInstance = nullptr;

bool byDescendingId(const ZnD82& a, const ZnD82& b)
{
    return a.id > b.id;
}
}

ZnD82ListMgr::ZnD82ListMgr() = default;

ZnD82ListMgr* ZnD82ListMgr::instance()
{
    if (!gInstance)
        gInstance = new ZnD82ListMgr;
    return gInstance;
}

ZnManageCenter* ZnD82ListMgr::takeCentre()
{
    ServiceHub* hub = ServiceHub::instance();
    m_centre = hub ? hub->centre() : nullptr;
    return m_centre;
}

void ZnD82ListMgr::onNotify(int code, void* data)
{
    ZnD82ListMgr* self = gInstance;
    if (!self || !data)
        return;
    switch (code) {
    case ZnD82Manage::ListType: {
        Store::List fresh(*Store::listOf(data));
        fresh.sort(byDescendingId);
        if (self->m_store.replaceAll(std::move(fresh)))
            emit self->gotD82List();
        break;
    }
    case ZnD82Manage::DeviceType:
        self->applyChanged(*Store::recordOf(data));
        break;
    case ZnD82Manage::RemovedType: {
        int id = 0;
        if (Store::idOf(data, id) && self->m_store.erase(id))
            emit self->d82Deleted(id);
        break;
    }
    case ZnD82Manage::CallBookType:
        self->setBook(self->m_callBook, data);
        break;
    case ZnD82Manage::SourceBookType:
        self->setBook(self->m_sourceBook, data);
        break;
    case ZnD82Manage::RegionBookType:
        self->setBook(self->m_regionBook, data);
        break;
    case ZnD82Manage::AllCallType: {
        const auto* all = static_cast<const std::list<ZnD82>*>(data);
        QMutexLocker lock(&self->m_bookMutex);
        self->m_allCall = *all;
        break;
    }
    default:
        break;
    }
}

void ZnD82ListMgr::setBook(std::list<BookEntry>& book, const void* data)
{
    const auto* entries = static_cast<const std::list<BookEntry>*>(data);
    QMutexLocker lock(&m_bookMutex);
    book = *entries;
}

int ZnD82ListMgr::requestD82List()
{
    ZnManageCenter* centre = takeCentre();
    apiSetD82Callback(centre, &ZnD82ListMgr::onNotify);
    return Store::requestList([centre] { return apiGetD82List(centre); });
}

int ZnD82ListMgr::requestD82Books(const ZnBookRequest* request)
{
    ZnManageCenter* centre = takeCentre();
    return Store::requestList([centre, request] { return apiGetD82Books(centre, request); });
}

int ZnD82ListMgr::setD82Books(const ZnBookRequest* request)
{
    const int result = apiSetD82Books(takeCentre(), request);
    // Gives the server's own follow-up a moment before the page reads again.
    ZnSleep::ms(Store::ChangePauseMs);
    return result;
}

int ZnD82ListMgr::requestD82(ZnManageCenter* centre, int id)
{
    if (!centre || !m_store.contains(id))
        return -1;
    auto call = [centre, id] { return apiGetD82Terminal(centre, id); };
    return Store::repeatWhileBusy(call, Store::ChangePauseMs);
}

int ZnD82ListMgr::modifyD82(const ZnD82* device)
{
    if (!device)
        return -1;
    const ZnD82 copy(*device);
    return Store::change([this, &copy] { return apiModifyD82(takeCentre(), &copy); },
                         [this, &copy] { applyChanged(copy); });
}

void ZnD82ListMgr::applyChanged(const ZnD82& device)
{
    if (m_store.upsert(device, Store::TakeEarly) != Store::NotApplied)
        emit d82Changed(device.id);
}

int ZnD82ListMgr::deleteD82(const ZnD82& device)
{
    const ZnD82 copy(device);
    return Store::change([this, &copy] { return apiRemoveDevice(takeCentre(), copy.id, copy.type.c_str()); },
                         [this, &copy] { m_store.erase(copy.id); });
}

bool ZnD82ListMgr::getD82(int id, ZnD82* out) const
{
    return out && m_store.copyRecord(id, *out);
}

std::list<BookEntry> ZnD82ListMgr::callList() const
{
    QMutexLocker lock(&m_bookMutex);
    return m_callBook;
}

std::list<BookEntry> ZnD82ListMgr::sourceList() const
{
    QMutexLocker lock(&m_bookMutex);
    return m_sourceBook;
}

std::list<BookEntry> ZnD82ListMgr::regionList() const
{
    QMutexLocker lock(&m_bookMutex);
    return m_regionBook;
}

std::list<ZnD82> ZnD82ListMgr::allCallList() const
{
    QMutexLocker lock(&m_bookMutex);
    return m_allCall;
}
