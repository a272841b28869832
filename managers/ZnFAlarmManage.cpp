#include "ZnFAlarmManage.h"

#include "ZnFAlarm.h"
#include "ZnFAlarmTrigger.h"

#include <json/json.h>

ZnFAlarmManage::ZnFAlarmManage()
{
    setName("FAlarm");
    setCommands(m_types, 15);
}

void ZnFAlarmManage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
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
    out = m_ownRequest.buildPost(cseq, "SetFRName", jsonText(body));
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
    out = m_ownRequest.buildPost(cseq, "SetFRTrigger", jsonText(body));
    return out;
}

void ZnFAlarmManage::onResponse(int, const std::string&)
{
}

bool ZnFAlarmManage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnFAlarmManage::onSet(const std::string&)
{
    return false;
}

void ZnFAlarmManage::onDeleted(int)
{
}
