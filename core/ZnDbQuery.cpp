#include "ZnDbQuery.h"

#include <algorithm>
#include <cerrno>
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
    const char* columns; // the page statement's, by name; null: the first ones by position
    int positions;       // how many the reader takes
    const char* table;
    RowReader read;
};

const TableText& tableText(ZnDbQuery::LogTable table)
{
    static const TableText texts[] = {
        {"id,begin_time,end_time,callerId,calledId,callerName,calledName,type,source_name,recordfile", 10,
         "talklog_bak", talkRow},
        {"id,date,terminalId,name,type,ip,action", 7, "terminallog", terminalRow},
        {nullptr, 5, "userlog", userRow},
    };
    return texts[table];
}

// A column name as an identifier.
std::string quoted(const std::string& name)
{
    std::string out = "`";
    for (char c : name)
        out += c == '`' ? std::string("``") : std::string(1, c);
    return out + "`";
}

// The digest of a row: the square of crc32 over its text. crc32 alone is linear
// in XOR: where two rows trade cells of equal length, the plain sums before and
// after the trade agree about once in 10,000 trades, and a file read before the
// trade passes for the log after it. The squares keep no such balance. pow
// evaluates the crc once (a product would hash the row twice, holding the table
// that much longer); rounded to a double's 53 bits the square is still one
// integer below 2^64 for each crc, which the server sums exactly.
std::string digestOf(const std::vector<std::string>& columns)
{
    return "cast(pow(crc32(" + ZnDbQuery::digestText(columns) + "), 2) as unsigned)";
}

uint64_t digestCell(const ZnMySqlResult& r, unsigned row, unsigned column)
{
    const char* c = r.cell(row, column);
    return c ? uint64_t(std::strtoull(c, nullptr, 10)) : 0;
}

// The server's sum of the digests, an exact decimal past 64 bits; false for any
// other text.
bool digestSum(const char* c, ZnDbQuery::DigestSum& out)
{
    const ZnDbQuery::DigestSum most = ~ZnDbQuery::DigestSum(0);
    ZnDbQuery::DigestSum sum = 0;
    if (!c || !*c)
        return false;
    for (; *c; ++c) {
        const unsigned digit = unsigned(*c - '0');
        if (digit > 9 || sum > (most - digit) / 10)
            return false;
        sum = sum * 10 + digit;
    }
    out = sum;
    return true;
}

// The rows of a result, each with the digest in the column after the log's own.
void readRows(const ZnDbQuery::LogColumns& log, const ZnMySqlResult& result, std::vector<ZnDbQuery::LogRow>& out)
{
    out.clear();
    // Without columns the count is of affected rows, not of rows to show.
    const unsigned available = result.columnCount() > 0 ? result.rowCount() : 0;
    const unsigned digest = result.columnCount() - 1;
    out.reserve(available);
    for (unsigned r = 0; r < available; ++r)
        out.push_back({tableText(log.table).read(result, r), digestCell(result, r, digest)});
}

int logRows(const ZnDbQuery::LogColumns& log, std::vector<ZnDbQuery::LogRow>& out, const std::string& sql, ZnMySql* db)
{
    out.clear();
    ZnMySql* conn = connection(db);
    ZnMySqlResult result;
    if (!conn || conn->query(sql.c_str(), result) < 0)
        return -1;
    readRows(log, result, out);
    return 0;
}

std::string selectRows(const ZnDbQuery::LogColumns& log)
{
    return "select " + log.list + "," + log.digest + " from " + tableText(log.table).table;
}

} // namespace

std::string ZnDbQuery::digestText(const std::vector<std::string>& cells)
{
    std::string text = "concat_ws(','";
    for (const std::string& c : cells)
        text += ",quote(" + c + ")";
    return text + ")";
}

