#pragma once

#include <cstdint>
#include <string>

class TiXmlDocument;
class TiXmlElement;

// Reading server XML. Attribute numbers are decimal text read the way atoi does;
// text that is no number reads as 0.
namespace ZnXmlText {

// False when the text is no XML, or nests elements deeper than a server answer ever
// does (the parser recurses once per level).
bool parse(TiXmlDocument& doc, const std::string& text);

// The first top-level element with that name, or null.
const TiXmlElement* topElement(const TiXmlDocument& doc, const char* name);

bool has(const TiXmlElement* e, const char* name);
std::string text(const TiXmlElement* e, const char* name);
// fallback when the attribute is absent.
int32_t toInt(const TiXmlElement* e, const char* name, int32_t fallback);
int64_t toInt64(const TiXmlElement* e, const char* name, int64_t fallback);

} // namespace ZnXmlText
