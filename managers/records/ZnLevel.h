#pragma once

#include <cstdint>

class TiXmlElement;

// One user level of the server's "LevelList".
class ZnLevel
{
public:
    enum LevelKind { AdvancedPage = 4, OrdinaryPage = 5 };

    ZnLevel();
    ZnLevel(const ZnLevel&) = default;
    ZnLevel& operator=(const ZnLevel&) = default;
    virtual ~ZnLevel() = default;

    // The attributes "id", "name", "lv" and "type"; absent ones keep their value.
    void readFrom(const TiXmlElement& element);

    uint16_t id = 65535;
    char name[33];
    uint16_t lv = 10;
    uint16_t type = 1;
};
