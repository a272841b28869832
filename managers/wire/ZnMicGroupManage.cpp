#include "ZnMicGroupManage.h"

#include "ZnIdRows.h"
#include "ZnMicGroup.h"
#include "ZnRow.h"
#include "ZnRows.h"

#include <json/json.h>

namespace {
const char* const kStrings[] = {"MicGroupList", "MicGroup", "CallService", "select * from callservergroup",
                                "Add",          "Mod",      "Del"};
}

ZnMicGroupManage::ZnMicGroupManage() : ZnNotifyManage(kDeleteType, DeletedType) {}

std::string& ZnMicGroupManage::buildGroupList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, kStrings[3], kStrings[0]);
}

std::string& ZnMicGroupManage::buildSaveGroup(std::string& out, int cseq, const ZnMicGroup& group, int operation)
{
    out.clear();
    if (operation < OpAdd || operation > OpDel)
        return out;
    std::string ids;
    for (int id : group.members) {
        if (!ids.empty())
            ids += ' ';
        ids += std::to_string(id);
    }
    Json::Value body(Json::objectValue);
    body["Action"] = kStrings[operation];
    body["Id"] = std::to_string(group.groupId);
    body["Name"] = group.name;
    body["Dsk81Id"] = ids;
    body["CallWaitRule"] = std::to_string(group.callWaitRule);
    body["RingTime"] = std::to_string(group.ringTime);
    out = m_request.buildPost(cseq, kStrings[2], jsonText(body));
    return out;
}

bool ZnMicGroupManage::parseRows(const std::string& body, std::list<ZnMicGroup>& groups)
{
    return ZnIdRows::read(body, "callservergroup", "groupId", groups, [](const ZnRowView& row, ZnMicGroup& g) {
        // A key the row lacks keeps the record's default.
        if (!ZnRow::id(row, "groupId", g.groupId))
            return false;
        if (ZnRow::has(row, "name"))
            g.name = ZnRow::text(row, "name");
        if (ZnRow::has(row, "callWaitRule"))
            g.callWaitRule = ZnRow::toInt(row, "callWaitRule");
        if (ZnRow::has(row, "ringTime"))
            g.ringTime = ZnRow::toInt(row, "ringTime");
        // An id the console cannot keep as a number is kept as written, so the
        // group is never saved over it.
        ZnRow::memberIds(ZnRow::text(row, "terminalId"), g.members, g.unreadMembers);
        return true;
    });
}

void ZnMicGroupManage::onResponse(int requestType, const std::string& body)
{
    if (requestType != ListType)
        return;
    std::list<ZnMicGroup> groups;
    if (parseRows(body, groups) && !groups.empty() && m_notify)
        m_notify(ListType, &groups);
}
