#pragma once

#include "ZnExecTime.h"

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace Json {
class Value;
}

// A plan, manual, timer or SDK task. The texts ExecuteTime, TerminalId and, for
// media files, SourceContent are what the server stores; the helpers below build
// and read them.
class ZnSsTask
{
public:
    enum SsTaskState { StateUndetermined = 0, StateRunning = 1, StateIdle = 2, StateIllegal = 3 };
    enum SsTaskCategory { CategoryPlan = 1, CategoryManual = 2, CategoryTimer = 3, CategorySdk = 4 };
    enum SsSourceType { SourceNone = 0, SourceFiles = 1, SourceCapture = 2, SourceTts = 3, SourceMic = 4 };
    enum SsTaskAction { ActionAdd = 0, ActionMod = 1, ActionDel = 2, ActionStart = 3, ActionStop = 4 };

    // A task from one server row; absent keys read as 0 or empty text. body: the
    // answer the row was parsed from, so that texts sent as numbers read as sent.
    static ZnSsTask fromRow(const Json::Value& row, std::string_view body = {});

    // Entries "name#$%seconds" joined by "!!!".
    static std::string joinExecuteTimes(const std::list<ZnExecTime>& times);
    // The pieces of exactly two parts, each with rule 2; names cut to 31 bytes.
    static std::list<ZnExecTime> splitExecuteTimes(const std::string& text);
    // Ids in decimal joined by single blanks.
    static std::string joinTerminalIds(const std::list<int32_t>& ids);
    // Empty parts skipped; a part that is no number gives 0.
    static std::list<int32_t> splitTerminalIds(const std::string& text);
    // Media file paths joined by "@#$%".
    static std::string joinPlayList(const std::vector<std::string>& paths);
    static std::vector<std::string> splitPlayList(const std::string& text);
    // False when the text holds a separator of the field it goes into, so that it
    // would not read back as written.
    static bool fitsExecuteTimes(const std::string& name);
    static bool fitsPlayList(const std::string& path);
    // Week days: day 1 Monday to 7 Sunday, bit (day - 1) of Week.
    static bool weekHasDay(int32_t week, int day);
    static int32_t weekWithDay(int32_t week, int day, bool on);

    int32_t Id = 0;
    std::string Name;
    int32_t state = 2;
    int32_t SourceCategory = 1;
    int32_t SourceType = 1;
    int32_t TimerPlanId = -1;
    std::string SourceContent;
    int32_t PlayVol = 70;
    int32_t Duration = 0;
    int32_t PlayTimes = 1;
    int32_t OpenAmp = 0;
    int32_t Week = 0;
    int32_t StartDate = 0;
    int32_t EndDate = 0;
    std::string ExecuteTime;
    std::string TerminalId;
    std::list<int32_t> terminalIds;
    std::list<ZnExecTime> execTimes;
};

template <class Record>
struct ZnRecordKey;
// List models find tasks by their own id field.
template <>
struct ZnRecordKey<ZnSsTask>
{
    static int id(const ZnSsTask& record) { return record.Id; }
};
