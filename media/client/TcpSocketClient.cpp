#include "TcpSocketClient.h"

#include "ZnCommon.h"
#include "ZnFileFailure.h"
#include "ZnFileReply.h"
#include "ZnFileRequest.h"
#include "ZnNewFile.h"
#include "ZnSocket.h"

#include <json/json.h>

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QTcpSocket>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {
// A reply larger than this is no reply of this service (a listing of 10,000
// entries is about 1 MiB).
constexpr int kMaxReply = 64 * 1024 * 1024;
constexpr int kMaxHeader = 64 * 1024;
constexpr qint64 kUploadChunk = 8192;
constexpr int kWaitSlice = 100;
std::atomic<quint16> gServicePort{8906};
std::atomic<int> gSilenceLimitMs{30000};

void registerTypes()
{
    qRegisterMetaType<ZnMediaFile_t>("ZnMediaFile_t");
    qRegisterMetaType<QList<ZnMediaFile_t>*>("QList<ZnMediaFile_t>*");
    qRegisterMetaType<QList<ZnMediaFile_t>>("QList<ZnMediaFile_t>");
}
}

TcpSocketClient::TcpSocketClient()
{
    registerTypes();
}

TcpSocketClient* TcpSocketClient::instance()
{
    static TcpSocketClient* client = [] {
        auto* c = new TcpSocketClient;
        // Lets the worker leave its loop before the application's objects go.
        qAddPostRoutine([] {
            TcpSocketClient* w = TcpSocketClient::instance();
            w->stop();
            w->wait(3000);
        });
        return c;
    }();
    return client;
}

void TcpSocketClient::setSilenceLimit(int ms)
{
    gSilenceLimitMs = ms;
}

quint16 TcpSocketClient::servicePort()
{
    return gServicePort.load();
}

void TcpSocketClient::setServicePort(quint16 port)
{
    gServicePort.store(port);
}

void TcpSocketClient::setServer(const QString& host, quint16 port)
{
    QMutexLocker lock(&m_serverMutex);
    m_host = host;
    m_port = port;
}

QString TcpSocketClient::serviceAddress() const
{
    QMutexLocker lock(&m_serverMutex);
    return QStringLiteral("%1:%2").arg(m_host).arg(m_port);
}

QString TcpSocketClient::mediaRoot() const
{
    QMutexLocker lock(&m_serverMutex);
    return m_mediaRoot;
}

void TcpSocketClient::setMediaListCallback(ListCallback cb)
{
    QMutexLocker lock(&m_serverMutex);
    m_mediaCallback = cb;
}

void TcpSocketClient::setTaskListCallback(ListCallback cb)
{
    QMutexLocker lock(&m_serverMutex);
    m_taskCallback = cb;
}

QString TcpSocketClient::dirNameOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}

QString TcpSocketClient::fileNameOf(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.mid(slash + 1);
}

int TcpSocketClient::pendingTasks() const
{
    QMutexLocker lock(&m_mutex);
    return m_tasks.size();
}

void TcpSocketClient::stop()
{
    requestInterruption();
    QMutexLocker lock(&m_mutex);
    m_wake.wakeAll();
}

void TcpSocketClient::enqueue(const FileTask& task)
{
    QMutexLocker lock(&m_mutex);
    m_tasks.append(task);
    m_wake.wakeAll();
}

void TcpSocketClient::addGetFileRootTask()
{
    FileTask t;
    t.kind = FileTask::GetFileRoot;
    enqueue(t);
}

void TcpSocketClient::addGetFileListTask(const QString& folder)
{
    FileTask t;
    t.kind = FileTask::GetFileList;
    t.flag = 0;
    t.secondPath = folder;
    enqueue(t);
}

void TcpSocketClient::addDownloadTask(const QString& serverPath, const QString& localPath, int id)
{
    FileTask t;
    t.kind = FileTask::GetFile;
    t.flag = 4;
    t.transferId = id;
    t.firstPath = serverPath;
    t.secondPath = localPath;
    enqueue(t);
}

void TcpSocketClient::addUploadTask(const QString& localPath, const QString& serverPath, int id)
{
    FileTask t;
    t.kind = FileTask::PostFile;
    t.flag = 5;
    t.transferId = id;
    t.firstPath = localPath;
    t.secondPath = serverPath;
    enqueue(t);
    // The folder that got the file is listed again, unless it is "/" itself.
    const int slash = serverPath.lastIndexOf(QLatin1Char('/'));
    if (slash != 0)
        addGetFileListTask(slash < 0 ? serverPath : serverPath.left(slash));
}

