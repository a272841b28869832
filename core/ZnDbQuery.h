#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ZnLogRecord.h"

class ZnMySql;

// The fixed count and page statements of the three logs, read straight from the
// talk-log database. Counts are -1 when the log host cannot be read; pages are
// newest first. Ids, counts and offsets are 64 bits wide: a grown log's ids pass
// 2^31.
namespace ZnDbQuery {

const int kPageSize = 100;

bool ensureConnected();

// The row offset of page n (counted from 1), or -1 for a page below 1 or one so
// far out that its offset does not fit.
int64_t pageOffset(int64_t page);

int64_t talkRecordCount();
int64_t terminalLogCount();
int64_t userLogCount();

// A negative offset or a count below 1 gives an empty page and 0.
int talkRecordPage(std::vector<ZnLogRecord>& out, int64_t offset, int count);
int terminalLogPage(std::vector<ZnLogRecord>& out, int64_t offset, int count);
int userLogPage(std::vector<ZnLogRecord>& out, int64_t offset, int count);

// For reading a whole log while rows keep arriving. The log database is not
// ours: its ids need not be unique, positive or even present, its table may be a
// view, any engine, with or without an index on id. An export reads the ids down
// from the newest one counted at its start, so rows added meanwhile (above it)
// are never read; the rows that share one id are told apart by nothing, so a
// group that a page cuts is read again whole. Every row read comes with a digest
// the server computes over exactly the cells read, so that one statement at the
// end can show the file to be the log as it stands then.
enum LogTable { TalkLogTable, TerminalLogTable, UserLogTable };

struct LogSnapshot
{
    int64_t rows = 0;      // every row
    int64_t withId = 0;    // the rows whose id is not NULL
    int64_t newestId = 0;  // the highest id, 0 when none has one
    bool reachable = true; // false when the highest id lies past 64 bits
};

// The columns an export reads from a log and the digest of a row over them.
struct LogColumns
{
    LogTable table = TalkLogTable;
    std::string list;   // the page statement's columns, by name
    std::string digest; // a 64-bit value of those cells, NULL told apart from ""
};

// One row as an export reads it, with the server's digest of its cells.
struct LogRow
{
    ZnLogRecord record;
    uint64_t digest = 0;
};

// Exact: a log's digests, each below 2^64, add up past 64 bits.
using DigestSum = unsigned __int128;

// The row count and the sum of the rows' digests: equal sums of equal counts
// show two sets of rows to be the same.
struct LogDigest
{
    int64_t rows = 0;
    DigestSum sum = 0;
    bool operator==(const LogDigest& o) const { return rows == o.rows && sum == o.sum; }
    bool operator!=(const LogDigest& o) const { return !(*this == o); }
};

// The text whose crc32 makes a row's digest, over SQL expressions of its cells:
// the server's own text of each cell quoted, NULL as the bare word, so that no
// two different rows give one text (neither a separator inside a cell, nor a
// cell moved across a NULL, nor NULL against "" or "NULL"). Quoting is exact in
// any character set the server keeps, and cheaper than counting lengths.
std::string digestText(const std::vector<std::string>& cells);

// A connection of its own to the log host of the process-wide one, in a
// transaction that reads every table as it stood when it began (a consistent
// snapshot at REPEATABLE READ). Tables whose engine keeps no snapshots (MyISAM,
// Aria, MEMORY) are read as they are at each statement: nothing holds them
// between two statements. Its statements may run long (the whole log at the
// end); the server drops it when it falls silent. Null when the log host cannot
// be reached; the transaction ends with the connection.
std::unique_ptr<ZnMySql> snapshotConnection();

// The statements below run on db, or on the process-wide connection when db is null.
// Counts and newest id in one statement; false when the log cannot be read.
bool logSnapshot(LogTable table, LogSnapshot& out, ZnMySql* db = nullptr);
// The columns of the log (the user log's by position, their names asked of the
// server); false when the log cannot be read.
bool logColumns(LogTable table, LogColumns& out, ZnMySql* db = nullptr);
// Whether the server reads "id <= maxId order by id desc" pages along an index,
// so that each page costs the same wherever it lies; false for a plan that scans
// and sorts the whole log for every page, and when the plan cannot be asked for.
bool logPagesFollowIds(const LogColumns& log, int64_t maxId, ZnMySql* db = nullptr);
// The rows whose id is at most maxId, newest first, the first skip of them left out.
int logPageAtOrBelow(const LogColumns& log, std::vector<LogRow>& out, int64_t maxId, int64_t skip, int count,
                     ZnMySql* db = nullptr);
// Every row with that id, or without an id when id is null.
int logRowsWithId(const LogColumns& log, std::vector<LogRow>& out, const int64_t* id, ZnMySql* db = nullptr);
// Ids that cut the rows at or below maxId into small stretches of about oneIn
// ids each, newest first and each once: those whose crc32 is a multiple of
// oneIn, so that they fall evenly however the ids lie. One statement that reads
// the log once and sorts nothing. False when the log cannot be read.
bool logStretchEnds(const LogColumns& log, int64_t maxId, int64_t oneIn, std::vector<int64_t>& out,
                    ZnMySql* db = nullptr);
// The rows with an id above "above" (none when it is null) and at most atMost,
// newest first, in one statement whose rows are handed on as they arrive, at
// most a page at a time; onRows returns false to stop.
int logRowsInStretch(const LogColumns& log, const int64_t* above, int64_t atMost,
                     const std::function<bool(const std::vector<LogRow>&)>& onRows, ZnMySql* db = nullptr);
// In one statement: the rows with an id of at most maxId or none, and the sum of
// their digests.
bool logDigest(const LogColumns& log, int64_t maxId, LogDigest& out, ZnMySql* db = nullptr);

} // namespace ZnDbQuery
