#pragma once

#include "ZnBaseTerminal.h"

// A fire-alarm interface.
class ZnFAlarm : public ZnBaseTerminal
{
public:
    // One "firealarm" row; an empty name becomes "FAlarm_" and the terminalId text.
    // False when the row has no usable "terminalId" (ZnRow::id).
    bool fillFromRow(const ZnRowView& row);

    std::string alarmText;
    std::string ver;
    std::string broadcast;
    // Trigger bits: bit i set, channel i + 1 triggered (bit 31 is the sign bit).
    int shortCircuit = 0;
    int broadcastTrigger = 0;
    int stopBroadcast = 0;
    int triggerType = 0;
};
