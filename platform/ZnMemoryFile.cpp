#include "ZnMemoryFile.h"

#include <atomic>
#include <cerrno>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

ZnMemoryFile::ZnMemoryFile() : m_fd(::memfd_create("zn-memory-file", MFD_CLOEXEC)) {}

ZnMemoryFile::~ZnMemoryFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string ZnMemoryFile::path() const
{
    return m_fd >= 0 ? "/proc/self/fd/" + std::to_string(m_fd) : std::string();
}

bool ZnMemoryFile::append(const void* data, size_t size)
{
    if (m_fd < 0) {
        errno = EBADF;
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            errno = n < 0 ? errno : ENOMEM;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ZnMemoryFile::setData(const char* data, size_t size)
{
    if (m_fd < 0 || ::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0 || !append(data, size))
        return false;
    // A millisecond apart: file times are told to the millisecond.
    static std::atomic<long long> stamps{0};
    const long long ms = ++stamps;
    const struct timespec time = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
    const struct timespec times[2] = {time, time};
    return ::futimens(m_fd, times) == 0;
}
