#pragma once

#include "ZnBusyRetry.h"
#include "ZnIdTable.h"

#include <QMutex>

#include <algorithm>
#include <iterator>
#include <list>
#include <map>
#include <memory>
#include <type_traits>
#include <utility>

// The guarded copy of one family's records that every list model keeps, and the
// way it asks the centre for changes. A model is a QObject singleton that owns
// one store and declares its family's signals; the store never emits, it only
// tells the model what to announce, so every signal goes out after the lock is
// released (a slot reached directly may call back into the model).
//
// CallOnce models call the centre once per change; RetryBusy models repeat a request
// while the centre is busy (result 2). Both apply a change to their copy only
// when the server answered 0, and both return the real result code.
//
// How a model uses it:
//
//     class ZnFooListMgr : public QObject
//     {
//         Q_OBJECT
//     public:
//         static ZnFooListMgr* instance();              // centre: ServiceHub::instance()->centre()
//         static void onNotify(int code, void* data);  // registered with the manager
//         std::list<ZnFoo> copyList() const { return m_store.copyList(); }
//         bool getFoo(int id, ZnFoo& out) const { return m_store.copyRecord(id, out); }
//         int modifyFoo(const ZnFoo& foo)
//         {
//             return m_store.change([&] { return apiModifyFoo(centre(), &foo); },
//                                   [&] { if (m_store.upsert(foo) != Store::NotApplied)
//                                             emit fooChanged(foo.id); });
//         }
//     signals:
//         void gotFooList();
//         void fooChanged(int id);
//         void fooDeleted(int id);
//     private:
//         typedef ZnListStore<ZnFoo, ZnListKind::CallOnce> Store;
//         Store m_store;
//     };
//
//     void ZnFooListMgr::onNotify(int code, void* data)  // receive thread
//     {
//         ZnFooListMgr* self = instance();
//         switch (code) {
//         case FooList:
//             if (self->m_store.replaceAll(Store::listOf(data)))
//                 emit self->gotFooList();
//             break;
//         case FooChanged:
//             if (const ZnFoo* foo = Store::recordOf(data))
//                 if (self->m_store.upsert(*foo) != Store::NotApplied)
//                     emit self->fooChanged(foo->id);
//             break;
//         case FooDeleted: {
//             int id = 0;
//             if (Store::idOf(data, id) && self->m_store.erase(id))
//                 emit self->fooDeleted(id);
//             break;
//         }
//         }
//     }
//
// Records are found by ZnRecordKey<Record>::id(record), which reads the field
// "id"; a record with another key specialises ZnRecordKey beside its class.
// An index from id to record keeps a push from walking the list: a push of
// every row of a large family would otherwise cost the square of its size.

enum class ZnListKind {
    CallOnce,  // one call per change; a changed record is assigned in place or appended
    RetryBusy, // busy requests repeated; a changed record is erased and appended again
};

enum class ZnListOrder {
    AsReceived,
    ById, // ascending id, stable: equal ids keep their order of arrival
};

template <class Record>
struct ZnRecordKey
{
    static int id(const Record& record) { return record.id; }
};

template <class Record, ZnListKind Kind, ZnListOrder Order = ZnListOrder::AsReceived>
class ZnListStore
{
public:
    typedef std::list<Record> List;

    enum Change {
        NotApplied, // RetryBusy before its first list, unless taken early: the change waits for the list
        Replaced,   // a record with that id was there
        Added,      // a new id
    };

    enum : int {
        Busy = 2,
        ListPauseMs = 10,    // RetryBusy, between list requests while busy
        ChangePauseMs = 100, // RetryBusy, between change requests while busy
        MaxAttempts = 10,    // a line busy this long (each wait is bounded) ends with 2
    };

    ZnListStore() = default;
    ZnListStore(const ZnListStore&) = delete;
    ZnListStore& operator=(const ZnListStore&) = delete;

    // ---- Data handed to a notify callback (valid only during the call) --------

    static const List* listOf(void* data) { return static_cast<const List*>(data); }
    static const Record* recordOf(void* data) { return static_cast<const Record*>(data); }
    static bool idOf(void* data, int& id)
    {
        if (!data)
            return false;
        id = *static_cast<const int*>(data);
        return true;
    }

    // ---- Updates from the receive thread ---------------------------------------

    // A list code: the copy becomes the given list; true when the list signal is
    // due. A null list empties a CallOnce copy and leaves a RetryBusy copy alone; it
    // never asks for a signal.
    bool replaceAll(const List* fresh)
    {
        List copy;
        if (fresh)
            copy = *fresh;
        return replaceAll(std::move(copy), fresh != nullptr);
    }

