#pragma once

#include "ZnPlayTaskManage.h"

// Plan tasks (request types 215 to 221, elements "PlanTaskList" and "PlanTask").
class ZnPlanManage : public ZnPlayTaskManage
{
public:
    ZnPlanManage();

    bool ownsType(int requestType) const override;

protected:
    int firstType() const override { return 215; }
    int listReplyType() const override;
    int singleReplyType() const override;
    int deleteReplyType() const override;
};
