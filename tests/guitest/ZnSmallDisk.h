#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A disk of a few KiB of its own: a tmpfs mounted at a new folder, which a test
// may fill to the last bytes or the last inode to see what a write meets on a
// full disk (ENOSPC, not the file-size limit's EFBIG), or make read-only (EROFS). Mounting takes root (CI and this
// machine run the suite as root); mounted() is false elsewhere and why() says so, for QSKIP.
class ZnSmallDisk
{
public:
    // The disk's size is rounded up to whole pages by the kernel; inodes, when
    // given, limits the files and folders it can hold (its root among them).
    explicit ZnSmallDisk(qint64 sizeBytes, qint64 inodes = 0);
    ~ZnSmallDisk();
    ZnSmallDisk(const ZnSmallDisk &) = delete;
    ZnSmallDisk &operator=(const ZnSmallDisk &) = delete;

    bool mounted() const { return isMounted; }
    QString why() const { return reason; }
    // The disk's root folder.
    QString path() const { return root; }

    // Fills the disk with a file of its own ("filler", in the root) until at most
    // bytes are left free; 0 fills it. False when the disk cannot be brought there.
    bool leaveFree(qint64 bytes);
    // Makes empty files in a folder of its own ("inodes", in the root) until no
    // file can be made: the disk keeps its bytes free and has no inode left.
    // False when that cannot be reached.
    bool useInodes();
    // Remounts the disk read-only (EROFS for every write), or writable again.
    bool setReadOnly(bool readOnly);
    // Gives the filler's room and the inodes used back.
    void unfill();
    qint64 freeBytes() const;
    qint64 freeInodes() const;

private:
    QTemporaryDir holder;
    QString root;
    QString reason;
    QByteArray options;
    bool isMounted = false;
};
