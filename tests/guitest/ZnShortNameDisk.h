#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A folder whose file system allows names of at most nameMax bytes (143 on an
// encrypted home folder) and refuses longer ones with ENAMETOOLONG: the tests'
// own FUSE pass-through (zn_short_names_fs, built where libfuse3-dev is) over a
// temporary folder. Mounting takes root and /dev/fuse; mounted() is false
// elsewhere and why() says so, for QSKIP.
class ZnShortNameDisk
{
public:
    explicit ZnShortNameDisk(int nameMax);
    ~ZnShortNameDisk();
    ZnShortNameDisk(const ZnShortNameDisk &) = delete;
    ZnShortNameDisk &operator=(const ZnShortNameDisk &) = delete;

    bool mounted() const { return isMounted; }
    QString why() const { return reason; }
    QString path() const { return mountPoint; }

private:
    QTemporaryDir holder;
    QProcess server;
    QString mountPoint;
    QString reason;
    bool isMounted = false;
};
