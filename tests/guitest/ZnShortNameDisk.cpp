#include "ZnShortNameDisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/mount.h>
#include <unistd.h>

ZnShortNameDisk::ZnShortNameDisk(int nameMax)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/zn_short_names_fs");
    if (!QFileInfo(program).isExecutable()) {
        reason = QStringLiteral("the FUSE file system of short names is not built (no libfuse3-dev)");
        return;
    }
    if (::geteuid() != 0 || !QFileInfo::exists(QStringLiteral("/dev/fuse"))) {
        reason = QStringLiteral("mounting a FUSE file system takes root and /dev/fuse");
        return;
    }
    const QString backing = holder.filePath(QStringLiteral("backing"));
    mountPoint = holder.filePath(QStringLiteral("disk"));
    if (!holder.isValid() || !QDir().mkpath(backing) || !QDir().mkpath(mountPoint)) {
        reason = QStringLiteral("no folders for the FUSE file system");
        return;
    }
    server.setProcessChannelMode(QProcess::SeparateChannels);
    server.start(program, {backing, mountPoint, QString::number(nameMax)});
    QByteArray said;
    while (!said.contains('\n') && server.waitForReadyRead(10000))
        said += server.readAllStandardOutput();
    if (said.trimmed() != "mounted") {
        server.waitForFinished(10000);
        reason = QStringLiteral("the FUSE file system did not mount: ")
                 + QString::fromLocal8Bit(server.readAllStandardError()).trimmed();
        return;
    }
    isMounted = true;
}

ZnShortNameDisk::~ZnShortNameDisk()
{
    if (server.state() == QProcess::NotRunning)
        return;
    server.terminate();
    if (!server.waitForFinished(10000)) {
        ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH);
        server.kill();
        server.waitForFinished(3000);
    }
}
