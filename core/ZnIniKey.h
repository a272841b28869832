#pragma once

#include <string>

// One "key=value" entry of an INI section.
struct ZnIniKey
{
    std::string key;
    std::string value;
};
