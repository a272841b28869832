#pragma once

#include "DBPFile.h"
#include "ZnRegion.h"

#include <list>
#include <string>
#include <utility>

class TiXmlElement;

// A broadcast source as the server describes it in a "BroadcastList": its regions,
// external ids and media files. Copied by value.
class ZnBroadcast
{
public:
    ZnBroadcast() = default;
    ZnBroadcast(const ZnBroadcast&) = default;
    ZnBroadcast& operator=(const ZnBroadcast&) = default;
    virtual ~ZnBroadcast() = default;

    // Reads the attributes and the "Region", "External" and "File" children of one
    // broadcast element; absent attributes keep the defaults.
    void fillFromElement(const TiXmlElement& element);

    int id = 0;
    std::string code;
    std::string name;
    std::string note; // carried only; the XML has no attribute for it
    int level = 0;
    std::string ip;
    int status = 0;
    std::string mdir;
    int esrc = 0;
    bool em = false;
    int ev = 0;
    bool emm = false;
    int emv = 0;
    bool elm = false;
    int elv = 0;
    int reserved = 0;                            // carried only, like note
    std::list<std::pair<int, ZnRegion>> regions; // (key, region with only its id set)
    std::list<int> externalIds;
    std::list<DBPFile> files;
};
