#include "ZnFAlarmListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnFAlarmTrigger.h"
#include "ZnSleep.h"

#include <atomic>

namespace {
std::atomic<ZnFAlarmListMgr*> gFAlarmList{nullptr};

bool lessById(const ZnFAlarm& a, const ZnFAlarm& b)
{
    return a.id < b.id;
}
}

ZnFAlarmListMgr::ZnFAlarmListMgr()
{
    // The list exists, empty, from the start: a change pushed before the first list
    // is kept, as the pages expect of this model.
    m_store.replaceAll(Store::List());
}

ZnFAlarmListMgr* ZnFAlarmListMgr::instance()
{
    if (ZnFAlarmListMgr* model = gFAlarmList.load())
        return model;
    ZnFAlarmListMgr* model = new ZnFAlarmListMgr;
    gFAlarmList.store(model);
    return model;
}

void ZnFAlarmListMgr::onNotify(int code, void* data)
{
    if (ZnFAlarmListMgr* model = gFAlarmList.load())
        model->handle(code, data);
}

void ZnFAlarmListMgr::handle(int code, void* data)
{
    switch (code) {
    case ListCode:
        if (const Store::List* fresh = Store::listOf(data)) {
            Store::List sorted(*fresh);
            sorted.sort(lessById);
            m_store.replaceAll(std::move(sorted));
            emit gotFAlarmList();
        }
        break;
    case ChangedCode:
        if (const ZnFAlarm* alarm = Store::recordOf(data)) {
            m_store.upsert(*alarm);
            emit fAlarmChanged(alarm->id);
        }
        break;
    case DeletedCode: {
        int id = 0;
        if (Store::idOf(data, id) && m_store.erase(id))
            emit alarmDeleted(id);
        break;
    }
    default:
        break;
    }
}

int ZnFAlarmListMgr::registerAndWait()
{
    if (ServiceHub* hub = ServiceHub::instance())
        m_centre = hub->centre();
    ZnManageCenter* centre = m_centre;
    apiSetFireAlarmCallback(centre, &ZnFAlarmListMgr::onNotify);
    return Store::requestList([centre] { return apiGetFireAlarmList(centre); });
}

const std::list<ZnFAlarm>* ZnFAlarmListMgr::lockList() const
{
    return m_store.lockAnyList();
}

void ZnFAlarmListMgr::unlockList() const
{
    m_store.unlockList();
}

bool ZnFAlarmListMgr::findFAlarm(int id, ZnFAlarm& out) const
{
    return m_store.copyRecord(id, out);
}

std::unique_ptr<ZnFAlarm> ZnFAlarmListMgr::copyFAlarm(int id) const
{
    return m_store.takeCopy(id);
}

int ZnFAlarmListMgr::modifyFAlarm(const ZnFAlarm& alarm)
{
    ZnManageCenter* centre = m_centre;
    return Store::change([&] { return apiModifyFireAlarm(centre, &alarm); },
                         [&] {
                             m_store.upsert(alarm);
                             emit fAlarmChanged(alarm.id);
                         });
}

int ZnFAlarmListMgr::deleteFAlarm(const ZnFAlarm& alarm)
{
    ZnManageCenter* centre = m_centre;
    return Store::change([&] { return apiRemoveDevice(centre, alarm.id, alarm.type.c_str()); },
                         [&] { m_store.erase(alarm.id); });
}

int ZnFAlarmListMgr::setTrigger(const ZnFAlarmTrigger& trigger)
{
    const int result = apiSetFireAlarmTrigger(m_centre, &trigger);
    ZnSleep::ms(Store::ChangePauseMs);
    return result;
}
