#include "ZnBroadcast.h"

#include "ZnRow.h"

#include <tinyxml.h>

namespace {

// Decimal attribute read like atoi; an absent attribute leaves the value alone.
void readInt(const TiXmlElement& e, const char* name, int& value)
{
    if (const char* text = e.Attribute(name))
        value = ZnRow::atoi(text);
}

void readBool(const TiXmlElement& e, const char* name, bool& value)
{
    if (const char* text = e.Attribute(name))
        value = ZnRow::atoi(text) != 0;
}

void readText(const TiXmlElement& e, const char* name, std::string& value)
{
    if (const char* text = e.Attribute(name))
        value = text;
}

} // namespace

void ZnBroadcast::fillFromElement(const TiXmlElement& element)
{
    readInt(element, "id", id);
    readText(element, "code", code);
    readText(element, "name", name);
    readInt(element, "level", level);
    readText(element, "ip", ip);
    readInt(element, "status", status);
    readText(element, "mdir", mdir);
    readInt(element, "esrc", esrc);
    readBool(element, "em", em);
    readInt(element, "ev", ev);
    readBool(element, "emm", emm);
    readInt(element, "emv", emv);
    readBool(element, "elm", elm);
    readInt(element, "elv", elv);

    if (const TiXmlElement* group = element.FirstChildElement("Region")) {
        for (const TiXmlElement* e = group->FirstChildElement(); e; e = e->NextSiblingElement()) {
            int key = 0;
            int regionId = 0;
            readInt(*e, "key", key);
            readInt(*e, "id", regionId);
            if (regionId == 0)
                continue;
            ZnRegion region;
            region.regionId = regionId;
            regions.emplace_back(key, region);
        }
    }
    if (const TiXmlElement* group = element.FirstChildElement("External")) {
        for (const TiXmlElement* e = group->FirstChildElement(); e; e = e->NextSiblingElement()) {
            if (const char* text = e->Attribute("id"))
                externalIds.push_back(ZnRow::atoi(text));
        }
    }
    if (const TiXmlElement* group = element.FirstChildElement("File")) {
        for (const TiXmlElement* e = group->FirstChildElement(); e; e = e->NextSiblingElement()) {
            DBPFile file;
            readInt(*e, "i", file.id);
            readText(*e, "n", file.name);
            files.push_back(file);
        }
    }
}
