#include "ZnLogManage.h"

#include <json/json.h>

#include "ZnRow.h"
#include "ZnRows.h"

namespace {

ZnLogRecord userRow(const ZnRowView& row)
{
    ZnLogRecord r;
    r.id = ZnRow::toInt64(row, "id");
    r.date = ZnRow::text(row, "date");
    r.action = ZnRow::text(row, "content");
    r.ip = ZnRow::text(row, "ip");
    r.name = ZnRow::text(row, "name");
    return r;
}

ZnLogRecord talkRow(const ZnRowView& row)
{
    ZnLogRecord r;
    r.id = ZnRow::toInt64(row, "id");
    r.date = ZnRow::text(row, "begin_time");
    r.endTime = ZnRow::text(row, "end_time");
    r.callerId = ZnRow::toInt(row, "callerId");
    r.calledId = ZnRow::toInt(row, "calledId");
    r.callerName = ZnRow::text(row, "callerName");
    r.calledName = ZnRow::text(row, "calledName");
    r.type = ZnRow::text(row, "type");
    r.action = ZnRow::text(row, "source_name");
    r.recordFile = ZnRow::text(row, "recordfile");
    return r;
}

ZnLogRecord terminalRow(const ZnRowView& row)
{
    ZnLogRecord r;
    r.id = ZnRow::toInt64(row, "id");
    r.date = ZnRow::text(row, "date");
    r.terminalId = ZnRow::toInt(row, "terminalId");
    r.name = ZnRow::text(row, "name");
    r.type = ZnRow::text(row, "type");
    r.ip = ZnRow::text(row, "ip");
    r.action = ZnRow::text(row, "action");
    return r;
}

} // namespace

void ZnLogManage::setCallback(LogCallback callback)
{
    if (callback)
        m_callback = callback;
}

std::string ZnLogManage::logStatement(int kind, int64_t offset)
{
    const std::string off = std::to_string(offset);
    switch (kind) {
    case 0:
        return "select count(*) from userlog;";
    case 2:
    case 6:
        return "select count(*) from talklog;";
    case 3:
    case 7:
        return "select * from talklog order by id DESC limit " + off + ", 100";
    case 4:
        return "select count(*) from terminallog;";
    case 5:
        return "select * from terminallog order by id DESC limit " + off + ", 100";
    default:
        return "select * from userlog order by id DESC limit " + off + ", 100 ";
    }
}

std::string& ZnLogManage::buildSqlLogQuery(std::string& out, int cseq, int kind, int64_t offset)
{
    out = m_request.buildGet(cseq, "SqlLog", logStatement(kind, offset).c_str());
    return out;
}

void ZnLogManage::onResponse(int requestType, const std::string& body)
{
    if (requestType < FirstType || requestType > LastType)
        return;
    const int kind = requestType - FirstType;
    ZnRows rows;
    const bool parsed = ZnRow::parseArray(body, rows);

    if (kind % 2 == 0) {
        // A count answer is announced even when it cannot be read: as 0. Ids and
        // counts are 64 bits: a grown log's ids pass 2^31.
        int64_t count = 0;
        if (parsed && rows.size() > 0)
            count = ZnRow::toInt64(rows[0], "count(*)");
        if (m_callback)
            m_callback(kind, &count, 0, 0);
        return;
    }

    ZnLogRecord (*read)(const ZnRowView&) = kind == 1 ? userRow : kind == 5 ? terminalRow : talkRow;
    m_data.records.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows.isObject(i))
            m_data.records.push_back(read(rows[i]));
    }
    // An empty or unreadable page leaves the model's previous page in place.
    if (!m_data.records.empty() && m_callback)
        m_callback(kind, &m_data.records, m_data.first, m_data.second);
    m_data.records.clear();
}

bool ZnLogManage::onSet(const std::string&)
{
    return false;
}

void ZnLogManage::onDelete(const std::string&, int) {}

void ZnLogManage::onDeleted(int) {}
