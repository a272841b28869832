#pragma once

#include "ZnBaseTerminal.h"

// An IP amplifier (play terminal). The setting fields are carried for the player
// page and its dialogs; no manager reads them.
class ZnTerminal : public ZnBaseTerminal
{
public:
    // One "ipamp" row; an empty name becomes the terminalId text. False when
    // the row has no usable "terminalId" (ZnRow::id).
    bool fillFromRow(const ZnRowView& row);

    std::string work;
    std::string exten;
    std::string ver;
    int broVol = 0;
    bool power = false;
    int ampTemp = 0;
    int localTemp = 0;
    int speaker = 1;
    bool input = false;
    // Set by the pages and their dialogs; no reply fills them.
    bool ampWarning = false;
    int modelNo = 0;
    std::string settingText;
    int defaultVolume = 0;
    int viaFirewall = 0; // 1 reached through a firewall (TCP), 0 not (UDP)
    bool defaultPower = false;
    bool isDefault = false;
    int masterId = 0; // the terminal whose default-setting row this one follows, 0 none
    int settingValueE = 0;
    int warnTempThreshold = -1; // -1: not set (also the two below)
    int fanTempThreshold = -1;
    bool settingFlagD = false;
    int maxVol = -1;
    int settingValueF = 0;
    int settingValueG = 0;
};
