#include "ZnRow.h"

#include "ZnMessageFramer.h"
#include "ZnRowView.h"

#include <json/json.h>
#include <simdjson.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
using Value = ZnRowSink::Value;

// One lookup, no copy of the key: rows of large answers are read many thousand times.
const Json::Value* member(const Json::Value& row, const char* key)
{
    return row.isObject() ? row.find(key, key + std::strlen(key)) : nullptr;
}

// body: the text v was parsed from by ZnRow::parse, so that a number or boolean
// keeps the text it was sent as; empty where that text is not at hand.
Value valueOf(const Json::Value& v, std::string_view body = {})
{
    Value out;
    if (!body.empty() && (v.isNumeric() || v.isBool())) {
        const std::ptrdiff_t start = v.getOffsetStart();
        const std::ptrdiff_t limit = v.getOffsetLimit();
        if (start >= 0 && start < limit && static_cast<std::size_t>(limit) <= body.size())
            out.text = body.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(limit - start));
    }
    switch (v.type()) {
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        out.kind = ZnRowSink::String;
        if (v.getString(&begin, &end) && begin)
            out.text = std::string_view(begin, static_cast<std::size_t>(end - begin));
        break;
    }
    case Json::intValue:
        out.kind = ZnRowSink::Int;
        out.i = v.asLargestInt();
        break;
    case Json::uintValue:
        out.kind = ZnRowSink::UInt;
        out.u = v.asLargestUInt();
        break;
    case Json::realValue:
        out.kind = ZnRowSink::Real;
        out.d = v.asDouble();
        break;
    case Json::booleanValue:
        out.kind = ZnRowSink::Bool;
        out.b = v.asBool();
        break;
    case Json::nullValue:
        break;
    default:
        out.kind = ZnRowSink::Nested;
        break;
    }
    return out;
}

// A value as text: a number or boolean as it was sent where that is known,
// else written out without loss (as the fast and the plain reader alike would).
std::string textOf(const Value& v)
{
    if (v.kind == ZnRowSink::String || (v.kind != ZnRowSink::Null && !v.text.empty()))
        return std::string(v.text);
    switch (v.kind) {
    case ZnRowSink::Int:
        return std::to_string(v.i);
    case ZnRowSink::UInt:
        return std::to_string(v.u);
    case ZnRowSink::Real: {
        // The shortest text that reads back as the same double.
        char buffer[32];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, v.d);
        return written.ec == std::errc() ? std::string(buffer, written.ptr) : std::string();
    }
    case ZnRowSink::Bool:
        return v.b ? "true" : "false";
    default:
        return std::string();
    }
}

// A number's or boolean's integer: its value, not its text (1e3 is 1000, true 1).
int64_t numberOf(const Value& v)
{
    switch (v.kind) {
    case ZnRowSink::Int:
        return v.i;
    case ZnRowSink::UInt:
        return v.u > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(v.u);
    case ZnRowSink::Real:
        // Beyond the range of long long the cast is undefined: such a number reads
        // as the nearest end, and not-a-number as 0.
        if (std::isnan(v.d))
            return 0;
        if (v.d >= 9.2e18)
            return LLONG_MAX;
        if (v.d <= -9.2e18)
            return LLONG_MIN;
        return static_cast<long long>(v.d);
    case ZnRowSink::Bool:
        return v.b ? 1 : 0;
    default:
        return 0;
    }
}

int64_t wideOf(const Value& v)
{
    if (v.kind != ZnRowSink::String)
        return numberOf(v);
    // What strtoll() gives: its reading in base 10, clamped to 64 bits, without
    // a copy of the text; it is read for every number of every row.
    const char* p = v.text.data();
    const char* end = p + v.text.size();
    while (p != end && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    constexpr uint64_t kBeyond = uint64_t(INT64_MAX) + 1; // clamps to either end alike
    uint64_t n = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p)
        n = n > kBeyond / 10 ? kBeyond : std::min(n * 10 + uint64_t(*p - '0'), kBeyond);
    if (n == kBeyond)
        return negative ? INT64_MIN : INT64_MAX;
    return negative ? -static_cast<int64_t>(n) : static_cast<int64_t>(n);
}

int intOf(const Value& v)
{
    const int64_t n = wideOf(v);
    return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : static_cast<int>(n);
}

int bitsOf(const Value& v)
{
    const int64_t n = std::clamp<int64_t>(wideOf(v), INT32_MIN, UINT32_MAX);
    return static_cast<int32_t>(static_cast<uint32_t>(n));
}

bool idOfText(std::string_view text, int& out)
{
    auto p = text.begin();
    const auto end = text.end();
    // isspace() in the "C" locale, without its call for every character.
    const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (p != end && blank(*p))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (p == end || *p < '0' || *p > '9')
        return false;
    long long n = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > INT_MAX + 1LL)
            return false;
    }
    while (p != end && blank(*p))
        ++p;
    if (p != end)
        return false;
    n = negative ? -n : n;
    if (n > INT_MAX || n < INT_MIN)
        return false;
    out = static_cast<int>(n);
    return true;
}

