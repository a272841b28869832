#include "ZnAdvancedLevelCtr.h"

#include "ZnLevelList.h"

int ZnAdvancedLevelCtr::getLevel(ZnLevelList *levels, ZnLevel *out)
{
    return levels && out ? levels->lookup(*out, ZnLevel::AdvancedPage) : -1;
}
