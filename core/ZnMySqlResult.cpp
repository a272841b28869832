#include "ZnMySqlResult.h"

#include <cstdio>

ZnMySqlResult::~ZnMySqlResult()
{
    clear();
}

void ZnMySqlResult::clear()
{
    m_rows.clear();
    m_rowCount = 0;
    m_fieldNames.clear();
    m_fieldCount = 0;
    m_error.reset();
    m_insertId = 0;
}

void ZnMySqlResult::setError(const char* text)
{
    if (text)
        m_error = std::string(text);
    else
        m_error.reset();
}

int ZnMySqlResult::store(MYSQL* conn, MYSQL_RES* res)
{
    const int begun = begin(conn, res);
    if (begun < 0 || !res)
        return begun;
    m_rows.reserve(static_cast<size_t>(mysql_num_rows(res)));
    return fetch(conn, res, UINT32_MAX);
}

int ZnMySqlResult::begin(MYSQL* conn, MYSQL_RES* res)
{
    clear();
    if (!conn)
        return -1;
    m_fieldCount = static_cast<int>(mysql_field_count(conn));

    if (!res) {
        if (m_fieldCount != 0) {
            std::printf("store result. error string:%s\n", mysql_error(conn));
            setError(mysql_error(conn));
            return -1;
        }
        m_rowCount = static_cast<uint32_t>(mysql_affected_rows(conn));
        const my_ulonglong id = mysql_insert_id(conn);
        if (id != 0)
            m_insertId = static_cast<uint32_t>(id);
        return 0;
    }

    const unsigned columns = mysql_num_fields(res);
    const MYSQL_FIELD* fields = mysql_fetch_fields(res);
    m_fieldNames.reserve(columns);
    for (unsigned c = 0; c < columns; ++c)
        m_fieldNames.emplace_back(fields && fields[c].name ? fields[c].name : "");
    return 0;
}

int ZnMySqlResult::fetch(MYSQL* conn, MYSQL_RES* res, uint32_t maxRows)
{
    m_rows.clear();
    m_rowCount = 0;
    if (!conn || !res)
        return -1;
    const size_t columns = m_fieldNames.size();
    while (m_rows.size() < maxRows) {
        MYSQL_ROW row = mysql_fetch_row(res);
        if (!row)
            break;
        const unsigned long* lengths = mysql_fetch_lengths(res);
        std::vector<Cell> copy(columns);
        for (size_t c = 0; c < columns; ++c) {
            // The library's lengths, not strlen: cells may hold NUL bytes.
            if (row[c])
                copy[c].emplace(row[c], lengths ? lengths[c] : 0);
        }
        m_rows.push_back(std::move(copy));
    }
    m_rowCount = static_cast<uint32_t>(m_rows.size());
    // A row read as it arrives may fail midway: the link broke or timed out.
    if (m_rows.size() < maxRows && mysql_errno(conn) != 0) {
        setError(mysql_error(conn));
        return -1;
    }
    return 0;
}

const char* ZnMySqlResult::cell(unsigned row, unsigned column) const
{
    const std::string* c = cellText(row, column);
    return c ? c->c_str() : nullptr;
}

const std::string* ZnMySqlResult::cellText(unsigned row, unsigned column) const
{
    if (m_fieldCount <= 0 || row >= m_rowCount || row >= m_rows.size() || column >= m_fieldNames.size())
        return nullptr;
    const Cell& c = m_rows[row][column];
    return c ? &*c : nullptr;
}

const char* ZnMySqlResult::fieldName(unsigned column) const
{
    return column < m_fieldNames.size() ? m_fieldNames[column].c_str() : nullptr;
}
