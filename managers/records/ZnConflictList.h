#pragma once

#include "ZnTerminal.h"

#include <string>
#include <vector>

// The terminals the server names in a device-conflict notice.
class ZnConflictList
{
public:
    // False when the body is not a JSON array; elements that are no object are skipped.
    static bool parse(const std::string& body, std::vector<ZnTerminal>& out);
};
