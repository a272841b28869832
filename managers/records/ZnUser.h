#pragma once

#include <cstdint>
#include <list>

class TiXmlElement;

// A console user as the server describes it in its "User" XML.
class ZnUser
{
public:
    ZnUser();

    // The attributes of a "User" element and its "TerminalList" child; absent
    // attributes keep their value. The level is held to 1..100.
    void readFrom(const TiXmlElement& element);

    int32_t id = -1;
    char name[20];
    int32_t lv = 1;
    char fn[17];
    char pw[33];
    char m[257];
    int32_t assign = 0;
    std::list<int32_t> terminalIds; // ascending, no repeats
};

// The logged-in user whose level the page bases check; nothing changes it after start.
extern ZnUser gCurrentUser;
