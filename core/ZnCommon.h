#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Small text helpers shared by the managers and the pages. The helpers over
// QTableWidget are in the shell kit's ZnCommonTable.h.
namespace ZnCommon {

// GBK <-> UTF-8 through iconv. out is zeroed, then filled with whole characters and
// always ends in a zero byte, so it needs one byte more than the text. Returns the
// bytes written (the zero not counted), or -1 when the converter cannot be opened,
// the input holds an invalid or incomplete sequence, or out is too small; out then
// holds the whole characters converted so far.
int gbkToUtf8(const char* in, size_t inLength, char* out, size_t outSize);
int utf8ToGbk(const char* in, size_t inLength, char* out, size_t outSize);

// Decoded with the locale codec (UTF-8 once start-up has set it); null gives "".
QString fromLocal8Bit(const char* text);

// Local time as "year/month/day hour:mm:ss" without leading zeros in the first four;
// "1900-01-01 00:00:00" when the time cannot be converted.
std::string formatTime(int32_t seconds);
// bytes / 1048576 in single precision as "%0.2fMB".
std::string formatSizeMB(uint64_t bytes);
// Whole percent of done in total, 0 to 100 (done is clamped to 0..total; 0 when
// total is not positive). Exact for every 64-bit size: done * 100 overflows past
// 92 PB, which a length read from a peer can claim.
int percentOf(int64_t done, int64_t total);
// "hh:mm:ss"; the hours are not cut, so 100 hours give "100:00:00".
std::string formatDuration(uint32_t seconds);
// The part after the last "/" (a backslash is no separator), or the whole path.
std::string fileNameFromPath(const std::string& path);

// Appends the pieces between separators. Inner and leading empty pieces are kept;
// a trailing separator adds no empty piece; an empty text adds nothing. An empty
// separator appends the text whole.
void splitString(const std::string& text, std::vector<std::string>& out, const std::string& separator);
// Reads a decimal int the way atoi does, but a number beyond int is clamped to
// its end (atoi itself is undefined there). Null reads as 0.
int atoiClamped(const char* text);
// splitString, each piece read by atoiClamped.
void parseIntList(const std::string& text, std::vector<int>& out, const std::string& separator);

// False when the name holds any of / \ : * ? " < > | ' &.
bool isValidName(const std::string& name);
// Seeds rand() with the current time at every call; returns 0 to 10.
int randomIndex();

template <typename T>
T pickByEquality(int a, int b, const T& x, const T& y)
{
    return a == b ? x : y;
}

} // namespace ZnCommon
