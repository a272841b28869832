#include "ZnBaseTerminal.h"

#include "ZnRow.h"

void ZnBaseTerminal::fillBase(const ZnRowView& row)
{
    id = ZnRow::toInt(row, "terminalId");
    ip = ZnRow::text(row, "ip");
    name = ZnRow::text(row, "name");
    type = ZnRow::text(row, "type");
    status = ZnRow::toInt(row, "status");
}
