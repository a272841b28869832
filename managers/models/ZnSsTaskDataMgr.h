#pragma once

#include "ZnListStore.h"
#include "ZnSsTask.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <list>

class ZnManageCenter;

// The sound-source tasks as the task pages see them (one call per change). The list is asked for
// once, when the model is first used; changes come back as pushed rows, and the
// answer to a deletion says whether the task is gone.
class ZnSsTaskDataMgr : public QObject
{
    Q_OBJECT

public:
    static ZnSsTaskDataMgr* instance();
    // Registered with the task manager; runs on the receive thread.
    static void onNotify(int code, void* data);

    std::list<ZnSsTask> taskList() const { return m_store.copyList(); }
    // Calls walk(list) with the task list under the lock, without a copy of the
    // list. walk must not call into the centre.
    template <class Walk>
    void walkTasks(Walk&& walk) const
    {
        QMutexLocker lock(&m_store.mutex());
        walk(*m_store.lockAnyList());
        m_store.unlockList();
    }
    bool getTask(int id, ZnSsTask& out) const { return m_store.copyRecord(id, out); }
    bool getTask(int id, ZnSsTask* out) const { return out && getTask(id, *out); }
    // Sends the change (ZnSsTask::SsTaskAction) and returns its result code; -1 for
    // an operation outside 0 to 4. The list follows the server's pushes and, for a
    // deletion, its answer.
    int commit(const ZnSsTask& task, int operation);
    int commitTask(const ZnSsTask* task, int operation) { return task ? commit(*task, operation) : -1; }

signals:
    void gotTaskList();
    void taskChanged(int id);
    void taskDeleted(int id);
    // A refused deletion with the server's reason (empty when it gave none); a
    // reason under "200 OK" is a refusal too, so a commit's 0 is no deletion.
    void taskDeleteFailed(QString reason);

private:
    typedef ZnListStore<ZnSsTask, ZnListKind::CallOnce> Store;

    ZnSsTaskDataMgr();
    void onDeleteAnswer(bool deleted, const std::string& reason);

    // The last task committed for deletion, until its answer arrives.
    mutable QMutex m_pendingMutex;
    ZnSsTask m_pendingDeletion;
    Store m_store;
    ZnManageCenter* m_centre = nullptr;
};
