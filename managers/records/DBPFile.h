#pragma once

#include <string>

// One media file of a broadcast.
class DBPFile
{
public:
    DBPFile() = default;
    DBPFile(const DBPFile&) = default;
    DBPFile& operator=(const DBPFile&) = default;
    virtual ~DBPFile() = default;

    int id = 0;
    std::string name;
};
