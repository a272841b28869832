#pragma once

#include "ZnExecTime.h"

#include <cstdint>
#include <list>
#include <string>

// A plan, manual, timer or SDK task.
class ZnSsTask
{
public:
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
