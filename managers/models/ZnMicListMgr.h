#pragma once

#include "BookEntry.h"
#include "BookRequest.h"
#include "ZnListStore.h"
#include "ZnMic.h"
#include "ZnOwnedList.h"

#include <QObject>

#include <list>
#include <memory>

class ZnManageCenter;

// The Dsk81 consoles and their books for the pages (busy requests repeated). The console list is
// replaced by list answers (in descending id order) and changed by pushes and by
// the model's own accepted changes. Books are kept with the console they belong
// to and handed out as copies to callers asking for that console.
class ZnMicListMgr : public QObject
{
    Q_OBJECT

public:
    // Created on first use; sends nothing.
    static ZnMicListMgr* instance();
    // The manager's callback (receive thread).
    static void onNotify(int code, void* data);

    // Registers the callback and asks for the list, again after 10 ms while busy.
    int requestMicList();
    // Asks for one console the model holds; -1 without a centre or such a console,
    // 0 without asking when the held console's first flag byte is set.
    int requestMic(ZnManageCenter* centre, int terminalId);
    // Each repeats after 100 ms while busy and changes the list only on 0.
    int modifyMic(const ZnMic& mic);
    int modifyMic(const ZnMic* mic) { return mic ? modifyMic(*mic) : -1; }
    int deleteMic(const ZnMic& mic);

    bool getMic(int terminalId, ZnMic& out) const { return m_store.copyRecord(terminalId, out); }
    // A heap copy the caller owns; null when absent.
    std::unique_ptr<ZnMic> cloneMic(int terminalId) const { return m_store.takeCopy(terminalId); }
    ZnMic* copyMic(int terminalId) const { return cloneMic(terminalId).release(); }
    std::list<ZnMic> micList() const { return m_store.copyList(); }
    // Locks the console list and returns it, null (and nothing locked) before the
    // first list; the caller calls unlockMicList() and sends no request meanwhile.
    const std::list<ZnMic>* lockMicList() const { return m_store.lockList(); }
    void unlockMicList() const { m_store.unlockList(); }
    // The same lock, never null (empty before the first list); unlock() ends it.
    const std::list<ZnMic>* lock() const { return m_store.lockAnyList(); }
    void unlock() const { m_store.unlockList(); }
    // Locks the same lock and returns every terminal that can play (event 269), as
    // the server ordered them; unlock() ends it.
    const std::list<ZnMic>* lockAllPlayTerminals() const;
    const std::list<ZnMic>* lockPlayTermList() const { return lockAllPlayTerminals(); }

    // The request type of the book of every play terminal, which needs no
    // terminal id.
    static const int AllPlayTerminalList;

    // Book queries repeat after 10 ms while busy; a change is sent once, then a
    // 100 ms pause. Neither changes a list of the model.
    int requestMicBooks(const BookRequest* request);
    int setMicBooks(const BookRequest* request);
    // The book last received for this console; false (and out empty) when the
    // model holds none for it.
    bool monitorList(int terminalId, std::list<BookEntry>& out) const { return m_monitors.copyFor(terminalId, out); }
    bool regionList(int terminalId, std::list<BookEntry>& out) const { return m_regions.copyFor(terminalId, out); }
    bool sourceList(int terminalId, std::list<BookEntry>& out) const { return m_sources.copyFor(terminalId, out); }
    // The same books of the console asked for last, once its answer is in; else empty.
    std::list<BookEntry> monitorList() const { return m_monitors.copyOfAsked(); }
    std::list<BookEntry> regionList() const { return m_regions.copyOfAsked(); }
    std::list<BookEntry> sourceList() const { return m_sources.copyOfAsked(); }
    // Every terminal that can play (event 269), as the server ordered them.
    std::list<ZnMic> playTermList() const;

signals:
    void gotMicList();
    void micChanged(int id);
    void micDeleted(int id);

private:
    typedef ZnListStore<ZnMic, ZnListKind::RetryBusy> Store;

    ZnMicListMgr() = default;
    void handle(int code, void* data);
    void applyChanged(const ZnMic& mic);
    ZnOwnedList<BookEntry>* book(int type);
    ZnManageCenter* takeHubCentre();

    ZnManageCenter* m_centre = nullptr;
    Store m_store;
    ZnOwnedList<BookEntry> m_callBook;
    ZnOwnedList<BookEntry> m_transfers;
    ZnOwnedList<BookEntry> m_monitors;
    ZnOwnedList<BookEntry> m_sources;
    ZnOwnedList<BookEntry> m_regions;
    // Both under the store's lock, the list lock of the consoles.
    std::list<ZnMic> m_allCall;
    std::list<ZnMic> m_allPlay;
};
