#include "ZnFAlarm.h"

#include "ZnRow.h"

bool ZnFAlarm::fillFromRow(const ZnRowView& row)
{
    if (!fillBase(row))
        return false;
    ver = ZnRow::text(row, "ver");
    broadcast = ZnRow::text(row, "broadcast");
    shortCircuit = ZnRow::toBits32(row, "shortCircuit");
    broadcastTrigger = ZnRow::toInt(row, "broadcastTrigger");
    stopBroadcast = ZnRow::toInt(row, "stopBroadcast");
    triggerType = ZnRow::toInt(row, "triggerType");
    if (name.empty())
        name = "FAlarm_" + ZnRow::text(row, "terminalId");
    return true;
}
