#include "ZnFileReplace.h"

#include "ZnNewFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool failed(int *error, int code)
{
    *error = code ? code : EIO;
    return false;
}

bool writeAll(int fd, const QByteArray &bytes, int *error)
{
    const size_t size = static_cast<size_t>(bytes.size());
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failed(error, n < 0 ? errno : EIO);
        done += static_cast<size_t>(n);
    }
    return true;
}

bool synced(int fd, int *error)
{
    return ::fsync(fd) == 0 || failed(error, errno);
}

bool cutTo(int fd, off_t size, int *error)
{
    return ::ftruncate(fd, size) == 0 || failed(error, errno);
}

// Over the old bytes: the new size is reserved first, so that a disk without room
// for it fails before a byte is overwritten (and the file is not cut mid-line).
bool writeInPlace(const QString &path, const QByteArray &bytes, int *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(error, errno);
    struct stat before;
    bool ok = ::fstat(fd, &before) == 0 || failed(error, errno);
    if (ok && !S_ISREG(before.st_mode))
        ok = failed(error, EINVAL);
    if (ok && !bytes.isEmpty()) {
        const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (reserved != 0) {
            // Where the C library reserves by writing, the file may have grown:
            // back to its old size; the reason told stays the missing room.
            struct stat now;
            int ignored = 0;
            if (::fstat(fd, &now) == 0 && now.st_size != before.st_size)
                cutTo(fd, before.st_size, &ignored);
            ok = failed(error, reserved);
        }
    }
    ok = ok && writeAll(fd, bytes, error) && cutTo(fd, static_cast<off_t>(bytes.size()), error) && synced(fd, error);
    ::close(fd);
    return ok;
}

} // namespace

bool ZnFileReplace::write(const QString &path, const QByteArray &bytes, int *error)
{
    int ignored = 0;
    if (!error)
        error = &ignored;
    *error = 0;
    ZnNewFile file(QFile::encodeName(path).toStdString());
    if (file.open()) {
        if (file.write(bytes.constData(), static_cast<size_t>(bytes.size())) && file.commit())
            return true;
        return failed(error, file.error());
    }
    const int refused = file.error() ? file.error() : ENAMETOOLONG;
    // Only where the folder refuses the new file: after another failure (a full
    // disk) the file stays as it is.
    const QFileInfo info(path);
    if (!info.isFile() || !info.isWritable() || QFileInfo(info.absolutePath()).isWritable())
        return failed(error, refused);
    return writeInPlace(path, bytes, error);
}
