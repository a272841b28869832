#pragma once

#include "ZnFtpClient.h"
#include "ZnMediaFile_t.h"

#include <QList>
#include <QRecursiveMutex>

class QObject;

class ZnMediaListSink;

// The file-transfer client over the worker TcpSocketClient. It copies the last
// listing of each side (media page, task dialogs) into the interface's lists and
// hands it to the browser registered for that side.
class ZnCFtpClient : public ZnFtpClient
{
public:
    ZnCFtpClient();

    bool isReady() override { return true; }
    bool download(const std::string& serverPath, const std::string& localPath, int id) override;
    bool rename(const std::string& oldPath, const std::string& newPath, int isDir) override;
    void changeDir(const std::string&) override {}
    int pause(int) override { return 222; }
    virtual bool deleteFile(const QString& path);
    virtual void listMediaDir(const QString& folder);
    virtual bool deleteDir(const QString& path);

    bool createDir(const QString& path);
    bool upload(const std::string& localPath, const std::string& serverPath, int id);
    // Lists at once on the calling thread; the task browser has the answer when this returns.
    void listTaskDir(const QString& folder);

    // Browsers register and withdraw here; a browser withdraws before it goes.
    void setMediaBrowser(ZnMediaListSink* browser);
    void setTaskBrowser(ZnMediaListSink* browser);
    ZnMediaListSink* mediaBrowser() const;
    ZnMediaListSink* taskBrowser() const;
    void setTransferQueue(QObject* queue) { m_transferQueue = queue; }

    // Copies of the last listings (taken under gMediaTableMutex).
    QList<ZnMediaFile_t> mediaList() const;
    QList<ZnMediaFile_t> taskList() const;

    static void onMediaListReady(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error);
    static void onTaskListReady(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error);

private:
    void listReady(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error, QList<ZnMediaFile_t>& own,
                   ZnMediaListSink* ZnCFtpClient::*side);

    mutable QRecursiveMutex m_sinkMutex;
    ZnMediaListSink* m_mediaBrowser = nullptr;
    ZnMediaListSink* m_taskBrowser = nullptr;
    QObject* m_transferQueue = nullptr;
};
