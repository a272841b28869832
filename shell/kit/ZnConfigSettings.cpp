#include "ZnConfigSettings.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStringList>
#include <QVector>

#include <cstring>

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";
const char kHexDigits[] = "0123456789ABCDEF";

// A write reads the file, changes one line and replaces the file: one at a time.
QMutex &fileLock()
{
    static QMutex lock;
    return lock;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHexDigit(ushort c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

uint hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return uint(c - '0');
    return uint((c | 0x20) - 'a' + 10);
}

// One line of the file: its text [begin, end) and where the next line starts.
struct Line
{
    int begin;
    int end;
    int next;
};

QVector<Line> splitLines(const QByteArray &data)
{
    QVector<Line> lines;
    int from = data.startsWith(kUtf8Bom) ? 3 : 0;
    while (from < data.size()) {
        int end = from;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        int next = end;
        if (next < data.size() && data[next] == '\r')
            ++next;
        if (next < data.size() && data[next] == '\n')
            ++next;
        lines.append({from, end, next});
        from = next;
    }
    return lines;
}

// A line as QSettings reads it: a section header, a key line (the key before the
// first "=" outside quotes; the value up to a ";" outside quotes, without the
// blanks around it), or anything else.
struct ParsedLine
{
    enum Kind { Other, Header, Key } kind = Other;
    QByteArray name;
    int valueBegin = 0;
    int valueEnd = 0;
};

ParsedLine parseLine(const QByteArray &data, const Line &line)
{
    ParsedLine p;
    int i = line.begin;
    while (i < line.end && isBlank(data[i]))
        ++i;
    if (i == line.end || data[i] == ';')
        return p;
    if (data[i] == '[') {
        const int close = data.indexOf(']', i);
        const int nameEnd = close >= 0 && close < line.end ? close : line.end;
        p.kind = ParsedLine::Header;
        p.name = data.mid(i + 1, nameEnd - i - 1).trimmed();
        return p;
    }
    int equals = -1;
    int stop = line.end;
    bool quoted = false;
    for (int j = i; j < line.end; ++j) {
        const char c = data[j];
        if (c == '\\') {
            ++j;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == '=' && !quoted && equals < 0) {
            equals = j;
        } else if (c == ';' && !quoted) {
            stop = j;
            break;
        }
    }
    if (equals < 0)
        return p;
    p.kind = ParsedLine::Key;
    p.name = data.mid(i, equals - i).trimmed();
    p.valueBegin = equals + 1;
    while (p.valueBegin < stop && isBlank(data[p.valueBegin]))
        ++p.valueBegin;
    p.valueEnd = stop;
    while (p.valueEnd > p.valueBegin && isBlank(data[p.valueEnd - 1]))
        --p.valueEnd;
    return p;
}

// Keys and section names: "%XX" and "%UXXXX" escapes, "\" for "/".
QString unescapedKey(const QByteArray &key)
{
    QString out;
    for (int i = 0; i < key.size();) {
        const uchar c = uchar(key[i]);
        if (c == '\\') {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c == '%' && i + 2 < key.size()) {
            const bool wide = key[i + 1] == 'U';
            const int start = wide ? i + 2 : i + 1;
            const int digits = wide ? 4 : 2;
            bool ok = start + digits <= key.size();
            const uint v = ok ? key.mid(start, digits).toUInt(&ok, 16) : 0;
            if (ok) {
                out += QChar(ushort(v));
                i = start + digits;
                continue;
            }
        }
        out += QLatin1Char(char(c));
        ++i;
    }
    return out;
}

QByteArray escapedKey(const QString &key)
{
    QByteArray out;
    for (const QChar qc : key) {
        const ushort c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
                   || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHexDigits[c / 16];
            out += kHexDigits[c % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHexDigits[(c >> shift) & 0xF];
        }
    }
    return out;
}

// The section a header names, as a group: "General" is the group of keys without one.
QString sectionGroup(const QByteArray &header)
{
    if (header.compare("general", Qt::CaseInsensitive) == 0)
        return QString();
    if (header.compare("%general", Qt::CaseInsensitive) == 0)
        return QStringLiteral("general");
    return unescapedKey(header);
}

// "Group/Key" is Key in section [Group]; a key without "/" has no group.
QString groupOf(const QString &key)
{
    const int slash = key.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : key.left(slash);
}

// Where a key stands in the file, or where a new one goes.
struct Place
{
    ParsedLine key;    // kind Key when the file has the key (its last line)
    int insertAt = -1; // after the last key line (or header) of the key's group
    bool needsLineEnd = false;
};

Place findKey(const QByteArray &data, const QString &key, const QString &group)
{
    Place place;
    QString current; // keys before any header have no group
    for (const Line &line : splitLines(data)) {
        const ParsedLine p = parseLine(data, line);
        if (p.kind == ParsedLine::Other)
            continue;
        if (p.kind == ParsedLine::Header) {
            current = sectionGroup(p.name);
            if (current != group)
                continue;
        } else {
            const QString name = unescapedKey(p.name);
            if ((current.isEmpty() ? name : current + QLatin1Char('/') + name) == key)
                place.key = p;
            if (current != group)
                continue;
        }
        place.insertAt = line.next;
        place.needsLineEnd = line.next == line.end;
    }
    return place;
}

QByteArray lineEnd(const QByteArray &data)
{
    const int nl = data.indexOf('\n');
    return nl > 0 && data[nl - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

// UTF-8 as written, a byte-order mark at the start included (fromUtf8 drops it).
QString decoded(const char *bytes, int size)
{
    QString out;
    while (size >= 3 && std::memcmp(bytes, kUtf8Bom, 3) == 0) {
        out += QChar(0xFEFF);
        bytes += 3;
        size -= 3;
    }
    return out + QString::fromUtf8(bytes, size);
}

void chopTrailingBlanks(QString &text, int limit)
{
    int n = text.size();
    while (n > limit && (text[n - 1] == QLatin1Char(' ') || text[n - 1] == QLatin1Char('\t')))
        --n;
    text.truncate(n);
}

QVariant textToVariant(const QString &s)
{
    if (s.startsWith(QLatin1Char('@'))) {
        if (s.endsWith(QLatin1Char(')'))) {
            if (s.startsWith(QLatin1String("@ByteArray(")))
                return QVariant(s.mid(11, s.size() - 12).toLatin1());
            if (s.startsWith(QLatin1String("@String(")))
                return QVariant(s.mid(8, s.size() - 9));
            if (s == QLatin1String("@Invalid()"))
                return QVariant();
        }
        if (s.startsWith(QLatin1String("@@")))
            return QVariant(s.mid(1));
    }
    return QVariant(s);
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
    const Place place = findKey(data, key, groupOf(key));
    if (place.key.kind != ParsedLine::Key)
        return defaultValue;
    return unescapedValue(data.mid(place.key.valueBegin, place.key.valueEnd - place.key.valueBegin));
}

bool ZnConfigSettings::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker locker(&fileLock());
    bool ok = false;
    const QByteArray data = readFile(filePath, &ok);
    if (!ok)
        return false;
    const QString group = groupOf(key);
    const QString name = group.isEmpty() ? key : key.mid(group.size() + 1);
    const QByteArray text = escapedValue(value);
    const Place place = findKey(data, key, group);

    QByteArray out;
    if (place.key.kind == ParsedLine::Key) {
        const int begin = place.key.valueBegin;
        const int end = place.key.valueEnd;
        if (data.mid(begin, end - begin) == text)
            return true;
        out = data.left(begin) + text + data.mid(end);
    } else {
        const QByteArray eol = lineEnd(data);
        const QByteArray line = escapedKey(name) + '=' + text + eol;
        if (place.insertAt >= 0) {
            out =
                data.left(place.insertAt) + (place.needsLineEnd ? eol : QByteArray()) + line + data.mid(place.insertAt);
        } else {
            out = data;
            if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
                out += eol;
            if (!out.isEmpty())
                out += eol;
            out += '[' + (group.isEmpty() ? QByteArrayLiteral("General") : escapedKey(group)) + ']' + eol + line;
        }
    }

    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray ZnConfigSettings::escapedValue(const QVariant &value)
{
    if (!value.isValid())
        return QByteArrayLiteral("@Invalid()");
    QString s = value.toString();
    if (s.contains(QChar::Null))
        s = QStringLiteral("@String(") + s + QLatin1Char(')');
    else if (s.startsWith(QLatin1Char('@')))
        s.prepend(QLatin1Char('@'));

    QByteArray out;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (int i = 0; i < s.size(); ++i) {
        const ushort c = s.at(i).unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        // A digit right after a numeric escape would read as part of it.
        if (escapeNextIfDigit && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (c) {
        case 0:
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1F) {
                out += "\\x" + QByteArray::number(c, 16);
                escapeNextIfDigit = true;
            } else if (c < 0x80) {
                out += char(c);
            } else if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
                out += s.mid(i, 2).toUtf8();
                ++i;
            } else {
                out += QString(s.at(i)).toUtf8();
            }
        }
    }
    if (needsQuotes || (!out.isEmpty() && (out.startsWith(' ') || out.endsWith(' '))))
        out = '"' + out + '"';
    return out;
}

QVariant ZnConfigSettings::unescapedValue(const QByteArray &text)
{
    static const char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                       {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString current;
    QStringList list;
    bool isList = false;
    bool inQuotes = false;
    bool currentQuoted = false;
    int chopLimit = 0;
    int i = 0;
    const int to = text.size();
    const auto skipBlanks = [&] {
        while (i < to && isBlank(text[i]))
            ++i;
        chopLimit = current.size();
    };
    skipBlanks();
    while (i < to) {
        const char c = text[i];
        if (c == '\\') {
            if (++i >= to)
                break;
            const char e = text[i++];
            bool known = false;
            for (const auto &pair : kEscapes) {
                if (e == pair[0]) {
                    current += QLatin1Char(pair[1]);
                    known = true;
                    break;
                }
            }
            if (!known && e == 'x') {
                uint v = 0;
                bool any = false;
                while (i < to && isHexDigit(uchar(text[i]))) {
                    v = (v << 4) + hexValue(text[i]);
                    any = true;
                    ++i;
                }
                if (any)
                    current += QChar(ushort(v));
            } else if (!known && e >= '0' && e <= '7') {
                uint v = uint(e - '0');
                while (i < to && text[i] >= '0' && text[i] <= '7')
                    v = (v << 3) + uint(text[i++] - '0');
                current += QChar(ushort(v));
            }
            // Any other escaped character is dropped.
            chopLimit = current.size();
            continue;
        }
        if (c == '"') {
            ++i;
            currentQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
            continue;
        }
        if (c == ',' && !inQuotes) {
            if (!currentQuoted)
                chopTrailingBlanks(current, chopLimit);
            isList = true;
            list << current;
            current.clear();
            currentQuoted = false;
            ++i;
            skipBlanks();
            continue;
        }
        int j = i + 1;
        while (j < to && text[j] != '\\' && text[j] != '"' && text[j] != ',')
            ++j;
        current += decoded(text.constData() + i, j - i);
        i = j;
    }
    if (!currentQuoted)
        chopTrailingBlanks(current, chopLimit);
    if (isList) {
        list << current;
        return list;
    }
    return textToVariant(current);
}
