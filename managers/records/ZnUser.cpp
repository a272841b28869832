#include "ZnUser.h"

#include "ZnFixedText.h"
#include "ZnRow.h"

#include <cstring>
#include <tinyxml.h>

ZnUser gCurrentUser;

ZnUser::ZnUser()
{
    std::memset(name, 0, sizeof name);
    std::memset(fn, 0, sizeof fn);
    std::memset(pw, 0, sizeof pw);
    std::memset(m, 0, sizeof m);
}

void ZnUser::readFrom(const TiXmlElement& element)
{
    if (const char* v = element.Attribute("id"))
        id = ZnRow::atoi(v);
    if (const char* v = element.Attribute("name"))
        ZnFixedText::copy(name, sizeof name, v);
    if (const char* v = element.Attribute("lv")) {
        const int level = ZnRow::atoi(v);
        lv = level < 1 ? 1 : level > 100 ? 100 : level;
    }
    if (const char* v = element.Attribute("fn"))
        ZnFixedText::copy(fn, sizeof fn, v);
    if (const char* v = element.Attribute("pw"))
        ZnFixedText::copy(pw, sizeof pw, v);
    if (const char* v = element.Attribute("m"))
        ZnFixedText::copy(m, sizeof m, v);

    if (const TiXmlElement* terminals = element.FirstChildElement("TerminalList")) {
        const char* a = terminals->Attribute("assign");
        assign = a ? ZnRow::atoi(a) : 0;
        for (const TiXmlElement* t = terminals->FirstChildElement(); t; t = t->NextSiblingElement()) {
            if (const char* tid = t->Attribute("id"))
                terminalIds.push_back(ZnRow::atoi(tid));
        }
        terminalIds.sort();
        terminalIds.unique();
    }
}