void TcpSocketClient::addDeleteTask(const QString& path, int isDir)
{
    FileTask t;
    t.kind = FileTask::Delete;
    t.flag = isDir;
    t.secondPath = path;
    enqueue(t);
}

void TcpSocketClient::addRenameTask(const QString& oldPath, const QString& newPath, int isDir)
{
    FileTask t;
    t.kind = FileTask::Rename;
    t.flag = isDir;
    t.firstPath = oldPath;
    t.secondPath = newPath;
    enqueue(t);
}

void TcpSocketClient::addCreateDirTask(const QString& path)
{
    FileTask t;
    t.kind = FileTask::CreatDIR;
    t.secondPath = path;
    enqueue(t);
}

void TcpSocketClient::fetchTaskFileList(const QString& folder)
{
    doGetFileList(folder, 1);
}

void TcpSocketClient::run()
{
    qDebug() << "file service worker on" << QThread::currentThread();
    while (!isInterruptionRequested()) {
        FileTask task;
        {
            QMutexLocker lock(&m_mutex);
            if (m_tasks.isEmpty()) {
                m_wake.wait(&m_mutex, 20);
                continue;
            }
            task = m_tasks.takeFirst();
        }
        runTask(task);
    }
}

void TcpSocketClient::runTask(const FileTask& task)
{
    switch (task.kind) {
    case FileTask::GetFileRoot:
        doGetFileRoot();
        break;
    case FileTask::GetFileList:
        doGetFileList(task.secondPath, task.flag);
        break;
    case FileTask::GetFile:
        doGetFile(task);
        break;
    case FileTask::PostFile:
        doPostFile(task);
        break;
    case FileTask::Delete:
        doDelete(task);
        break;
    case FileTask::Rename:
        doRename(task);
        break;
    case FileTask::CreatDIR:
        doCreateDir(task);
        break;
    default:
        break;
    }
}

bool TcpSocketClient::connectTo(QTcpSocket& socket, int timeoutMs)
{
    QString host;
    quint16 port = 0;
    {
        QMutexLocker lock(&m_serverMutex);
        host = m_host;
        port = m_port;
    }
    // The server's address as the management connection reads it: Qt would read
    // a zero-padded part as octal and dial another host.
    host = QString::fromStdString(ZnSocket::plainAddress(host.toStdString()));
    socket.connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    const bool reached = socket.waitForConnected(timeoutMs);
    emit socketConnected(reached);
    return reached;
}

bool TcpSocketClient::waitReadable(QTcpSocket& socket, int waitMs)
{
    for (int waited = 0; waited < waitMs; waited += kWaitSlice) {
        if (socket.bytesAvailable() > 0)
            return true;
        if (socket.state() != QAbstractSocket::ConnectedState || isInterruptionRequested())
            return false;
        if (socket.waitForReadyRead(kWaitSlice))
            return true;
    }
    return socket.bytesAvailable() > 0;
}

QByteArray TcpSocketClient::readReply(QTcpSocket& socket, int waitMs)
{
    // Bytes are collected whole and only then read as text, so a character split
    // across two reads stays intact.
    QByteArray bytes;
    while (!ZnFileReply::isComplete(bytes)) {
        if (bytes.size() > kMaxReply || !waitReadable(socket, waitMs))
            return QByteArray();
        bytes += socket.readAll();
    }
    return bytes;
}

QByteArray TcpSocketClient::exchange(const QByteArray& request, int connectMs, int waitMs, QString* failure,
                                     bool logged)
{
    QTcpSocket socket;
    if (!connectTo(socket, connectMs)) {
        qDebug() << "file service not reached:" << socket.errorString();
        if (failure)
            *failure = tr("service not reached");
        return QByteArray();
    }
    socket.write(request);
    socket.waitForBytesWritten(connectMs);
    const QByteArray reply = readReply(socket, waitMs);
    socket.close();
    if (reply.isEmpty() && failure)
        *failure = tr("no answer");
    Json::Value root;
    if (logged && ZnFileReply::readObject(reply, root)) {
        if (root["Command"].isString())
            qDebug().noquote() << QStringLiteral("Command : ") + ZnFileReply::text(root, "Command");
        if (root["CSeq"].isString())
            qDebug().noquote() << QStringLiteral("CSeq : ") + ZnFileReply::text(root, "CSeq");
    }
    return reply;
}

