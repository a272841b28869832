#pragma once

#include "ZnMediaFile_t.h"

#include <QList>
#include <QString>

#include <string>

// The file-transfer interface the pages reach the file service through. It keeps
// the last listing of each side (media page, task dialogs), which the listing
// callbacks fill.
class ZnFtpClient
{
public:
    virtual ~ZnFtpClient() = default;
    virtual bool isReady() = 0;
    virtual bool download(const std::string& serverPath, const std::string& localPath, int id) = 0;
    virtual bool rename(const std::string& oldPath, const std::string& newPath, int isDir) = 0;
    virtual void changeDir(const std::string& folder) = 0;
    virtual int pause(int id) = 0;

protected:
    QList<ZnMediaFile_t> m_mediaList;
    QList<ZnMediaFile_t> m_taskList;
};
