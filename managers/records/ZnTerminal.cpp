#include "ZnTerminal.h"

#include "ZnRow.h"

void ZnTerminal::fillFromRow(const ZnRowView& row)
{
    fillBase(row);
    work = ZnRow::text(row, "work");
    exten = ZnRow::text(row, "exten");
    ver = ZnRow::text(row, "ver");
    broVol = ZnRow::toInt(row, "broVol");
    power = ZnRow::toInt(row, "power") != 0;
    ampTemp = ZnRow::toInt(row, "ampTemp");
    localTemp = ZnRow::toInt(row, "localTemp");
    speaker = ZnRow::toInt(row, "speaker");
    input = ZnRow::toInt(row, "input") != 0;
    if (name.empty())
        name = ZnRow::text(row, "terminalId");
}
