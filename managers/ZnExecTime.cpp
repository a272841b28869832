#include "ZnExecTime.h"

#include <algorithm>
#include <cstring>

ZnExecTime::ZnExecTime()
{
    std::memset(name, 0, sizeof(name));
}

void ZnExecTime::setName(const std::string& text)
{
    std::memset(name, 0, sizeof(name));
    std::memcpy(name, text.data(), std::min(text.size(), sizeof(name) - 1));
}
