#include "ZnTerminal.h"

#include "ZnRow.h"
#include "ZnRowView.h"

// One pass over the fields rather than a lookup per key: amplifier lists run to
// a hundred thousand rows.
bool ZnTerminal::fillFromRow(const ZnRowView& row)
{
    clearBase();
    work.clear();
    exten.clear();
    ver.clear();
    broVol = 0;
    power = false;
    ampTemp = 0;
    localTemp = 0;
    speaker = 0;
    input = false;
    std::size_t idColumn = row.fieldCount();
    for (std::size_t c = 0; c < row.fieldCount(); ++c) {
        const std::string_view key = row.key(c);
        const ZnRowSink::Value value = row.value(c);
        if (key == "terminalId") {
            idColumn = c;
        } else if (takeBaseField(key, value)) {
            // one of the base fields
        } else if (key == "work") {
            work = ZnRow::text(value);
        } else if (key == "exten") {
            exten = ZnRow::text(value);
        } else if (key == "ver") {
            ver = ZnRow::text(value);
        } else if (key == "broVol") {
            broVol = ZnRow::toInt(value);
        } else if (key == "power") {
            power = ZnRow::toInt(value) != 0;
        } else if (key == "ampTemp") {
            ampTemp = ZnRow::toInt(value);
        } else if (key == "localTemp") {
            localTemp = ZnRow::toInt(value);
        } else if (key == "speaker") {
            speaker = ZnRow::toInt(value);
        } else if (key == "input") {
            input = ZnRow::toInt(value) != 0;
        }
    }
    if (!takeId(row, idColumn))
        return false;
    if (name.empty())
        name = ZnRow::text(row.value(idColumn));
    return true;
}
