#pragma once

#include "ZnTalkConsoleList.h"

#include <QMutex>
#include <QObject>

#include <list>
#include <vector>

class ZnManageCenter;

// The D72 consoles for the pages (one call per change): a copy of the manager's records kept
// up to date from its callback and announced as signals.
class ZnD72ListMgr : public QObject, private ZnTalkConsoleList
{
    Q_OBJECT

public:
    // Created on first use, which registers the callback and asks for the list once.
    static ZnD72ListMgr* instance();
    // The manager's callback (receive thread).
    static void onNotify(int code, void* data);

    std::list<ZnMic> micList() const { return m_store.copyList(); }
    bool findD72(int id, ZnMic* out) const { return out && m_store.copyRecord(id, *out); }
    bool findD72(int id, ZnMic& out) const { return m_store.copyRecord(id, out); }

    // Each returns the result code of the request; the model takes the change only
    // when the server accepted it (0).
    int modifyD72(const ZnMic& mic);
    int removeD72(const ZnMic& mic);
    // Asks for the console's button calls; read them with btnCalls afterwards.
    int requestBtnCalls(const ZnMic& mic);
    // The button calls last received for this console; false (and out empty) when
    // the model holds none for it.
    bool btnCalls(int terminalId, std::list<ZnMicBtnCall>& out) const { return m_btnCalls.copyFor(terminalId, out); }
    // The button calls of the console asked for last, once its answer is in; else empty.
    std::list<ZnMicBtnCall> btnCallList() const { return m_btnCalls.copyOfAsked(); }
    // Sends one console's button calls; -1, nothing sent, for an empty list or
    // entries of more than one console.
    int setBtnCalls(const std::vector<ZnMicBtnCall>& calls);
    // The button calls last announced by event 234 (gotD72BtnCallList); a copy.
    std::list<ZnMicBtnCall> notifiedBtnCallList() const;

signals:
    void gotD72List();
    void d72Changed(int id);
    void d72Deleted(int id);
    void gotD72BtnCallList();
    void d72BtnCallChanged(int id);
    void d72BtnCallDeleted(int id);
    void buildD72PlayTaskCommit(bool ok);

private:
    ZnD72ListMgr();
    void announceList() override;
    void announceChanged(int id) override;
    void announceDeleted(int id) override;
    void takeNotifiedBtnCalls(const std::list<ZnMicBtnCall>* calls);

    mutable QMutex m_notifiedMutex;
    std::list<ZnMicBtnCall> m_notifiedBtnCalls;
};
