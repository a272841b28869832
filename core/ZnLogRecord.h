#pragma once

#include <cstdint>
#include <string>

// One row of the talk, terminal or user log, whichever road it came by (the
// database itself or the server's "SqlLog" answers). Fields a log does not have
// stay 0 or empty; dates are the texts the database gave. The row id is 64 bits:
// a grown log's BIGINT or INT UNSIGNED ids pass 2^31.
struct ZnLogRecord
{
    int64_t id = 0;
    int32_t terminalId = 0;
    std::string name;
    std::string ip;
    std::string date;
    std::string endTime;
    int32_t callerId = 0;
    int32_t calledId = 0;
    std::string callerName;
    std::string calledName;
    std::string type;
    std::string action;
    std::string recordFile;
};
