#include "ZnConfigSettings.h"

#include "ZnConfigNotice.h"
#include "ZnFileReplace.h"
#include "ZnIniFile.h"
#include "ZnLineSplice.h"
#include "ZnMemoryFile.h"
#include "ZnRegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QScopedPointer>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <cctype>
#include <cerrno>
#include <sys/statvfs.h>

namespace {

// A write reads the file, changes one line and replaces the file: one at a time.
QMutex &fileLock()
{
    static QMutex lock;
    return lock;
}

// QSettings reading bytes held in memory: config.ini is copied to no folder, so
// no copy of it outlives the console, however that ends. The same bytes again
// are not read again: a start reads several keys of a file that does not change,
// and QSettings takes its time over a large one.
class MemorySettings
{
public:
    QVariant value(const QByteArray &data, const QString &key, const QVariant &defaultValue)
    {
        if (!settings || data != shown) {
            shown.clear();
            if (!file.setData(data.constData(), static_cast<size_t>(data.size())))
                return defaultValue;
            // QSettings reads a file again once its size or time has changed, and
            // each setData() gives the file a time of its own.
            if (settings) {
                settings->sync();
            } else {
                settings.reset(new QSettings(QString::fromStdString(file.path()), QSettings::IniFormat));
                settings->setIniCodec("UTF-8");
            }
            shown = data;
        }
        return settings->value(key, defaultValue);
    }

private:
    ZnMemoryFile file;
    QScopedPointer<QSettings> settings;
    QByteArray shown;
};

// The reader the start's reads share, kept while the application runs.
QScopedPointer<MemorySettings> &sharedReader()
{
    static QScopedPointer<MemorySettings> reader;
    return reader;
}

void dropSharedReader()
{
    QMutexLocker locker(&fileLock());
    sharedReader().reset();
}

// The value QSettings reads for the key from these bytes (under fileLock()); the
// shared reader keeps them for the next call when keep is set.
QVariant readValue(const QByteArray &data, const QString &key, const QVariant &defaultValue, bool keep = true)
{
    if (!keep || !QCoreApplication::instance()) {
        MemorySettings once;
        return once.value(data, key, defaultValue);
    }
    QScopedPointer<MemorySettings> &reader = sharedReader();
    if (!reader) {
        static const bool dropped = (qAddPostRoutine(dropSharedReader), true);
        Q_UNUSED(dropped);
        reader.reset(new MemorySettings);
    }
    return reader->value(data, key, defaultValue);
}

// QSettings writing a file of its own in a fresh folder, which goes with it at the
// end of the write. QSettings writes a new file and renames it: that takes a
// folder, which memory has not.
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

// Why QSettings could not write its line in the temporary folder. It says no
// errno of its own: a folder with no room left is a full disk.
int scratchError()
{
    const int error = errno;
    struct statvfs vfs;
    if (::statvfs(QFile::encodeName(QDir::tempPath()).constData(), &vfs) == 0 && vfs.f_bavail == 0)
        return ENOSPC;
    return error ? error : EIO;
}

// The section header and the key's line that QSettings writes for key=value;
// false with error set when the temporary folder takes no file.
bool linesOf(const QString &key, const QVariant &value, QByteArray *header, QByteArray *line, int *error)
{
    // QSettings' UTF-8 writer encodes one UTF-16 unit at a time and so drops the
    // characters beyond U+FFFF: each goes in as a character the text does not
    // hold, and its UTF-8 takes that one's place in the line.
    QVariant written = value;
    QStringList wide;
    QChar mark(0xE000);
    if (value.userType() == QMetaType::QString) {
        QString text = value.toString();
        while (text.contains(mark))
            mark = QChar(mark.unicode() + 1);
        for (int i = 0; i + 1 < text.size(); ++i) {
            if (text.at(i).isHighSurrogate() && text.at(i + 1).isLowSurrogate()) {
                wide << text.mid(i, 2);
                text.replace(i, 2, mark);
            }
        }
        written = text;
    }
    errno = 0;
    ScratchSettings scratch;
    if (!scratch.isValid()) {
        *error = scratchError();
        return false;
    }
    scratch.settings()->setValue(key, written);
    scratch.settings()->sync();
    QFile file(scratch.path());
    // On a full disk QSettings may leave an empty file and report no error.
    const QList<QByteArray> lines = scratch.settings()->status() == QSettings::NoError && file.open(QIODevice::ReadOnly)
                                        ? file.readAll().split('\n')
                                        : QList<QByteArray>();
    if (lines.size() < 2) {
        *error = scratchError();
        return false;
    }
    *header = lines[0].trimmed();
    *line = lines[1].trimmed();
    const QByteArray markBytes = QString(mark).toUtf8();
    int at = 0;
    for (const QString &c : wide) {
        if ((at = line->indexOf(markBytes, at)) < 0)
            return false;
        line->replace(at, markBytes.size(), c.toUtf8());
    }
    // QSettings' reader takes a U+FEFF that starts a run of plain text for a
    // byte-order mark and drops it: write it as an escape, and the hex digits
    // right after it too, as QSettings does after its own numeric escapes.
    for (at = line->indexOf("\xEF\xBB\xBF"); at >= 0; at = line->indexOf("\xEF\xBB\xBF", at)) {
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

// Without the blanks QSettings skips around a line and a key (not all of trimmed()'s).
QByteArray blankTrimmed(const QByteArray &text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Where the key's line stands in the file, or where a new one goes.
struct Place
{
    int valueBegin = -1; // the value of the key's last line, when the file has it
    int valueEnd = -1;
    int insertAt = -1; // after the last key line (or header) of the key's section
};

// Lines as QSettings writes them: "[Section]" and "key=value ; comment", where
// "General" (any case) and the lines before the first header are one section. A
// section named in another spelling of its escapes is another one here.
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
        const QByteArray text = blankTrimmed(data.mid(from, end - from));
        const int equals = text.indexOf('=');
        if (text.startsWith('[')) {
            const QByteArray head = text.split(';').first();
            const QByteArray name = head.mid(1, head.indexOf(']') - 1).trimmed();
            inSection = general ? name.compare("General", Qt::CaseInsensitive) == 0 : name == section;
        } else if (equals < 0 || text.startsWith(';') || !inSection) {
            from = next;
            continue;
        } else if (blankTrimmed(text.left(equals)) == key) {
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
        if (inSection)
            place.insertAt = next;
        from = next;
    }
    return place;
}

// The file's bytes; empty for a missing one. ok is false for a file that is not
// read (see ZnRegularFile) or holds no text; why then gets the reason, form the
// form of such bytes, refusal why the file was not read.
QByteArray readFile(const QString &path, bool *ok, QString *why = nullptr, ZnTextForm::Form *form = nullptr,
                    ZnRegularFile::Refusal *refusal = nullptr)
{
    std::string bytes;
    std::string reason;
    const ZnRegularFile::Result read =
        ZnRegularFile::read(QFile::encodeName(path).constData(), ZnIniFile::kMaxFileBytes, &bytes, &reason, refusal);
    const ZnTextForm::Form judged = ZnTextForm::of(bytes.data(), bytes.size());
    if (judged != ZnTextForm::Text)
        reason = ZnTextForm::why(judged);
    *ok = read != ZnRegularFile::Refused && judged == ZnTextForm::Text;
    if (why)
        *why = QString::fromLocal8Bit(reason.c_str());
    if (form)
        *form = judged;
    return *ok ? QByteArray::fromStdString(bytes) : QByteArray();
}

// Why a write left the file as it was, to be told once the file is unlocked.
struct Unwritten
{
    ZnTextForm::Form form = ZnTextForm::Text;
    ZnRegularFile::Refusal refusal;
    int error = 0;
    bool readsOtherwise = false;
};

bool writeKey(const QString &path, const QString &key, const QVariant &value, Unwritten *why)
{
    QMutexLocker locker(&fileLock());
    bool ok = false;
    const QByteArray data = readFile(path, &ok, nullptr, &why->form, &why->refusal);
    QByteArray header;
    QByteArray line;
    if (!ok || !linesOf(key, value, &header, &line, &why->error))
        return false;
    const int equals = line.indexOf('=');
    const QByteArray text = line.mid(equals + 1);
    const Place place = findKey(data, header.mid(1, header.size() - 2), line.left(equals));

    QByteArray out;
    if (place.valueBegin >= 0 || place.insertAt >= 0) {
        ZnLineSplice splice(data);
        if (place.valueBegin >= 0)
            splice.replace(place.valueBegin, place.valueEnd, text);
        else
            splice.insertLine(place.insertAt, line);
        out = splice.result();
    }
    // A quote left open or a backslash at a line's end makes QSettings read on
    // across lines, so a line may lie inside another value: refuse rather than
    // write a value that does not read back (or cut what QSettings reads as one).
    const QVariant wanted = readValue(header + '\n' + line, key, QVariant(), false);
    if (out.isNull() || readValue(out, key, QVariant()) != wanted) {
        // The section again at the end of the file: where the file also names it
        // in other escapes, QSettings reads the two as one, the last line counting.
        ZnLineSplice again(data);
        again.appendLines({header, line});
        out = again.result();
        if (readValue(out, key, QVariant()) != wanted) {
            why->readsOtherwise = true;
            return false;
        }
    }
    if (out == data)
        return true;
    // A file past the limit would not be read again: refused as the disk refuses a
    // file past its limit.
    if (out.size() > ZnIniFile::kMaxFileBytes) {
        why->error = EFBIG;
        return false;
    }
    return ZnFileReplace::write(path, out, &why->error);
}

} // namespace

ZnConfigSettings::ZnConfigSettings() : filePath(QStringLiteral("config.ini")) {}

ZnConfigSettings::ZnConfigSettings(const QString &path) : filePath(path) {}

bool ZnConfigSettings::usable(QString *why, ZnTextForm::Form *form, ZnRegularFile::Refusal *refusal) const
{
    // Read as every reader reads it, so that a file it cannot open counts too.
    QMutexLocker locker(&fileLock());
    bool ok = false;
    readFile(filePath, &ok, why, form, refusal);
    return ok;
}

QVariant ZnConfigSettings::value(const QString &key, const QVariant &defaultValue) const
{
    QMutexLocker locker(&fileLock());
    bool ok = false;
    const QByteArray data = readFile(filePath, &ok);
    return ok ? readValue(data, key, defaultValue) : defaultValue;
}

bool ZnConfigSettings::setValue(const QString &key, const QVariant &value)
{
    Unwritten why;
    const bool written = writeKey(filePath, key, value, &why);
    // Told once the file is unlocked.
    if (why.form != ZnTextForm::Text || why.refusal.kind != ZnRegularFile::Refusal::None)
        ZnConfigNotice::notRead(why.form, why.refusal);
    else if (why.error != 0)
        ZnConfigNotice::notSaved(why.error);
    else if (why.readsOtherwise)
        ZnConfigNotice::notSavedForForm();
    return written;
}
