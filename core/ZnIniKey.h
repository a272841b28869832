#pragma once

#include <string>

// One "key=value" entry of an INI section.
struct ZnIniKey
{
    std::string key;
    std::string value;
    // Where the value stands in the file it was read from (-1: not read from one),
    // and whether it was set since: a save writes only such values.
    int begin = -1;
    int end = -1;
    bool changed = true;
};
