#pragma once

#include <string>

namespace Json { class Value; }

// Reading reply rows without ever throwing: a row that is no object, a missing key
// or a value of an unexpected JSON type reads as empty text (and so as 0).
class ZnRow
{
public:
    // The value as text: strings as they are, numbers and booleans in decimal,
    // anything else empty.
    static std::string text(const Json::Value& row, const char* key);
    static bool has(const Json::Value& row, const char* key);
    // atoi of the text: leading digits, no digits give 0.
    static int toInt(const Json::Value& row, const char* key);
    static int atoi(const std::string& text);
    // Parses a body without throwing: false when it is no JSON or nested too deep
    // for the reader (its message then goes to error, when given).
    static bool parse(const std::string& body, Json::Value& root, std::string* error = nullptr);
    // Parses a reply body. False when it is no JSON; a JSON value that is no array
    // leaves rows an empty array.
    static bool parseArray(const std::string& body, Json::Value& rows);
};
