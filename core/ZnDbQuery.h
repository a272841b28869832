#pragma once

#include <cstdint>
#include <vector>

#include "ZnLogRecord.h"

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

// For reading a whole log while rows keep arriving: the row count and the newest
// id (0 for an empty log) in one statement, then pages of the rows at or below
// an id, newest first. Paging by id instead of by offset neither repeats nor
// skips a row when rows are added meanwhile, and costs the same on every page.
int64_t talkRecordSnapshot(int64_t& newestId);
int64_t terminalLogSnapshot(int64_t& newestId);
int64_t userLogSnapshot(int64_t& newestId);
int talkRecordPageUpTo(std::vector<ZnLogRecord>& out, int64_t maxId, int count);
int terminalLogPageUpTo(std::vector<ZnLogRecord>& out, int64_t maxId, int count);
int userLogPageUpTo(std::vector<ZnLogRecord>& out, int64_t maxId, int count);

} // namespace ZnDbQuery
