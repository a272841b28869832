#include "ZnRow.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <json/json.h>

namespace {
// One lookup, no copy of the key: rows of large answers are read many thousand times.
const Json::Value* member(const Json::Value& row, const char* key)
{
    return row.isObject() ? row.find(key, key + std::strlen(key)) : nullptr;
}
}

std::string ZnRow::text(const Json::Value& row, const char* key)
{
    const Json::Value* found = member(row, key);
    if (!found)
        return std::string();
    const Json::Value& v = *found;
    switch (v.type()) {
    case Json::stringValue:
        return v.asString();
    case Json::intValue:
        return std::to_string(v.asLargestInt());
    case Json::uintValue:
        return std::to_string(v.asLargestUInt());
    case Json::realValue: {
        // Beyond the range of long long the cast is undefined: such a number reads
        // as the nearest end, and not-a-number as empty.
        const double d = v.asDouble();
        if (std::isnan(d))
            return std::string();
        if (d >= 9.2e18)
            return std::to_string(LLONG_MAX);
        if (d <= -9.2e18)
            return std::to_string(LLONG_MIN);
        return std::to_string(static_cast<long long>(d));
    }
    case Json::booleanValue:
        return v.asBool() ? "1" : "0";
    default:
        return std::string();
    }
}

bool ZnRow::has(const Json::Value& row, const char* key)
{
    return row.isObject() && row.isMember(key);
}

int ZnRow::toInt(const Json::Value& row, const char* key)
{
    const Json::Value* found = member(row, key);
    if (found && found->isString()) {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (!found->getString(&begin, &end) || !begin)
            return 0;
        while (begin != end && std::isspace(static_cast<unsigned char>(*begin)))
            ++begin;
        // Past 31 characters a number only overflows; strtol clamps it the same way.
        char digits[32];
        const size_t n = std::min<size_t>(static_cast<size_t>(end - begin), sizeof(digits) - 1);
        std::memcpy(digits, begin, n);
        digits[n] = '\0';
        long v = std::strtol(digits, nullptr, 10);
        return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
    }
    return found ? atoi(text(row, key)) : 0;
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

bool ZnRow::parse(const std::string& body, Json::Value& root, std::string* error)
{
    Json::Reader reader;
    try {
        if (reader.parse(body, root))
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

bool ZnRow::parseArray(const std::string& body, Json::Value& rows)
{
    Json::Value root;
    rows = Json::Value(Json::arrayValue);
    if (!parse(body, root))
        return false;
    if (root.isArray())
        rows.swap(root); // a copy would duplicate the whole tree
    return true;
}
