#include "ZnSmallDisk.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

ZnSmallDisk::ZnSmallDisk(qint64 sizeBytes, qint64 inodes)
{
    if (!holder.isValid()) {
        reason = QStringLiteral("no temporary folder for the mount point");
        return;
    }
    root = holder.filePath(QStringLiteral("disk"));
    // The way to the disk open to every user (a temporary folder is its maker's
    // alone): what a test run as another user meets there is the disk's own.
    if (!QDir().mkpath(root) || ::chmod(QFile::encodeName(holder.path()).constData(), 0755) != 0) {
        reason = QStringLiteral("the mount point cannot be made");
        return;
    }
    options = "size=" + QByteArray::number(sizeBytes) + ",mode=0755";
    if (inodes > 0)
        options += ",nr_inodes=" + QByteArray::number(inodes);
    if (::mount("tmpfs", QFile::encodeName(root).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData())
        != 0) {
        reason = QStringLiteral("a small tmpfs cannot be mounted here (") + errnoText() + QStringLiteral(")");
        return;
    }
    isMounted = true;
}

ZnSmallDisk::~ZnSmallDisk()
{
    if (isMounted)
        ::umount2(QFile::encodeName(root).constData(), MNT_DETACH);
}

qint64 ZnSmallDisk::freeBytes() const
{
    struct statvfs vfs;
    if (!isMounted || ::statvfs(QFile::encodeName(root).constData(), &vfs) != 0)
        return -1;
    return qint64(vfs.f_bavail) * qint64(vfs.f_frsize);
}

bool ZnSmallDisk::leaveFree(qint64 bytes)
{
    if (!isMounted)
        return false;
    const QByteArray filler = QFile::encodeName(root + QStringLiteral("/filler"));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // Whole pages first, then byte by byte: tmpfs counts its room in pages.
    static const char zeros[4096] = {};
    qint64 free = freeBytes();
    while (free > bytes) {
        const qint64 chunk = qMin<qint64>(free - bytes, sizeof zeros);
        if (::write(fd, zeros, size_t(chunk)) <= 0)
            break;
        free = freeBytes();
    }
    ::close(fd);
    return freeBytes() <= bytes;
}

qint64 ZnSmallDisk::freeInodes() const
{
    struct statvfs vfs;
    if (!isMounted || ::statvfs(QFile::encodeName(root).constData(), &vfs) != 0)
        return -1;
    return qint64(vfs.f_favail);
}

bool ZnSmallDisk::useInodes()
{
    const QString folder = root + QStringLiteral("/inodes");
    if (!isMounted || !QDir().mkpath(folder))
        return false;
    // Bounded: a disk made with a few inodes has no more than that to give.
    for (int i = 0; i < 100000 && freeInodes() > 0; ++i) {
        const int fd = ::open(QFile::encodeName(folder + QLatin1Char('/') + QString::number(i)).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            break;
        ::close(fd);
    }
    return freeInodes() == 0;
}

bool ZnSmallDisk::setReadOnly(bool readOnly)
{
    const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
    return isMounted && ::mount("tmpfs", QFile::encodeName(root).constData(), "tmpfs", flags, options.constData()) == 0;
}

void ZnSmallDisk::unfill()
{
    if (!isMounted)
        return;
    QFile::remove(root + QStringLiteral("/filler"));
    QDir(root + QStringLiteral("/inodes")).removeRecursively();
}
