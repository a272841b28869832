#pragma once

#include "ZnRowSink.h"
#include "ZnRowView.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The rows of a list answer as ZnRow read them, kept: per row its fields in the
// order of the answer, every text unescaped into one block. Built once, then only
// read; a value's text is valid as long as the rows are.
class ZnRows : public ZnRowSink
{
public:
    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    ZnRowView operator[](std::size_t row) const { return ZnRowView(this, row); }

    void clear() override;
    // Room for an answer of about this many bytes, so that reading it moves nothing.
    void reserveFor(std::size_t bodySize) override;
    void beginRow(bool object) override;
    // Adds a field to the last row; the texts are copied.
    void addField(std::string_view key, const Value& value) override;

    bool isObject(std::size_t row) const { return m_rows[row].object; }
    // The keys of a row in the order of the answer, repeated ones included.
    std::size_t fieldCount(std::size_t row) const { return m_rows[row].count; }
    std::string_view key(std::size_t row, std::size_t column) const;
    Value value(std::size_t row, std::size_t column) const;
    // The value of a key in a row; a repeated key gives its last value, as a
    // JSON object keeps it.
    bool find(std::size_t row, std::string_view key, Value& out) const;

private:
    // 24 bytes: a 100,000-row answer has more than a million fields.
    struct Field
    {
        uint32_t key;
        uint32_t keyLength;
        Kind kind;
        // A number's or boolean's text as sent, ended by a NUL in the block (no
        // such text holds one); kNoText where it was not known.
        uint32_t sent;
        union
        {
            int64_t i;
            uint64_t u;
            double d;
            bool b;
            struct
            {
                uint32_t at;
                uint32_t length;
            } text;
        };
    };
    struct Row
    {
        uint32_t first;
        uint32_t count;
        bool object;
    };

    Value valueOf(const Field& f) const;
    static constexpr uint32_t kNoText = UINT32_MAX;

    uint32_t keep(std::string_view text);
    uint32_t keepKey(std::string_view key);

    std::vector<Row> m_rows;
    std::vector<Field> m_fields;
    std::string m_text;
};
