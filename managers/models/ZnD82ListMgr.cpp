#include "ZnD82ListMgr.h"

#include "BookRequest.h"
#include "ServiceHub.h"
#include "ZnApi.h"
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
        setBook(self->m_callBook, self->m_callBookMutex, data);
        break;
    case ZnD82Manage::SourceBookType:
        setBook(self->m_sourceBook, self->recordMutex(), data);
        break;
    case ZnD82Manage::RegionBookType:
        setBook(self->m_regionBook, self->recordMutex(), data);
        break;
    case ZnD82Manage::AllCallType:
        setBook(self->m_allCall, self->recordMutex(), data);
        break;
    default:
        break;
    }
}

template <class Entry>
void ZnD82ListMgr::setBook(std::list<Entry>& book, QRecursiveMutex& mutex, const void* data)
{
    std::list<Entry> fresh = *static_cast<const std::list<Entry>*>(data);
    std::list<Entry> old;
    {
        QMutexLocker lock(&mutex);
        old.swap(book);
        book.swap(fresh);
    }
    // The old entries are freed outside the lock.
}

int ZnD82ListMgr::requestD82List()
{
    ZnManageCenter* centre = takeCentre();
    apiSetD82Callback(centre, &ZnD82ListMgr::onNotify);
    return Store::requestList([centre] { return apiGetD82List(centre); });
}

int ZnD82ListMgr::requestD82Books(const BookRequest* request)
{
    ZnManageCenter* centre = takeCentre();
    return Store::requestList([centre, request] { return apiGetD82Books(centre, request); });
}

int ZnD82ListMgr::setD82Books(const BookRequest* request)
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
    QMutexLocker lock(&m_callBookMutex);
    return m_callBook;
}

// The sound-source and broadcast books are replaced under the record lock, so they
// are read under it too: under the call-book lock a copy could be taken while the
// receive thread frees the list it copies.
std::list<BookEntry> ZnD82ListMgr::sourceList() const
{
    QMutexLocker lock(&recordMutex());
    return m_sourceBook;
}

std::list<BookEntry> ZnD82ListMgr::regionList() const
{
    QMutexLocker lock(&recordMutex());
    return m_regionBook;
}

std::list<ZnD82> ZnD82ListMgr::allCallList() const
{
    QMutexLocker lock(&recordMutex());
    return m_allCall;
}
