#include "ZnPlayTaskManage.h"

ZnPlayTaskManage::ZnPlayTaskManage()
{
    setElementNames("TaskList", "Task");
}

bool ZnPlayTaskManage::ownsType(int requestType) const
{
    return requestType >= 13 && requestType <= 19;
}
