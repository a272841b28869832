#pragma once

#include <cstdint>
#include <string>

// A timer plan (scheme) of one of four kinds.
class ZnScheme
{
public:
    ZnScheme() = default;
    ZnScheme(const ZnScheme&) = default;
    ZnScheme& operator=(const ZnScheme&) = default;
    virtual ~ZnScheme() = default;

    int32_t id = 0;
    int32_t extra = 0;
    int32_t level = 0;
    int32_t enable = 1;
    int32_t type = 0;
    std::string name;
    std::string remark;
    std::string comment;
};
