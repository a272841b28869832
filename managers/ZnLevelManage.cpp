#include "ZnLevelManage.h"

ZnLevelManage::ZnLevelManage()
{
    setCommands(m_types, 5);
}

void ZnLevelManage::setCallbacks(ListCallback list, DeleteCallback frame, LevelCallback third)
{
    if (list)
        m_listCallback = list;
    if (frame)
        m_deleteCallback = frame;
    if (third)
        m_thirdCallback = third;
}

void ZnLevelManage::onResponse(int, const std::string&)
{
}

bool ZnLevelManage::onSet(const std::string&)
{
    return false;
}

void ZnLevelManage::onDeleted(int)
{
}
