#include "TransferRecord.h"

#include <QtEndian>

#include <cstring>

void TransferRecord::setText(char* field, int size, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > size - 1) {
        bytes.truncate(size - 1);
        // A cut never leaves half a UTF-8 character at the end.
        while (!bytes.isEmpty() && (uchar(bytes.back()) & 0xC0) == 0x80)
            bytes.chop(1);
        if (!bytes.isEmpty() && (uchar(bytes.back()) & 0x80))
            bytes.chop(1);
    }
    std::memset(field, 0, size_t(size));
    std::memcpy(field, bytes.constData(), size_t(bytes.size()));
}

int TransferRecord::hashName(const QByteArray& name)
{
    quint32 h = 5381;
    for (const char c : name)
        h = h * 33 + quint32(qint32(static_cast<signed char>(c)));
    return int(h & 0x7fffffff);
}

namespace {
template <typename T>
void put(char* at, T value)
{
    value = qToLittleEndian(value);
    std::memcpy(at, &value, sizeof value);
}

constexpr int kPathField = 256;

// A path that fits with its closing zero byte, else nothing: a cut path would
// read back as another file's.
void putPath(char* at, const QString& path)
{
    const QByteArray bytes = path.toUtf8();
    if (bytes.size() < kPathField)
        std::memcpy(at, bytes.constData(), size_t(bytes.size()));
}
}

bool TransferRecord::hasLongPath() const
{
    return source.toUtf8().size() >= kPathField || destination.toUtf8().size() >= kPathField;
}

QByteArray TransferRecord::noteWholePaths(qint32 position) const
{
    QByteArray out(4, '\0');
    put<qint32>(out.data(), position);
    for (const QString& path : {source, destination}) {
        const QByteArray bytes = path.toUtf8();
        QByteArray size(4, '\0');
        put<qint32>(size.data(), qint32(bytes.size()));
        out += size + bytes;
    }
    return out;
}

QByteArray TransferRecord::noteBytes() const
{
    char p[kNoteSize] = {};
    put<qint32>(p, id > 0 ? -id : id);
    put<qint32>(p + 4, pauseArg);
    put<qint32>(p + 8, state);
    std::memcpy(p + 12, name, sizeof name);
    put<qint64>(p + 144, total);
    put<qint64>(p + 152, done);
    put<qint64>(p + 160, shown);
    putPath(p + 168, source);
    putPath(p + 424, destination);
    // 680: the encoder (meaningless in a file) and 684: reserved, both left 0.
    return QByteArray(p, kNoteSize);
}
