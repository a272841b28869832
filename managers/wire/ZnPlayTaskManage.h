#pragma once

#include "ZnTaskBaseManage.h"

// Play tasks (request types 13 to 19, elements "TaskList" and "Task").
class ZnPlayTaskManage : public ZnTaskBaseManage
{
public:
    ZnPlayTaskManage();

    bool ownsType(int requestType) const override;

protected:
    int firstType() const override { return 13; }
};
