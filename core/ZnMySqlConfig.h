#pragma once

#include <string>

// Where and as whom the talk-log database is reached.
struct ZnMySqlConfig
{
    std::string host;
    std::string user;
    std::string password;
    std::string database;
    int port = 0;
};
