#pragma once

#include "ZnListStore.h"
#include "ZnTerminal.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <list>
#include <memory>
#include <string>

class ZnManageCenter;

// The pages' copy of the IP amplifiers (play terminals), kept in id order. It also
// reports a refused removal of a terminal of any family, since every removal
// goes through the amplifier manager.
class ZnPlayTermListMgr : public QObject
{
    Q_OBJECT
public:
    typedef ZnListStore<ZnTerminal, ZnListKind::RetryBusy, ZnListOrder::ById> Store;
    enum { ListCode = 3, RemoveRefusedCode = 7, ChangedCode = 10 };

    static ZnPlayTermListMgr* instance();
    // The callback registered with the amplifier manager (receive thread).
    static void onNotify(int code, void* data);

    // Registers the callback and asks for the list, retrying every 10 ms while busy.
    int requestPlayTermList();

    // Null before the first list; else the list with the lock held: the caller
    // reads it, calls unlockList() and makes no request meanwhile.
    const std::list<ZnTerminal>* lockList() const { return m_store.lockList(); }
    void unlockList() const { m_store.unlockList(); }
    std::list<ZnTerminal> copyList() const { return m_store.copyList(); }
    std::unique_ptr<ZnTerminal> getTerminal(int id) const { return m_store.takeCopy(id); }
    bool hasTerminal(int id, ZnTerminal& out) const { return m_store.copyRecord(id, out); }
    // The server's text of the last refused removal.
    QString delTermErrorText() const;
    QString lastError() const { return delTermErrorText(); }
    // Replaces the held record with that id (the list stays in id order); -1 when
    // there is none or no list yet.
    int mergeList(const ZnTerminal& terminal);

    // Each repeats while the centre is busy and changes the copy only when the
    // server answered 0; the result code is returned as it came.
    int removeTerminal(int id, const std::string& typeText);
    int removeTerminal(const ZnTerminal& terminal) { return removeTerminal(terminal.id, terminal.type); }
    int modifyTerminal(const ZnTerminal& terminal);

    // These go through the centre given: a null one gives -1 and sends nothing.
    // text is passed through and not sent.
    int setAmpPower(ZnManageCenter* centre, int id, const char* text, int power);
    int speakerCheck(ZnManageCenter* centre, const ZnTerminal& terminal);
    int setPlayTermConfig(ZnManageCenter* centre, const ZnTerminal& terminal);
    int setTerminal(ZnManageCenter* centre, const ZnTerminal& terminal);
    // The same through the hub's centre.
    int setAmpPower(int id, const char* text, bool power) { return setAmpPower(centre(), id, text, power ? 1 : 0); }
    int speakerCheck(const ZnTerminal& terminal) { return speakerCheck(centre(), terminal); }
    int setPlayTermConfig(const ZnTerminal& terminal) { return setPlayTermConfig(centre(), terminal); }
    int setTerminal(const ZnTerminal& terminal) { return setTerminal(centre(), terminal); }

signals:
    void gotPlayTermList();
    void playTermChanged(int id);
    void delTermError();
    void playTermDeleted(int id);

private:
    ZnPlayTermListMgr() = default;
    static ZnManageCenter* centre();
    void registerCallback();

    Store m_store;
    mutable QMutex m_errorMutex;
    QString m_errorText;
};
