#include "ZnConflictList.h"

#include "ZnRow.h"

#include <json/json.h>

namespace {
// Member text of a conflict element; numbers and booleans as written, anything
// else (missing, object, array) as empty text.
std::string memberText(const Json::Value& element, const char* name)
{
    const Json::Value& v = element[name];
    if (v.isString() || v.isNumeric() || v.isBool())
        return v.asString();
    return std::string();
}
} // namespace

bool ZnConflictList::parse(const std::string& body, std::vector<ZnTerminal>& out)
{
    Json::Value root;
    if (!ZnRow::parse(body, root) || !root.isArray())
        return false;
    for (const Json::Value& element : root) {
        if (!element.isObject())
            continue;
        ZnTerminal t;
        const std::string id = memberText(element, "terminalId");
        t.id = ZnRow::atoi(id);
        t.name = memberText(element, "name");
        if (t.name.empty())
            t.name = id;
        t.type = memberText(element, "type");
        t.ip = memberText(element, "ip");
        out.push_back(t);
    }
    return true;
}
