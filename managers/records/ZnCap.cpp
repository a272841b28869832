#include "ZnCap.h"

#include "ZnRow.h"

bool ZnCap::fillFromRow(const ZnRowView& row)
{
    if (!fillBase(row))
        return false;
    const std::string idText = ZnRow::text(row, "terminalId");
    exten = ZnRow::text(row, "exten");
    ver = ZnRow::text(row, "ver");
    capVol = ZnRow::toInt(row, "capVol");
    capSamplerate = ZnRow::toInt(row, "capSamplerate");
    if (name.empty())
        name = "Cap_" + idText;
    return true;
}
