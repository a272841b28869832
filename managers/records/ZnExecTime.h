#pragma once

#include <cstdint>
#include <string>

// One execution time of a task: seconds of the day, a short name and a rule.
class ZnExecTime
{
public:
    ZnExecTime();
    // Keeps at most 31 bytes of the name, never half a character.
    void setName(const std::string& text);
    std::string nameText() const { return std::string(name); }

    int64_t seconds = -1;
    char name[32];
    uint8_t rule = 0;
};
