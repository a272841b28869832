#include "ZnNewFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kTries = 16;

std::string base36(unsigned long n)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
        n /= 36;
    } while (n);
    return digits;
}

void closeQuietly(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

ZnNewFile::ZnNewFile(const std::string& target)
{
    const size_t slash = target.rfind('/');
    if (slash == std::string::npos) {
        m_folder = ".";
        m_name = target;
    } else {
        m_folder = slash == 0 ? "/" : target.substr(0, slash);
        m_name = target.substr(slash + 1);
    }
    m_problem = checkTarget(target);
}

ZnNewFile::~ZnNewFile()
{
    cancel();
}

ZnNewFile::Problem ZnNewFile::problemOf(int error)
{
    switch (error) {
    case 0:
        return NoProblem;
    case ENOSPC:
    case EDQUOT:
        return DiskFull;
    case ENAMETOOLONG:
        return PathTooLong;
    default:
        return OtherError;
    }
}

ZnNewFile::Problem ZnNewFile::checkTarget(const std::string& target)
{
    // PATH_MAX counts the terminating zero.
    if (target.size() >= PATH_MAX)
        return PathTooLong;
    const size_t slash = target.rfind('/');
    const size_t name = slash == std::string::npos ? target.size() : target.size() - slash - 1;
    return name > NAME_MAX ? NameTooLong : NoProblem;
}

std::string ZnNewFile::temporaryName(const std::string& name, unsigned long random)
{
    const std::string suffix = "." + base36(random) + ".part";
    size_t keep = std::min(name.size(), size_t(NAME_MAX) - 1 - suffix.size());
    // Never half a UTF-8 character.
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + name.substr(0, keep) + suffix;
}

bool ZnNewFile::fail(int error)
{
    if (m_problem == NoProblem) {
        m_errno = error;
        m_problem = problemOf(error);
    }
    return false;
}

bool ZnNewFile::open()
{
    if (m_problem != NoProblem || m_fd >= 0 || m_dir >= 0)
        return false;
    if (m_name.empty() || m_name == "." || m_name == "..")
        return fail(EISDIR);
    m_dir = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dir < 0)
        return fail(errno);
    // The folder's file system may allow shorter names than most.
    const long nameMax = ::fpathconf(m_dir, _PC_NAME_MAX);
    if (nameMax > 0 && m_name.size() > size_t(nameMax)) {
        m_problem = NameTooLong;
        return false;
    }
    std::random_device random;
    for (int tries = 0; tries < kTries && m_fd < 0; ++tries) {
        m_temp = temporaryName(m_name, random());
        m_fd = ::openat(m_dir, m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temp.clear();
        return fail(errno);
    }
    // The file it replaces keeps its permissions (a settings file the operator
    // made private stays so).
    struct stat earlier;
    if (::fstatat(m_dir, m_name.c_str(), &earlier, 0) == 0 && S_ISREG(earlier.st_mode))
        ::fchmod(m_fd, earlier.st_mode & 07777);
    return true;
}

bool ZnNewFile::write(const void* data, size_t n)
{
    if (m_fd < 0 || m_problem != NoProblem)
        return false;
    const char* bytes = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t done = ::write(m_fd, bytes, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return fail(done < 0 ? errno : ENOSPC);
        bytes += done;
        n -= size_t(done);
    }
    return true;
}

bool ZnNewFile::finish()
{
    if (m_synced)
        return true;
    if (m_fd < 0 || m_problem != NoProblem)
        return false;
    // A full disk or a failing device may show only here.
    if (::fsync(m_fd) != 0) {
        fail(errno);
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return fail(errno);
    m_synced = true;
    return true;
}

bool ZnNewFile::commit()
{
    if (!finish()) {
        cancel();
        return false;
    }
    if (::renameat(m_dir, m_temp.c_str(), m_dir, m_name.c_str()) != 0) {
        fail(errno);
        cancel();
        return false;
    }
    m_temp.clear();
    // The rename itself reaches the disk with the folder.
    ::fsync(m_dir);
    closeQuietly(m_dir);
    return true;
}

bool ZnNewFile::commitAs(const std::string& name)
{
    m_errno = m_problem == NoProblem ? 0 : m_errno;
    if (name.size() > NAME_MAX)
        m_problem = NameTooLong;
    if (name.empty() || name.find('/') != std::string::npos)
        fail(EINVAL);
    if (!finish()) {
        cancel();
        return false;
    }
    int renamed = ::renameat2(m_dir, m_temp.c_str(), m_dir, name.c_str(), RENAME_NOREPLACE);
    if (renamed != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without that rename: a link fails as well where the name is taken.
        renamed = ::linkat(m_dir, m_temp.c_str(), m_dir, name.c_str(), 0);
        if (renamed == 0)
            ::unlinkat(m_dir, m_temp.c_str(), 0);
    }
    if (renamed != 0) {
        if (errno == EEXIST) {
            m_errno = EEXIST;
            return false;
        }
        fail(errno);
        cancel();
        return false;
    }
    m_temp.clear();
    ::fsync(m_dir);
    closeQuietly(m_dir);
    return true;
}

void ZnNewFile::cancel()
{
    closeQuietly(m_fd);
    if (m_dir >= 0 && !m_temp.empty())
        ::unlinkat(m_dir, m_temp.c_str(), 0);
    m_temp.clear();
    closeQuietly(m_dir);
}
