#include "ZnFileNote.h"

#include "ZnNewFile.h"

#include <cerrno>
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

int ZnFileNote::failed(int error)
{
    m_errno = error;
    return -1;
}

int ZnFileNote::open(const char* mode)
{
    close();
    m_errno = 0;
    if (mode && (std::strchr(mode, 'w') || std::strchr(mode, 'a'))) {
        m_new = std::make_unique<ZnNewFile>(m_name);
        if (m_new->open())
            return 0;
        const int error = m_new->error() ? m_new->error() : ENAMETOOLONG;
        m_new.reset();
        return failed(error);
    }
    m_file = std::fopen(m_name, mode);
    return m_file ? 0 : failed(errno);
}

int ZnFileNote::close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    m_new.reset();
    return 0;
}

int ZnFileNote::commit()
{
    if (!m_new)
        return failed(EBADF);
    const bool done = m_new->commit();
    const int error = m_new->error();
    m_new.reset();
    return done ? 0 : failed(error);
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
    if (!m_new || !data)
        return -1;
    if (!m_new->write(tag, kTagLen) || !m_new->write(data, n))
        return failed(m_new->error());
    return 0;
}
