#pragma once

#include "ZnBaseTerminal.h"

// A capture unit (D73). The capture values A to C are carried for the capture page.
class ZnCap : public ZnBaseTerminal
{
public:
    // One "capd73" row. The id must be a number; false (record unusable) when it is not.
    bool fillFromRow(const ZnRowView& row);

    int captureValueA = 0;
    int captureValueB = 0;
    std::string exten;
    std::string ver;
    int captureValueC = 0;
    int capVol = 0;
    int capSamplerate = 0;
};
