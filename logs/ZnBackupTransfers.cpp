#include "ZnBackupTransfers.h"

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

bool ZnBackupTransfers::download(const QString &name, const QString &localPath)
{
    const QString remote = QLatin1String(kBackupFolder) + name;
    return ZnFtpClientMgr::instance()->downloadFile(remote.toStdString(), localPath.toStdString(), BackupId) == 0;
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
