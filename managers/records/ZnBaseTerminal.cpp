#include "ZnBaseTerminal.h"

#include "ZnRow.h"
#include "ZnRowView.h"

bool ZnBaseTerminal::fillBase(const ZnRowView& row)
{
    clearBase();
    std::size_t idColumn = row.fieldCount();
    for (std::size_t c = 0; c < row.fieldCount(); ++c) {
        if (row.key(c) == "terminalId")
            idColumn = c;
        else
            takeBaseField(row.key(c), row.value(c));
    }
    return takeId(row, idColumn);
}

bool ZnBaseTerminal::takeId(const ZnRowView& row, std::size_t idColumn)
{
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
    if (key == "ip")
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
