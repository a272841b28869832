#pragma once

#include "ZnPlayTaskManage.h"

// Plan tasks (request types 215 to 221, elements "PlanTaskList" and "PlanTask").
class ZnPlanManage : public ZnPlayTaskManage
{
public:
    ZnPlanManage();

    bool ownsType(int requestType) const override;
};
