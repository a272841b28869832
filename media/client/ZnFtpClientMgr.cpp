#include "ZnFtpClientMgr.h"

#include "ZnCFtpClient.h"

#include <QDebug>

#include <exception>

namespace {
template <typename F>
int guarded(ZnCFtpClient* c, F fn)
{
    if (!c)
        return -1;
    try {
        return fn(c) ? 0 : -1;
    } catch (const std::exception& e) {
        qWarning() << "file service client:" << e.what();
        return -1;
    }
}
}

ZnFtpClientMgr::ZnFtpClientMgr() : m_client(new ZnCFtpClient) {}

ZnFtpClientMgr* ZnFtpClientMgr::instance()
{
    static ZnFtpClientMgr* mgr = new ZnFtpClientMgr;
    return mgr;
}

void ZnFtpClientMgr::getFileList(const QString& folder)
{
    if (m_client)
        m_client->listMediaDir(folder);
}

void ZnFtpClientMgr::getFileListOf(const QString& folder)
{
    if (m_client)
        m_client->listTaskDir(folder);
}

void ZnFtpClientMgr::changeDir(const std::string& folder)
{
    if (m_client)
        m_client->changeDir(folder);
}

int ZnFtpClientMgr::createDir(const QString& path)
{
    return guarded(m_client, [&](ZnCFtpClient* c) { return c->createDir(path); });
}

int ZnFtpClientMgr::renameFile(const std::string& oldPath, const std::string& newPath, int isDir)
{
    return guarded(m_client, [&](ZnCFtpClient* c) { return c->rename(oldPath, newPath, isDir); });
}

int ZnFtpClientMgr::deleteDir(const QString& path)
{
    return guarded(m_client, [&](ZnCFtpClient* c) { return c->isReady() && c->deleteDir(path); });
}

int ZnFtpClientMgr::deleteFile(const QString& path)
{
    return guarded(m_client, [&](ZnCFtpClient* c) { return c->deleteFile(path); });
}

int ZnFtpClientMgr::downloadFile(const std::string& serverPath, const std::string& localPath, int id)
{
    return guarded(m_client, [&](ZnCFtpClient* c) { return c->isReady() && c->download(serverPath, localPath, id); });
}

int ZnFtpClientMgr::uploadFiles(const std::string& localPath, const std::string& serverPath, int id)
{
    return guarded(m_client, [&](ZnCFtpClient* c) { return c->upload(localPath, serverPath, id); });
}

int ZnFtpClientMgr::pauseTransfer(int id)
{
    if (!m_client)
        return -1;
    return m_client->pause(id);
}
