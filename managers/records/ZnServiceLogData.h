#pragma once

#include <cstdint>
#include <vector>

#include "ZnLogRecord.h"

// The rows of the latest log page and the two numbers that travel with them to
// the service-log model.
class ZnServiceLogData
{
public:
    virtual ~ZnServiceLogData() = default;

    std::vector<ZnLogRecord> records;
    int32_t first = 0;
    int32_t second = 0;
};
