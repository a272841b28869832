#pragma once

#include <cstddef>
#include <string>

// Copies into the fixed, zero-terminated name fields of the level and user records.
class ZnFixedText
{
public:
    // Copies as much of text as fits in size - 1 bytes, never cutting a UTF-8
    // character in two, and ends it with a zero byte. size 0 writes nothing.
    static void copy(char* out, size_t size, const std::string& text);
};
