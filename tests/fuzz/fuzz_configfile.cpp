// config.ini over arbitrary file bytes, as the start-up keys, the title and the
// last folders read and write it: a value written reads back as given, and the
// write changes the one line of its key (or adds it): every other line of the
// file stays byte for byte, in its order.
#include "FuzzCheck.h"
#include "ZnConfigSettings.h"

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

// All lines of before stand in after, in order, but for at most one.
bool keptButOne(const QList<QByteArray> &before, const QList<QByteArray> &after)
{
    int missing = 0;
    int j = 0;
    for (const QByteArray &line : before) {
        int k = j;
        while (k < after.size() && after[k] != line)
            ++k;
        if (k == after.size()) {
            if (++missing > 1)
                return false;
        } else {
            j = k + 1;
        }
    }
    return true;
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
        const QList<QByteArray> old = lines(read(path));
        FUZZ_CHECK(config.setValue(QLatin1String(key), value));
        FUZZ_CHECK(config.value(QLatin1String(key)).toString() == value);
        FUZZ_CHECK(keptButOne(old, lines(read(path))));
    }
    FUZZ_CHECK(ZnConfigSettings::unescapedValue(ZnConfigSettings::escapedValue(value)).toString() == value);
    QFile::remove(path);
}
