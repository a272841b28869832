#include "ZnRow.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <json/json.h>

std::string ZnRow::text(const Json::Value& row, const char* key)
{
    if (!row.isObject() || !row.isMember(key))
        return std::string();
    const Json::Value& v = row[key];
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
    return atoi(text(row, key));
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

bool ZnRow::parseArray(const std::string& body, Json::Value& rows)
{
    Json::Value root;
    Json::Reader reader;
    rows = Json::Value(Json::arrayValue);
    if (!reader.parse(body, root))
        return false;
    if (root.isArray())
        rows.swap(root); // a copy would duplicate the whole tree
    return true;
}
