#pragma once

#include "ZnRowSink.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Json {
class Value;
}
class ZnRowView;

// Reading reply rows without ever throwing: a row that is no object, a missing key
// or a value of an unexpected JSON type reads as empty text (and so as 0).
class ZnRow
{
public:
    // Which parser reads a list answer. Any: simdjson for all but small bodies,
    // and jsoncpp for whatever simdjson refuses (invalid UTF-8 in a name, say), so
    // an answer reads exactly as jsoncpp reads it. Fast and Plain only for tests.
    enum class Reader { Any, Fast, Plain };

    // Bodies below this size are read by jsoncpp: nothing is gained there.
    static constexpr std::size_t kSmallBody = 1024;
    // Nesting the fast reader follows; deeper answers go to jsoncpp, which
    // refuses them past its own limit.
    static constexpr int kMaxDepth = 64;

    // The value as text: strings as they are, numbers and booleans as the answer
    // wrote them (1.250 stays 1.250, true stays true), anything else empty. A row
    // of parse() knows that text only with the body it was parsed from; without
    // it a number reads in its shortest exact form (1.25, 1000 for 1e3).
    static std::string text(const Json::Value& row, const char* key, std::string_view body = {});
    static std::string text(const ZnRowView& row, const char* key);
    static bool has(const Json::Value& row, const char* key);
    static bool has(const ZnRowView& row, const char* key);
    // atoi of a text: leading digits, no digits give 0; a number by its value
    // (1e3 is 1000, -2.9 is -2), true 1 and false 0.
    static int toInt(const Json::Value& row, const char* key);
    static int toInt(const ZnRowView& row, const char* key);
    // The same clamped to 64 bits, for log ids and counts.
    static int64_t toInt64(const ZnRowView& row, const char* key);
    // A 32-bit field that servers send signed or unsigned alike (bit masks): the
    // same reading, clamped to -2^31 .. 2^32-1 rather than to int, taken as its
    // 32-bit pattern, so 4294967295 and -1 are both every bit set.
    static int toBits32(const ZnRowView& row, const char* key);
    // The same for one value, as a row is walked field by field.
    static std::string text(const ZnRowSink::Value& value);
    static int toInt(const ZnRowSink::Value& value);
    static int toBits32(const ZnRowSink::Value& value);
    static int atoi(const std::string& text);
    // A record's id: an integer within int, as a JSON number (a fraction is none)
    // or as decimal text with an optional sign and blanks around it. A missing
    // key, an object, an array, null, true or false, a fraction or any other
    // text gives false: such a row names no record a list could find again.
    static bool id(const ZnRowSink::Value& value, int& out);
    static bool id(const ZnRowView& row, const char* key, int& out);
    static bool id(const Json::Value& row, const char* key, int& out);
    // The same for an XML attribute's text; null is a missing attribute.
    static bool id(const char* text, int& out);
    // A member list as one text (a group's consoles, a region's terminals):
    // blanks alone separate (repeated ones, or ones at either end, name none);
    // each id goes to ids, any other piece as written to unread: written back
    // as a number, it would name another member.
    static void memberIds(const std::string& text, std::vector<int>& ids, std::vector<std::string>& unread);
    // Parses a body without throwing: false when it is no JSON or nested too deep
    // for the reader (its message then goes to error, when given).
    static bool parse(std::string_view body, Json::Value& root, std::string* error = nullptr);
    // Reads a list answer into rows (ZnRows keeps them; a sink of its own reads
    // each row as it comes). False when it is no JSON; a JSON value that is no
    // array gives no rows.
    static bool parseArray(std::string_view body, ZnRowSink& rows, Reader reader = Reader::Any);
    // The same; a body with 64 spare bytes of room past its end is read in place
    // rather than copied.
    static bool parseArray(const std::string& body, ZnRowSink& rows, Reader reader = Reader::Any);
};
