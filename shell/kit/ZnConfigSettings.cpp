#include "ZnConfigSettings.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QScopedPointer>
#include <QSettings>
#include <QTemporaryDir>

#include <cctype>

namespace {

// A write reads the file, changes one line and replaces the file: one at a time.
QMutex &fileLock()
{
    static QMutex lock;
    return lock;
}

// QSettings on a file of its own in a fresh folder. QSettings keeps what it read
// of a file and trusts it while the file's size and time stamp stay, which a quick
// rewrite of config.ini keeps: it reads a copy at a new path, always anew.
class ScratchSettings
{
public:
    bool isValid() const { return dir.isValid(); }
    QString path() const { return dir.filePath(QStringLiteral("config.ini")); }
    QSettings *settings()
    {
        if (!qs) {
            qs.reset(new QSettings(path(), QSettings::IniFormat));
            qs->setIniCodec("UTF-8");
        }
        return qs.data();
    }

private:
    QTemporaryDir dir;
    QScopedPointer<QSettings> qs;
};

// The value QSettings reads for the key from these bytes.
QVariant readValue(const QByteArray &data, const QString &key, const QVariant &defaultValue)
{
    ScratchSettings scratch;
    QFile copy(scratch.path());
    if (!scratch.isValid() || !copy.open(QIODevice::WriteOnly) || copy.write(data) != data.size())
        return defaultValue;
    copy.close();
    return scratch.settings()->value(key, defaultValue);
}

// The section header and the key's line that QSettings writes for key=value.
bool linesOf(const QString &key, const QVariant &value, QByteArray *header, QByteArray *line)
{
    ScratchSettings scratch;
    if (!scratch.isValid())
        return false;
    scratch.settings()->setValue(key, value);
    scratch.settings()->sync();
    QFile file(scratch.path());
    if (scratch.settings()->status() != QSettings::NoError || !file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.size() < 2)
        return false;
    *header = lines[0].trimmed();
    *line = lines[1].trimmed();
    // QSettings' reader takes a U+FEFF that starts a run of plain text for a
    // byte-order mark and drops it: write it as an escape, and the hex digits
    // right after it too, as QSettings does after its own numeric escapes.
    for (int at = line->indexOf("\xEF\xBB\xBF"); at >= 0; at = line->indexOf("\xEF\xBB\xBF", at)) {
        QByteArray escaped = "\\xfeff";
        int end = at + 3;
        for (; end < line->size() && std::isxdigit(uchar(line->at(end))); ++end)
            escaped += "\\x" + QByteArray::number(line->at(end), 16);
        line->replace(at, end - at, escaped);
    }
    return true;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Where the key's line stands in the file, or where a new one goes.
struct Place
{
    int valueBegin = -1; // the value of the key's last line, when the file has it
    int valueEnd = -1;
    int insertAt = -1; // after the last key line (or header) of the key's section
    bool needsLineEnd = false;
};

// Lines as QSettings writes them: "[Section]" and "key=value ; comment", where
// "General" (any case) and the lines before the first header are one section.
Place findKey(const QByteArray &data, const QByteArray &section, const QByteArray &key)
{
    const bool general = section.compare("General", Qt::CaseInsensitive) == 0;
    Place place;
    bool inSection = general;
    int from = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (from < data.size()) {
        int end = from;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        int next = end;
        if (next < data.size() && data[next] == '\r')
            ++next;
        if (next < data.size() && data[next] == '\n')
            ++next;
        const QByteArray text = data.mid(from, end - from).trimmed();
        const int equals = text.indexOf('=');
        if (text.startsWith('[')) {
            const QByteArray name = text.mid(1, text.indexOf(']') - 1).trimmed();
            inSection = general ? name.compare("General", Qt::CaseInsensitive) == 0 : name == section;
        } else if (equals < 0 || text.startsWith(';') || !inSection) {
            from = next;
            continue;
        } else if (text.left(equals).trimmed() == key) {
            // The value runs to a ";" outside quotes, without the blanks around it.
            int begin = data.indexOf('=', from) + 1;
            int stop = end;
            bool quoted = false;
            for (int i = begin; i < end && stop == end; ++i) {
                if (data[i] == '\\')
                    ++i;
                else if (data[i] == '"')
                    quoted = !quoted;
                else if (data[i] == ';' && !quoted)
                    stop = i;
            }
            while (begin < stop && isBlank(data[begin]))
                ++begin;
            while (stop > begin && isBlank(data[stop - 1]))
                --stop;
            place.valueBegin = begin;
            place.valueEnd = stop;
        }
        if (inSection) {
            place.insertAt = next;
            place.needsLineEnd = next == end;
        }
        from = next;
    }
    return place;
}

QByteArray lineEnd(const QByteArray &data)
{
    const int nl = data.indexOf('\n');
    return nl > 0 && data[nl - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

QByteArray readFile(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = true;
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly)) {
        *ok = false;
        return QByteArray();
    }
    const QByteArray data = file.readAll();
    *ok = file.error() == QFileDevice::NoError;
    return data;
}

} // namespace

ZnConfigSettings::ZnConfigSettings() : filePath(QStringLiteral("config.ini")) {}

ZnConfigSettings::ZnConfigSettings(const QString &path) : filePath(path) {}

QVariant ZnConfigSettings::value(const QString &key, const QVariant &defaultValue) const
{
    QMutexLocker locker(&fileLock());
    bool ok = false;
    const QByteArray data = readFile(filePath, &ok);
    return ok ? readValue(data, key, defaultValue) : defaultValue;
}

bool ZnConfigSettings::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker locker(&fileLock());
    bool ok = false;
    const QByteArray data = readFile(filePath, &ok);
    QByteArray header;
    QByteArray line;
    if (!ok || !linesOf(key, value, &header, &line))
        return false;
    const int equals = line.indexOf('=');
    const QByteArray text = line.mid(equals + 1);
    const Place place = findKey(data, header.mid(1, header.size() - 2), line.left(equals));

    QByteArray out;
    const QByteArray eol = lineEnd(data);
    if (place.valueBegin >= 0) {
        if (data.mid(place.valueBegin, place.valueEnd - place.valueBegin) == text)
            return true;
        out = data.left(place.valueBegin) + text + data.mid(place.valueEnd);
    } else if (place.insertAt >= 0) {
        out = data.left(place.insertAt) + (place.needsLineEnd ? eol : QByteArray()) + line + eol
              + data.mid(place.insertAt);
    } else {
        out = data;
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
            out += eol;
        if (!out.isEmpty())
            out += eol;
        out += header + eol + line + eol;
    }

    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
