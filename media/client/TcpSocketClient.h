#pragma once

#include "FileTask.h"
#include "ZnMediaFile_t.h"

#include <QAtomicInt>
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>

class QTcpSocket;

// The file service's worker: runs the queued commands one after the other on its
// own thread, one short TCP connection per command. Process-wide, never destroyed.
class TcpSocketClient : public QThread
{
    Q_OBJECT
public:
    // Called after every listing with the worker's list of that side, the folder
    // asked for, and why it failed (empty when the list is the folder's).
    using ListCallback = void (*)(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error);

    static TcpSocketClient* instance();

    // The port of the file service on the server's address (8906; tests move it).
    static quint16 servicePort();
    static void setServicePort(quint16 port);
    // How long a download may wait for its next bytes before it is given up
    // (30 s; tests shorten it).
    static void setSilenceLimit(int ms);

    void setServer(const QString& host, quint16 port);
    // host:port, as the operator would name the service.
    QString serviceAddress() const;
    QString mediaRoot() const;

    void addGetFileRootTask();
    void addGetFileListTask(const QString& folder);
    void addDownloadTask(const QString& serverPath, const QString& localPath, int id);
    void addUploadTask(const QString& localPath, const QString& serverPath, int id);
    void addDeleteTask(const QString& path, int isDir);
    void addRenameTask(const QString& oldPath, const QString& newPath, int isDir);
    void addCreateDirTask(const QString& path);
    // Lists a folder for the task dialogs at once, on the calling thread.
    void fetchTaskFileList(const QString& folder);

    void setMediaListCallback(ListCallback cb);
    void setTaskListCallback(ListCallback cb);

    // The part of a path before its last "/" and the part after it; both empty
    // when the path holds no "/".
    static QString dirNameOf(const QString& path);
    static QString fileNameOf(const QString& path);

    int nextCSeq() { return m_cseq.fetchAndAddOrdered(1); }
    // Tasks waiting to run (tests and the bench wait for an idle worker).
    int pendingTasks() const;
    // Ends the loop after the running command.
    void stop();

signals:
    // Each command says whether it reached the service.
    void socketConnected(bool reached);
    void socketUpdateMedia();
    void socketUploadFinished();
    void socketUpdateFileList(QList<ZnMediaFile_t>*);
    void getPathListFinish(QList<ZnMediaFile_t>*);
    // Transfer id and bytes done so far of a download or upload.
    void updateProgressIndicator(int id, qint64 done);
    // A download's length as the service announced it, before its first bytes:
    // the progress of that download is a share of this, not of the listed size.
    void transferSizeKnown(int id, qint64 size);
    // Downloads: name, percent, state 0 running, 1 finished, -1 failed; with a
    // failure, why the file could not be written here (a full disk, a name too
    // long), empty when the service or the line failed.
    void updateRecordDownloadMsgTip(QString name, int percent, int state, QString why = QString());
    void socketGetMediaPath(QString root);
    // GetFileRoot brought no root: the service was not reached, gave no answer or no "FileRoot".
    void mediaRootMissing(QString reason);
    void startUploadFile();
    void startGetFileList();
    void startDoFtpWork();
    // A download or upload ended: ok only when a download got exactly its length
    // under its name, or the service accepted an upload; else why not.
    void transferFinished(int id, bool ok, QString error);
    // The service did not delete path (refused, or gave no answer): why not.
    void deleteFailed(QString path, QString reason);
    void renameFailed(QString path, QString reason);
    void createDirFailed(QString path, QString reason);

public slots:
    void slot_getPathListFinish() {}

protected:
    void run() override;

private:
    TcpSocketClient();
    void enqueue(const FileTask& task);
    void runTask(const FileTask& task);
    bool connectTo(QTcpSocket& socket, int timeoutMs);
    // Reads until the bytes end with the terminator; empty when the service
    // closed, went quiet for waitMs or sent more than a reply may hold.
    QByteArray readReply(QTcpSocket& socket, int waitMs);
    // The reply; empty with why in failure when the service was not reached or
    // gave no complete reply.
    // Its "Command" and "CSeq" go to the debug log unless the caller logs them.
    QByteArray exchange(const QByteArray& request, int connectMs, int waitMs, QString* failure = nullptr,
                        bool logged = true);
    bool waitReadable(QTcpSocket& socket, int waitMs);
    void doGetFileRoot();
    void doGetFileList(const QString& folder, int flag);
    void doGetFile(const FileTask& task);
    void doPostFile(const FileTask& task);
    void doDelete(const FileTask& task);
    void doRename(const FileTask& task);
    void doCreateDir(const FileTask& task);

    QAtomicInt m_cseq{1};
    mutable QMutex m_serverMutex;
    QString m_host;
    quint16 m_port = 0;
    QString m_mediaRoot;
    ListCallback m_mediaCallback = nullptr;
    ListCallback m_taskCallback = nullptr;
    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    QList<FileTask> m_tasks;
    QList<ZnMediaFile_t> m_mediaList;
    QList<ZnMediaFile_t> m_taskList;
};
