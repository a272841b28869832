#include "ZnXmlText.h"

#include "ZnXmlNesting.h"

#include <tinyxml.h>

#include <climits>
#include <cstdlib>

namespace ZnXmlText {

bool parse(TiXmlDocument& doc, const std::string& text)
{
    if (text.empty() || !ZnXmlNesting::within(text))
        return false;
    return ZnXmlNesting::parse(doc, text, TIXML_ENCODING_UTF8);
}

const TiXmlElement* topElement(const TiXmlDocument& doc, const char* name)
{
    return doc.FirstChildElement(name);
}

bool has(const TiXmlElement* e, const char* name)
{
    return e && e->Attribute(name);
}

std::string text(const TiXmlElement* e, const char* name)
{
    const char* v = e ? e->Attribute(name) : nullptr;
    return v ? std::string(v) : std::string();
}

int32_t toInt(const TiXmlElement* e, const char* name, int32_t fallback)
{
    const int64_t v = toInt64(e, name, fallback);
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}

int64_t toInt64(const TiXmlElement* e, const char* name, int64_t fallback)
{
    const char* v = e ? e->Attribute(name) : nullptr;
    if (!v)
        return fallback;
    // strtoll clamps on overflow where atoi would be undefined.
    return static_cast<int64_t>(std::strtoll(v, nullptr, 10));
}

} // namespace ZnXmlText
