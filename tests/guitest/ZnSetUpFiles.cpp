#include "ZnSetUpFiles.h"

#include "ZnAsUser.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace {
QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString linkText(const QByteArray &path)
{
    char text[PATH_MAX];
    const ssize_t n = ::readlink(path.constData(), text, sizeof text);
    return n < 0 ? QString() : QFile::decodeName(QByteArray(text, int(n)));
}

QString modeOf(const struct stat &st)
{
    return QStringLiteral("%1:%2 %3").arg(st.st_uid).arg(st.st_gid).arg(st.st_mode, 0, 8);
}
} // namespace

ZnSetUpFiles::ZnSetUpFiles(const QString &folder, const QStringList &lines, const QByteArray &earlier) : root(folder)
{
    for (const QString &line : lines) {
        const QStringList w = line.split(QLatin1Char(' '));
        Entry e;
        e.kind = w.value(0);
        e.path = w.value(1);
        e.text = w.value(2);
        const QString path = root + QLatin1Char('/') + e.path;
        const QByteArray at = QFile::encodeName(path);
        bool done = QDir().mkpath(QFileInfo(path).path());
        if (e.kind == QLatin1String("f")) {
            QFile f(path);
            done = done && f.open(QIODevice::WriteOnly) && f.write(earlier) == earlier.size();
            f.close();
            done = done && ::chmod(at.constData(), 0640) == 0 && (::geteuid() != 0 || ZnAsUser::giveTo(path));
        } else if (e.kind == QLatin1String("l")) {
            e.text.replace(QLatin1Char('@'), root);
            done = done && ::symlink(QFile::encodeName(e.text).constData(), at.constData()) == 0;
        } else if (e.kind == QLatin1String("h")) {
            done = done && ::link(QFile::encodeName(root + QLatin1Char('/') + e.text).constData(), at.constData()) == 0;
        } else {
            reason = QStringLiteral("no such entry: ") + line;
            return;
        }
        if (!done || ::lstat(at.constData(), &e.st) != 0) {
            reason = line + QStringLiteral(": ") + errnoText();
            return;
        }
        entries << e;
    }
}

QString ZnSetUpFiles::changed(const QString &written, const QByteArray &bytes) const
{
    const QString path = root + QLatin1Char('/') + written;
    QFile file(path);
    const QByteArray now = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    if (now != bytes)
        return QStringLiteral("%1 holds %2 bytes, not the %3 written").arg(written).arg(now.size()).arg(bytes.size());
    QStringList expected;
    for (const Entry &e : entries) {
        expected << e.path;
        const QByteArray at = QFile::encodeName(root + QLatin1Char('/') + e.path);
        struct stat st;
        if (::lstat(at.constData(), &st) != 0)
            return e.path + QStringLiteral(" is gone");
        if (e.kind == QLatin1String("l")) {
            if (!S_ISLNK(st.st_mode) || linkText(at) != e.text)
                return QStringLiteral("%1 is no longer the link to %2").arg(e.path, e.text);
            continue;
        }
        if (modeOf(st) != modeOf(e.st))
            return QStringLiteral("%1 was %2, is %3").arg(e.path, modeOf(e.st), modeOf(st));
        struct stat other;
        if (e.kind == QLatin1String("h")
            && (::stat(QFile::encodeName(root + QLatin1Char('/') + e.text).constData(), &other) != 0
                || other.st_ino != st.st_ino || other.st_dev != st.st_dev))
            return QStringLiteral("%1 no longer shares the file of %2").arg(e.path, e.text);
    }
    const QString named = QDir(QDir(root).canonicalPath()).relativeFilePath(QFileInfo(path).canonicalFilePath());
    if (!expected.contains(named))
        expected << named;
    expected.sort();
    const QStringList below = filesBelow(root);
    if (below != expected)
        return QStringLiteral("below the folder: %1; expected %2")
            .arg(below.join(QLatin1String(", ")), expected.join(QLatin1String(", ")));
    return QString();
}

QStringList ZnSetUpFiles::filesBelow(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(folder.size() + 1);
    out.sort();
    return out;
}
