#include "ZnFileNote.h"

#include <cstring>

namespace {
const char kTag[] = "classb:";
const char kTrailerTag[] = "classw:";
constexpr size_t kTagLen = sizeof kTag - 1;
static_assert(sizeof kTrailerTag - 1 == kTagLen, "tags are of one length");
}

ZnFileNote::ZnFileNote(const char* name)
{
    if (name)
        std::strncpy(m_name, name, sizeof m_name - 1);
}

ZnFileNote::~ZnFileNote()
{
    close();
}

int ZnFileNote::open(const char* mode)
{
    close();
    m_file = std::fopen(m_name, mode);
    return m_file ? 0 : -1;
}

int ZnFileNote::close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    return 0;
}

bool ZnFileNote::checkTag()
{
    char tag[kTagLen];
    return std::fread(tag, 1, kTagLen, m_file) == kTagLen && std::memcmp(tag, kTag, kTagLen) == 0;
}

int ZnFileNote::readRecord(void* data, size_t n)
{
    if (!m_file || !data || !checkTag())
        return -1;
    const size_t got = std::fread(data, 1, n, m_file);
    return got == n || std::feof(m_file) ? 0 : -1;
}

int ZnFileNote::writeRecord(const void* data, size_t n)
{
    return write(kTag, data, n);
}

int ZnFileNote::writeTrailer(const void* data, size_t n)
{
    return write(kTrailerTag, data, n);
}

int ZnFileNote::write(const char* tag, const void* data, size_t n)
{
    if (!m_file || !data)
        return -1;
    if (std::fwrite(tag, 1, kTagLen, m_file) != kTagLen || std::fwrite(data, 1, n, m_file) != n)
        return -1;
    return 0;
}
