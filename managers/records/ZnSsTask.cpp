#include "ZnSsTask.h"

#include "ZnCommon.h"
#include "ZnRow.h"

#include <json/json.h>

namespace {
const char* const kEntrySeparator = "!!!";
const char* const kTimeSeparator = "#$%";
const char* const kFileSeparator = "@#$%";
}

ZnSsTask ZnSsTask::fromRow(const Json::Value& row, std::string_view body)
{
    ZnSsTask t;
    t.Id = ZnRow::toInt(row, "sourceId");
    t.Name = ZnRow::text(row, "name", body);
    if (t.Name.empty())
        t.Name = "Task_" + ZnRow::text(row, "terminalId", body);
    t.state = ZnRow::toInt(row, "status");
    t.SourceCategory = ZnRow::toInt(row, "sourceCategory");
    t.SourceType = ZnRow::toInt(row, "sourceType");
    const std::string plan = ZnRow::text(row, "timerPlanId");
    t.TimerPlanId = plan.empty() ? -1 : ZnRow::toInt(row, "timerPlanId");
    t.SourceContent = ZnRow::text(row, "sourceContent", body);
    t.PlayVol = ZnRow::toInt(row, "playVol");
    t.PlayTimes = ZnRow::toInt(row, "playTimes");
    t.Duration = ZnRow::toInt(row, "duration");
    t.OpenAmp = ZnRow::toInt(row, "openAmp");
    t.Week = ZnRow::toInt(row, "week");
    t.StartDate = ZnRow::toInt(row, "startDate");
    t.EndDate = ZnRow::toInt(row, "endDate");
    t.ExecuteTime = ZnRow::text(row, "executeTime", body);
    t.TerminalId = ZnRow::text(row, "terminalId", body);
    t.terminalIds = splitTerminalIds(t.TerminalId);
    t.execTimes = splitExecuteTimes(t.ExecuteTime);
    return t;
}

std::string ZnSsTask::joinExecuteTimes(const std::list<ZnExecTime>& times)
{
    std::string out;
    for (const ZnExecTime& t : times) {
        if (!out.empty())
            out += kEntrySeparator;
        out += t.nameText() + kTimeSeparator + std::to_string(t.seconds);
    }
    return out;
}

std::list<ZnExecTime> ZnSsTask::splitExecuteTimes(const std::string& text)
{
    std::list<ZnExecTime> out;
    std::vector<std::string> pieces;
    ZnCommon::splitString(text, pieces, kEntrySeparator);
    for (const std::string& piece : pieces) {
        std::vector<std::string> parts;
        ZnCommon::splitString(piece, parts, kTimeSeparator);
        if (parts.size() != 2)
            continue;
        ZnExecTime t;
        t.setName(parts[0]);
        t.seconds = ZnRow::atoi(parts[1]);
        t.rule = 2;
        out.push_back(t);
    }
    return out;
}

std::string ZnSsTask::joinTerminalIds(const std::list<int32_t>& ids)
{
    std::string out;
    for (int32_t id : ids) {
        if (!out.empty())
            out += ' ';
        out += std::to_string(id);
    }
    return out;
}

std::list<int32_t> ZnSsTask::splitTerminalIds(const std::string& text)
{
    std::list<int32_t> out;
    std::vector<std::string> parts;
    ZnCommon::splitString(text, parts, " ");
    for (const std::string& part : parts) {
        if (!part.empty())
            out.push_back(ZnRow::atoi(part));
    }
    return out;
}

std::string ZnSsTask::joinPlayList(const std::vector<std::string>& paths)
{
    std::string out;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (i)
            out += kFileSeparator;
        out += paths[i];
    }
    return out;
}

std::vector<std::string> ZnSsTask::splitPlayList(const std::string& text)
{
    std::vector<std::string> parts;
    std::vector<std::string> out;
    ZnCommon::splitString(text, parts, kFileSeparator);
    for (const std::string& part : parts) {
        if (!part.empty())
            out.push_back(part);
    }
    return out;
}

bool ZnSsTask::fitsExecuteTimes(const std::string& name)
{
    return name.find(kEntrySeparator) == std::string::npos && name.find(kTimeSeparator) == std::string::npos;
}

bool ZnSsTask::fitsPlayList(const std::string& path)
{
    return !path.empty() && path.find(kFileSeparator) == std::string::npos;
}

bool ZnSsTask::weekHasDay(int32_t week, int day)
{
    return day >= 1 && day <= 7 && (week & (1 << (day - 1))) != 0;
}

int32_t ZnSsTask::weekWithDay(int32_t week, int day, bool on)
{
    if (day < 1 || day > 7)
        return week;
    const int32_t bit = 1 << (day - 1);
    return on ? (week | bit) : (week & ~bit);
}
