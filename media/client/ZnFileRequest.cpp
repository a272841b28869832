#include "ZnFileRequest.h"

#include <json/json.h>

namespace {
// Plain bytes, nothing to destroy.
constexpr char kEnd[] = "\r\n\r\n";

QByteArray num(qint64 n)
{
    return ZnFileRequest::quoted(QString::number(n));
}

}

QByteArray ZnFileRequest::quoted(const QString& text)
{
    // Never destroyed: the worker writes requests on at exit.
    static const Json::StreamWriterBuilder* const builder = [] {
        auto* b = new Json::StreamWriterBuilder;
        (*b)["emitUTF8"] = true;
        (*b)["indentation"] = "";
        return b;
    }();
    const QByteArray utf8 = text.toUtf8();
    return QByteArray::fromStdString(
        Json::writeString(*builder, Json::Value(utf8.constData(), utf8.constData() + utf8.size())));
}

QByteArray ZnFileRequest::getFileRoot(int cseq)
{
    return "{\"Command\":\"GetFileRoot\",\"CSeq\":" + num(cseq) + "}" + kEnd;
}

QByteArray ZnFileRequest::getFileList(int cseq, const QString& dirName)
{
    return "{\"Command\":\"GetFileList\",\"DirName\":" + quoted(dirName) + ",\"CSeq\":" + num(cseq) + "}" + kEnd;
}

QByteArray ZnFileRequest::getFile(int cseq, const QString& dirName, const QString& fileName)
{
    return "{\"Command\": \"GetFile\", \"CSeq\": " + num(cseq) + ", \"DirName\": " + quoted(dirName)
           + ", \"FileName\": " + quoted(fileName) + "}" + kEnd;
}

QByteArray ZnFileRequest::postFile(int cseq, const QString& dirName, const QString& fileName, qint64 fileLen)
{
    return "{\"Command\":\"PostFile\",\"DirName\":" + quoted(dirName) + ",\"CSeq\":" + num(cseq)
           + ",\"FileName\":" + quoted(fileName) + ", \"FileLen\":" + num(fileLen) + "}" + kEnd;
}

QByteArray ZnFileRequest::deleteDir(int cseq, const QString& dirName)
{
    return "{\"Command\":\"DeleteDIR\",\"DirName\":" + quoted(dirName) + ",\"CSeq\":" + num(cseq) + "}" + kEnd;
}

QByteArray ZnFileRequest::delFile(int cseq, const QString& dirName, const QString& fileName)
{
    return "{\"Command\":\"DelFile\",\"DirName\":" + quoted(dirName) + ",\"FileName\":" + quoted(fileName)
           + ",\"CSeq\":" + num(cseq) + "}" + kEnd;
}

QByteArray ZnFileRequest::renameDir(int cseq, const QString& dirName, const QString& oldName, const QString& newName)
{
    QByteArray t = "{\"Command\":\"RenameDIR\",\"CSeq\":" + num(cseq);
    if (!dirName.isEmpty())
        t += ",\"DirName\":" + quoted(dirName);
    return t + ",\"OldDirName\":" + quoted(oldName) + ",\"NewDirName\":" + quoted(newName) + "}" + kEnd;
}

QByteArray ZnFileRequest::renameFile(int cseq, const QString& dirName, const QString& oldName, const QString& newName)
{
    return "{\"Command\":\"RenameFile\",\"CSeq\":" + num(cseq) + ",\"DirName\":" + quoted(dirName)
           + ",\"OldFileName\":" + quoted(oldName) + ",\"NewFileName\":" + quoted(newName) + "}" + kEnd;
}

QByteArray ZnFileRequest::creatDir(int cseq, const QString& dirName)
{
    return "{\"Command\":\"CreatDIR\",\"DirName\":" + quoted(dirName) + ",\"CSeq\":" + num(cseq) + "}" + kEnd;
}