bool idOf(const Value& v, int& out)
{
    switch (v.kind) {
    case ZnRowSink::String:
        return idOfText(v.text, out);
    case ZnRowSink::Int:
        if (v.i < INT_MIN || v.i > INT_MAX)
            return false;
        out = static_cast<int>(v.i);
        return true;
    case ZnRowSink::UInt:
        if (v.u > static_cast<uint64_t>(INT_MAX))
            return false;
        out = static_cast<int>(v.u);
        return true;
    case ZnRowSink::Real:
        // 7.0 is the integer 7; 7.5 and not-a-number are no id.
        if (!(v.d >= INT_MIN && v.d <= INT_MAX) || std::trunc(v.d) != v.d)
            return false;
        out = static_cast<int>(v.d);
        return true;
    default:
        return false;
    }
}

// ---- The fast reader --------------------------------------------------------------
// Every value is read to its end, nested ones too: simdjson's on-demand parser
// checks only what is read, and an answer jsoncpp would refuse must not read here.

namespace od = simdjson::ondemand;

// depth: the value's level as simdjson counts it, the answer's array being 1. The
// parser holds a start for every open level below the limit and no more.
bool readValue(od::value& value, Value& out, int depth);

bool readNested(od::value& value, od::json_type type, int depth)
{
    if (depth >= ZnRow::kMaxDepth)
        return false;
    if (type == od::json_type::array) {
        od::array array;
        if (value.get_array().get(array))
            return false;
        for (auto element : array) {
            od::value v;
            Value ignored;
            if (element.get(v) || !readValue(v, ignored, depth + 1))
                return false;
        }
        return true;
    }
    od::object object;
    if (value.get_object().get(object))
        return false;
    for (auto field : object) {
        od::field f;
        std::string_view key;
        Value ignored;
        if (std::move(field).get(f) || f.unescaped_key().get(key) || !readValue(f.value(), ignored, depth + 1))
            return false;
    }
    return true;
}

// A scalar's text in the answer, without the blanks that simdjson counts to it.
std::string_view rawToken(od::value& value)
{
    std::string_view token = value.raw_json_token();
    while (!token.empty()
           && (token.back() == ' ' || token.back() == '\t' || token.back() == '\n' || token.back() == '\r'))
        token.remove_suffix(1);
    return token;
}

bool readValue(od::value& value, Value& out, int depth)
{
    od::json_type type;
    if (value.type().get(type))
        return false;
    out = Value();
    switch (type) {
    case od::json_type::string:
        out.kind = ZnRowSink::String;
        return !value.get_string().get(out.text);
    case od::json_type::number: {
        out.text = rawToken(value);
        // Typed reads, not get_number(): that hands out 0 for a decimal with more
        // digits than a double holds.
        od::number_type numberType;
        if (value.get_number_type().get(numberType))
            return false;
        switch (numberType) {
        case od::number_type::signed_integer:
            out.kind = ZnRowSink::Int;
            return !value.get_int64().get(out.i);
        case od::number_type::unsigned_integer:
            out.kind = ZnRowSink::UInt;
            return !value.get_uint64().get(out.u);
        default:
            out.kind = ZnRowSink::Real;
            return !value.get_double().get(out.d);
        }
    }
    case od::json_type::boolean:
        out.text = rawToken(value);
        out.kind = ZnRowSink::Bool;
        return !value.get_bool().get(out.b);
    case od::json_type::null: {
        bool isNull = false;
        return !value.is_null().get(isNull) && isNull;
    }
    default:
        out.kind = ZnRowSink::Nested;
        return readNested(value, type, depth);
    }
}

bool readRows(od::parser& parser, simdjson::padded_string_view body, ZnRowSink& rows)
{
    od::document doc;
    od::array array;
    if ((parser.capacity() < body.length() && parser.allocate(body.length(), ZnRow::kMaxDepth))
        || parser.iterate(body).get(doc) || doc.get_array().get(array))
        return false;
    for (auto element : array) {
        od::value row;
        od::json_type type;
        if (element.get(row) || row.type().get(type))
            return false;
        rows.beginRow(type == od::json_type::object);
        if (type != od::json_type::object) {
            Value ignored;
            if (!readValue(row, ignored, 2))
                return false;
            rows.endRow();
            continue;
        }
        od::object object;
        if (row.get_object().get(object))
            return false;
        for (auto field : object) {
            od::field f;
            std::string_view key;
            Value v;
            if (std::move(field).get(f) || f.unescaped_key().get(key) || !readValue(f.value(), v, 3))
                return false;
            rows.addField(key, v);
        }
        rows.endRow();
    }
    // Whatever follows the array is left unread, as jsoncpp leaves it.
    return true;
}

