#include "ZnLevel.h"

#include "ZnFixedText.h"
#include "ZnRow.h"

#include <cstring>
#include <tinyxml.h>

ZnLevel::ZnLevel()
{
    std::memset(name, 0, sizeof name);
}

void ZnLevel::readFrom(const TiXmlElement& element)
{
    if (const char* v = element.Attribute("id"))
        id = static_cast<uint16_t>(ZnRow::atoi(v));
    if (const char* v = element.Attribute("name"))
        ZnFixedText::copy(name, sizeof name, v);
    if (const char* v = element.Attribute("lv"))
        lv = static_cast<uint16_t>(ZnRow::atoi(v));
    if (const char* v = element.Attribute("type"))
        type = static_cast<uint16_t>(ZnRow::atoi(v));
}
