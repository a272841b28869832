#pragma once

#include <cstdint>
#include <memory>
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
// ours: its ids need not be unique, positive or even present. An export walks
// the ids down from the newest one counted at its start, so rows added
// meanwhile (above it) are never read and no row is read twice; the rows that
// share one id are told apart by nothing, so a group that a page cuts is read
// again whole.
enum LogTable { TalkLogTable, TerminalLogTable, UserLogTable };

struct LogSnapshot
{
    int64_t rows = 0;     // every row
    int64_t withId = 0;   // the rows whose id is not NULL
    int64_t newestId = 0; // the highest id, 0 when none has one
};

// A connection of its own to the log host of the process-wide one, in a
// transaction that reads every table as it stood when it began (a consistent
// snapshot at REPEATABLE READ). Tables whose engine keeps no snapshots (MyISAM,
// Aria, MEMORY) are read as they are at each statement. Null when the log host
// cannot be reached; the transaction ends with the connection.
std::unique_ptr<ZnMySql> snapshotConnection();

// The statements below run on db, or on the process-wide connection when db is null.
// All three in one statement; false when the log cannot be read.
bool logSnapshot(LogTable table, LogSnapshot& out, ZnMySql* db = nullptr);
// The rows whose id is at most maxId, newest first, the first skip of them left out.
int logPageAtOrBelow(LogTable table, std::vector<ZnLogRecord>& out, int64_t maxId, int64_t skip, int count,
                     ZnMySql* db = nullptr);
// Every row with that id, or without an id when id is null.
int logRowsWithId(LogTable table, std::vector<ZnLogRecord>& out, const int64_t* id, ZnMySql* db = nullptr);

} // namespace ZnDbQuery
