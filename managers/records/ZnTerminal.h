#pragma once

#include "ZnBaseTerminal.h"

// An IP amplifier (play terminal). The setting fields are carried for the player
// page and its dialogs; no manager reads them.
class ZnTerminal : public ZnBaseTerminal
{
public:
    // One "ipamp" row; an empty name becomes the terminalId text.
    void fillFromRow(const Json::Value& row);

    std::string work;
    std::string exten;
    std::string ver;
    int broVol = 0;
    bool power = false;
    int ampTemp = 0;
    int localTemp = 0;
    int speaker = 1;
    bool input = false;
    bool settingFlagA = false;
    int settingValueA = 0;
    std::string settingText;
    int settingValueB = 0;
    int settingValueC = 0;
    bool settingFlagB = false;
    bool settingFlagC = false;
    int settingValueD = 0;
    int settingValueE = 0;
    int warnTempThreshold = -1;
    int fanTempThreshold = -1;
    bool settingFlagD = false;
    int maxVol = -1;
    int settingValueF = 0;
    int settingValueG = 0;
};
