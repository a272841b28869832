#pragma once

#include <cstdint>
#include <string>

// The four kinds of timer plan; the pages use play plans. The number is part of
// the request type: 79 + 4 x kind + operation.
enum SchemeKind : int {
    PlaySchemes = 0,
    AmpSchemes = 1,
    PowerSchemes = 2,
    VolumeSchemes = 3,
};

// A timer plan (scheme) of one of the four kinds.
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
