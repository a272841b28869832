#include "ZnDigest.h"

#include <QByteArray>
#include <QDateTime>
#include <QMessageAuthenticationCode>

#include <json/json.h>

#include <cstring>

namespace {
const std::size_t kBlockSize = 64;
const std::size_t kHexSize = 40;
}

void hmacSha1Hex(const unsigned char *message, std::size_t messageLength, char *out, const unsigned char *key,
                 std::size_t keyLength)
{
    if (!message || !out || !key || keyLength > kBlockSize)
        return;
    const QByteArray mac = QMessageAuthenticationCode::hash(
        QByteArray::fromRawData(reinterpret_cast<const char *>(message), static_cast<int>(messageLength)),
        QByteArray::fromRawData(reinterpret_cast<const char *>(key), static_cast<int>(keyLength)),
        QCryptographicHash::Sha1);
    const QByteArray hex = mac.toHex();
    std::memcpy(out, hex.constData(), kHexSize);
}

std::string hmacSha1Hex(const std::string &message, const std::string &key)
{
    if (key.size() > kBlockSize)
        return std::string();
    char out[kHexSize];
    hmacSha1Hex(reinterpret_cast<const unsigned char *>(message.data()), message.size(), out,
                reinterpret_cast<const unsigned char *>(key.data()), key.size());
    return std::string(out, kHexSize);
}

bool loginPasswordFits(const std::string &password)
{
    return password.size() <= kBlockSize;
}

std::string loginTimeText(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toStdString();
}

std::string loginDigestText(const std::string &name, const std::string &password, const std::string &time)
{
    return "Name$" + name + "$PassWord$" + password + "$Time$" + time;
}

std::string loginBody(const std::string &name, const std::string &password, const std::string &time)
{
    Json::Value body(Json::objectValue);
    body["Name"] = name;
    body["PassWord"] = hmacSha1Hex(loginDigestText(name, password, time), password);
    body["Time"] = time;
    Json::FastWriter writer;
    return writer.write(body);
}
