#include "ZnNewFile.h"

#include "ZnEndCleanup.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kTries = 16;
// As many links as the kernel follows in one path.
constexpr int kMaxLinks = 40;

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

bool writeAll(int fd, const void* data, size_t n)
{
    const char* bytes = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t done = ::write(fd, bytes, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            errno = done < 0 ? errno : ENOSPC;
            return false;
        }
        bytes += done;
        n -= size_t(done);
    }
    return true;
}

// A new file of a hidden name made from name in the folder dir (its name in
// made), registered for the clean-up at a signal; -1 with errno when none can be.
int makeHidden(int dir, const std::string& name, size_t nameMax, int flags, mode_t mode, std::string* made, int* entry)
{
    std::random_device random;
    int fd = -1;
    for (int tries = 0; tries < kTries && fd < 0; ++tries) {
        *made = ZnNewFile::temporaryName(name, random(), nameMax);
        fd = ::openat(dir, made->c_str(), flags | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        const int error = errno;
        made->clear();
        errno = error;
        return -1;
    }
    *entry = ZnEndCleanup::addFile(dir, made->c_str());
    return fd;
}

// A file of no name in the folder dir, open for reading and writing by this
// process alone: whatever ends the process, nothing of it stays. -1 with errno
// where the folder takes no new file.
int namelessFile(int dir, const std::string& name, size_t nameMax)
{
    const int fd = ::openat(dir, ".", O_RDWR | O_TMPFILE | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR))
        return fd;
    // A file system without such files: a hidden name, dropped at once.
    std::string made;
    int entry = -1;
    const int named = makeHidden(dir, name, nameMax, O_RDWR, 0600, &made, &entry);
    if (named >= 0)
        ::unlinkat(dir, made.c_str(), 0);
    ZnEndCleanup::remove(entry);
    return named;
}

