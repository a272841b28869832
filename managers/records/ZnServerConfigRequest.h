#pragma once

#include <string>

// One server-configuration request: its request type and arguments.
class ZnServerConfigRequest
{
public:
    int type = 0;
    std::string value;
    std::string value2; // only for the database restore
};
