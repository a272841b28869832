#include "ZnBroadcastManage.h"

ZnBroadcastManage::ZnBroadcastManage()
{
    setName("BROADCAST");
    setCommands(m_types, 4);
}

void ZnBroadcastManage::onResponse(int, const std::string&)
{
}

bool ZnBroadcastManage::onSet(const std::string&)
{
    return false;
}

void ZnBroadcastManage::onDeleted(int)
{
}
