#include "ZnTts.h"

#include "ZnRow.h"

bool ZnTts::fillFromRow(const ZnRowView& row)
{
    if (!fillBase(row))
        return false;
    ver = ZnRow::text(row, "ver");
    exten = ZnRow::text(row, "exten");
    if (name.empty())
        name = ZnRow::text(row, "terminalId");
    return true;
}
