#include "ZnFileReply.h"

#include <QCoreApplication>
#include <json/json.h>
#include <simdjson.h>

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
    // Listings run to thousands of entries: they are read with simdjson.
    const size_t len = size_t(reply.endsWith(kEnd) ? reply.size() - kEnd.size() : reply.size());
    thread_local simdjson::dom::parser parser;
    simdjson::dom::element root;
    if (parser.parse(simdjson::padded_string(reply.constData(), len)).get(root) != simdjson::SUCCESS
        || !root.is_object())
        return false;
    simdjson::dom::array list;
    if (root["FileList"].get(list) != simdjson::SUCCESS)
        return false;
    out.clear();
    QList<ZnMediaFile_t> files;
    const auto text = [](simdjson::dom::object& o, const char* key) {
        std::string_view v;
        return o[key].get(v) == simdjson::SUCCESS ? QString::fromUtf8(v.data(), int(v.size())) : QString();
    };
    for (simdjson::dom::element e : list) {
        simdjson::dom::object o;
        std::string_view name;
        if (e.get(o) != simdjson::SUCCESS || o["FileName"].get(name) != simdjson::SUCCESS)
            continue;
        ZnMediaFile_t f;
        f.setFrom(QString::fromUtf8(name.data(), int(name.size())), text(o, "Size"), text(o, "CreatDate"));
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

bool ZnFileReply::readAnswer(const QByteArray& reply, const char* command, QString* reason)
{
    const auto why = [reason](const QString& text) {
        if (reason)
            *reason = text;
        return false;
    };
    Json::Value root;
    if (!readObject(reply, root))
        return why(QCoreApplication::translate("TcpSocketClient", "no answer"));
    // A refusal may come as a reply of its own ("PostFileFail") without "Result".
    const QString said = text(root, "Reason");
    const QString answered = text(root, "Command");
    const bool otherCommand = root.isMember("Command") && answered != QLatin1String(command);
    const bool hasResult = root.isMember("Result");
    const QString result = text(root, "Result");
    const bool failed = hasResult && result != QLatin1String("OK") && result != QLatin1String("0");
    if (!otherCommand && !failed && !root.isMember("Reason"))
        return true;
    if (!said.isEmpty())
        return why(said);
    if (otherCommand)
        return why(QCoreApplication::translate("TcpSocketClient", "unexpected answer %1").arg(answered));
    return why(QCoreApplication::translate("TcpSocketClient", "refused"));
}
