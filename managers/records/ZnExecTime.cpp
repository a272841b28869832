#include "ZnExecTime.h"

#include "ZnFixedText.h"

#include <cstring>

ZnExecTime::ZnExecTime()
{
    std::memset(name, 0, sizeof(name));
}

void ZnExecTime::setName(const std::string& text)
{
    ZnFixedText::copy(name, sizeof(name), text);
}
