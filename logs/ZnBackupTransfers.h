#pragma once

#include <QObject>
#include <QString>

// Carries the database backup and restore files through the file service: the
// server's backup comes down from its backup folder, a restore file goes up to
// its recovery folder. A completed transfer raises the configuration model's
// downloadFinish() or uploadFinish(); any other end is reported here. The backup
// replaces an older copy only once it came whole (the file service client writes
// every download so).
class ZnBackupTransfers : public QObject
{
    Q_OBJECT
public:
    static const char kBackupFolder[];  // "/tmp/databackup/"
    static const char kRestoreFolder[]; // "/tmp/datarecovery/"
    // Transfer ids of the file service worker; negative, so never a queue record's.
    enum { BackupId = -181, RestoreId = -182 };

    explicit ZnBackupTransfers(QObject *parent);

    // False when the file service client refused to queue it.
    bool download(const QString &name, const QString &localPath);
    bool upload(const QString &localPath, const QString &name);

signals:
    void downloadFailed(QString why);
    void uploadFailed(QString why);

private:
    void transferFinished(int id, bool ok, const QString &error);
};
