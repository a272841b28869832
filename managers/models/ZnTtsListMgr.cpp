#include "ZnTtsListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"

#include <atomic>

namespace {
// Set before the callback is registered: the first list arrives while instance()
// is still waiting for it.
std::atomic<ZnTtsListMgr*> gTtsList{nullptr};
}

ZnTtsListMgr* ZnTtsListMgr::instance()
{
    if (ZnTtsListMgr* model = gTtsList.load())
        return model;
    ZnTtsListMgr* model = new ZnTtsListMgr;
    gTtsList.store(model);
    if (ServiceHub* hub = ServiceHub::instance())
        model->m_centre = hub->centre();
    apiSetTtsCallback(model->m_centre, &ZnTtsListMgr::onNotify);
    ZnManageCenter* centre = model->m_centre;
    Store::requestList([centre] { return apiGetTtsList(centre); });
    return model;
}

void ZnTtsListMgr::onNotify(int code, void* data)
{
    if (ZnTtsListMgr* model = gTtsList.load())
        model->handle(code, data);
}

void ZnTtsListMgr::handle(int code, void* data)
{
    switch (code) {
    case ListCode:
        if (m_store.replaceAll(Store::listOf(data)))
            emit gotTTsList();
        break;
    case ChangedCode:
        if (const ZnTts* tts = Store::recordOf(data)) {
            m_store.upsert(*tts);
            emit TTsChanged(tts->id);
        }
        break;
    case DeletedCode: {
        int id = 0;
        if (Store::idOf(data, id) && m_store.erase(id))
            emit TTsDeleted(id);
        break;
    }
    case CommitCode:
    case CommitCode2:
        if (data)
            emit buildTTsPlayTaskCommit(*static_cast<const char*>(data) != 0);
        break;
    default:
        break;
    }
}

void ZnTtsListMgr::copyList(std::list<ZnTts>& out) const
{
    out = m_store.copyList();
}

bool ZnTtsListMgr::getTts(int id, ZnTts& out) const
{
    return m_store.copyRecord(id, out);
}

int ZnTtsListMgr::updateTts(const ZnTts& tts)
{
    ZnManageCenter* centre = m_centre;
    return Store::change([&] { return apiModifyTts(centre, &tts); },
                         [&] {
                             m_store.upsert(tts);
                             emit TTsChanged(tts.id);
                         });
}

int ZnTtsListMgr::deleteTts(const ZnTts& tts)
{
    ZnManageCenter* centre = m_centre;
    // A refusal's reason reaches the operator through the play-terminal model.
    return Store::change([&] { return apiRemoveDevice(centre, tts.id, tts.type.c_str()); },
                         [&] {
                             if (m_store.erase(tts.id))
                                 emit TTsDeleted(tts.id);
                         });
}
