#pragma once

#include <QString>
#include <QTemporaryDir>

// A disk of a few KiB of its own: a tmpfs mounted at a new folder, which a test
// may fill to the last bytes to see what a write meets on a full disk (ENOSPC,
// not the file-size limit's EFBIG). Mounting takes root (CI and this machine run
// the suite as root); mounted() is false elsewhere and why() says so, for QSKIP.
class ZnSmallDisk
{
public:
    // The disk's size is rounded up to whole pages by the kernel.
    explicit ZnSmallDisk(qint64 sizeBytes);
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
    // Gives the filler's room back.
    void unfill();
    qint64 freeBytes() const;

private:
    QTemporaryDir holder;
    QString root;
    QString reason;
    bool isMounted = false;
};
