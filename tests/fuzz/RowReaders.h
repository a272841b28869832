#pragma once

// Both parsers of the row reader over one body: whatever simdjson reads, jsoncpp
// reads the same, and the reader as used (simdjson with jsoncpp behind it) reads
// every body exactly as jsoncpp does. Rows are compared through what records see:
// text, number and presence of every key either parser found.
#include "FuzzCheck.h"
#include "ZnRow.h"
#include "ZnRowEach.h"
#include "ZnRows.h"

#include <string>
#include <string_view>

namespace rowreaders {

inline bool sameRow(const ZnRowView& a, const ZnRowView& b)
{
    if (a.isObject() != b.isObject())
        return false;
    for (const ZnRowView* row : {&a, &b}) {
        for (std::size_t c = 0; c < row->fieldCount(); ++c) {
            const std::string key(row->key(c));
            if (ZnRow::text(a, key.c_str()) != ZnRow::text(b, key.c_str())
                || ZnRow::toInt(a, key.c_str()) != ZnRow::toInt(b, key.c_str())
                || ZnRow::toInt64(a, key.c_str()) != ZnRow::toInt64(b, key.c_str())
                || ZnRow::toBits32(a, key.c_str()) != ZnRow::toBits32(b, key.c_str())
                || ZnRow::has(a, key.c_str()) != ZnRow::has(b, key.c_str()))
                return false;
            int idA = 0;
            int idB = 0;
            if (ZnRow::id(a, key.c_str(), idA) != ZnRow::id(b, key.c_str(), idB) || idA != idB)
                return false;
        }
    }
    return true;
}

inline bool sameRows(const ZnRows& a, const ZnRows& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameRow(a[i], b[i]))
            return false;
    }
    return true;
}

// Aborts on any difference (for the fuzz targets); true when jsoncpp reads the body.
inline bool check(std::string_view body)
{
    ZnRows plain;
    ZnRows fast;
    ZnRows any;
    const bool plainRead = ZnRow::parseArray(body, plain, ZnRow::Reader::Plain);
    if (ZnRow::parseArray(body, fast, ZnRow::Reader::Fast)) {
        FUZZ_CHECK(plainRead);
        FUZZ_CHECK(sameRows(fast, plain));
    }
    FUZZ_CHECK(ZnRow::parseArray(body, any) == plainRead);
    FUZZ_CHECK(sameRows(any, plain));
    // Rows handed on one at a time, as records are filled, read as the kept ones.
    std::size_t seen = 0;
    bool same = true;
    ZnRowEach each([&](const ZnRowView& row) { same = same && seen < any.size() && sameRow(row, any[seen++]); },
                   [&] {
                       seen = 0;
                       same = true;
                   });
    FUZZ_CHECK(ZnRow::parseArray(body, each) == plainRead);
    FUZZ_CHECK(same && seen == any.size());
    return plainRead;
}

// The rows of a list answer that carry a usable id under key: those a list of
// records known by that id holds.
inline std::size_t usableIds(std::string_view body, const char* key)
{
    ZnRows rows;
    std::size_t count = 0;
    if (ZnRow::parseArray(body, rows)) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            int id = 0;
            count += ZnRow::id(rows[i], key, id);
        }
    }
    return count;
}

} // namespace rowreaders
