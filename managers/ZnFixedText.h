#pragma once

#include <cstddef>
#include <string>

// Copying text into the fixed name fields of the task records.
namespace ZnFixedText {

// Zeroes dst and keeps as much of text as fits before the closing zero, cut before
// a UTF-8 continuation byte so that no character is split.
void copy(char* dst, size_t size, const std::string& text);

} // namespace ZnFixedText
