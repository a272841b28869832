#include "ZnDbQuery.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "ZnCommon.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"

namespace {

// Whole: a NUL inside a text must not cut it short.
std::string text(const ZnMySqlResult& r, unsigned row, unsigned column)
{
    const std::string* c = r.cellText(row, column);
    return c ? *c : std::string();
}

int number(const ZnMySqlResult& r, unsigned row, unsigned column)
{
    const char* c = r.cell(row, column);
    return ZnCommon::atoiClamped(c);
}

// Ids and counts: a grown log's ids pass 2^31. Beyond 64 bits strtoll keeps to
// the end of the range.
int64_t wide(const ZnMySqlResult& r, unsigned row, unsigned column)
{
    const char* c = r.cell(row, column);
    return c ? int64_t(std::strtoll(c, nullptr, 10)) : 0;
}

int64_t count(const char* sql)
{
    if (!ZnDbQuery::ensureConnected())
        return -1;
    ZnMySqlResult result;
    if (ZnMySql::instance()->query(sql, result) < 0)
        return -1;
    return wide(result, 0, 0);
}

using RowReader = ZnLogRecord (*)(const ZnMySqlResult&, unsigned);

// The connection to use: db, or the process-wide one once it is connected.
ZnMySql* connection(ZnMySql* db)
{
    if (db)
        return db;
    return ZnDbQuery::ensureConnected() ? ZnMySql::instance() : nullptr;
}

// The rows a statement reads, by the log's reader.
int rows(std::vector<ZnLogRecord>& out, const char* sql, RowReader read, ZnMySql* db = nullptr)
{
    out.clear();
    ZnMySql* conn = connection(db);
    ZnMySqlResult result;
    if (!conn || conn->query(sql, result) < 0)
        return -1;
    // Without columns the count is of affected rows, not of rows to show.
    const unsigned available = result.columnCount() > 0 ? result.rowCount() : 0;
    out.reserve(available);
    for (unsigned r = 0; r < available; ++r)
        out.push_back(read(result, r));
    return 0;
}

// The first conversion of format is the 64-bit offset, the second the row count.
int page(std::vector<ZnLogRecord>& out, const char* format, int64_t offset, int count, RowReader read)
{
    out.clear();
    if (offset < 0 || count < 1)
        return 0;
    char sql[256];
    std::snprintf(sql, sizeof sql, format, offset, count);
    return rows(out, sql, read);
}

ZnLogRecord talkRow(const ZnMySqlResult& res, unsigned r)
{
    ZnLogRecord rec;
    rec.id = wide(res, r, 0);
    rec.date = text(res, r, 1);
    rec.endTime = text(res, r, 2);
    rec.callerId = number(res, r, 3);
    rec.calledId = number(res, r, 4);
    rec.callerName = text(res, r, 5);
    rec.calledName = text(res, r, 6);
    rec.type = text(res, r, 7);
    rec.action = text(res, r, 8);
    rec.recordFile = text(res, r, 9);
    return rec;
}

ZnLogRecord terminalRow(const ZnMySqlResult& res, unsigned r)
{
    ZnLogRecord rec;
    rec.id = wide(res, r, 0);
    rec.date = text(res, r, 1);
    rec.terminalId = number(res, r, 2);
    rec.name = text(res, r, 3);
    rec.type = text(res, r, 4);
    rec.ip = text(res, r, 5);
    rec.action = text(res, r, 6);
    return rec;
}

// The user log is read with "select *": id, name, ip, date, content by position.
ZnLogRecord userRow(const ZnMySqlResult& res, unsigned r)
{
    ZnLogRecord rec;
    rec.id = wide(res, r, 0);
    rec.name = text(res, r, 1);
    rec.ip = text(res, r, 2);
    rec.date = text(res, r, 3);
    rec.action = text(res, r, 4);
    return rec;
}

} // namespace

bool ZnDbQuery::ensureConnected()
{
    ZnMySql* db = ZnMySql::instance();
    if (!db->isConnected())
        db->reconnect();
    return db->isConnected();
}

int64_t ZnDbQuery::pageOffset(int64_t page)
{
    if (page < 1 || page - 1 > INT64_MAX / kPageSize)
        return -1;
    return (page - 1) * kPageSize;
}

int64_t ZnDbQuery::talkRecordCount()
{
    return count("select count(*) from talklog_bak;");
}

int64_t ZnDbQuery::terminalLogCount()
{
    return count("select count(*) from terminallog;");
}

int64_t ZnDbQuery::userLogCount()
{
    return count("select count(*) from userlog;");
}

int ZnDbQuery::talkRecordPage(std::vector<ZnLogRecord>& out, int64_t offset, int count)
{
    return page(out,
                "select id,begin_time,end_time,callerId,calledId,callerName,calledName,"
                "type,source_name,recordfile from talklog_bak order by id desc limit %" PRId64 ", %d;",
                offset, count, talkRow);
}

int ZnDbQuery::terminalLogPage(std::vector<ZnLogRecord>& out, int64_t offset, int count)
{
    return page(out,
                "select id,date,terminalId,name,type,ip,action from terminallog "
                "order by id desc limit %" PRId64 ", %d;",
                offset, count, terminalRow);
}

