#include "ZnCapManage.h"

#include "ZnCap.h"
#include "ZnIdRows.h"
#include "ZnRow.h"
#include "ZnRows.h"

#include <json/json.h>

#include <algorithm>

ZnCapManage::ZnCapManage()
{
    setName("CAP");
    setCommands(m_types, 3);
}

void ZnCapManage::setCallbacks(ListCallback list, DeleteCallback removed, ChangeCallback changed)
{
    if (list)
        m_listCallback = list;
    if (removed)
        m_deleteCallback = removed;
    if (changed)
        m_changeCallback = changed;
}

std::string& ZnCapManage::buildCapList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from capd73", "CapList");
}

std::string& ZnCapManage::buildModifyCap(std::string& out, int cseq, const ZnCap& cap)
{
    Json::Value body(Json::objectValue);
    body["CapSamplerate"] = std::to_string(cap.capSamplerate);
    body["CapVol"] = std::to_string(cap.capVol);
    body["Id"] = std::to_string(cap.id);
    body["Name"] = cap.name;
    return buildSetRequest(out, cseq, "CapD73Set", jsonText(body));
}

bool ZnCapManage::parseRows(const std::string& body, std::list<ZnCap>& out)
{
    return ZnIdRows::read(body, "capd73", "terminalId", out,
                          [](const ZnRowView& row, ZnCap& cap) { return cap.fillFromRow(row); });
}

int ZnCapManage::handleList(const std::string& body)
{
    std::list<ZnCap> caps;
    if (!parseRows(body, caps))
        return -1;
    caps.sort([](const ZnCap& a, const ZnCap& b) { return a.id < b.id; });
    if (m_listCallback)
        m_listCallback(&caps);
    return 0;
}

int ZnCapManage::handleChanges(const std::string& body)
{
    std::list<ZnCap> caps;
    if (!parseRows(body, caps))
        return -1;
    for (const ZnCap& cap : caps) {
        ZnCap copy(cap);
        if (m_changeCallback)
            m_changeCallback(&copy);
    }
    return 0;
}

void ZnCapManage::onResponse(int requestType, const std::string& body)
{
    if (requestType == ListType)
        handleList(body);
}

bool ZnCapManage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    handleChanges(body);
    return true;
}

bool ZnCapManage::onSet(const std::string& body)
{
    if (m_check.replyType(body) != ZnMsgCheck::CapList)
        return false;
    // Only rows this manager can read are taken; anything else stays on offer to the
    // managers after it instead of vanishing here.
    return handleChanges(body) == 0;
}

void ZnCapManage::onDeleted(int) {}
