#pragma once

#include "ZnListStore.h"
#include "ZnMicGroup.h"

#include <QObject>

#include <list>

class ZnManageCenter;

// The microphone groups as the pages see them (kind A). The list is asked for once,
// when the model is first used; afterwards it changes through modifyGroup and the
// server's DELETE messages of type "MicGroup".
class ZnMicGroupListMgr : public QObject
{
    Q_OBJECT

public:
    // Change kinds, also the operation codes of the requests.
    enum { Add = 4, Modify = 5, Delete = 6 };

    static ZnMicGroupListMgr* instance();
    // Registered with the group manager; runs on the receive thread.
    static void onNotify(int code, void* data);

    std::list<ZnMicGroup> groupList() const { return m_store.copyList(); }
    // The largest group id, 0 without groups.
    int maxGroupId() const;
    bool getGroup(int groupId, ZnMicGroup* out) const;
    // Sends the change and applies it to the list only when the server took it.
    // The result code of the request (-1 for an operation other than 4, 5 or 6).
    int modifyGroup(const ZnMicGroup* group, int operation);

signals:
    void gotGroupList();
    void groupChanged(int groupId);
    void groupDeleted(int groupId);
    void buildGroupPlayTaskCommit(bool ok);

private:
    typedef ZnListStore<ZnMicGroup, ZnListKind::A> Store;

    ZnMicGroupListMgr();
    void apply(const ZnMicGroup& group, int kind);

    Store m_store;
    ZnManageCenter* m_centre = nullptr;
};
