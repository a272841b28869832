#pragma once

#include "ZnListStore.h"
#include "ZnTts.h"

#include <QObject>

#include <list>

class ZnManageCenter;

// The text-to-speech units for the pages, in the order the server sent them.
class ZnTtsListMgr : public QObject
{
    Q_OBJECT

public:
    enum { ListCode = 254, ChangedCode = 257, DeletedCode = 258, CommitCode = 259, CommitCode2 = 260 };

    // Created on the first call, which also registers the callback and waits for
    // the first list.
    static ZnTtsListMgr* instance();
    // The manager's callback (receive thread).
    static void onNotify(int code, void* data);

    void copyList(std::list<ZnTts>& out) const;
    bool getTts(int id, ZnTts& out) const;
    // Both change the copy only when the server accepted (0) and return the result
    // code, so a refusal reaches the page that asked.
    int updateTts(const ZnTts& tts);
    int deleteTts(const ZnTts& tts);

signals:
    void gotTTsList();
    void TTsChanged(int id);
    void TTsDeleted(int id);
    void buildTTsPlayTaskCommit(bool ok);

private:
    typedef ZnListStore<ZnTts, ZnListKind::CallOnce> Store;

    ZnTtsListMgr() = default;
    void handle(int code, void* data);

    ZnManageCenter* m_centre = nullptr;
    Store m_store;
};
