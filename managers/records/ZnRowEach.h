#pragma once

#include "ZnRowSink.h"
#include "ZnRowView.h"

#include <functional>
#include <utility>
#include <vector>

// Reads a list answer without keeping it: each row goes to onRow as soon as it
// has been read, and onClear undoes every row taken when the answer is read again
// from its start. A record filled from the view copies what it keeps.
class ZnRowEach : public ZnRowSink
{
public:
    ZnRowEach(std::function<void(const ZnRowView&)> onRow, std::function<void()> onClear)
        : m_onRow(std::move(onRow)), m_onClear(std::move(onClear))
    {}

    void clear() override
    {
        m_fields.clear();
        if (m_onClear)
            m_onClear();
    }
    void beginRow(bool object) override
    {
        m_fields.clear();
        m_object = object;
    }
    void addField(std::string_view key, const Value& value) override
    {
        if (m_object)
            m_fields.push_back(Field{key, value});
    }
    void endRow() override
    {
        if (m_onRow)
            m_onRow(ZnRowView(m_fields.data(), m_fields.size(), m_object));
    }

private:
    std::function<void(const ZnRowView&)> m_onRow;
    std::function<void()> m_onClear;
    std::vector<Field> m_fields; // the row being read; its room is kept for the next
    bool m_object = false;
};
