#pragma once

#include <cstdint>
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
    std::string engine;   // the table's, as the server names it ("" for a view)
    std::string checksum; // "checksum table" read by holdLog for a log it does not hold
};

// A connection of its own to the log host of the process-wide one, in a
// transaction that reads every table as it stood when it began (a consistent
// snapshot at REPEATABLE READ). Tables whose engine keeps no snapshots (MyISAM,
// Aria, MEMORY) are read as they are at each statement. Null when the log host
// cannot be reached; the transaction ends with the connection.
std::unique_ptr<ZnMySql> snapshotConnection();

// How an export's connection keeps the log as it stood at the start.
enum LogHold {
    HeldBySnapshot, // the transaction's snapshot (InnoDB)
    HeldByLock,     // a read lock until the connection ends: the table's changes wait for it
    NotHeld,        // the lock refused (no LOCK TABLES privilege, or a write holding the
                    // table for long): the log may change meanwhile
};

// On a connection of snapshotConnection(), before the log is read: counts it
// (out) and keeps it as counted for the rest of the connection. Where the
// table's engine keeps no snapshot, that is "lock tables <table> read local":
// the table's updates and deletes wait for the export's end while new rows may
// still be added where the engine allows it (read locally, they stay unseen); a
// server that hears nothing on the connection for a while drops it and the
// lock with it. False when the log cannot be read.
bool holdLog(LogTable table, LogSnapshot& out, LogHold& how, ZnMySql* db);
// The table's "checksum table" text ("" when it has none); false when it cannot be read.
bool logChecksum(LogTable table, std::string& out, ZnMySql* db);

// The statements below run on db, or on the process-wide connection when db is null.
// Counts, newest id and engine in one statement; false when the log cannot be read.
bool logSnapshot(LogTable table, LogSnapshot& out, ZnMySql* db = nullptr);
// The rows whose id is at most maxId, newest first, the first skip of them left out.
int logPageAtOrBelow(LogTable table, std::vector<ZnLogRecord>& out, int64_t maxId, int64_t skip, int count,
                     ZnMySql* db = nullptr);
// Every row with that id, or without an id when id is null.
int logRowsWithId(LogTable table, std::vector<ZnLogRecord>& out, const int64_t* id, ZnMySql* db = nullptr);

} // namespace ZnDbQuery
