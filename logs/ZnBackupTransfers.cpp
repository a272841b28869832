#include "ZnBackupTransfers.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <utility>

#include "TcpSocketClient.h"
#include "ZnFtpClientMgr.h"
#include "ZnServerConfigMgr.h"

const char ZnBackupTransfers::kBackupFolder[] = "/tmp/databackup/";
const char ZnBackupTransfers::kRestoreFolder[] = "/tmp/datarecovery/";

ZnBackupTransfers::ZnBackupTransfers(QObject *parent) : QObject(parent)
{
    connect(TcpSocketClient::instance(), &TcpSocketClient::transferFinished, this,
            &ZnBackupTransfers::transferFinished);
}

QString ZnBackupTransfers::incomingPath(const QString &localPath)
{
    const QFileInfo target(localPath);
    return target.path() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".incoming");
}

bool ZnBackupTransfers::replaceWithIncoming(const QString &localPath)
{
    const QString incoming = incomingPath(localPath);
    // rename() replaces the older copy in one step.
    if (std::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(localPath).constData()) == 0)
        return true;
    QFile::remove(incoming);
    return false;
}

bool ZnBackupTransfers::download(const QString &name, const QString &localPath)
{
    const QString remote = QLatin1String(kBackupFolder) + name;
    const QString incoming = incomingPath(localPath);
    // A leftover of an earlier, broken download of ours; the client never writes over a file.
    QFile::remove(incoming);
    m_downloadTarget = localPath;
    if (ZnFtpClientMgr::instance()->downloadFile(remote.toStdString(), incoming.toStdString(), BackupId) == 0)
        return true;
    m_downloadTarget.clear();
    return false;
}

bool ZnBackupTransfers::upload(const QString &localPath, const QString &name)
{
    const QString remote = QLatin1String(kRestoreFolder) + name;
    return ZnFtpClientMgr::instance()->uploadFiles(localPath.toStdString(), remote.toStdString(), RestoreId) == 0;
}

void ZnBackupTransfers::transferFinished(int id, bool ok, const QString &error)
{
    if (id != BackupId && id != RestoreId)
        return;
    if (id == BackupId) {
        const QString target = std::exchange(m_downloadTarget, QString());
        if (ok && !target.isEmpty() && !replaceWithIncoming(target)) {
            emit downloadFailed(tr("%1 cannot be replaced.").arg(target));
            return;
        }
    }
    if (!ok) {
        if (id == BackupId)
            emit downloadFailed(error);
        else
            emit uploadFailed(error);
        return;
    }
    ZnServerConfigMgr *model = ZnServerConfigMgr::instance();
    if (id == BackupId)
        emit model->downloadFinish();
    else
        emit model->uploadFinish();
}
