#include "ZnCap.h"

#include "ZnRow.h"

#include <stdexcept>

bool ZnCap::fillFromRow(const Json::Value& row)
{
    fillBase(row);
    const std::string idText = ZnRow::text(row, "terminalId");
    try {
        id = std::stoi(idText);
    } catch (const std::logic_error&) {
        return false;
    }
    exten = ZnRow::text(row, "exten");
    ver = ZnRow::text(row, "ver");
    capVol = ZnRow::toInt(row, "capVol");
    capSamplerate = ZnRow::toInt(row, "capSamplerate");
    if (name.empty())
        name = "Cap_" + idText;
    return true;
}
