#include "ZnSsTaskManage.h"

#include "ZnIdRows.h"
#include "ZnRow.h"
#include "ZnSsTask.h"

#include <json/json.h>

#include <cstdio>

namespace {
const char* const kActions[] = {"Add", "Mod", "Del", "Start", "Stop"};
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

bool ZnSsTaskManage::parseRows(const std::string& body, std::list<ZnSsTask>& tasks)
{
    Json::Value root;
    std::string error;
    if (!ZnRow::parse(body, root, &error)) {
        std::printf("\nreader.getFormatedErrorMessages: %s", error.c_str());
        std::fflush(stdout);
        return false;
    }
    if (!root.isArray())
        return true;
    ZnIdRows bad("soundsource", "sourceId");
    for (Json::ArrayIndex i = 0; i < root.size(); ++i) {
        int id = 0;
        if (ZnRow::id(root[i], "sourceId", id))
            tasks.push_back(ZnSsTask::fromRow(root[i], body));
        else
            bad.leftOut(i);
    }
    return true;
}

void ZnSsTaskManage::onResponse(int requestType, const std::string& body)
{
    if (requestType < ListType || requestType > DeleteType)
        return;
    if (requestType == ListType) {
        std::list<ZnSsTask> tasks;
        if (parseRows(body, tasks) && !tasks.empty() && m_notify)
            m_notify(ListType, &tasks);
    } else if (requestType == DeleteType && m_notify) {
        DeleteOutcome outcome = deleteOutcome(true, body);
        m_notify(DeleteType, &outcome);
    }
}

ZnSsTaskManage::DeleteOutcome ZnSsTaskManage::deleteOutcome(bool ok, const std::string& body)
{
    DeleteOutcome outcome;
    const bool text = body.find_first_not_of(" \t\r\n\v\f") != std::string::npos;
    outcome.deleted = ok && !text;
    if (!outcome.deleted)
        outcome.reason = body;
    return outcome;
}

bool ZnSsTaskManage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnSsTask> tasks;
    if (parseRows(body, tasks) && m_notify) {
        for (ZnSsTask& t : tasks)
            m_notify(ChangedType, &t);
    }
    return true;
}

void ZnSsTaskManage::onFailed(int requestType, const std::string& body)
{
    if (requestType != DeleteType || !m_notify)
        return;
    DeleteOutcome outcome = deleteOutcome(false, body);
    m_notify(DeleteType, &outcome);
}
