#pragma once

#include "ZnRow.h"
#include "ZnRows.h"

#include <cstddef>
#include <list>
#include <string>

// The rows of one list answer (or push) of records known by an id that were left
// out for want of a usable id (ZnRow::id): listed, such a row became a record with
// id 0 that the server never named, and a change to it went out for that id. They
// are logged in one line once the answer is read, however many there are.
class ZnIdRows
{
public:
    // list: the server's table, key: the id's key, as the log names them.
    ZnIdRows(const char* list, const char* key) : m_list(list), m_key(key) {}
    ~ZnIdRows();
    ZnIdRows(const ZnIdRows&) = delete;
    ZnIdRows& operator=(const ZnIdRows&) = delete;

    void leftOut(std::size_t row);
    // The answer is read again from its start.
    void clear() { m_count = 0; }
    std::size_t count() const { return m_count; }

    // Reads a list answer into records: fill(row, record) fills a default record
    // and is false when the row has none of the id read by ZnRow::id, which then
    // leaves the row out. False when the body is no JSON.
    template <class Record, class Fill>
    static bool read(const std::string& body, const char* list, const char* key, std::list<Record>& out, Fill fill)
    {
        ZnRows rows;
        if (!ZnRow::parseArray(body, rows))
            return false;
        ZnIdRows bad(list, key);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            Record record;
            if (fill(rows[i], record))
                out.push_back(record);
            else
                bad.leftOut(i);
        }
        return true;
    }

private:
    const char* m_list;
    const char* m_key;
    std::size_t m_count = 0;
    std::size_t m_first = 0;
};
