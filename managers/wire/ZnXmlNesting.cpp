#include "ZnXmlNesting.h"

bool ZnXmlNesting::parse(TiXmlDocument& doc, const std::string& xml, TiXmlEncoding encoding)
{
    std::string padded;
    padded.reserve(xml.size() + 8);
    padded.append(xml).append(8, '\0');
    doc.Parse(padded.c_str(), nullptr, encoding);
    return !doc.Error();
}

namespace {

// Index just past the next occurrence of end at or after from; npos when none.
std::size_t skipPast(const std::string& s, std::size_t from, const char* end)
{
    const std::size_t at = s.find(end, from);
    if (at == std::string::npos)
        return std::string::npos;
    return at + std::char_traits<char>::length(end);
}

} // namespace

int ZnXmlNesting::depth(const std::string& xml)
{
    int level = 0;
    int deepest = 0;
    std::size_t i = 0;
    const std::size_t n = xml.size();
    while (i < n) {
        i = xml.find('<', i);
        if (i == std::string::npos || i + 1 >= n)
            break;
        const char next = xml[i + 1];
        if (xml.compare(i, 4, "<!--") == 0) {
            i = skipPast(xml, i + 4, "-->");
        } else if (xml.compare(i, 9, "<![CDATA[") == 0) {
            i = skipPast(xml, i + 9, "]]>");
        } else if (next == '?') {
            i = skipPast(xml, i + 2, "?>");
        } else if (next == '!') {
            i = skipPast(xml, i + 2, ">");
        } else if (next == '/') {
            if (level > 0)
                --level;
            i = skipPast(xml, i + 2, ">");
        } else {
            // An opening tag: walk to its '>' with quoted values skipped.
            char quote = 0;
            char last = 0;
            std::size_t j = i + 1;
            for (; j < n; ++j) {
                const char c = xml[j];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                    continue;
                }
                if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
                    last = c;
                }
            }
            if (j >= n) {
                // An unclosed tag still opens a level for a reader that recovers.
                ++level;
                if (level > deepest)
                    deepest = level;
                break;
            }
            if (last != '/') {
                ++level;
                if (level > deepest)
                    deepest = level;
            } else if (level + 1 > deepest) {
                deepest = level + 1;
            }
            i = j + 1;
        }
        if (i == std::string::npos)
            break;
    }
    return deepest;
}
