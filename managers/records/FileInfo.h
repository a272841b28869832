#pragma once

#include <cstdint>
#include <string>

// One play file of a task.
class FileInfo
{
public:
    int32_t id = 0;
    int32_t second = 0;
    std::string fileName; // the part of the path after the last "/"
    int64_t rule = 0;
    int32_t extra = 0;
    int32_t t = 0;
    std::string path;
    int32_t reservedA = 0;
    int32_t reservedB = 0;
};
