// config.ini over arbitrary file bytes, as the start-up keys, the title and the
// last folders read and write it: a value written reads back as given, and the
// write changes the one line of its key (or adds it, or its new section): every
// other line of the file stays byte for byte, in its order.
#include "FuzzCheck.h"
#include "ZnConfigSettings.h"
#include "ZnIniFile.h"

#include <QFile>
#include <QList>

#include <unistd.h>

namespace {
QString tempPath()
{
    // Memory-backed where there is one: saving syncs the file to disk.
    static const QString dir = QString::fromLatin1(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    return dir + QStringLiteral("/zn_fuzz_config_") + QString::number(getpid());
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Lines as the writer sees them: cut at every line break.
QList<QByteArray> lines(QByteArray data)
{
    data.replace("\r\n", "\n").replace('\r', '\n');
    return data.split('\n');
}

// After the lines the two have in common at the start and at the end, what is
// left of before is at most the one line changed, and of after at most that line
// or a new section's few.
bool keptButOne(const QList<QByteArray> &before, const QList<QByteArray> &after)
{
    int head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    int tail = 0;
    while (tail < before.size() - head && tail < after.size() - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.size() - head - tail <= 1 && after.size() - head - tail <= 4;
}

// Where QSettings reads otherwise than line by line, and a write may be refused:
// a quote or a backslash (a value read on across lines), or a header of a section
// inside another ("[Setting/x]": QSettings then seeks the key in that one only).
bool readsOtherwise(const QByteArray &bytes)
{
    if (bytes.contains('"') || bytes.contains('\\'))
        return true;
    for (const QByteArray &line : lines(bytes)) {
        const QByteArray text = line.trimmed();
        if (text.startsWith('[') && (text.contains('/') || text.contains('%')))
            return true;
    }
    return false;
}
} // namespace

FUZZ_TARGET(input)
{
    // The bytes after the first NUL, if any, are the value to write.
    const size_t nul = input.find('\0');
    const std::string fileBytes = input.substr(0, nul);
    const QString value =
        nul == std::string::npos ? QStringLiteral("v") : QString::fromStdString(input.substr(nul + 1));

    const QString path = tempPath();
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(fileBytes.data(), qint64(fileBytes.size()));
    }
    ZnConfigSettings config(path);
    for (const char *key : {"Setting/Title", "Setting/BoardType", "LogLastFilePath", "a/b/c"})
        config.value(QLatin1String(key));

    for (const char *key : {"Setting/Title", "LogLastFilePath"}) {
        const QByteArray bytes = read(path);
        const QList<QByteArray> old = lines(bytes);
        // Refused only where QSettings reads otherwise, or the file would be too
        // large to read again; the file stays.
        if (!config.setValue(QLatin1String(key), value)) {
            FUZZ_CHECK(readsOtherwise(bytes) || bytes.size() + 8 * value.size() + 64 > ZnIniFile::kMaxFileBytes);
            FUZZ_CHECK(read(path) == bytes);
            continue;
        }
        FUZZ_CHECK(config.value(QLatin1String(key)).toString() == value);
        FUZZ_CHECK(keptButOne(old, lines(read(path))));
    }
    QFile::remove(path);
    if (8 * value.size() + 64 < ZnIniFile::kMaxFileBytes) {
        FUZZ_CHECK(config.setValue(QStringLiteral("Setting/Title"), value));
        FUZZ_CHECK(config.value(QStringLiteral("Setting/Title")).toString() == value);
    }
    QFile::remove(path);
}