// The names of a file's extended attributes; false when they cannot be told.
bool attributeNames(const std::string& path, int fd, std::vector<std::string>* names)
{
    for (int tries = 0; tries < 4; ++tries) {
        const ssize_t size = fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::llistxattr(path.c_str(), nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        std::string list(size_t(size), '\0');
        const ssize_t got =
            fd >= 0 ? ::flistxattr(fd, &list[0], list.size()) : ::llistxattr(path.c_str(), &list[0], list.size());
        if (got < 0 && errno == ERANGE)
            continue; // one was added meanwhile
        if (got < 0)
            return false;
        for (size_t at = 0; at < size_t(got); at += names->back().size() + 1)
            names->emplace_back(list.c_str() + at);
        return true;
    }
    return false;
}

// The value of an attribute; false when it cannot be read.
bool attribute(const std::string& path, int fd, const std::string& name, std::string* value)
{
    for (int tries = 0; tries < 4; ++tries) {
        const ssize_t size =
            fd >= 0 ? ::fgetxattr(fd, name.c_str(), nullptr, 0) : ::lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        value->assign(size_t(size), '\0');
        const ssize_t got = fd >= 0 ? ::fgetxattr(fd, name.c_str(), &(*value)[0], value->size())
                                    : ::lgetxattr(path.c_str(), name.c_str(), &(*value)[0], value->size());
        if (got >= 0) {
            value->resize(size_t(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    return false;
}
} // namespace

ZnNewFile::ZnNewFile(const std::string& target, Use use) : m_use(use)
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

ZnNewFile::Problem ZnNewFile::checkTarget(const std::string& target)
{
    // PATH_MAX counts the terminating zero.
    if (target.size() >= PATH_MAX)
        return PathTooLong;
    const size_t slash = target.rfind('/');
    const size_t name = slash == std::string::npos ? target.size() : target.size() - slash - 1;
    return name > NAME_MAX ? NameTooLong : NoProblem;
}

std::string ZnNewFile::temporaryName(const std::string& name, unsigned long random, size_t nameMax)
{
    const std::string suffix = "." + base36(random) + ".part";
    size_t keep = std::min(name.size(), nameMax > suffix.size() + 1 ? nameMax - 1 - suffix.size() : 0);
    // Never half a UTF-8 character.
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + name.substr(0, keep) + suffix;
}

bool ZnNewFile::fail(int error)
{
    if (m_problem == NoProblem) {
        m_errno = error;
        m_problem = error == ENAMETOOLONG ? PathTooLong : OtherError;
    }
    return false;
}

bool ZnNewFile::open()
{
    if (m_problem != NoProblem || m_fd >= 0 || m_dir >= 0 || m_target >= 0)
        return false;
    if (m_name.empty() || m_name == "." || m_name == "..")
        return fail(EISDIR);
    m_dir = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dir < 0)
        return fail(errno);
    struct stat earlier;
    bool exists = false;
    if (!resolve(&earlier, &exists)) {
        cancel();
        return false;
    }
    if (m_use == NameAnew)
        exists = false;
    const bool regular = exists && S_ISREG(earlier.st_mode);
    if (exists && S_ISDIR(earlier.st_mode))
        fail(EISDIR);
    // As the kernel judges an open for writing by this process: root may write a
    // file of mode 0444, nobody a file on a read-only disk.
    else if (exists && ::faccessat(m_dir, m_name.c_str(), W_OK, AT_EACCESS) != 0)
        fail(errno);
    if (m_problem != NoProblem) {
        cancel();
        return false;
    }
    // A rename would part the other names from the new bytes.
    if (regular && earlier.st_nlink > 1)
        return openInPlace();
    if (!makeTemporary()) {
        const int refused = errno;
        if (regular && (refused == EACCES || refused == EPERM))
            return openInPlace();
        fail(refused);
        cancel();
        return false;
    }
    if (regular && !takeOver(earlier)) {
        dropTemporary();
        return openInPlace();
    }
    return true;
}

bool ZnNewFile::resolve(struct stat* earlier, bool* exists)
{
    for (int links = 0;; ++links) {
        // The folder's file system may allow shorter names than most.
        const long nameMax = ::fpathconf(m_dir, _PC_NAME_MAX);
        m_nameMax = nameMax > 0 ? size_t(nameMax) : size_t(NAME_MAX);
        if (m_name.size() > m_nameMax) {
            m_problem = NameTooLong;
            return false;
        }
        if (::fstatat(m_dir, m_name.c_str(), earlier, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT || fail(errno);
        if (!S_ISLNK(earlier->st_mode) || m_use == NameAnew) {
            *exists = true;
            return true;
        }
        if (links == kMaxLinks)
            return fail(ELOOP);
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlinkat(m_dir, m_name.c_str(), &link[0], link.size());
        if (n < 0)
            return fail(errno);
        if (size_t(n) >= link.size())
            return fail(ENAMETOOLONG);
        link.resize(size_t(n));
        // A relative link names a file from the link's own folder.
        const size_t slash = link.rfind('/');
        if (slash != std::string::npos) {
            const std::string folder = slash == 0 ? "/" : link.substr(0, slash);
            const int next = ::openat(m_dir, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (next < 0)
                return fail(errno);
            ::close(m_dir);
            m_dir = next;
            link.erase(0, slash + 1);
        }
        if (link.empty() || link == "." || link == "..")
            return fail(EISDIR);
        m_name = link;
    }
}

bool ZnNewFile::makeTemporary()
{
    m_fd = makeHidden(m_dir, m_name, m_nameMax, O_WRONLY, 0666, &m_temp, &m_entry);
    return m_fd >= 0;
}

bool ZnNewFile::takeOver(const struct stat& earlier)
{
    struct stat made;
    if (::fstat(m_fd, &made) != 0)
        return false;
    // Owner and group first: a change of owner drops the set-id bits.
    if ((made.st_uid != earlier.st_uid || made.st_gid != earlier.st_gid)
        && ::fchown(m_fd, earlier.st_uid, earlier.st_gid) != 0)
        return false;
    if (::fchmod(m_fd, earlier.st_mode & 07777) != 0)
        return false;
    // Extended attributes, POSIX ACLs among them: the old file's, and no others
    // (a folder's default ACL gives the new file one of its own).
    const std::string old = "/proc/self/fd/" + std::to_string(m_dir) + "/" + m_name;
    std::vector<std::string> wanted, had;
    if (!attributeNames(old, -1, &wanted) || !attributeNames(std::string(), m_fd, &had))
        return false;
    for (const std::string& name : had) {
        if (std::find(wanted.begin(), wanted.end(), name) == wanted.end() && ::fremovexattr(m_fd, name.c_str()) != 0)
            return false;
    }
    for (const std::string& name : wanted) {
        std::string value, now;
        if (!attribute(old, -1, name, &value))
            return false;
        if (attribute(std::string(), m_fd, name, &now) && now == value)
            continue;
        if (::fsetxattr(m_fd, name.c_str(), value.data(), value.size(), 0) != 0)
            return false;
    }
    // The kernel may have dropped a set-group-id bit the new file cannot have.
    return ::fstat(m_fd, &made) == 0 && made.st_mode == earlier.st_mode && made.st_uid == earlier.st_uid
           && made.st_gid == earlier.st_gid;
}

bool ZnNewFile::openInPlace()
{
    // As fopen("w") opens it, but not cut yet: that waits for the whole.
    const int flags = O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
    m_target = ::openat(m_dir, m_name.c_str(), O_RDWR | flags);
    if (m_target < 0 && errno == EACCES)
        m_target = ::openat(m_dir, m_name.c_str(), O_WRONLY | flags);
    struct stat st;
    if (m_target < 0 || ::fstat(m_target, &st) != 0)
        fail(errno);
    else if (!S_ISREG(st.st_mode))
        fail(EINVAL);
    if (m_problem == NoProblem && openGathering()) {
        // Nothing to remove at the end, but an exit() meanwhile must still end at once.
        m_entry = ZnEndCleanup::addWrite();
        return m_inPlace = true;
    }
    cancel();
    return false;
}

bool ZnNewFile::openGathering()
{
    // Beside the target, on the disk it is written to: room there is what the
    // write needs anyway, and it may be another disk than the temporary folder's.
    m_gathering = namelessFile(m_dir, m_name, m_nameMax);
    if (m_gathering >= 0)
        return true;
    // The folder takes no new file (or has no inode left). Where the temporary
    // folder cannot have one either, the folder's refusal is the cause.
    const int refused = errno;
    const char* folder = std::getenv("TMPDIR");
    const int dir = ::open(folder && *folder ? folder : P_tmpdir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const long nameMax = ::fpathconf(dir, _PC_NAME_MAX);
        m_gathering = namelessFile(dir, m_name, nameMax > 0 ? size_t(nameMax) : size_t(NAME_MAX));
        ::close(dir);
    }
    return m_gathering >= 0 || fail(refused);
}

bool ZnNewFile::write(const void* data, size_t n)
{
    if (m_problem != NoProblem)
        return false;
    const int fd = m_target >= 0 ? m_gathering : m_fd;
    return fd >= 0 && (writeAll(fd, data, n) || fail(errno));
}

bool ZnNewFile::commitInPlace()
{
    if (m_problem != NoProblem)
        return false;
    struct stat before, gathered;
    if (::fstat(m_target, &before) != 0 || ::fstat(m_gathering, &gathered) != 0)
        return fail(errno);
    const off_t size = gathered.st_size;
    // Room for every byte first, so that a full disk fails before one is
    // overwritten (and the file is not cut mid-line).
    if (size > 0) {
        const int reserved = ::posix_fallocate(m_target, 0, size);
        if (reserved != 0) {
            // Where the C library reserves by writing, the file may have grown.
            struct stat now;
            if (::fstat(m_target, &now) == 0 && now.st_size != before.st_size)
                (void)::ftruncate(m_target, before.st_size);
            return fail(reserved);
        }
    }
    std::vector<char> block(size_t(std::min<off_t>(size, 1 << 16)));
    for (off_t at = 0; at < size;) {
        const ssize_t got =
            ::pread(m_gathering, block.data(), size_t(std::min<off_t>(size - at, off_t(block.size()))), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return fail(got < 0 ? errno : EIO);
        for (ssize_t put = 0; put < got;) {
            const ssize_t n = ::pwrite(m_target, block.data() + put, size_t(got - put), at + put);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return fail(n < 0 ? errno : ENOSPC);
            put += n;
        }
        at += got;
    }
    if (::ftruncate(m_target, size) != 0 || ::fsync(m_target) != 0)
        return fail(errno);
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
    if (m_use != Replace)
        fail(EINVAL);
    if (m_target >= 0) {
        const bool done = commitInPlace();
        cancel();
        return done;
    }
    if (!finish()) {
        cancel();
        return false;
    }
    return renamed(::renameat(m_dir, m_temp.c_str(), m_dir, m_name.c_str()) == 0);
}

bool ZnNewFile::renamed(bool done)
{
    if (!done) {
        fail(errno);
        cancel();
        return false;
    }
    ZnEndCleanup::remove(m_entry);
    m_entry = -1;
    m_temp.clear();
    // The rename itself reaches the disk with the folder.
    ::fsync(m_dir);
    closeQuietly(m_dir);
    return true;
}

bool ZnNewFile::commitAs(const std::string& name)
{
    m_errno = m_problem == NoProblem ? 0 : m_errno;
    if (name.size() > m_nameMax)
        m_problem = NameTooLong;
    if (m_use != NameAnew || name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        fail(EINVAL);
    // Each name is judged, also after an earlier one was taken: the file is synced by then.
    if (m_problem != NoProblem || !finish()) {
        cancel();
        return false;
    }
    int result = ::renameat2(m_dir, m_temp.c_str(), m_dir, name.c_str(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without that rename: a link fails as well where the name is taken.
        result = ::linkat(m_dir, m_temp.c_str(), m_dir, name.c_str(), 0);
        if (result == 0)
            ::unlinkat(m_dir, m_temp.c_str(), 0);
    }
    if (result != 0 && errno == EEXIST) {
        m_errno = EEXIST;
        return false;
    }
    return renamed(result == 0);
}

void ZnNewFile::dropTemporary()
{
    closeQuietly(m_fd);
    if (m_dir >= 0 && !m_temp.empty())
        ::unlinkat(m_dir, m_temp.c_str(), 0);
    ZnEndCleanup::remove(m_entry);
    m_entry = -1;
    m_temp.clear();
}

void ZnNewFile::cancel()
{
    dropTemporary();
    closeQuietly(m_target);
    closeQuietly(m_gathering);
    closeQuietly(m_dir);
}