    bool replaceAll(List&& fresh, bool valid = true)
    {
        if (!valid && Kind == ZnListKind::RetryBusy)
            return false;
        if (Order == ZnListOrder::ById && !std::is_sorted(fresh.begin(), fresh.end(), lessById))
            fresh.sort(lessById);
        // Built before the lock: list iterators stay valid across the swap.
        Index index;
        const int duplicates = indexList(fresh, index);
        List old;
        Index oldIndex;
        {
            QMutexLocker lock(&m_mutex);
            old.swap(m_list);
            m_list.swap(fresh);
            oldIndex.swap(m_index);
            m_index.swap(index);
            m_duplicates = duplicates;
            m_hasList = true;
        }
        // The old records are freed outside the lock.
        return valid;
    }

    // Whether a RetryBusy change that comes before the first list waits for it or
    // starts the copy.
    enum EarlyChange { WaitForList, TakeEarly };

    // A changed code. CallOnce assigns in place or appends; RetryBusy erases and appends
    // (into id order when the store is ordered) and, unless told to take it early,
    // ignores changes until its first list has arrived.
    Change upsert(const Record& record, EarlyChange early = WaitForList)
    {
        const int key = ZnRecordKey<Record>::id(record);
        QMutexLocker lock(&m_mutex);
        if (Kind == ZnListKind::RetryBusy && !m_hasList && early == WaitForList)
            return NotApplied;
        m_hasList = true;
        auto it = findLocked(key);
        const bool found = it != m_list.end();
        if (Kind == ZnListKind::CallOnce && found) {
            *it = record;
            return Replaced;
        }
        if (found && m_duplicates == 0) {
            // Erase-and-append without the erase: the node moves to where the new
            // record goes and takes its values, so its index entry stays and no
            // memory is freed and taken again.
            *it = record;
            const auto to = insertPosition(key);
            if (to != it)
                m_list.splice(to, m_list, it);
            return Replaced;
        }
        if (found)
            eraseLocked(it);
        const auto added = m_list.insert(insertPosition(key), record);
        if (!addTo(m_index, key, added))
            ++m_duplicates;
        return found ? Replaced : Added;
    }

    // A deleted code, or a removal the server accepted: true when it was there.
    bool erase(int id)
    {
        QMutexLocker lock(&m_mutex);
        auto it = findLocked(id);
        if (it == m_list.end())
            return false;
        eraseLocked(it);
        return true;
    }

    // Changes the record with that id in place, under the lock; false when absent.
    // The change must keep the id.
    template <class Edit>
    bool edit(int id, Edit&& change)
    {
        QMutexLocker lock(&m_mutex);
        auto it = findLocked(id);
        if (it == m_list.end())
            return false;
        change(*it);
        return true;
    }

    // ---- Readers (GUI thread): copies only --------------------------------------

    List copyList() const
    {
        QMutexLocker lock(&m_mutex);
        return m_list;
    }

    bool copyRecord(int id, Record& out) const
    {
        QMutexLocker lock(&m_mutex);
        auto it = findLocked(id);
        if (it == m_list.end())
            return false;
        out = *it;
        return true;
    }

    // A heap copy the caller owns, or null.
    std::unique_ptr<Record> takeCopy(int id) const
    {
        QMutexLocker lock(&m_mutex);
        auto it = findLocked(id);
        return it == m_list.end() ? nullptr : std::make_unique<Record>(*it);
    }

    bool contains(int id) const
    {
        QMutexLocker lock(&m_mutex);
        return findLocked(id) != m_list.end();
    }

    int size() const
    {
        QMutexLocker lock(&m_mutex);
        return static_cast<int>(m_list.size());
    }

    bool hasList() const
    {
        QMutexLocker lock(&m_mutex);
        return m_hasList;
    }

    // Calls visit(record) for each record under the lock. visit must not call
    // into the centre.
    template <class Visit>
    void forEach(Visit&& visit) const
    {
        QMutexLocker lock(&m_mutex);
        for (const Record& r : m_list)
            visit(r);
    }

    // The lock-and-return reader of the RetryBusy models: null before the first list
    // (nothing locked); else the list with the lock held until unlockList().
    const List* lockList() const
    {
        m_mutex.lock();
        if (!m_hasList) {
            m_mutex.unlock();
            return nullptr;
        }
        return &m_list;
    }
    void unlockList() const { m_mutex.unlock(); }
    // The same without the first-list test: never null, empty before the first list.
    const List* lockAnyList() const
    {
        m_mutex.lock();
        return &m_list;
    }
    // For data a model keeps beside its records under the same lock (readers that
    // hand out a locked list of either kind share one unlock).
    QRecursiveMutex& mutex() const { return m_mutex; }

