#pragma once

#include "ZnRowSink.h"

#include <cstddef>
#include <string_view>

class ZnRows;

// One row of a list answer read by ZnRow, looked up with ZnRow::text, toInt and
// has, or walked field by field. It views either a row kept in ZnRows or the
// fields of the row being read; valid as long as those are.
class ZnRowView
{
public:
    using Value = ZnRowSink::Value;
    using Field = ZnRowSink::Field;

    ZnRowView(const ZnRows* rows, std::size_t row) : m_rows(rows), m_row(row) {}
    ZnRowView(const Field* fields, std::size_t count, bool object) : m_fields(fields), m_row(count), m_object(object) {}

    bool isObject() const;
    // The fields in the order of the answer, repeated keys included.
    std::size_t fieldCount() const;
    std::string_view key(std::size_t column) const;
    Value value(std::size_t column) const;
    // The value of a key; a repeated key gives its last value, as a JSON object
    // keeps it.
    bool find(std::string_view key, Value& out) const;

private:
    const ZnRows* m_rows = nullptr;
    const Field* m_fields = nullptr;
    std::size_t m_row; // the row in m_rows, else the number of m_fields
    bool m_object = false;
};