int ZnDbQuery::userLogPage(std::vector<ZnLogRecord>& out, int64_t offset, int count)
{
    return page(out, "select * from userlog order by id desc limit %" PRId64 ", %d", offset, count, userRow);
}

namespace {

struct TableText
{
    const char* columns; // the page statement's
    const char* table;
    RowReader read;
};

const TableText& tableText(ZnDbQuery::LogTable table)
{
    static const TableText texts[] = {
        {"id,begin_time,end_time,callerId,calledId,callerName,calledName,type,source_name,recordfile", "talklog_bak",
         talkRow},
        {"id,date,terminalId,name,type,ip,action", "terminallog", terminalRow},
        {"*", "userlog", userRow},
    };
    return texts[table];
}

} // namespace

std::unique_ptr<ZnMySql> ZnDbQuery::snapshotConnection()
{
    if (!ZnMySql::instance()->isConfigured())
        return nullptr;
    auto db = std::make_unique<ZnMySql>(ZnMySql::NoReconnect);
    ZnMySqlResult result;
    if (db->connect(ZnMySql::instance()->settings()) < 0
        || db->query("set transaction isolation level repeatable read;", result) < 0
        || db->query("start transaction with consistent snapshot;", result) < 0)
        return nullptr;
    return db;
}

bool ZnDbQuery::holdLog(LogTable table, LogSnapshot& out, LogHold& how, ZnMySql* db)
{
    how = NotHeld;
    if (!db || !logSnapshot(table, out, db))
        return false;
    if (out.engine == "InnoDB") {
        how = HeldBySnapshot;
        return true;
    }
    // Any other engine (a view too) is read as it is at each statement: the lock
    // holds it still. Taking it ends the transaction, which holds nothing here.
    // A server write that holds the table longer than one of our statements may
    // wait gets the lock refused rather than the connection lost; a console that
    // falls silent gets its connection, and the lock, dropped by the server.
    const unsigned lockWait = ZnMySql::kIoTimeoutSeconds - 1;
    const unsigned idle = 2 * ZnMySql::kIoTimeoutSeconds;
    char sql[128];
    ZnMySqlResult result;
    std::snprintf(sql, sizeof sql, "set session lock_wait_timeout = %u, wait_timeout = %u;", lockWait, idle);
    if (db->query(sql, result) < 0)
        return false;
    std::snprintf(sql, sizeof sql, "lock tables %s read local;", tableText(table).table);
    if (db->query(sql, result) == 0)
        how = HeldByLock;
    // Counted again as it holds still; or, when refused, after its checksum, so
    // that a change in between shows at the end.
    std::string checksum;
    if ((how == NotHeld && !logChecksum(table, checksum, db)) || !logSnapshot(table, out, db))
        return false;
    out.checksum = checksum;
    return true;
}

bool ZnDbQuery::logChecksum(LogTable table, std::string& out, ZnMySql* db)
{
    out.clear();
    ZnMySql* conn = connection(db);
    if (!conn)
        return false;
    char sql[128];
    std::snprintf(sql, sizeof sql, "checksum table %s;", tableText(table).table);
    ZnMySqlResult result;
    if (conn->query(sql, result) < 0 || result.rowCount() < 1 || result.columnCount() < 2)
        return false;
    out = text(result, 0, 1);
    return true;
}

bool ZnDbQuery::logSnapshot(LogTable table, LogSnapshot& out, ZnMySql* db)
{
    out = LogSnapshot();
    ZnMySql* conn = connection(db);
    if (!conn)
        return false;
    const char* name = tableText(table).table;
    char sql[256];
    std::snprintf(sql, sizeof sql,
                  "select count(*), count(id), coalesce(max(id), 0), (select engine from information_schema.tables "
                  "where table_schema = database() and table_name = '%s') from %s;",
                  name, name);
    ZnMySqlResult result;
    if (conn->query(sql, result) < 0 || result.rowCount() < 1 || result.columnCount() < 4)
        return false;
    out.rows = wide(result, 0, 0);
    out.withId = wide(result, 0, 1);
    out.newestId = wide(result, 0, 2);
    out.engine = text(result, 0, 3);
    return true;
}

int ZnDbQuery::logPageAtOrBelow(LogTable table, std::vector<ZnLogRecord>& out, int64_t maxId, int64_t skip, int count,
                                ZnMySql* db)
{
    out.clear();
    if (skip < 0 || count < 1)
        return 0;
    const TableText& t = tableText(table);
    char sql[256];
    std::snprintf(sql, sizeof sql, "select %s from %s where id <= %" PRId64 " order by id desc limit %" PRId64 ", %d;",
                  t.columns, t.table, maxId, skip, count);
    return rows(out, sql, t.read, db);
}

int ZnDbQuery::logRowsWithId(LogTable table, std::vector<ZnLogRecord>& out, const int64_t* id, ZnMySql* db)
{
    const TableText& t = tableText(table);
    char sql[256];
    if (id)
        std::snprintf(sql, sizeof sql, "select %s from %s where id = %" PRId64 ";", t.columns, t.table, *id);
    else
        std::snprintf(sql, sizeof sql, "select %s from %s where id is null;", t.columns, t.table);
    return rows(out, sql, t.read, db);
}
