#include "ZnRows.h"

#include <cstring>

bool ZnRowView::isObject() const
{
    return m_rows ? m_rows->isObject(m_row) : m_object;
}

std::size_t ZnRowView::fieldCount() const
{
    return m_rows ? m_rows->fieldCount(m_row) : m_row;
}

std::string_view ZnRowView::key(std::size_t column) const
{
    return m_rows ? m_rows->key(m_row, column) : m_fields[column].key;
}

ZnRowView::Value ZnRowView::value(std::size_t column) const
{
    return m_rows ? m_rows->value(m_row, column) : m_fields[column].value;
}

bool ZnRowView::find(std::string_view key, Value& out) const
{
    if (m_rows)
        return m_rows->find(m_row, key, out);
    for (std::size_t i = m_row; i-- > 0;) {
        if (m_fields[i].key == key) {
            out = m_fields[i].value;
            return true;
        }
    }
    return false;
}

void ZnRows::clear()
{
    m_rows.clear();
    m_fields.clear();
    m_text.clear();
}

void ZnRows::reserveFor(std::size_t bodySize)
{
    // A field takes at least about a dozen bytes of JSON; texts never grow.
    m_fields.reserve(bodySize / 12);
    m_text.reserve(bodySize);
}

void ZnRows::beginRow(bool object)
{
    m_rows.push_back(Row{static_cast<uint32_t>(m_fields.size()), 0, object});
}

uint32_t ZnRows::keep(std::string_view text)
{
    const auto at = static_cast<uint32_t>(m_text.size());
    m_text.append(text.data(), text.size());
    return at;
}

// Rows of an answer mostly repeat the keys of the row before, in the same order:
// such a key is kept once.
uint32_t ZnRows::keepKey(std::string_view key)
{
    if (m_rows.size() >= 2) {
        const Row& previous = m_rows[m_rows.size() - 2];
        const uint32_t column = m_rows.back().count;
        if (column < previous.count) {
            const Field& f = m_fields[previous.first + column];
            if (f.keyLength == key.size() && std::memcmp(m_text.data() + f.key, key.data(), key.size()) == 0)
                return f.key;
        }
    }
    return keep(key);
}

void ZnRows::addField(std::string_view key, const Value& value)
{
    if (m_rows.empty() || !m_rows.back().object)
        return;
    Field f;
    f.key = keepKey(key);
    f.keyLength = static_cast<uint32_t>(key.size());
    f.kind = value.kind;
    f.sent = kNoText;
    if (value.kind != String && value.kind != Null && !value.text.empty()) {
        f.sent = keep(value.text);
        m_text.push_back('\0');
    }
    switch (value.kind) {
    case String:
        f.text.at = keep(value.text);
        f.text.length = static_cast<uint32_t>(value.text.size());
        break;
    case Int:
        f.i = value.i;
        break;
    case UInt:
        f.u = value.u;
        break;
    case Real:
        f.d = value.d;
        break;
    case Bool:
        f.b = value.b;
        break;
    default:
        f.u = 0;
        break;
    }
    m_fields.push_back(f);
    ++m_rows.back().count;
}

std::string_view ZnRows::key(std::size_t row, std::size_t column) const
{
    const Field& f = m_fields[m_rows[row].first + column];
    return std::string_view(m_text.data() + f.key, f.keyLength);
}

ZnRows::Value ZnRows::value(std::size_t row, std::size_t column) const
{
    return valueOf(m_fields[m_rows[row].first + column]);
}

ZnRows::Value ZnRows::valueOf(const Field& f) const
{
    Value out;
    out.kind = f.kind;
    if (f.sent != kNoText)
        out.text = std::string_view(m_text.data() + f.sent);
    switch (f.kind) {
    case String:
        out.text = std::string_view(m_text.data() + f.text.at, f.text.length);
        break;
    case Int:
        out.i = f.i;
        break;
    case UInt:
        out.u = f.u;
        break;
    case Real:
        out.d = f.d;
        break;
    case Bool:
        out.b = f.b;
        break;
    default:
        break;
    }
    return out;
}

bool ZnRows::find(std::size_t row, std::string_view key, Value& out) const
{
    const Row& r = m_rows[row];
    for (uint32_t i = r.first + r.count; i-- > r.first;) {
        const Field& f = m_fields[i];
        if (f.keyLength == key.size() && std::memcmp(m_text.data() + f.key, key.data(), key.size()) == 0) {
            out = valueOf(f);
            return true;
        }
    }
    return false;
}
