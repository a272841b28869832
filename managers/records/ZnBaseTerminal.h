#pragma once

#include "ZnRowSink.h"

#include <string>
#include <string_view>

class ZnRowView;

// The base record of every terminal, copied by value. A record is identified by id alone.
class ZnBaseTerminal
{
public:
    ZnBaseTerminal() = default;
    ZnBaseTerminal(const ZnBaseTerminal&) = default;
    ZnBaseTerminal& operator=(const ZnBaseTerminal&) = default;
    virtual ~ZnBaseTerminal() = default;

    // The base fields of one reply row; absent keys read as empty text or 0. False
    // when the row has no usable "terminalId" (ZnRow::id): it names no terminal.
    bool fillBase(const ZnRowView& row);
    // The same in one pass over a row's fields, for records that read more keys:
    // clearBase() sets what absent keys give, takeBaseField() takes one field (a
    // repeated key overwrites, so the last counts) and is false for other keys.
    // It leaves "terminalId" to the caller, which reads the row's last one once
    // all fields are taken: false from takeId() leaves the row out.
    void clearBase();
    bool takeBaseField(std::string_view key, const ZnRowSink::Value& value);
    bool takeId(const ZnRowView& row, std::size_t idColumn);

    int id = 0;
    std::string ip;
    std::string name;
    std::string type; // terminal-type code as text, sent back as "Type" on removal
    int status = 0;
};
