#pragma once

#include "ZnBaseLevelCtr.h"

// Level check of the advanced pages (kind 4).
class ZnAdvancedLevelCtr : public ZnBaseLevelCtr
{
public:
    int getLevel(ZnLevelList *levels, ZnLevel *out) override;
};
