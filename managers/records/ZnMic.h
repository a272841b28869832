#pragma once

#include "ZnBaseTerminal.h"
#include "ZnRegion.h"

#include <list>
#include <string>

// The talk-console record of the D72, D74 and Dsk81 families. The extra fields are
// only carried for the pages that use them.
class ZnMic : public ZnBaseTerminal
{
public:
    int extraIntA = 0;
    int extraIntB = 0;
    bool extraFlagA = false; // set: ZnMicListMgr::requestMic does not ask for the console
    int extraIntC = 0;
    bool extraFlagB = false;
    int ledColor = 224;
    int switchMode = 1;
    int displayTime = 5;
    std::string ledTxt;
    int extraIntD = 1;
    std::string extraText;
    std::list<ZnRegion> regions;
    std::list<int> extraIds;
    int extraIntE = 0;
    int extraIntF = 0;
    std::string extraText2;
    int ppt = 0;
    int aec = 0;
    int capVol = 0;
    int bellVol = 80;
    int callVol = 80;
    int broVol = 80;
    int extraVol = 80;
    std::string work;
    std::string ver;
    std::string exten;
    int pttMode = -1; // Dsk81 only; -1 = not given
};