void TcpSocketClient::doGetFileRoot()
{
    QString failure;
    const QByteArray reply = exchange(ZnFileRequest::getFileRoot(nextCSeq()), 3000, 5000, &failure);
    Json::Value root;
    if (reply.isEmpty() || !ZnFileReply::readObject(reply, root)
        || ZnFileReply::text(root, "Command") != QLatin1String("PostFileRoot")) {
        emit mediaRootMissing(failure.isEmpty() ? tr("no media folder") : failure);
        return;
    }
    QString mediaRoot;
    {
        QMutexLocker lock(&m_serverMutex);
        if (root["FileRoot"].isString())
            m_mediaRoot = ZnFileReply::text(root, "FileRoot");
        mediaRoot = m_mediaRoot;
    }
    emit socketGetMediaPath(mediaRoot);
    // Without a root nothing can be written on the server.
    if (mediaRoot.isEmpty())
        emit mediaRootMissing(tr("no media folder"));
}

void TcpSocketClient::doGetFileList(const QString& folder, int flag)
{
    QString failure;
    // A listing of thousands is parsed once, by its own reader, which also gives what is logged.
    const QByteArray reply = exchange(ZnFileRequest::getFileList(nextCSeq(), folder), 5000, 30000, &failure, false);
    // Each side's list is touched only by the thread that lists for that side.
    QList<ZnMediaFile_t>& list = flag == 0 ? m_mediaList : m_taskList;
    QList<ZnMediaFile_t> read;
    if (reply.isEmpty()) {
        qDebug() << "goin out";
    } else {
        QString command, cseq;
        if (ZnFileReply::readListing(reply, read, &command, &cseq))
            list.swap(read); // the previous listing is freed after the callback, off the way to the table
        else
            failure = tr("unreadable listing");
        if (!command.isNull())
            qDebug().noquote() << QStringLiteral("Command : ") + command;
        if (!cseq.isNull())
            qDebug().noquote() << QStringLiteral("CSeq : ") + cseq;
        std::printf(flag == 0 ? "\r\nmMediaMgrInfoList size: %d\r\n" : "\r\nmTaskMediaInfoList size: %d\r\n",
                    list.size());
        std::fflush(stdout);
    }
    // A failed listing is reported too, so that the browser keeps the folder whose rows it shows.
    ListCallback cb = nullptr;
    {
        QMutexLocker lock(&m_serverMutex);
        cb = flag == 0 ? m_mediaCallback : m_taskCallback;
    }
    if (cb)
        cb(&list, folder, failure);
}