std::unique_ptr<ZnMySql> ZnDbQuery::snapshotConnection()
{
    if (!ZnMySql::instance()->isConfigured())
        return nullptr;
    auto db = std::make_unique<ZnMySql>(ZnMySql::NoReconnect, ZnMySql::kLongIoTimeoutSeconds);
    // A console that stalls between two statements, or while rows wait to be
    // taken, gets its connection (and the snapshot, or a table held for a
    // statement) dropped by the server rather than kept for hours.
    char sql[128];
    std::snprintf(sql, sizeof sql, "set session wait_timeout = %u, net_write_timeout = %u;",
                  2 * ZnMySql::kIoTimeoutSeconds, 2 * ZnMySql::kIoTimeoutSeconds);
    ZnMySqlResult result;
    if (db->connect(ZnMySql::instance()->settings()) < 0 || db->query(sql, result) < 0
        || db->query("set transaction isolation level repeatable read;", result) < 0
        || db->query("start transaction with consistent snapshot;", result) < 0)
        return nullptr;
    return db;
}

bool ZnDbQuery::logSnapshot(LogTable table, LogSnapshot& out, ZnMySql* db)
{
    out = LogSnapshot();
    ZnMySql* conn = connection(db);
    if (!conn)
        return false;
    char sql[128];
    std::snprintf(sql, sizeof sql, "select count(*), count(id), coalesce(max(id), 0) from %s;", tableText(table).table);
    ZnMySqlResult result;
    if (conn->query(sql, result) < 0 || result.rowCount() < 1 || result.columnCount() < 3)
        return false;
    out.rows = wide(result, 0, 0);
    out.withId = wide(result, 0, 1);
    // Read once, telling an id past 64 bits (strtoll stops at the range's end).
    errno = 0;
    out.newestId = wide(result, 0, 2);
    out.reachable = errno != ERANGE;
    return true;
}

bool ZnDbQuery::logColumns(LogTable table, LogColumns& out, ZnMySql* db)
{
    out = LogColumns();
    out.table = table;
    const TableText& t = tableText(table);
    std::vector<std::string> names;
    if (t.columns) {
        const std::string list = t.columns;
        for (size_t from = 0; from <= list.size();) {
            const size_t comma = std::min(list.find(',', from), list.size());
            names.push_back(list.substr(from, comma - from));
            from = comma + 1;
        }
    } else {
        // Read by position: the names are the table's own.
        ZnMySql* conn = connection(db);
        ZnMySqlResult result;
        const std::string sql = std::string("select * from ") + t.table + " limit 0;";
        if (!conn || conn->query(sql.c_str(), result) < 0 || result.columnCount() < 1)
            return false;
        for (unsigned c = 0; c < result.columnCount() && c < unsigned(t.positions); ++c)
            names.push_back(quoted(result.fieldName(c)));
    }
    for (const std::string& n : names)
        out.list += (out.list.empty() ? "" : ",") + n;
    out.digest = digestOf(names);
    return true;
}

bool ZnDbQuery::logPagesFollowIds(const LogColumns& log, int64_t maxId, ZnMySql* db)
{
    ZnMySql* conn = connection(db);
    if (!conn)
        return false;
    char bound[64];
    std::snprintf(bound, sizeof bound, " where id <= %" PRId64 " order by id desc limit %d;", maxId, kPageSize);
    const std::string sql = "explain " + selectRows(log) + bound;
    ZnMySqlResult plan;
    if (conn->query(sql.c_str(), plan) < 0 || plan.rowCount() < 1)
        return false;
    int type = -1, extra = -1;
    for (unsigned c = 0; c < plan.columnCount(); ++c) {
        const std::string name = plan.fieldName(c);
        type = name == "type" ? int(c) : type;
        extra = name == "Extra" ? int(c) : extra;
    }
    if (type < 0 || extra < 0)
        return false;
    // Every table of the plan (a view may join several) read along an index, and
    // no sort of what was read.
    for (unsigned r = 0; r < plan.rowCount(); ++r) {
        const std::string how = text(plan, r, unsigned(type));
        const std::string notes = text(plan, r, unsigned(extra));
        if (how.empty() || how == "ALL" || notes.find("filesort") != std::string::npos
            || notes.find("temporary") != std::string::npos)
            return false;
    }
    return true;
}

