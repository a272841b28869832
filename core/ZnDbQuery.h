#pragma once

#include <vector>

#include "ZnLogRecord.h"

// The fixed count and page statements of the three logs, read straight from the
// talk-log database. Counts are -1 when the log host cannot be read; pages are
// newest first.
namespace ZnDbQuery {

const int kPageSize = 100;

bool ensureConnected();

// The row offset of page n (counted from 1), or -1 for a page below 1 or one so
// far out that its offset does not fit.
int pageOffset(int page);

int talkRecordCount();
int terminalLogCount();
int userLogCount();

// A negative offset or a count below 1 gives an empty page and 0.
int talkRecordPage(std::vector<ZnLogRecord>& out, int offset, int count);
int terminalLogPage(std::vector<ZnLogRecord>& out, int offset, int count);
int userLogPage(std::vector<ZnLogRecord>& out, int offset, int count);

// For reading a whole log while rows keep arriving: the row count and the newest
// id (0 for an empty log) in one statement, then pages of the rows at or below
// an id, newest first. Paging by id instead of by offset neither repeats nor
// skips a row when rows are added meanwhile, and costs the same on every page.
int talkRecordSnapshot(int& newestId);
int terminalLogSnapshot(int& newestId);
int userLogSnapshot(int& newestId);
int talkRecordPageUpTo(std::vector<ZnLogRecord>& out, int maxId, int count);
int terminalLogPageUpTo(std::vector<ZnLogRecord>& out, int maxId, int count);
int userLogPageUpTo(std::vector<ZnLogRecord>& out, int maxId, int count);

} // namespace ZnDbQuery
