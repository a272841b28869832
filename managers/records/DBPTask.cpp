#include "DBPTask.h"

#include "ZnFixedText.h"

#include <cstring>

DBPTask::DBPTask()
{
    std::memset(name, 0, sizeof(name));
    std::memset(text, 0, sizeof(text));
}

void DBPTask::setName(const std::string& value)
{
    ZnFixedText::copy(name, sizeof(name), value);
}
