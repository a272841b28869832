#include "ZnFileReply.h"

#include <QCoreApplication>
#include <json/json.h>
#include <simdjson.h>

#include <limits>
#include <memory>

bool ZnFileReply::isComplete(const QByteArray& bytes)
{
    return bytes.endsWith(kEnd);
}

bool ZnFileReply::readObject(const QByteArray& reply, Json::Value& object)
{
    const int len = reply.endsWith(kEnd) ? reply.size() - kEndSize : reply.size();
    // Never destroyed: the file service's worker may read a reply at exit.
    static const Json::CharReaderBuilder* const builder = [] {
        auto* b = new Json::CharReaderBuilder;
        (*b)["stackLimit"] = 64;
        (*b)["rejectDupKeys"] = false;
        return b;
    }();
    std::unique_ptr<Json::CharReader> reader(builder->newCharReader());
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

bool ZnFileReply::readListing(const QByteArray& reply, QList<ZnMediaFile_t>& out, QString* command, QString* cseq)
{
    // Listings run to thousands of entries: they are read with simdjson.
    const size_t len = size_t(reply.endsWith(kEnd) ? reply.size() - kEndSize : reply.size());
    thread_local simdjson::dom::parser parser;
    simdjson::dom::element root;
    if (parser.parse(simdjson::padded_string(reply.constData(), len)).get(root) != simdjson::SUCCESS
        || !root.is_object())
        return false;
    const auto text = [](auto o, const char* key) {
        std::string_view v;
        return o[key].get(v) == simdjson::SUCCESS ? QString::fromUtf8(v.data(), int(v.size())) : QString();
    };
    if (command)
        *command = text(root, "Command");
    if (cseq)
        *cseq = text(root, "CSeq");
    simdjson::dom::array list;
    if (root["FileList"].get(list) != simdjson::SUCCESS)
        return false;
    out.clear();
    out.reserve(int(qMin<size_t>(list.size(), 1u << 20)));
    // Files go straight to their places; the few folders are put in front at the end.
    QList<ZnMediaFile_t> folders;
    // Entries of one listing mostly share their folder and often their date: those
    // texts are made and checked once and then shared.
    QString lastDir;
    bool lastDirSafe = false;
    std::string_view lastDateBytes;
    QString lastDate;
    for (simdjson::dom::element e : list) {
        simdjson::dom::object o;
        std::string_view name;
        if (e.get(o) != simdjson::SUCCESS || o["FileName"].get(name) != simdjson::SUCCESS)
            continue;
        ZnMediaFile_t f;
        f.FileName = QString::fromUtf8(name.data(), int(name.size()));
        f.Size = text(o, "Size");
        std::string_view date;
        if (o["CreatDate"].get(date) != simdjson::SUCCESS) {
            f.CreatDate = QString();
        } else {
            if (date != lastDateBytes || lastDate.isNull()) {
                lastDateBytes = date;
                lastDate = QString::fromUtf8(date.data(), int(date.size()));
            }
            f.CreatDate = lastDate;
        }
        f.isDir = f.Size == QLatin1String("-1") ? 1 : 0;
        const int slash = f.FileName.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0 && !lastDir.isNull() && QStringRef(&f.FileName, 0, slash + 1) == lastDir) {
            f.dirPart = lastDir;
        } else {
            f.dirPart = slash < 0 ? QString() : f.FileName.left(slash + 1);
            lastDir = f.dirPart;
            lastDirSafe = !f.dirPart.contains(QLatin1String("/../")) && !f.dirPart.contains(QLatin1String("/./"))
                          && !f.dirPart.startsWith(QLatin1String("../")) && !f.dirPart.contains(QLatin1Char('\\'));
        }
        f.namePart = slash < 0 ? f.FileName : f.FileName.mid(slash + 1);
        if (!lastDirSafe || !ZnMediaFile_t::isSafeName(f.namePart))
            continue;
        if (f.isDir)
            folders.append(f);
        else
            out.append(f);
    }
    for (const ZnMediaFile_t& folder : folders)
        out.prepend(folder);
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
