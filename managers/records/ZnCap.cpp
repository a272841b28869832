#include "ZnCap.h"

#include "ZnRow.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

bool ZnCap::fillFromRow(const ZnRowView& row)
{
    fillBase(row);
    const std::string idText = ZnRow::text(row, "terminalId");
    // A usable id is a decimal number within int, as stoi reads it, without the
    // exceptions stoi throws for anything else.
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(idText.c_str(), &end, 10);
    if (end == idText.c_str() || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    id = static_cast<int>(value);
    exten = ZnRow::text(row, "exten");
    ver = ZnRow::text(row, "ver");
    capVol = ZnRow::toInt(row, "capVol");
    capSamplerate = ZnRow::toInt(row, "capSamplerate");
    if (name.empty())
        name = "Cap_" + idText;
    return true;
}
