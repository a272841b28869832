#include "ZnCommon.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iconv.h>

namespace ZnCommon {

namespace {

int convert(const char* to, const char* from, const char* in, size_t inLength, char* out, size_t outSize)
{
    if (!out || outSize == 0)
        return -1;
    std::memset(out, 0, outSize);
    if (!in && inLength > 0)
        return -1;

    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return -1;
    // iconv takes a non-const input pointer but does not write through it.
    char* inPtr = const_cast<char*>(in);
    size_t inLeft = inLength;
    char* outPtr = out;
    // One byte stays free for the terminating zero; iconv itself only ever writes
    // whole characters, so a short buffer never ends in half a character.
    size_t outLeft = std::min(outSize - 1, static_cast<size_t>(INT_MAX));
    int result = -1;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1)
        && iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1))
        result = static_cast<int>(outPtr - out);
    iconv_close(cd);
    return result;
}

} // namespace

int gbkToUtf8(const char* in, size_t inLength, char* out, size_t outSize)
{
    return convert("utf-8", "gbk", in, inLength, out, outSize);
}

int utf8ToGbk(const char* in, size_t inLength, char* out, size_t outSize)
{
    return convert("gbk", "utf-8", in, inLength, out, outSize);
}

QString fromLocal8Bit(const char* text)
{
    return text ? QString::fromLocal8Bit(text) : QString();
}

std::string formatTime(int32_t seconds)
{
    const time_t t = seconds;
    struct tm local;
    if (!localtime_r(&t, &local))
        return "1900-01-01 00:00:00";
    char buf[96];
    std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

std::string formatSizeMB(uint64_t bytes)
{
    const float mb = static_cast<float>(bytes) * (1.0f / 1048576.0f);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%0.2fMB", static_cast<double>(mb));
    return buf;
}

int percentOf(int64_t done, int64_t total)
{
    if (total <= 0 || done <= 0)
        return 0;
    if (done >= total)
        return 100;
    // The two decimal digits of done / total, one at a time: the remainder stays
    // below total (< 2^63), so adding it up ten times never passes 2^64.
    const uint64_t t = static_cast<uint64_t>(total);
    uint64_t rest = static_cast<uint64_t>(done);
    int percent = 0;
    for (int digit = 0; digit < 2; ++digit) {
        uint64_t times10 = 0;
        int q = 0;
        for (int i = 0; i < 10; ++i) {
            times10 += rest;
            if (times10 >= t) {
                times10 -= t;
                ++q;
            }
        }
        percent = percent * 10 + q;
        rest = times10;
    }
    return percent;
}

std::string formatDuration(uint32_t seconds)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    return buf;
}

std::string fileNameFromPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void splitString(const std::string& text, std::vector<std::string>& out, const std::string& separator)
{
    if (separator.empty()) {
        if (!text.empty())
            out.push_back(text);
        return;
    }
    size_t start = 0;
    for (size_t pos = text.find(separator); pos != std::string::npos; pos = text.find(separator, start)) {
        out.push_back(text.substr(start, pos - start));
        start = pos + separator.size();
    }
    if (start < text.size())
        out.push_back(text.substr(start));
}

void parseIntList(const std::string& text, std::vector<int>& out, const std::string& separator)
{
    std::vector<std::string> pieces;
    splitString(text, pieces, separator);
    for (const std::string& p : pieces)
        out.push_back(atoiClamped(p.c_str()));
}

int atoiClamped(const char* text)
{
    if (!text)
        return 0;
    const long v = std::strtol(text, nullptr, 10);
    return static_cast<int>(v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : v));
}

bool isValidName(const std::string& name)
{
    return name.find_first_of("/\\:*?\"<>|'&") == std::string::npos;
}

int randomIndex()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return std::rand() % 11;
}

} // namespace ZnCommon
