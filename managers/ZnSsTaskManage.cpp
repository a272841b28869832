#include "ZnSsTaskManage.h"

#include "ZnSsTask.h"

#include <json/json.h>

namespace {
const char* const kActions[] = {"Add", "Mod", "Del", "Start", "Stop"};
}

void ZnSsTaskManage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

std::string& ZnSsTaskManage::buildTaskList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from soundsource", "SoundSourceList");
}

std::string& ZnSsTaskManage::buildSaveTask(std::string& out, int cseq, const ZnSsTask& task, int operation)
{
    out.clear();
    if (operation < OpAdd || operation > OpStop)
        return out;
    Json::Value body(Json::objectValue);
    body["Action"] = kActions[operation];
    body["Id"] = std::to_string(task.Id);
    if (operation >= OpStart) {
        out = m_request.buildPost(cseq, "SoundSourceSwitch", jsonText(body));
        return out;
    }
    body["Name"] = task.Name;
    body["SourceCategory"] = std::to_string(task.SourceCategory);
    body["SourceType"] = std::to_string(task.SourceType);
    body["TimerPlanId"] = std::to_string(task.TimerPlanId);
    body["SourceContent"] = task.SourceContent;
    body["PlayVol"] = std::to_string(task.PlayVol);
    body["PlayTimes"] = std::to_string(task.PlayTimes);
    body["Duration"] = std::to_string(task.Duration);
    body["OpenAmp"] = std::to_string(task.OpenAmp);
    body["Week"] = std::to_string(task.Week);
    body["StartDate"] = std::to_string(task.StartDate);
    body["EndDate"] = std::to_string(task.EndDate);
    body["ExecuteTime"] = task.ExecuteTime;
    body["TerminalId"] = task.TerminalId;
    out = m_request.buildPost(cseq, "SoundSource", jsonText(body));
    return out;
}

void ZnSsTaskManage::onResponse(int, const std::string&)
{
}

bool ZnSsTaskManage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnSsTaskManage::onSet(const std::string&)
{
    return false;
}

void ZnSsTaskManage::onFailed(int, const std::string&)
{
}

void ZnSsTaskManage::onDeleted(int)
{
}
