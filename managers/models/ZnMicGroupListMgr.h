#pragma once

#include "ZnMicGroup.h"
#include "ZnSavedList.h"

#include <QObject>

#include <list>

class ZnManageCenter;

// The microphone groups as the pages see them (one call per change). The list is asked for once,
// when the model is first used; afterwards it changes through modifyGroup and the
// server's DELETE messages of type "MicGroup".
class ZnMicGroupListMgr : public QObject, private ZnSavedList<ZnMicGroup>
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
    int maxGroupId() const { return maxId(); }
    bool getGroup(int groupId, ZnMicGroup* out) const { return out && m_store.copyRecord(groupId, *out); }
    bool getGroup(int groupId, ZnMicGroup& out) const { return getGroup(groupId, &out); }
    // Sends the change and applies it to the list only when the server took it.
    // The result code of the request (-1 for an operation other than 4, 5 or 6).
    int modifyGroup(const ZnMicGroup* group, int operation);
    int modifyGroup(const ZnMicGroup& group, int operation) { return modifyGroup(&group, operation); }

signals:
    void gotGroupList();
    void groupChanged(int groupId);
    void groupDeleted(int groupId);
    void buildGroupPlayTaskCommit(bool ok);

private:
    ZnMicGroupListMgr();
    void announceList() override;
    void announceChanged(int id) override;
    void announceDeleted(int id) override;
};
