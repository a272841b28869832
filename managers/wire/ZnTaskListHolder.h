#pragma once

#include "ZnPlayTask.h"

#include <QMutex>

#include <list>
#include <memory>

// A task list kept behind a lock of its own, for a reader that walks it while
// the receive thread may replace it. Read through ZnTaskBaseManage::lockTaskList.
class ZnTaskListHolder
{
public:
    QRecursiveMutex mutex;
    std::unique_ptr<std::list<ZnPlayTask>> tasks; // null until tasks were kept
};
