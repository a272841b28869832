#pragma once

#include "ZnBaseTerminal.h"

// A D82 mobile device.
class ZnD82 : public ZnBaseTerminal
{
public:
    std::string work;
    std::string ver;
};