    // ---- Requests (GUI thread; the lock is never held here) --------------------

    // The first list request: CallOnce repeats at once while busy, RetryBusy after 10 ms.
    template <class Call>
    static int requestList(Call&& call)
    {
        return repeatWhileBusy(call, Kind == ZnListKind::CallOnce ? 0 : int(ListPauseMs));
    }

    // A change request: CallOnce calls once, RetryBusy repeats while busy with 100 ms
    // pauses. apply() runs only when the server answered 0 (it updates the copy and
    // emits); any other code leaves the copy as it was and is returned unchanged.
    template <class Call, class Apply>
    static int change(Call&& call, Apply&& apply)
    {
        const int result = Kind == ZnListKind::CallOnce ? call() : repeatWhileBusy(call, ChangePauseMs);
        if (result == 0)
            apply();
        return result;
    }

    template <class Call>
    static int change(Call&& call)
    {
        return change(call, [] {});
    }

    template <class Call>
    static int repeatWhileBusy(Call& call, int pauseMs)
    {
        return ZnBusyRetry::run(call, pauseMs, MaxAttempts);
    }

private:
    static bool lessById(const Record& a, const Record& b)
    {
        return ZnRecordKey<Record>::id(a) < ZnRecordKey<Record>::id(b);
    }

    // id -> the first record with that id. Ordered for an ordered store, where it
    // also tells where a new id goes; else a hash.
    typedef typename List::iterator Iter;
    typedef std::map<int, Iter> OrderedIndex;
    typedef ZnIdTable<Iter> FlatIndex;
    typedef typename std::conditional<Order == ZnListOrder::ById, OrderedIndex, FlatIndex>::type Index;

    static Iter* slotOf(OrderedIndex& index, int id)
    {
        auto at = index.find(id);
        return at == index.end() ? nullptr : &at->second;
    }
    static Iter* slotOf(FlatIndex& index, int id)
    {
        auto* at = index.find(id);
        return at ? &at->value : nullptr;
    }
    // False when the id is there already.
    static bool addTo(OrderedIndex& index, int id, Iter it) { return index.emplace(id, it).second; }
    static bool addTo(FlatIndex& index, int id, Iter it)
    {
        if (index.find(id))
            return false;
        index.insert(id, it);
        return true;
    }
    static void dropFrom(OrderedIndex& index, int id) { index.erase(id); }
    static void dropFrom(FlatIndex& index, int id)
    {
        if (auto* at = index.find(id))
            index.erase(at);
    }
    static void reset(OrderedIndex& index, size_t) { index.clear(); }
    static void reset(FlatIndex& index, size_t n) { index.clear(n); }

    // Fills index from list; returns how many records repeat an earlier id.
    static int indexList(List& list, Index& index)
    {
        int duplicates = 0;
        reset(index, list.size());
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (!addTo(index, ZnRecordKey<Record>::id(*it), it))
                ++duplicates;
        }
        return duplicates;
    }

    Iter findLocked(int id)
    {
        Iter* at = slotOf(m_index, id);
        return at ? *at : m_list.end();
    }
    typename List::const_iterator findLocked(int id) const { return const_cast<ZnListStore*>(this)->findLocked(id); }

    // it is the indexed (first) record of its id; a later record with the same
    // id, if the list holds one, takes its place in the index.
    void eraseLocked(typename List::iterator it)
    {
        const int id = ZnRecordKey<Record>::id(*it);
        auto next = m_list.end();
        if (m_duplicates > 0)
            next = std::find_if(std::next(it), m_list.end(),
                                [id](const Record& r) { return ZnRecordKey<Record>::id(r) == id; });
        if (next != m_list.end()) {
            *slotOf(m_index, id) = next;
            --m_duplicates;
        } else {
            dropFrom(m_index, id);
        }
        m_list.erase(it);
    }

    // Where an appended record lands: the end, or after every record whose id is
    // not greater (what append-then-stable-sort gives on a sorted list), which is
    // the first record of the next greater id.
    typename List::iterator insertPosition(int id) { return insertPosition(id, m_index); }
    typename List::iterator insertPosition(int id, std::map<int, typename List::iterator>& index)
    {
        auto after = index.upper_bound(id);
        return after == index.end() ? m_list.end() : after->second;
    }
    typename List::iterator insertPosition(int, FlatIndex&) { return m_list.end(); }

    mutable QRecursiveMutex m_mutex;
    List m_list;
    Index m_index;
    int m_duplicates = 0;                          // records whose id an earlier record already has
    bool m_hasList = Kind == ZnListKind::CallOnce; // a CallOnce copy exists (empty) from the start
};
