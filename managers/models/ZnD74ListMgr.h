#pragma once

#include "ZnTalkConsoleList.h"

#include <QObject>

#include <list>

class ZnManageCenter;

// The D74 consoles for the pages (one call per change): a copy of the manager's records kept
// up to date from its callback and announced as signals.
class ZnD74ListMgr : public QObject, private ZnTalkConsoleList
{
    Q_OBJECT

public:
    // Operations of modifyD74.
    enum { TalkSettings = 0, LedSettings = 1, NameAndVolume = 2 };

    // Created on first use, which registers the callback and asks for the list,
    // again at once while the centre is busy.
    static ZnD74ListMgr* instance();
    // The manager's callback (receive thread).
    static void onNotify(int code, void* data);

    std::list<ZnMic> micList() const { return m_store.copyList(); }
    bool findD74(int id, ZnMic* out) const { return out && m_store.copyRecord(id, *out); }
    bool findD74(int id, ZnMic& out) const { return m_store.copyRecord(id, out); }

    // Each returns the result code of the request; the model takes the change only
    // when the server accepted it (0).
    int modifyD74(const ZnMic& mic, int op);
    int removeD74(const ZnMic& mic);
    // Asks for the console's button calls; read them with btnCalls afterwards.
    int requestBtnCalls(const ZnMic& mic);
    // The button calls last received for this console; false (and out empty) when
    // the model holds none for it.
    bool btnCalls(int terminalId, std::list<ZnMicBtnCall>& out) const { return m_btnCalls.copyFor(terminalId, out); }
    // The button calls of the console asked for last, once its answer is in; else empty.
    std::list<ZnMicBtnCall> btnCallList() const { return m_btnCalls.copyOfAsked(); }
    int setBtnCalls(const ZnMicBtnCall& call);

signals:
    void gotD74List();
    void d74Changed(int id);
    void d74Deleted(int id);
    void buildD74PlayTaskCommit(bool ok);

private:
    ZnD74ListMgr();
    void announceList() override;
    void announceChanged(int id) override;
    void announceDeleted(int id) override;
};
