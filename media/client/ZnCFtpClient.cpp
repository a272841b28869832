#include "ZnCFtpClient.h"

#include "TcpSocketClient.h"
#include "ZnGlobals.h"
#include "ZnMediaListSink.h"

#include <QMutexLocker>

namespace {
ZnCFtpClient* gClient = nullptr;

QString fromLocal(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
}

ZnCFtpClient::ZnCFtpClient()
{
    gClient = this;
}

bool ZnCFtpClient::download(const std::string& serverPath, const std::string& localPath, int id)
{
    TcpSocketClient::instance()->addDownloadTask(fromLocal(serverPath), fromLocal(localPath), id);
    return true;
}

bool ZnCFtpClient::rename(const std::string& oldPath, const std::string& newPath, int isDir)
{
    TcpSocketClient::instance()->addRenameTask(fromLocal(oldPath), fromLocal(newPath), isDir);
    return true;
}

bool ZnCFtpClient::deleteFile(const QString& path)
{
    TcpSocketClient::instance()->addDeleteTask(path, 0);
    return true;
}

bool ZnCFtpClient::deleteDir(const QString& path)
{
    TcpSocketClient::instance()->addDeleteTask(path, 1);
    return true;
}

void ZnCFtpClient::listMediaDir(const QString& folder)
{
    {
        QMutexLocker lock(&gMediaTableMutex);
        m_mediaList.clear();
    }
    // The callback is in place before the worker can answer, or the first
    // listing would find none and be dropped.
    TcpSocketClient::instance()->setMediaListCallback(&ZnCFtpClient::onMediaListReady);
    TcpSocketClient::instance()->addGetFileListTask(folder);
}

bool ZnCFtpClient::createDir(const QString& path)
{
    TcpSocketClient::instance()->addCreateDirTask(path);
    return true;
}

bool ZnCFtpClient::upload(const std::string& localPath, const std::string& serverPath, int id)
{
    TcpSocketClient::instance()->addUploadTask(fromLocal(localPath), fromLocal(serverPath), id);
    return true;
}

void ZnCFtpClient::listTaskDir(const QString& folder)
{
    {
        QMutexLocker lock(&gMediaTableMutex);
        m_taskList.clear();
    }
    TcpSocketClient::instance()->setTaskListCallback(&ZnCFtpClient::onTaskListReady);
    TcpSocketClient::instance()->fetchTaskFileList(folder);
}

void ZnCFtpClient::setMediaBrowser(ZnMediaListSink* browser)
{
    QMutexLocker lock(&m_sinkMutex);
    m_mediaBrowser = browser;
}

void ZnCFtpClient::setTaskBrowser(ZnMediaListSink* browser)
{
    QMutexLocker lock(&m_sinkMutex);
    m_taskBrowser = browser;
}

ZnMediaListSink* ZnCFtpClient::mediaBrowser() const
{
    QMutexLocker lock(&m_sinkMutex);
    return m_mediaBrowser;
}

ZnMediaListSink* ZnCFtpClient::taskBrowser() const
{
    QMutexLocker lock(&m_sinkMutex);
    return m_taskBrowser;
}

QList<ZnMediaFile_t> ZnCFtpClient::mediaList() const
{
    QMutexLocker lock(&gMediaTableMutex);
    return m_mediaList;
}

QList<ZnMediaFile_t> ZnCFtpClient::taskList() const
{
    QMutexLocker lock(&gMediaTableMutex);
    return m_taskList;
}

void ZnCFtpClient::listReady(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error,
                             QList<ZnMediaFile_t>& own, ZnMediaListSink* ZnCFtpClient::*side)
{
    // The browser gets a copy of its own together with the folder it belongs to:
    // a later listing replacing this one never changes what it shows.
    QList<ZnMediaFile_t> copy;
    QList<ZnMediaFile_t> previous; // freed after the hand-over
    if (error.isEmpty()) {
        QMutexLocker lock(&gMediaTableMutex);
        previous.swap(own);
        own = *list;
        copy = own;
    }
    QMutexLocker lock(&m_sinkMutex);
    if (ZnMediaListSink* sink = this->*side)
        sink->emitDirListFinished(folder, copy, error);
}

void ZnCFtpClient::onMediaListReady(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error)
{
    if (gClient && list)
        gClient->listReady(list, folder, error, gClient->m_mediaList, &ZnCFtpClient::m_mediaBrowser);
}

void ZnCFtpClient::onTaskListReady(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error)
{
    if (gClient && list)
        gClient->listReady(list, folder, error, gClient->m_taskList, &ZnCFtpClient::m_taskBrowser);
}