void TcpSocketClient::doGetFile(const FileTask& task)
{
    const int id = task.transferId;
    const QString name = fileNameOf(task.firstPath);
    const auto fail = [&](const QString& why, const QString& localWhy = QString()) {
        qDebug().noquote() << "download of" << task.firstPath << "failed:" << why;
        emit updateRecordDownloadMsgTip(name, 0, -1, localWhy);
        emit transferFinished(id, false, why);
    };
    // Names come from the service: nothing it sends may steer the file elsewhere.
    const QFileInfo local(task.secondPath);
    if (!ZnMediaFile_t::isSafeName(name) || !ZnMediaFile_t::isSafeName(local.fileName())
        || QDir::cleanPath(task.secondPath) != task.secondPath) {
        fail(tr("unsafe file name"));
        return;
    }
    // A name or path this system cannot hold is told as such before anything is asked.
    const std::string target = QFile::encodeName(task.secondPath).toStdString();
    const QString tooLong = ZnFileFailure::of(ZnNewFile::checkTarget(target)).text();
    if (!tooLong.isEmpty()) {
        fail(tooLong, tooLong);
        return;
    }
    // A folder at the name (or a link to one) is told before anything is asked.
    if (local.isDir()) {
        const QString isFolder = ZnFileFailure::ofWrite(EISDIR).text();
        fail(isFolder, isFolder);
        return;
    }

    QTcpSocket socket;
    if (!connectTo(socket, 10000)) {
        fail(tr("service not reached"));
        return;
    }
    const QByteArray request = ZnFileRequest::getFile(nextCSeq(), dirNameOf(task.firstPath), name);
    qDebug().noquote() << QString::fromUtf8(request.trimmed());
    socket.write(request);

    QByteArray head;
    int end = -1;
    while ((end = head.indexOf(ZnFileReply::kEnd)) < 0) {
        if (head.size() > kMaxHeader || !waitReadable(socket, gSilenceLimitMs)) {
            fail(tr("no answer"));
            return;
        }
        head += socket.readAll();
    }
    const qint64 fileLen = ZnFileReply::readFileLen(head.left(end));
    if (fileLen < 0) {
        fail(tr("bad length"));
        return;
    }
    emit transferSizeKnown(id, fileLen);

    // The bytes go to a hidden temporary file beside the target and take the real
    // name only when all of them are on the disk, so a file of that name stays
    // whole until then; anything else leaves nothing behind. A new file is made as
    // any other (0666 less the umask); a link or a file the operator set up at the
    // name stays his (see ZnNewFile).
    ZnNewFile file(target);
    // Why the file could not be written where this system names the cause (the
    // disk, the folder, the permission, the name), else what failed.
    const auto namedProblem = [&file] {
        const ZnFileFailure failure = ZnFileFailure::of(file);
        return failure.named() ? failure.text() : QString();
    };
    const auto writeProblem = [&](const QString& otherwise) {
        const QString why = namedProblem();
        return why.isEmpty() ? otherwise : why;
    };
    if (!file.open()) {
        fail(writeProblem(tr("cannot write %1").arg(local.absolutePath())), namedProblem());
        return;
    }
    QByteArray first = head.mid(end + ZnFileReply::kEndSize);
    if (first.size() > fileLen)
        first.truncate(static_cast<int>(fileLen));
    // Only bytes on the disk count as done.
    bool writeOk = file.write(first.constData(), size_t(first.size()));
    qint64 done = writeOk ? first.size() : 0;
    int shown = fileLen > 0 ? ZnCommon::percentOf(done, fileLen) : 100;

    QByteArray buf;
    while (writeOk && done < fileLen) {
        if (!waitReadable(socket, gSilenceLimitMs))
            break;
        const qint64 want = qMin<qint64>(fileLen - done, 4 * 1024 * 1024);
        buf.resize(static_cast<int>(want));
        const qint64 n = socket.read(buf.data(), want);
        if (n <= 0)
            continue;
        writeOk = file.write(buf.constData(), size_t(n));
        if (!writeOk)
            break;
        done += n;
        const int percent = ZnCommon::percentOf(done, fileLen);
        if (percent > shown) {
            shown = percent;
            emit updateProgressIndicator(id, done);
            emit updateRecordDownloadMsgTip(name, percent, 0);
        }
    }
    socket.close();
    const bool complete = writeOk && done == fileLen;
    if (!complete || !file.commit()) {
        if (!complete)
            emit updateProgressIndicator(id, done);
        emit updateRecordDownloadMsgTip(name, shown, -1, namedProblem());
        emit transferFinished(id, false,
                              !writeOk   ? writeProblem(tr("write failed"))
                              : complete ? writeProblem(tr("cannot write %1").arg(task.secondPath))
                                         : tr("interrupted"));
        return;
    }
    emit updateProgressIndicator(id, fileLen);
    emit updateRecordDownloadMsgTip(name, 100, 1);
    emit transferFinished(id, true, QString());
}

