#pragma once

#include "BookEntry.h"
#include "ZnD82.h"
#include "ZnListStore.h"

#include <QMutex>
#include <QObject>

#include <list>
#include <memory>

class BookRequest;
class ZnManageCenter;

// The D82 devices as the pages see them (busy requests repeated), and the books of the one device
// whose books were asked for last. Books raise no signal: a page reads them after
// requestD82Books has returned.
class ZnD82ListMgr : public QObject
{
    Q_OBJECT

public:
    static ZnD82ListMgr* instance();
    // Registered with the D82 manager; runs on the receive thread.
    static void onNotify(int code, void* data);

    // Registers the callback and asks for the list, retrying while the centre is busy.
    int requestD82List();
    // Asks for one book (BookRequest::requestType 282, 283, 285 or 287).
    int requestD82Books(const BookRequest* request);
    // Replaces one book on the server (284, 286 or 288); the model is not changed.
    int setD82Books(const BookRequest* request);
    // Asks the server again for a listed device; -1 for a device not in the list.
    int requestD82(ZnManageCenter* centre, int id);
    // The model takes the record only when the server did.
    int modifyD82(const ZnD82* device);
    int deleteD82(const ZnD82& device);

    std::list<ZnD82> d82List() const { return m_store.copyList(); }
    // Locks the list and returns it (empty before the first list, never null); the
    // caller walks it, calls unlock() and sends no request meanwhile.
    const std::list<ZnD82>* lock() const { return m_store.lockAnyList(); }
    void unlock() const { m_store.unlockList(); }
    bool getD82(int id, ZnD82* out) const;
    bool getD82(int id, ZnD82& out) const { return getD82(id, &out); }
    // A heap copy the caller owns, or null.
    std::unique_ptr<ZnD82> cloneD82(int id) const { return m_store.takeCopy(id); }
    ZnD82* copyD82(int id) const { return cloneD82(id).release(); }

    std::list<BookEntry> callList() const;
    std::list<BookEntry> sourceList() const;
    std::list<BookEntry> regionList() const;
    // Every talk terminal that can be a contact: id, name and type.
    std::list<ZnD82> allCallList() const;

signals:
    void gotD82List();
    void d82Changed(int id);
    void d82Deleted(int id);

private:
    typedef ZnListStore<ZnD82, ZnListKind::RetryBusy> Store;

    ZnD82ListMgr();
    ZnManageCenter* takeCentre();
    // A changed device, pushed or accepted; taken also before the first list.
    void applyChanged(const ZnD82& device);

    // The record lock is the store's: it guards the devices and, beside them, the
    // sound-source book, the broadcast book and the all-call list. The call book
    // has a lock of its own; the two are never held together.
    QRecursiveMutex& recordMutex() const { return m_store.mutex(); }
    template <class Entry>
    static void setBook(std::list<Entry>& book, QRecursiveMutex& mutex, const void* data);

    Store m_store;
    mutable QRecursiveMutex m_callBookMutex;
    mutable QRecursiveMutex m_spareMutex; // taken by no operation
    std::list<BookEntry> m_callBook;
    std::list<BookEntry> m_sourceBook;
    std::list<BookEntry> m_regionBook;
    std::list<ZnD82> m_allCall;
    ZnManageCenter* m_centre = nullptr;
};
