#include "ZnTaskBaseManage.h"

ZnTaskBaseManage::ZnTaskBaseManage()
{
    setElementNames("TaskList", "Task");
}

void ZnTaskBaseManage::setElementNames(const std::string& list, const std::string& task)
{
    m_listElement = list;
    m_taskElement = task;
    setName(task);
}

void ZnTaskBaseManage::onResponse(int, const std::string&)
{
}

bool ZnTaskBaseManage::onPost(const std::string& key, const std::string&)
{
    return key == m_taskElement;
}

bool ZnTaskBaseManage::onSet(const std::string&)
{
    return false;
}

void ZnTaskBaseManage::onDelete(const std::string&, int)
{
}

void ZnTaskBaseManage::onDeleted(int)
{
}
