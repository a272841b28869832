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

} // namespace ZnDbQuery