// capacity: the bytes readable from the start of body, its end and the room past it.
bool readFast(std::string_view body, std::size_t capacity, ZnRowSink& rows)
{
    rows.reserveFor(body.size());
    simdjson::padded_string copy;
    simdjson::padded_string_view padded(body.data(), body.size(), capacity);
    if (capacity < body.size() + simdjson::SIMDJSON_PADDING) {
        copy = simdjson::padded_string(body.data(), body.size());
        padded = copy;
    }
    // The parser's buffers stay with the thread for the next answer unless a large
    // one needed them, so a list read again and again takes no new memory. A read
    // started while the kept parser is busy (from a sink) gets a parser of its own.
    thread_local od::parser kept;
    thread_local bool keptBusy = false;
    if (keptBusy || body.size() > ZnMessageFramer::kKeptCapacity) {
        od::parser fresh;
        return readRows(fresh, padded, rows);
    }
    keptBusy = true;
    const bool read = readRows(kept, padded, rows);
    keptBusy = false;
    return read;
}

bool readPlain(std::string_view body, ZnRowSink& rows)
{
    Json::Value root;
    if (!ZnRow::parse(body, root))
        return false;
    if (!root.isArray())
        return true;
    for (const Json::Value& row : root) {
        rows.beginRow(row.isObject());
        if (row.isObject()) {
            for (auto it = row.begin(); it != row.end(); ++it) {
                const char* end = nullptr;
                const char* key = it.memberName(&end);
                rows.addField(std::string_view(key, static_cast<std::size_t>(end - key)), valueOf(*it, body));
            }
        }
        rows.endRow();
    }
    return true;
}
}

std::string ZnRow::text(const Json::Value& row, const char* key, std::string_view body)
{
    const Json::Value* found = member(row, key);
    return found ? textOf(valueOf(*found, body)) : std::string();
}

std::string ZnRow::text(const ZnRowView& row, const char* key)
{
    Value v;
    return row.find(key, v) ? textOf(v) : std::string();
}

std::string ZnRow::text(const Value& value)
{
    return textOf(value);
}

int ZnRow::toInt(const Value& value)
{
    return intOf(value);
}

int ZnRow::toBits32(const Value& value)
{
    return bitsOf(value);
}

int ZnRow::toBits32(const ZnRowView& row, const char* key)
{
    Value v;
    return row.find(key, v) ? bitsOf(v) : 0;
}

bool ZnRow::has(const Json::Value& row, const char* key)
{
    return row.isObject() && row.isMember(key);
}

bool ZnRow::has(const ZnRowView& row, const char* key)
{
    Value v;
    return row.find(key, v);
}

int ZnRow::toInt(const Json::Value& row, const char* key)
{
    const Json::Value* found = member(row, key);
    return found ? intOf(valueOf(*found)) : 0;
}

int ZnRow::toInt(const ZnRowView& row, const char* key)
{
    Value v;
    return row.find(key, v) ? intOf(v) : 0;
}

int64_t ZnRow::toInt64(const ZnRowView& row, const char* key)
{
    Value v;
    return row.find(key, v) ? wideOf(v) : 0;
}

bool ZnRow::id(const Value& value, int& out)
{
    return idOf(value, out);
}

bool ZnRow::id(const ZnRowView& row, const char* key, int& out)
{
    Value v;
    return row.find(key, v) && idOf(v, out);
}

bool ZnRow::id(const Json::Value& row, const char* key, int& out)
{
    const Json::Value* found = member(row, key);
    return found && idOf(valueOf(*found), out);
}

bool ZnRow::id(const char* text, int& out)
{
    return text && idOfText(text, out);
}

void ZnRow::memberIds(const std::string& text, std::vector<int>& ids, std::vector<std::string>& unread)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view piece(text.data() + start, end - start);
        int id = 0;
        if (idOfText(piece, id))
            ids.push_back(id);
        else if (!piece.empty())
            unread.emplace_back(piece);
        start = end + 1;
    }
}

int ZnRow::atoi(const std::string& text)
{
    // strtol with clamping: atoi itself is undefined on overflow.
    long v = std::strtol(text.c_str(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

bool ZnRow::parse(std::string_view body, Json::Value& root, std::string* error)
{
    // One reader per thread: each new one allocates its stacks, and answers are read
    // many times over. parse() starts afresh, even after a throw.
    thread_local Json::Reader reader;
    try {
        if (reader.parse(body.data(), body.data() + body.size(), root))
            return true;
        if (error)
            *error = reader.getFormattedErrorMessages();
    } catch (const std::exception& e) {
        // The reader throws rather than fail on nesting past its stack limit.
        if (error)
            *error = e.what();
    }
    root = Json::Value();
    return false;
}

namespace {
bool parseAny(std::string_view body, std::size_t capacity, ZnRowSink& rows, ZnRow::Reader reader)
{
    rows.clear();
    const bool fast =
        reader == ZnRow::Reader::Fast || (reader == ZnRow::Reader::Any && body.size() >= ZnRow::kSmallBody);
    if (fast && readFast(body, capacity, rows))
        return true;
    rows.clear();
    return reader != ZnRow::Reader::Fast && readPlain(body, rows);
}
}

bool ZnRow::parseArray(std::string_view body, ZnRowSink& rows, Reader reader)
{
    return parseAny(body, body.size(), rows, reader);
}

bool ZnRow::parseArray(const std::string& body, ZnRowSink& rows, Reader reader)
{
    return parseAny(body, body.capacity(), rows, reader);
}
