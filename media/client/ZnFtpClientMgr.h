#pragma once

#include <QMutex>
#include <QString>

#include <string>

class ZnCFtpClient;

// The process-wide front through which the pages use the file service. Each
// operation answers 0, or -1 when the client refused or failed.
class ZnFtpClientMgr
{
public:
    static ZnFtpClientMgr* instance();
    ZnCFtpClient* client() { return m_client; }

    void getFileList(const QString& folder);
    void getFileListOf(const QString& folder);
    void changeDir(const std::string& folder);
    int createDir(const QString& path);
    int renameFile(const std::string& oldPath, const std::string& newPath, int isDir);
    int deleteDir(const QString& path);
    int deleteFile(const QString& path);
    int downloadFile(const std::string& serverPath, const std::string& localPath, int id);
    int uploadFiles(const std::string& localPath, const std::string& serverPath, int id);
    int pauseTransfer(int id);

private:
    ZnFtpClientMgr();

    ZnCFtpClient* m_client = nullptr;
    QMutex m_mutex;
};
