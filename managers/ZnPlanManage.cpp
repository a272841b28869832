#include "ZnPlanManage.h"

ZnPlanManage::ZnPlanManage()
{
    setElementNames("PlanTaskList", "PlanTask");
}

bool ZnPlanManage::ownsType(int requestType) const
{
    return requestType >= 215 && requestType <= 221;
}
