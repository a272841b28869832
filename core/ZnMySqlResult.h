#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <mysql.h>

// A whole result set copied out of the client library, so that the library's
// result can be freed at once and the caller reads rows and columns at leisure.
// A result object may be reused: every store() starts from a clean slate.
class ZnMySqlResult
{
public:
    ZnMySqlResult() = default;
    virtual ~ZnMySqlResult();

    // Copies res (or, when res is null, the outcome of a statement without rows).
    int store(MYSQL* conn, MYSQL_RES* res);
    // A result read in parts: begin() takes the columns of res (or the outcome of
    // a statement without rows), each fetch() replaces the rows by at most
    // maxRows further ones (fewer at the end). 0, or -1 when reading failed.
    int begin(MYSQL* conn, MYSQL_RES* res);
    int fetch(MYSQL* conn, MYSQL_RES* res, uint32_t maxRows);
    void clear();

    // The cell text, NUL-terminated; null for a NULL value or outside the result.
    const char* cell(unsigned row, unsigned column) const;
    // The whole cell, NUL bytes and what follows them included; null as cell().
    const std::string* cellText(unsigned row, unsigned column) const;
    const char* fieldName(unsigned column) const;

    // Rows copied, or the affected rows of a statement without result set.
    uint32_t rowCount() const { return m_rowCount; }
    uint32_t columnCount() const { return static_cast<uint32_t>(m_fieldNames.size()); }
    int fieldCount() const { return m_fieldCount; }
    uint32_t insertId() const { return m_insertId; }
    // The last error message, or null.
    const char* error() const { return m_error ? m_error->c_str() : nullptr; }
    void setError(const char* text);

private:
    using Cell = std::optional<std::string>;
    std::vector<std::vector<Cell>> m_rows;
    uint32_t m_rowCount = 0;
    std::vector<std::string> m_fieldNames;
    int m_fieldCount = 0;
    std::optional<std::string> m_error;
    uint32_t m_insertId = 0;
};
