#include "ZnTts.h"

#include "ZnRow.h"

void ZnTts::fillFromRow(const Json::Value& row)
{
    fillBase(row);
    ver = ZnRow::text(row, "ver");
    exten = ZnRow::text(row, "exten");
    if (name.empty())
        name = ZnRow::text(row, "terminalId");
}
