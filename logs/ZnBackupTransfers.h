#pragma once

#include <QObject>
#include <QString>

// Carries the database backup and restore files through the file service: the
// server's backup comes down from its backup folder, a restore file goes up to
// its recovery folder. A completed transfer raises the configuration model's
// downloadFinish() or uploadFinish(); any other end is reported here. The backup
// arrives under a temporary name beside its target and replaces an older copy
// only once it came whole.
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
    // Where a download that replaces localPath is written until it is complete,
    // and that file put in its place (false, and gone, when it cannot be).
    static QString incomingPath(const QString &localPath);
    static bool replaceWithIncoming(const QString &localPath);
    bool upload(const QString &localPath, const QString &name);

signals:
    void downloadFailed(QString why);
    void uploadFailed(QString why);

private:
    void transferFinished(int id, bool ok, const QString &error);

    QString m_downloadTarget;
};
