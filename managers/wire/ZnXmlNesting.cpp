#include "ZnXmlNesting.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

bool ZnXmlNesting::parse(TiXmlDocument& doc, const std::string& xml, TiXmlEncoding encoding)
{
    std::string padded;
    padded.reserve(xml.size() + 8);
    padded.append(xml).append(8, '\0');
    doc.Parse(padded.c_str(), nullptr, encoding);
    return !doc.Error();
}

namespace {

// Walks a text the way the XML reader does, step for step, and counts the element
// nesting it reaches. A cheaper scan that disagreed with the reader anywhere (an
// unknown node ending at the first '>', a UTF-8 lead byte stepping over a '<', an
// entity running to the next ';') would let a body nest deeper than it counted.
// It stops where the reader gives up; bytes past the text read as the NULs of the
// padded copy, and a NUL inside the text ends it as it ends the reader's walk.
class ReaderWalk
{
public:
    ReaderWalk(const std::string& xml, bool utf8, bool utf8AfterDeclaration)
        : m_xml(xml), m_utf8(utf8), m_utf8AfterDeclaration(utf8AfterDeclaration)
    {}

    // Stops once the nesting reaches stopAt.
    int deepest(int stopAt);

private:
    static constexpr std::size_t kFail = std::string::npos;

    char at(std::size_t i) const { return i < m_xml.size() ? m_xml[i] : '\0'; }
    unsigned char byte(std::size_t i) const { return static_cast<unsigned char>(at(i)); }
    bool ended(std::size_t p) const { return p == kFail || at(p) == '\0'; }

