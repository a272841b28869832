#pragma once

#include "ZnLevel.h"
#include "ZnLockedList.h"

#include <list>
#include <memory>

class ZnManageCenter;

// The process-wide level list: the levels of the last "LevelList", largest id
// first, and the lookup by kind of page that the page bases make.
class ZnLevelList : public ZnLockedList
{
public:
    ZnLevelList() = default;

    // The list callback: replaces the list, then tells the view (after unlocking).
    // -1 for a null list.
    static int update(std::list<ZnLevel>* levels);
    // Registers update() with the level manager; the start-up hub calls it.
    static int registerCallbacks(ZnManageCenter* centre);

    // Copies the first level of that type; -1 before any list or when none has it.
    int lookup(ZnLevel& out, int type);
    int replace(const std::list<ZnLevel>& levels);

private:
    std::unique_ptr<std::list<ZnLevel>> m_levels;
};

// Never destroyed: the receive thread may replace the list at exit.
extern ZnLevelList& gLevelList;
