#include "ZnIdRows.h"

#include <QtGlobal>

ZnIdRows::~ZnIdRows()
{
    if (m_count)
        qWarning("%s: %zu bad rows left out, no usable \"%s\" (the first is row %zu)", m_list, m_count, m_key, m_first);
}

void ZnIdRows::leftOut(std::size_t row)
{
    if (m_count++ == 0)
        m_first = row;
}
