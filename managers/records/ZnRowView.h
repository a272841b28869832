#pragma once

#include <cstddef>

class ZnRows;

// One row of a list answer read by ZnRow, looked up with ZnRow::text, toInt and
// has. Valid as long as the rows it belongs to.
class ZnRowView
{
public:
    ZnRowView(const ZnRows* rows, std::size_t row) : m_rows(rows), m_row(row) {}

    const ZnRows& rows() const { return *m_rows; }
    std::size_t index() const { return m_row; }
    bool isObject() const;

private:
    const ZnRows* m_rows;
    std::size_t m_row;
};
