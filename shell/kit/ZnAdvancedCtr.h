#pragma once

#include "ZnAdvancedLevelCtr.h"
#include "ZnTerBaseCtr.h"

// Page base of the advanced pages: the table helpers with the kind-4 level check.
class ZnAdvancedCtr : public ZnTerBaseCtr, public ZnAdvancedLevelCtr
{
public:
    bool checkLevel() override { return ZnAdvancedLevelCtr::checkLevel(); }
    int getLevel(ZnLevelList *levels, ZnLevel *out) override { return ZnAdvancedLevelCtr::getLevel(levels, out); }
    bool hasLevel() { return ZnAdvancedLevelCtr::hasLevel(); }
};
