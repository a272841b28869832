#pragma once

#include <QByteArray>
#include <QString>

// Request texts of the file service, each ending in "\r\n\r\n". Keys keep the
// service's order and spacing; every value is a JSON string written by the JSON
// writer, so quotes and backslashes in names are escaped and UTF-8 stays as is.
class ZnFileRequest
{
public:
    static QByteArray getFileRoot(int cseq);
    static QByteArray getFileList(int cseq, const QString& dirName);
    static QByteArray getFile(int cseq, const QString& dirName, const QString& fileName);
    static QByteArray postFile(int cseq, const QString& dirName, const QString& fileName, qint64 fileLen);
    static QByteArray deleteDir(int cseq, const QString& dirName);
    static QByteArray delFile(int cseq, const QString& dirName, const QString& fileName);
    // An empty folder selects the variant without "DirName" (files: with an empty "DirName").
    static QByteArray renameDir(int cseq, const QString& dirName, const QString& oldName, const QString& newName);
    static QByteArray renameFile(int cseq, const QString& dirName, const QString& oldName, const QString& newName);
    static QByteArray creatDir(int cseq, const QString& dirName);

    // One JSON string value, quoted and escaped.
    static QByteArray quoted(const QString& text);
};
