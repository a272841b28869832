#pragma once

#include "DBPTask.h"
#include "FileInfo.h"
#include "ZnExecTime.h"

#include <cstdint>
#include <list>

// A play or plan task with its files, terminals and execution times.
class ZnPlayTask : public DBPTask
{
public:
    uint8_t enabled = 1;
    uint8_t executing = 0;
    int64_t beginTime = 0;
    uint8_t reservedF = 0;
    std::list<FileInfo> files;
    std::list<int32_t> terminalIds;
    std::list<int32_t> terminalVolumes;
    uint16_t volume = 65535;
    std::list<ZnExecTime> execTimes;
    int32_t reservedG = 0;
    int32_t schemeId = 0;
};