void TcpSocketClient::doPostFile(const FileTask& task)
{
    const int id = task.transferId;
    QFile file(task.firstPath);
    if (!file.open(QIODevice::ReadOnly)) {
        emit transferFinished(id, false, tr("cannot read %1").arg(task.firstPath));
        return;
    }
    const qint64 fileLen = file.size();
    QTcpSocket socket;
    if (!connectTo(socket, 3000)) {
        emit transferFinished(id, false, tr("service not reached"));
        return;
    }
    const int slash = task.firstPath.lastIndexOf(QLatin1Char('/'));
    socket.write(
        ZnFileRequest::postFile(nextCSeq(), dirNameOf(task.secondPath), task.firstPath.mid(slash + 1), fileLen));
    // Small chunks with a pause between them spare the audio network. A chunk
    // counts only once it went out, and the service's word counts only on the
    // whole file: a write that fails (the service closed) or an answer that came
    // before the last byte went out ends the upload as failed.
    qint64 sent = 0;
    char chunk[kUploadChunk];
    while (sent < fileLen && !isInterruptionRequested()) {
        const qint64 n = file.read(chunk, qMin(kUploadChunk, fileLen - sent));
        if (n <= 0) {
            socket.abort();
            emit transferFinished(id, false, tr("cannot read %1").arg(task.firstPath));
            return;
        }
        if (socket.write(chunk, n) != n)
            break;
        bool out = true;
        while (out && socket.bytesToWrite() > 0)
            out = socket.waitForBytesWritten(30000);
        if (!out || socket.bytesAvailable() > 0)
            break;
        sent += n;
        emit updateProgressIndicator(id, sent);
        QThread::msleep(10);
    }
    if (sent != fileLen) {
        // A refusal the service gave before it stopped reading still says why.
        Json::Value early;
        QString reason;
        if (socket.bytesAvailable() > 0 && ZnFileReply::readObject(socket.readAll(), early))
            reason = ZnFileReply::text(early, "Reason");
        if (reason.isEmpty())
            reason = tr("interrupted after %1 of %2 bytes").arg(sent).arg(fileLen);
        socket.abort();
        emit transferFinished(id, false, reason);
        return;
    }
    const QByteArray reply = readReply(socket, 5000);
    socket.close();
    QString reason;
    const bool ok = ZnFileReply::readUploadAnswer(reply, &reason);
    emit transferFinished(id, ok, reason);
}

void TcpSocketClient::doDelete(const FileTask& task)
{
    const QString& path = task.secondPath;
    QString failure;
    const QByteArray reply =
        exchange(task.flag == 1 ? ZnFileRequest::deleteDir(nextCSeq(), fileNameOf(path))
                                : ZnFileRequest::delFile(nextCSeq(), dirNameOf(path), fileNameOf(path)),
                 3000, 5000, &failure);
    QString reason;
    if (!ZnFileReply::readAnswer(reply, task.flag == 1 ? "DeleteDIR" : "DelFile", &reason))
        emit deleteFailed(path, failure.isEmpty() ? reason : failure);
}

void TcpSocketClient::doRename(const FileTask& task)
{
    // The folder below the media root that holds the new path; empty directly under it.
    const int slash = task.secondPath.lastIndexOf(QLatin1Char('/'));
    QString folder = slash > 0 ? task.secondPath.left(slash + 1) : QString();
    const QString root = mediaRoot();
    folder = folder.size() > root.size() ? folder.mid(root.size()) : QString();
    while (folder.startsWith(QLatin1Char('/')))
        folder.remove(0, 1);
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QString oldName = fileNameOf(task.firstPath);
    const QString newName = fileNameOf(task.secondPath);
    const int cseq = nextCSeq();
    QString failure;
    const QByteArray reply = exchange(task.flag == 1 ? ZnFileRequest::renameDir(cseq, folder, oldName, newName)
                                                     : ZnFileRequest::renameFile(cseq, folder, oldName, newName),
                                      3000, 5000, &failure);
    QString reason;
    if (!ZnFileReply::readAnswer(reply, task.flag == 1 ? "RenameDIR" : "RenameFile", &reason))
        emit renameFailed(task.firstPath, failure.isEmpty() ? reason : failure);
}

void TcpSocketClient::doCreateDir(const FileTask& task)
{
    QString failure;
    const QByteArray reply =
        exchange(ZnFileRequest::creatDir(nextCSeq(), fileNameOf(task.secondPath)), 3000, 5000, &failure);
    Json::Value root;
    // Only a reply that names the command counts, as ever; a refusal under that name does not.
    const bool named =
        ZnFileReply::readObject(reply, root) && ZnFileReply::text(root, "Command") == QLatin1String("CreatDIR");
    QString reason;
    if (ZnFileReply::readAnswer(reply, "CreatDIR", &reason) && named)
        emit socketUpdateMedia();
    else if (!failure.isEmpty())
        emit createDirFailed(task.secondPath, failure);
    else
        emit createDirFailed(task.secondPath, reason.isEmpty() ? tr("unexpected answer") : reason);
}
