#include "ZnSsTaskDataMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnSsTaskManage.h"

namespace {
ZnSsTaskDataMgr* gInstance = nullptr;
}

ZnSsTaskDataMgr::ZnSsTaskDataMgr() = default;

ZnSsTaskDataMgr* ZnSsTaskDataMgr::instance()
{
    if (gInstance)
        return gInstance;
    gInstance = new ZnSsTaskDataMgr;
    ServiceHub* hub = ServiceHub::instance();
    gInstance->m_centre = hub ? hub->centre() : nullptr;
    apiSetSoundSourceTaskCallback(gInstance->m_centre, &ZnSsTaskDataMgr::onNotify);
    ZnManageCenter* centre = gInstance->m_centre;
    Store::requestList([centre] { return apiGetSoundSourceTaskList(centre); });
    return gInstance;
}

void ZnSsTaskDataMgr::onNotify(int code, void* data)
{
    ZnSsTaskDataMgr* self = gInstance;
    if (!self || !data)
        return;
    switch (code) {
    case ZnSsTaskManage::ListType:
        if (self->m_store.replaceAll(Store::listOf(data)))
            emit self->gotTaskList();
        break;
    case ZnSsTaskManage::ChangedType: {
        const ZnSsTask* task = Store::recordOf(data);
        self->m_store.upsert(*task);
        emit self->taskChanged(task->Id);
        break;
    }
    case ZnSsTaskManage::DeleteType: {
        const auto* outcome = static_cast<const ZnSsTaskManage::DeleteOutcome*>(data);
        self->onDeleteAnswer(outcome->deleted, outcome->reason);
        break;
    }
    default:
        break;
    }
}

void ZnSsTaskDataMgr::onDeleteAnswer(bool deleted, const std::string& reason)
{
    int id = 0;
    {
        QMutexLocker lock(&m_pendingMutex);
        id = m_pendingDeletion.Id;
        m_pendingDeletion.Id = 0;
    }
    if (!deleted) {
        emit taskDeleteFailed(QString::fromUtf8(reason.data(), static_cast<int>(reason.size())));
        return;
    }
    if (m_store.erase(id))
        emit taskDeleted(id);
}

int ZnSsTaskDataMgr::commit(const ZnSsTask& task, int operation)
{
    if (operation < ZnSsTask::ActionAdd || operation > ZnSsTask::ActionStop)
        return -1;
    if (operation == ZnSsTask::ActionDel) {
        QMutexLocker lock(&m_pendingMutex);
        m_pendingDeletion = task;
    }
    const int result = apiSaveSoundSourceTask(m_centre, &task, operation);
    if (operation == ZnSsTask::ActionDel && result != 0 && result != 1) {
        // No answer will come for this deletion.
        QMutexLocker lock(&m_pendingMutex);
        m_pendingDeletion.Id = 0;
    }
    return result;
}
