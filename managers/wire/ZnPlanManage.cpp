#include "ZnPlanManage.h"

#include "ZnMsgCheck.h"

ZnPlanManage::ZnPlanManage()
{
    setElementNames("PlanTaskList", "PlanTask");
}

bool ZnPlanManage::ownsType(int requestType) const
{
    return requestType >= 215 && requestType <= 221;
}

int ZnPlanManage::listReplyType() const
{
    return ZnMsgCheck::PlanTaskList;
}

int ZnPlanManage::singleReplyType() const
{
    return ZnMsgCheck::PlanTask;
}

int ZnPlanManage::deleteReplyType() const
{
    return ZnMsgCheck::DeletePlanTask;
}
