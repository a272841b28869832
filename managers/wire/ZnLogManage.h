#pragma once

#include "ZnBaseMgr.h"
#include "ZnCommandRequest.h"
#include "ZnServiceLogData.h"

#include <cstdint>
#include <string>

// Pages and counts of the user, talk and terminal logs through the server
// ("SqlLog" requests, request type 127 + kind).
class ZnLogManage : public ZnBaseMgr
{
public:
    enum { FirstType = 127, LastType = 134 };
    // data: an int64_t count for even kinds, a std::vector<ZnLogRecord> page for odd ones.
    typedef int (*LogCallback)(int kind, void* data, int a, int b);

    void setCallback(LogCallback callback);

    // Kinds outside 0 and 2 to 7 give the user-log page statement.
    std::string& buildSqlLogQuery(std::string& out, int cseq, int kind, int64_t offset);
    static std::string logStatement(int kind, int64_t offset);

    void onResponse(int requestType, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;

protected:
    ZnServiceLogData m_data;
    ZnCommandRequest m_request;
    LogCallback m_callback = nullptr;
};
