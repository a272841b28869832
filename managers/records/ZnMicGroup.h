#pragma once

#include <list>
#include <string>
#include <vector>

// A microphone (call-service) group of Dsk81 consoles.
class ZnMicGroup
{
public:
    int groupId = -1;
    std::string name;
    int extraIntA = 0;
    int extraIntB = 1;
    int callWaitRule = 1;
    int ringTime = 60;
    std::list<int> extraList;
    std::vector<int> members; // ids of the member Dsk81 consoles
    // Members as the server wrote them whose id is no number within int: no
    // save can write them back.
    std::vector<std::string> unreadMembers;
};

template <class Record>
struct ZnRecordKey;
// List models find groups by their own id field.
template <>
struct ZnRecordKey<ZnMicGroup>
{
    static int id(const ZnMicGroup& record) { return record.groupId; }
};
