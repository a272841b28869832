#include "ZnBaseTerminal.h"

#include "ZnRow.h"
#include "ZnRowView.h"

bool ZnBaseTerminal::fillBase(const ZnRowView& row)
{
    clearBase();
    std::size_t idColumn = row.fieldCount();
    for (std::size_t c = 0; c < row.fieldCount(); ++c) {
        if (takeBaseField(row.key(c), row.value(c)) && row.key(c) == "terminalId")
            idColumn = c;
    }
    return idColumn < row.fieldCount() && ZnRow::id(row.value(idColumn), id);
}

void ZnBaseTerminal::clearBase()
{
    id = 0;
    ip.clear();
    name.clear();
    type.clear();
    status = 0;
}

bool ZnBaseTerminal::takeBaseField(std::string_view key, const ZnRowSink::Value& value)
{
    if (key == "terminalId")
        id = ZnRow::toInt(value);
    else if (key == "ip")
        ip = ZnRow::text(value);
    else if (key == "name")
        name = ZnRow::text(value);
    else if (key == "type")
        type = ZnRow::text(value);
    else if (key == "status")
        status = ZnRow::toInt(value);
    else
        return false;
    return true;
}
