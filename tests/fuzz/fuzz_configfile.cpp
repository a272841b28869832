// config.ini over arbitrary file bytes, as the start-up keys, the title and the
// last folders read and write it: a value written reads back as given, and the
// write changes the one line of its key (or adds it, or its new section): every
// other line of the file stays byte for byte, in its order. A file of no text
// (UTF-16) reads as empty and is never written.
#include "FuzzCheck.h"
#include "FuzzLines.h"
#include "ZnConfigSettings.h"
#include "ZnIniFile.h"

#include <QFile>

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

// Where QSettings reads otherwise than line by line, and a write may be refused:
// a quote or a backslash (a value read on across lines), or a header of a section
// inside another ("[Setting/x]": QSettings then seeks the key in that one only).
bool readsOtherwise(const QByteArray &bytes)
{
    if (bytes.contains('"') || bytes.contains('\\'))
        return true;
    for (const std::string &line : fuzzLines(bytes.toStdString())) {
        const QByteArray text = QByteArray::fromStdString(line).trimmed();
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
    const bool text = ZnTextForm::of(fileBytes.data(), fileBytes.size()) == ZnTextForm::Text;
    FUZZ_CHECK(text || !config.usable());
    for (const char *key : {"Setting/Title", "Setting/BoardType", "LogLastFilePath", "a/b/c"}) {
        const QVariant read = config.value(QLatin1String(key));
        FUZZ_CHECK(text || !read.isValid());
    }

    for (const char *key : {"Setting/Title", "LogLastFilePath"}) {
        const QByteArray bytes = read(path);
        const std::vector<std::string> old = fuzzLines(bytes.toStdString());
        // Refused only where QSettings reads otherwise, the file would be too large to
        // read again, or it is no text (UTF-16); the file stays.
        if (!config.setValue(QLatin1String(key), value)) {
            FUZZ_CHECK(readsOtherwise(bytes) || bytes.size() + 8 * value.size() + 64 > ZnIniFile::kMaxFileBytes
                       || ZnTextForm::of(bytes.constData(), size_t(bytes.size())) != ZnTextForm::Text);
            FUZZ_CHECK(read(path) == bytes);
            continue;
        }
        FUZZ_CHECK(config.value(QLatin1String(key)).toString() == value);
        FUZZ_CHECK(keptButOne(old, fuzzLines(read(path).toStdString())));
    }
    QFile::remove(path);
    if (8 * value.size() + 64 < ZnIniFile::kMaxFileBytes) {
        FUZZ_CHECK(config.setValue(QStringLiteral("Setting/Title"), value));
        FUZZ_CHECK(config.value(QStringLiteral("Setting/Title")).toString() == value);
    }
    QFile::remove(path);
}
