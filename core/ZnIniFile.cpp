#include "ZnIniFile.h"

#include "ZnFileReplace.h"
#include "ZnLineSplice.h"
#include "ZnRegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

namespace {

enum class LineKind { Ignored, Header, Key, BadHeader, Bad };

struct ParsedLine
{
    LineKind kind;
    std::string name; // section name or key
    std::string value;
    size_t valueBegin = 0; // where the value stands in the line
    size_t valueEnd = 0;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

ParsedLine parseLine(const std::string& s)
{
    const size_t n = s.size();
    size_t i = 0;
    while (i < n && isBlank(s[i]))
        ++i;
    if (i == n || s[i] == '#' || s[i] == ';' || isLineEnd(s[i]))
        return {LineKind::Ignored, {}, {}};

    if (s[i] == '[') {
        ++i;
        while (i < n && isBlank(s[i]))
            ++i;
        const size_t start = i;
        while (i < n && s[i] != ']' && !isBlank(s[i]) && !isLineEnd(s[i]))
            ++i;
        if (i == n || isLineEnd(s[i]))
            return {LineKind::BadHeader, {}, {}};
        std::string name = s.substr(start, i - start);
        while (i < n && isBlank(s[i]))
            ++i;
        if (i == n || s[i] != ']')
            return {LineKind::BadHeader, {}, {}};
        return {LineKind::Header, std::move(name), {}};
    }

    const size_t keyStart = i;
    while (i < n && !isBlank(s[i]) && !isLineEnd(s[i]) && s[i] != '=')
        ++i;
    std::string key = s.substr(keyStart, i - keyStart);
    while (i < n && isBlank(s[i]))
        ++i;
    if (i == n || s[i] != '=')
        return {LineKind::Bad, {}, {}};
    ++i;
    while (i < n && isBlank(s[i]))
        ++i;
    // The value is the rest of the line, inner blanks included.
    const size_t valueStart = i;
    size_t valueEnd = s.find_first_of("\r\n", i);
    if (valueEnd == std::string::npos)
        valueEnd = n;
    while (valueEnd > valueStart && isBlank(s[valueEnd - 1]))
        --valueEnd;
    return {LineKind::Key, std::move(key), s.substr(valueStart, valueEnd - valueStart), valueStart, valueEnd};
}

} // namespace

int ZnIniFile::load(const char* path, int* lineOut)
{
    if (!path)
        return -1;
    std::string bytes;
    ZnRegularFile::Refusal refusal;
    const ZnRegularFile::Result read = ZnRegularFile::read(path, kMaxFileBytes, &bytes, nullptr, &refusal);
    if (read != ZnRegularFile::Read) {
        if (lineOut)
            *lineOut = -1;
        // The model stays, but is not written anywhere: what it would replace is unknown.
        if (read == ZnRegularFile::Refused) {
            m_readFailed = true;
            m_refusal = refusal;
            m_refusedForm = ZnTextForm::Text;
        }
        return -1;
    }
    // No line of such a file can be found, and ours written into it would leave
    // it in two encodings: it is kept as it is, like a file refused unread.
    const ZnTextForm::Form form = ZnTextForm::of(bytes.data(), bytes.size());
    if (form != ZnTextForm::Text) {
        if (lineOut)
            *lineOut = -1;
        m_readFailed = true;
        m_refusedForm = form;
        m_refusal = ZnRegularFile::Refusal();
        return -1;
    }
    clear();
    // Parsed in place: the bytes stay for save to change.
    m_text.swap(bytes);
    const std::string& all = m_text;

    int line = 0;
    int firstBad = 0;
    ZnIniSection* current = nullptr;
    // After a header that did not parse, the lines up to the next good header belong
    // to a section we cannot name: they are kept as they are.
    bool orphaned = false;
    // A line ends at LF, CR LF or a lone CR, as QSettings reads the same file: an
    // editor may save with any of them. Notepad puts a byte-order mark first.
    const size_t size = all.size();
    size_t from = all.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    size_t nextLf = all.find('\n', from);
    if (nextLf == std::string::npos)
        nextLf = size;
    // Read at once and cut there: QIODevice::readLine() sizes a buffer of its
    // chunk size for every line, which made a load a thousand allocations.
    while (from < size) {
        if (nextLf < from) {
            nextLf = all.find('\n', from);
            if (nextLf == std::string::npos)
                nextLf = size;
        }
        const void* cr = std::memchr(all.data() + from, '\r', nextLf - from);
        const size_t end = cr ? static_cast<size_t>(static_cast<const char*>(cr) - all.data()) : nextLf;
        const std::string text = all.substr(from, end - from);
        const int lineBegin = static_cast<int>(from);
        from = end == size ? size : end + (all.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++line;
        ParsedLine p = parseLine(text);
        switch (p.kind) {
        case LineKind::Ignored:
            continue;
        case LineKind::Header:
            current = findSection(p.name);
            if (!current)
                current = addSection(p.name);
            current->setInsertAt(static_cast<int>(from));
            orphaned = false;
            continue;
        case LineKind::Key:
            if (current && !orphaned) {
                current->setReadValue(p.name, p.value, lineBegin + static_cast<int>(p.valueBegin),
                                      lineBegin + static_cast<int>(p.valueEnd));
                current->setInsertAt(static_cast<int>(from));
                continue;
            }
            break;
        case LineKind::BadHeader:
            orphaned = true;
            break;
        case LineKind::Bad:
            break;
        }
        // A line that did not parse stays where it stands in the bytes.
        if (firstBad == 0)
            firstBad = line;
    }

    if (lineOut)
        *lineOut = firstBad ? firstBad : line;
    return (firstBad || m_readFailed) ? -1 : 0;
}

int ZnIniFile::save(const char* path, int* error) const
{
    if (error)
        *error = 0;
    if (!path || m_readFailed || ZnRegularFile::check(path, kMaxFileBytes, nullptr) == ZnRegularFile::Refused)
        return -1;

    ZnLineSplice splice(QByteArray::fromStdString(m_text));
    const auto line = [](const ZnIniKey& k) { return QByteArray::fromStdString(k.key + '=' + k.value); };
    for (const auto& s : m_sections) {
        if (s->insertAt() < 0) {
            QList<QByteArray> lines{QByteArray::fromStdString('[' + s->name() + ']')};
            for (const auto& k : s->keys())
                lines << line(*k);
            splice.appendLines(lines);
            continue;
        }
        for (const auto& k : s->keys()) {
            if (!k->changed)
                continue;
            if (k->begin >= 0)
                splice.replace(k->begin, k->end, QByteArray::fromStdString(k->value));
            else
                splice.insertLine(s->insertAt(), line(*k));
        }
    }
    const QByteArray out = splice.result();

    // A file past the limit would not be read again: refused as the disk refuses a
    // file past its limit.
    if (out.size() > kMaxFileBytes) {
        if (error)
            *error = EFBIG;
        return -1;
    }
    return ZnFileReplace::write(QFile::decodeName(path), out, error) ? 0 : -1;
}

const char* ZnIniFile::value(const char* section, const char* key, const char* defaultValue) const
{
    if (!section || !key)
        return nullptr;
    const ZnIniSection* s = findSection(section);
    if (!s)
        return defaultValue;
    const ZnIniKey* k = s->findKey(key);
    return k ? k->value.c_str() : nullptr;
}

int ZnIniFile::setValue(const char* section, const char* key, const char* value)
{
    if (!section || !key || !value)
        return -1;
    if (std::strpbrk(section, "\r\n \t]") || std::strpbrk(key, "\r\n \t=") || std::strpbrk(value, "\r\n"))
        return -1;
    // Such a key line would read back as a comment or a section header.
    if (key[0] == '#' || key[0] == ';' || key[0] == '[')
        return -1;
    // The reader trims blanks around a value, so such a value would come back changed.
    const size_t valueLen = std::strlen(value);
    if (valueLen > 0 && (isBlank(value[0]) || isBlank(value[valueLen - 1])))
        return -1;

    ZnIniSection* s = findSection(section);
    if (!s)
        s = addSection(section);
    s->setValue(key, value);
    return 0;
}

int ZnIniFile::setIntValue(const char* section, const char* key, int value)
{
    return setValue(section, key, std::to_string(value).c_str());
}

void ZnIniFile::clear()
{
    m_sections.clear();
    m_sectionIndex.clear();
    m_text.clear();
    m_readFailed = false;
    m_refusedForm = ZnTextForm::Text;
    m_refusal = ZnRegularFile::Refusal();
}

ZnIniSection* ZnIniFile::findSection(const std::string& name) const
{
    const auto at = m_sectionIndex.find(name);
    return at == m_sectionIndex.end() ? nullptr : m_sections[at->second].get();
}

ZnIniSection* ZnIniFile::addSection(const std::string& name)
{
    m_sectionIndex.emplace(name, m_sections.size());
    m_sections.push_back(std::make_unique<ZnIniSection>(name));
    return m_sections.back().get();
}
