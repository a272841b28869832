#pragma once

class ZnLevel;
class ZnLevelList;

// The user-level check of a page: the logged-in user may edit when his level
// number is at most that of the page's kind (a smaller number means more rights).
class ZnBaseLevelCtr
{
public:
    virtual ~ZnBaseLevelCtr();

    // True when allowed; otherwise tells the operator and returns false.
    virtual bool checkLevel();
    // The level entry of this page's kind; 0 when found, -1 otherwise.
    virtual int getLevel(ZnLevelList *levels, ZnLevel *out) = 0;

    bool hasLevel();
};
