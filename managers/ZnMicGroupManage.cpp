#include "ZnMicGroupManage.h"

#include "ZnMicGroup.h"

#include <json/json.h>

namespace {
const char* const kStrings[] = {"MicGroupList", "MicGroup", "CallService", "select * from callservergroup",
                                "Add", "Mod", "Del"};
}

void ZnMicGroupManage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

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

void ZnMicGroupManage::onResponse(int, const std::string&)
{
}

bool ZnMicGroupManage::onPost(const std::string&, const std::string&)
{
    return false;
}

bool ZnMicGroupManage::onSet(const std::string&)
{
    return false;
}

void ZnMicGroupManage::onDelete(const std::string& type, int id)
{
    if (m_notify && type == kDeleteType)
        m_notify(DeletedType, &id);
}

void ZnMicGroupManage::onDeleted(int)
{
}
