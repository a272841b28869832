#include "ZnFAlarmManage.h"

#include "ZnFAlarm.h"
#include "ZnFAlarmTrigger.h"
#include "ZnIdRows.h"
#include "ZnRow.h"
#include "ZnRows.h"

#include <json/json.h>

#include <list>

// An interface the server removes leaves its page too, as a console does.
ZnFAlarmManage::ZnFAlarmManage() : ZnNotifyManage(kDeleteType, DeletedType)
{
    setName(kDeleteType);
    setCommands(m_types, 15);
}

std::string& ZnFAlarmManage::buildFAlarmList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq,
                         "select terminalId,type,status,name,ip,ver, shortCircuit, broadcast, broadcastTrigger, "
                         "stopBroadcast, triggerType from firealarm",
                         "FAlarmList");
}

std::string& ZnFAlarmManage::buildModifyFAlarm(std::string& out, int cseq, const ZnFAlarm& alarm)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(alarm.id);
    body["Name"] = alarm.name;
    body["TriggerType"] = std::to_string(alarm.triggerType);
    out = m_request.buildPost(cseq, "SetFRName", jsonText(body));
    return out;
}

std::string& ZnFAlarmManage::buildSetTrigger(std::string& out, int cseq, const ZnFAlarmTrigger& trigger)
{
    Json::Value body(Json::objectValue);
    body["Channel"] = std::to_string(trigger.channel);
    body["ChannelName"] = trigger.channelName;
    body["Id"] = std::to_string(trigger.id);
    body["SourceId"] = std::to_string(trigger.sourceId);
    body["StopPlay"] = std::to_string(trigger.stopPlay);
    body["TriggerSwitch"] = std::to_string(trigger.triggerSwitch);
    out = m_request.buildPost(cseq, "SetFRTrigger", jsonText(body));
    return out;
}

bool ZnFAlarmManage::parseRows(const std::string& body, std::list<ZnFAlarm>& out)
{
    return ZnIdRows::read(body, "firealarm", "terminalId", out,
                          [](const ZnRowView& row, ZnFAlarm& alarm) { return alarm.fillFromRow(row); });
}

void ZnFAlarmManage::onResponse(int requestType, const std::string& body)
{
    if (requestType != ListType)
        return;
    std::list<ZnFAlarm> alarms;
    if (!parseRows(body, alarms))
        return;
    alarms.sort([](const ZnFAlarm& a, const ZnFAlarm& b) { return a.id < b.id; });
    if (m_notify)
        m_notify(ListType, &alarms);
}

bool ZnFAlarmManage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnFAlarm> alarms;
    if (parseRows(body, alarms)) {
        for (const ZnFAlarm& alarm : alarms) {
            ZnFAlarm copy(alarm);
            if (m_notify)
                m_notify(ChangedType, &copy);
        }
    }
    return true;
}