    // The reader's character classes, locale and all.
    static bool isWhite(char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r'; }
    static bool isAlpha(unsigned char c) { return c >= 127 || std::isalpha(c); }
    static bool isAlphaNum(unsigned char c) { return c >= 127 || std::isalnum(c); }
    int lower(char c) const
    {
        const int v = c;
        if (m_utf8)
            return v < 128 ? std::tolower(v) : v;
        return std::tolower(v);
    }

    bool startsWith(std::size_t p, const char* tag, bool ignoreCase = false) const;
    std::size_t skipWhite(std::size_t p) const;
    std::size_t nameEnd(std::size_t p) const;
    std::size_t nextChar(std::size_t p) const;
    std::size_t entity(std::size_t p) const;
    std::size_t textTo(std::size_t p, char end, bool trim) const;
    std::size_t attribute(std::size_t p) const;
    std::size_t declaration(std::size_t p) const;
    std::size_t cdata(std::size_t p) const;
    std::size_t comment(std::size_t p) const;
    std::size_t unknown(std::size_t p) const;

    const std::string& m_xml;
    bool m_utf8;
    bool m_utf8AfterDeclaration;
};

bool ReaderWalk::startsWith(std::size_t p, const char* tag, bool ignoreCase) const
{
    for (; *tag; ++tag, ++p) {
        const char c = at(p);
        if (!c || (ignoreCase ? lower(c) != lower(*tag) : c != *tag))
            return false;
    }
    return true;
}

std::size_t ReaderWalk::skipWhite(std::size_t p) const
{
    while (at(p)) {
        // Byte-order marks and the two UTF-8 non-characters count as blanks there.
        if (m_utf8 && byte(p) == 0xef
            && ((byte(p + 1) == 0xbb && byte(p + 2) == 0xbf)
                || (byte(p + 1) == 0xbf && (byte(p + 2) == 0xbe || byte(p + 2) == 0xbf)))) {
            p += 3;
        } else if (isWhite(at(p))) {
            ++p;
        } else {
            break;
        }
    }
    return p;
}

std::size_t ReaderWalk::nameEnd(std::size_t p) const
{
    if (!isAlpha(byte(p)) && at(p) != '_')
        return kFail;
    while (at(p) && (isAlphaNum(byte(p)) || at(p) == '_' || at(p) == '-' || at(p) == '.' || at(p) == ':'))
        ++p;
    return p;
}

// One character of text or of a value: in UTF-8 a lead byte takes as many bytes as
// it announces, whatever they are.
std::size_t ReaderWalk::nextChar(std::size_t p) const
{
    int length = 1;
    if (m_utf8) {
        const unsigned char b = byte(p);
        length = b >= 0xc2 && b <= 0xdf ? 2 : b >= 0xe0 && b <= 0xef ? 3 : b >= 0xf0 && b <= 0xf4 ? 4 : 1;
    }
    if (length == 1)
        return at(p) == '&' ? entity(p) : p + 1;
    return p + static_cast<std::size_t>(length);
}

// A numeric reference runs to the next ';' and is taken when the characters just
// before it are digits back to an 'x' (or '#'), whatever lies in between.
std::size_t ReaderWalk::entity(std::size_t p) const
{
    if (at(p + 1) != '#' || !at(p + 2))
        return p + 1; // named references hold no markup: stepping over them is the same
    const bool hex = at(p + 2) == 'x';
    if (hex && !at(p + 3))
        return kFail;
    std::size_t semicolon = p + (hex ? 3 : 2);
    while (at(semicolon) && at(semicolon) != ';')
        ++semicolon;
    if (!at(semicolon))
        return kFail;
    for (std::size_t q = semicolon - 1; at(q) != (hex ? 'x' : '#'); --q) {
        const char c = at(q);
        const bool digit = (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!digit)
            return kFail;
    }
    return semicolon + 1;
}

// Text up to end, which it steps past; fails at the end of the text, or when nothing follows end.
std::size_t ReaderWalk::textTo(std::size_t p, char end, bool trim) const
{
    if (trim)
        p = skipWhite(p);
    while (!ended(p) && at(p) != end)
        p = (trim && isWhite(at(p))) ? p + 1 : nextChar(p);
    if (ended(p) || !at(p + 1))
        return kFail;
    return p + 1;
}

std::size_t ReaderWalk::attribute(std::size_t p) const
{
    p = skipWhite(p);
    p = nameEnd(p);
    if (ended(p))
        return kFail;
    p = skipWhite(p);
    if (at(p) != '=')
        return kFail;
    p = skipWhite(p + 1);
    if (ended(p))
        return kFail;
    if (at(p) == '"' || at(p) == '\'')
        return textTo(p + 1, at(p), false);
    // Unquoted: up to a blank, '/' or '>'; a quote inside is an error.
    while (at(p) && !isWhite(at(p)) && at(p) != '/' && at(p) != '>') {
        if (at(p) == '"' || at(p) == '\'')
            return kFail;
        ++p;
    }
    return p;
}

std::size_t ReaderWalk::declaration(std::size_t p) const
{
    p += 5;
    while (!ended(p)) {
        if (at(p) == '>')
            return p + 1;
        p = skipWhite(p);
        if (startsWith(p, "version", true) || startsWith(p, "encoding", true) || startsWith(p, "standalone", true)) {
            p = attribute(p);
        } else {
            while (at(p) && at(p) != '>' && !isWhite(at(p)))
                ++p;
        }
    }
    return kFail;
}

std::size_t ReaderWalk::cdata(std::size_t p) const
{
    p += 9;
    while (at(p) && !startsWith(p, "]]>"))
        ++p;
    if (!at(p) || !at(p + 3))
        return kFail;
    return p + 3;
}

std::size_t ReaderWalk::comment(std::size_t p) const
{
    p += 4;
    while (at(p) && !startsWith(p, "-->"))
        ++p;
    return at(p) ? p + 3 : p;
}

std::size_t ReaderWalk::unknown(std::size_t p) const
{
    ++p;
    while (at(p) && at(p) != '>')
        ++p;
    return at(p) ? p + 1 : p;
}

int ReaderWalk::deepest(int stopAt)
{
    if (!m_utf8 && byte(0) == 0xef && byte(1) == 0xbb && byte(2) == 0xbf) {
        m_utf8 = true;
        m_utf8AfterDeclaration = false;
    }
    // The elements being read, as the offset and length of their names.
    std::vector<std::pair<std::size_t, std::size_t>> open;
    int deepest = 0;
    std::size_t p = skipWhite(0);
    while (!ended(p)) {
        if (at(p) != '<') {
            if (open.empty())
                break; // the reader takes no text outside the elements
            p = textTo(p, '<', true);
            if (p != kFail)
                --p; // the '<' starts the next node
        } else if (!open.empty() && startsWith(p, "</")) {
            const auto& name = open.back();
            if (m_xml.compare(p + 2, name.second, m_xml, name.first, name.second) != 0
                || p + 2 + name.second > m_xml.size())
                break;
            p = skipWhite(p + 2 + name.second);
            if (at(p) != '>')
                break;
            ++p;
            open.pop_back();
        } else if (startsWith(p, "<?xml", true)) {
            p = declaration(p);
            if (open.empty() && m_utf8AfterDeclaration) {
                m_utf8 = true;
                m_utf8AfterDeclaration = false;
            }
        } else if (startsWith(p, "<!--")) {
            p = comment(p);
        } else if (startsWith(p, "<![CDATA[")) {
            p = cdata(p);
        } else if (startsWith(p, "<!") || !(isAlpha(byte(p + 1)) || at(p + 1) == '_')) {
            p = unknown(p);
        } else {
            // An element one level below the open ones: its tag, then either the end
            // of an empty element or its content.
            deepest = std::max(deepest, static_cast<int>(open.size()) + 1);
            if (deepest >= stopAt)
                break;
            const std::size_t nameAt = skipWhite(p + 1);
            p = nameEnd(nameAt);
            if (ended(p))
                break;
            const std::size_t nameLength = p - nameAt;
            for (;;) {
                p = skipWhite(p);
                if (ended(p))
                    break;
                if (at(p) == '/') {
                    p = at(p + 1) == '>' ? p + 2 : kFail;
                    break;
                }
                if (at(p) == '>') {
                    ++p;
                    open.emplace_back(nameAt, nameLength);
                    break;
                }
                p = attribute(p);
                if (ended(p))
                    break;
            }
        }
        if (p == kFail)
            break;
        p = skipWhite(p);
    }
    return deepest;
}

} // namespace

int ZnXmlNesting::depth(const std::string& xml, int stopAt)
{
    // Without bytes past ASCII every way of reading is the same walk.
    const bool ascii =
        std::none_of(xml.begin(), xml.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    int deepest = ReaderWalk(xml, false, false).deepest(stopAt);
    if (ascii || deepest >= stopAt)
        return deepest;
    // Otherwise the reader steps through bytes one way until a declaration names
    // UTF-8 and another way after it, or from the start when asked for UTF-8.
    deepest = std::max(deepest, ReaderWalk(xml, true, false).deepest(stopAt));
    if (deepest >= stopAt)
        return deepest;
    return std::max(deepest, ReaderWalk(xml, false, true).deepest(stopAt));
}
