#pragma once

#include "ZnBaseTerminal.h"

#include <string>
#include <vector>

// A broadcast region: a named set of terminals. Members from the server carry only their id.
class ZnRegion
{
public:
    ZnRegion() = default;
    ZnRegion(const ZnRegion&) = default;
    ZnRegion& operator=(const ZnRegion&) = default;
    virtual ~ZnRegion() = default;

    int regionId = 0;
    std::string name;
    std::string note; // carried only; nothing fills or sends it
    std::vector<ZnBaseTerminal> terminals;
    // Members as the server wrote them whose id is no number within int: no
    // save can write them back.
    std::vector<std::string> unreadMembers;
};

template <class Record>
struct ZnRecordKey;
// List models find regions by their own id field.
template <>
struct ZnRecordKey<ZnRegion>
{
    static int id(const ZnRegion& record) { return record.regionId; }
};
