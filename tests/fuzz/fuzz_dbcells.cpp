// The talk-log readers over arbitrary result sets: the client library is replaced
// by one that answers every statement with the set the bytes describe (the first
// byte: column count and which reader; then cells split at 0x1f, a cell starting
// with 0x1e being NULL), so that the copy of the result and the cell readers behind
// the log pages run as against a server. Whatever the cells, a page has a record
// per row and each record a cell per column the page shows.
#include "FuzzCheck.h"
#include "LogExportKind.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnMySql.h"

#include <optional>
#include <vector>

namespace {
struct ResultSet
{
    std::vector<std::string> names;
    std::vector<MYSQL_FIELD> fields;
    std::vector<std::vector<std::optional<std::string>>> rows;
    unsigned long long affected = 0;
    std::size_t next = 0;
    std::vector<char*> row;
    std::vector<unsigned long> lengths;
};

ResultSet gSet;
MYSQL gHandle;
MYSQL_RES* const kResult = reinterpret_cast<MYSQL_RES*>(&gSet);
} // namespace

// The client library as far as the readers use it.
extern "C" {
MYSQL* STDCALL mysql_init(MYSQL*)
{
    return &gHandle;
}
int STDCALL mysql_options(MYSQL*, enum mysql_option, const void*)
{
    return 0;
}
MYSQL* STDCALL mysql_real_connect(MYSQL* mysql, const char*, const char*, const char*, const char*, unsigned int,
                                  const char*, unsigned long)
{
    return mysql;
}
void STDCALL mysql_close(MYSQL*) {}
void STDCALL mysql_server_end(void) {}
const char* STDCALL mysql_error(MYSQL*)
{
    return "";
}
int STDCALL mysql_query(MYSQL*, const char*)
{
    gSet.next = 0;
    return 0;
}
unsigned int STDCALL mysql_field_count(MYSQL*)
{
    return static_cast<unsigned>(gSet.names.size());
}
MYSQL_RES* STDCALL mysql_store_result(MYSQL*)
{
    return gSet.names.empty() ? nullptr : kResult;
}
MYSQL_RES* STDCALL mysql_use_result(MYSQL*)
{
    return gSet.names.empty() ? nullptr : kResult;
}
unsigned int STDCALL mysql_errno(MYSQL*)
{
    return 0;
}
my_socket STDCALL mysql_get_socket(MYSQL*)
{
    return -1;
}
void STDCALL mysql_free_result(MYSQL_RES*) {}
my_ulonglong STDCALL mysql_affected_rows(MYSQL*)
{
    return gSet.affected;
}
my_ulonglong STDCALL mysql_insert_id(MYSQL*)
{
    return 0;
}
unsigned int STDCALL mysql_num_fields(MYSQL_RES*)
{
    return static_cast<unsigned>(gSet.names.size());
}
my_ulonglong STDCALL mysql_num_rows(MYSQL_RES*)
{
    return gSet.rows.size();
}
MYSQL_FIELD* STDCALL mysql_fetch_fields(MYSQL_RES*)
{
    return gSet.fields.data();
}
MYSQL_ROW STDCALL mysql_fetch_row(MYSQL_RES*)
{
    if (gSet.next >= gSet.rows.size())
        return nullptr;
    auto& cells = gSet.rows[gSet.next++];
    gSet.row.assign(cells.size(), nullptr);
    gSet.lengths.assign(cells.size(), 0);
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (cells[c]) {
            gSet.row[c] = cells[c]->data();
            gSet.lengths[c] = cells[c]->size();
        }
    }
    return gSet.row.data();
}
unsigned long* STDCALL mysql_fetch_lengths(MYSQL_RES*)
{
    return gSet.lengths.data();
}
}

FUZZ_TARGET(input)
{
    static const bool connected = ZnMySql::connectTalkLogDb("127.0.0.1") == 0;
    FUZZ_CHECK(connected);
    if (input.empty())
        return;
    const unsigned columns = uint8_t(input[0]) % 12;
    const int reader = uint8_t(input[0]) / 12 % 4;
    gSet = ResultSet();
    gSet.affected = uint8_t(input[0]);
    for (unsigned c = 0; c < columns; ++c)
        gSet.names.push_back("c" + std::to_string(c));
    gSet.fields.resize(columns, MYSQL_FIELD());
    for (unsigned c = 0; c < columns; ++c)
        gSet.fields[c].name = gSet.names[c].data();
    std::vector<std::optional<std::string>> cells;
    for (std::size_t from = 1; from <= input.size();) {
        std::size_t end = input.find('\x1f', from);
        if (end == std::string::npos)
            end = input.size();
        const std::string cell = input.substr(from, end - from);
        cells.push_back(cell.compare(0, 1, "\x1e") == 0 ? std::nullopt : std::optional<std::string>(cell));
        from = end + 1;
    }
    for (std::size_t at = 0; columns && at + columns <= cells.size(); at += columns)
        gSet.rows.emplace_back(cells.begin() + at, cells.begin() + at + columns);

    std::vector<ZnLogRecord> page;
    std::vector<ZnDbQuery::LogRow> rows;
    ZnDbQuery::LogColumns log;
    int kind = TalkLogKind;
    switch (reader) {
    case 0:
        FUZZ_CHECK(ZnDbQuery::talkRecordPage(page, 0, ZnDbQuery::kPageSize) == 0);
        break;
    case 1:
        kind = TermLogKind;
        FUZZ_CHECK(ZnDbQuery::logColumns(ZnDbQuery::TerminalLogTable, log));
        FUZZ_CHECK(
            ZnDbQuery::logPageAtOrBelow(log, rows, 1 - uint8_t(input[0]), uint8_t(input[0]), ZnDbQuery::kPageSize)
            == 0);
        for (const ZnDbQuery::LogRow& r : rows)
            page.push_back(r.record);
        break;
    case 2:
        kind = UserLogKind;
        FUZZ_CHECK(ZnDbQuery::userLogPage(page, 0, ZnDbQuery::kPageSize) == 0);
        break;
    default: {
        ZnDbQuery::LogSnapshot snapshot;
        ZnDbQuery::logSnapshot(ZnDbQuery::TalkLogTable, snapshot);
        ZnDbQuery::LogDigest digest;
        std::vector<int64_t> ends;
        if (ZnDbQuery::logColumns(ZnDbQuery::UserLogTable, log)) {
            ZnDbQuery::logDigest(log, snapshot.newestId, digest);
            ZnDbQuery::logPagesFollowIds(log, snapshot.newestId);
            ZnDbQuery::logStretchEnds(log, snapshot.newestId, 1 + uint8_t(input[0]), ends);
            size_t streamed = 0;
            ZnDbQuery::logRowsInStretch(log, nullptr, 0, [&](const std::vector<ZnDbQuery::LogRow>& part) {
                streamed += part.size();
                return true;
            });
            FUZZ_CHECK(streamed == gSet.rows.size());
        }
        ZnDbQuery::userLogCount();
        return;
    }
    }
    FUZZ_CHECK(page.size() == gSet.rows.size());
    const int shown = ZnLogTexts::headers(kind).size();
    for (const ZnLogRecord& r : page)
        FUZZ_CHECK(ZnLogTexts::cells(kind, r).size() == shown);
}
