#include "ZnTts.h"

#include "ZnRow.h"

void ZnTts::fillFromRow(const ZnRowView& row)
{
    fillBase(row);
    ver = ZnRow::text(row, "ver");
    exten = ZnRow::text(row, "exten");
    if (name.empty())
        name = ZnRow::text(row, "terminalId");
}
