#include "ZnFileReply.h"

#include <json/json.h>

#include <limits>
#include <memory>

const QByteArray ZnFileReply::kEnd("\r\n\r\n");

bool ZnFileReply::isComplete(const QByteArray& bytes)
{
    return bytes.endsWith(kEnd);
}

bool ZnFileReply::readObject(const QByteArray& reply, Json::Value& object)
{
    const int len = reply.endsWith(kEnd) ? reply.size() - kEnd.size() : reply.size();
    static const Json::CharReaderBuilder builder = [] {
        Json::CharReaderBuilder b;
        b["stackLimit"] = 64;
        b["rejectDupKeys"] = false;
        return b;
    }();
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string error;
    try {
        if (!reader->parse(reply.constData(), reply.constData() + len, &object, &error))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    return object.isObject();
}

QString ZnFileReply::text(const Json::Value& object, const char* key)
{
    if (!object.isObject())
        return QString();
    const Json::Value& v = object[key];
    if (!v.isString())
        return QString();
    const char* begin = nullptr;
    const char* end = nullptr;
    v.getString(&begin, &end);
    return QString::fromUtf8(begin, static_cast<int>(end - begin));
}

bool ZnFileReply::readListing(const QByteArray& reply, QList<ZnMediaFile_t>& out)
{
    Json::Value root;
    if (!readObject(reply, root))
        return false;
    const Json::Value& list = root["FileList"];
    if (!list.isArray())
        return false;
    out.clear();
    QList<ZnMediaFile_t> files;
    for (const Json::Value& e : list) {
        if (!e.isObject() || !e["FileName"].isString())
            continue;
        ZnMediaFile_t f;
        f.setFrom(text(e, "FileName"), text(e, "Size"), text(e, "CreatDate"));
        if (!ZnMediaFile_t::isSafeName(f.namePart) || f.dirPart.contains(QLatin1String("/../"))
            || f.dirPart.contains(QLatin1String("/./")) || f.dirPart.startsWith(QLatin1String("../"))
            || f.dirPart.contains(QLatin1Char('\\')))
            continue;
        if (f.isDir)
            out.prepend(f);
        else
            files.append(f);
    }
    out.append(files);
    return true;
}

qint64 ZnFileReply::readFileLen(const QByteArray& header)
{
    Json::Value root;
    if (!readObject(header, root))
        return -1;
    const Json::Value& v = root["FileLen"];
    QByteArray digits;
    if (v.isString()) {
        digits = QByteArray::fromStdString(v.asString());
    } else if (v.isUInt64()) {
        const Json::UInt64 n = v.asUInt64();
        return n > static_cast<Json::UInt64>(std::numeric_limits<qint64>::max()) ? -1 : static_cast<qint64>(n);
    } else {
        return -1;
    }
    if (digits.isEmpty() || digits.size() > 18)
        return -1;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
    }
    return digits.toLongLong();
}

bool ZnFileReply::readUploadAnswer(const QByteArray& reply, QString* reason)
{
    Json::Value root;
    if (!readObject(reply, root)) {
        if (reason)
            *reason = QStringLiteral("no answer");
        return false;
    }
    if (!root.isMember("Result"))
        return true;
    const QString result = text(root, "Result");
    if (result == QLatin1String("OK") || result == QLatin1String("0"))
        return true;
    if (reason) {
        *reason = text(root, "Reason");
        if (reason->isEmpty())
            *reason = QStringLiteral("refused");
    }
    return false;
}