int ZnDbQuery::logPageAtOrBelow(const LogColumns& log, std::vector<LogRow>& out, int64_t maxId, int64_t skip, int count,
                                ZnMySql* db)
{
    out.clear();
    if (skip < 0 || count < 1)
        return 0;
    char page[128];
    std::snprintf(page, sizeof page, " where id <= %" PRId64 " order by id desc limit %" PRId64 ", %d;", maxId, skip,
                  count);
    return logRows(log, out, selectRows(log) + page, db);
}

int ZnDbQuery::logRowsWithId(const LogColumns& log, std::vector<LogRow>& out, const int64_t* id, ZnMySql* db)
{
    char where[64];
    if (id)
        std::snprintf(where, sizeof where, " where id = %" PRId64 ";", *id);
    else
        std::snprintf(where, sizeof where, " where id is null;");
    return logRows(log, out, selectRows(log) + where, db);
}

bool ZnDbQuery::logStretchEnds(const LogColumns& log, int64_t maxId, int64_t oneIn, std::vector<int64_t>& out,
                               ZnMySql* db)
{
    out.clear();
    ZnMySql* conn = connection(db);
    if (!conn || oneIn < 1)
        return false;
    // Counting the rows down from maxId would sort the whole log while holding it
    // (seconds at two million rows); a hash of the id picks ids as evenly in one
    // plain read.
    char sql[256];
    std::snprintf(sql, sizeof sql,
                  "select distinct id from %s where id <= %" PRId64 " and crc32(id) %% %" PRId64 " = 0;",
                  tableText(log.table).table, maxId, oneIn);
    ZnMySqlResult result;
    if (conn->query(sql, result) < 0 || result.columnCount() < 1)
        return false;
    for (unsigned r = 0; r < result.rowCount(); ++r) {
        if (result.cell(r, 0))
            out.push_back(wide(result, r, 0));
    }
    std::sort(out.begin(), out.end(), std::greater<int64_t>());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return true;
}

int ZnDbQuery::logRowsInStretch(const LogColumns& log, const int64_t* above, int64_t atMost,
                                const std::function<bool(const std::vector<LogRow>&)>& onRows, ZnMySql* db)
{
    ZnMySql* conn = connection(db);
    if (!conn)
        return -1;
    char where[128];
    if (above)
        std::snprintf(where, sizeof where, " where id <= %" PRId64 " and id > %" PRId64 " order by id desc;", atMost,
                      *above);
    else
        std::snprintf(where, sizeof where, " where id <= %" PRId64 " order by id desc;", atMost);
    const std::string sql = selectRows(log) + where;
    ZnMySqlResult batch;
    std::vector<LogRow> rows;
    return conn->queryEach(sql.c_str(), batch, kPageSize, [&] {
        readRows(log, batch, rows);
        return onRows(rows);
    });
}

bool ZnDbQuery::logDigest(const LogColumns& log, int64_t maxId, LogDigest& out, ZnMySql* db)
{
    out = LogDigest();
    ZnMySql* conn = connection(db);
    if (!conn)
        return false;
    char where[64];
    std::snprintf(where, sizeof where, " where id <= %" PRId64 " or id is null;", maxId);
    const std::string sql =
        "select count(*), coalesce(sum(" + log.digest + "), 0) from " + tableText(log.table).table + where;
    ZnMySqlResult result;
    if (conn->query(sql.c_str(), result) < 0 || result.rowCount() < 1 || result.columnCount() < 2
        || !digestSum(result.cell(0, 1), out.sum))
        return false;
    out.rows = wide(result, 0, 0);
    return true;
}
