#include "ZnCapManage.h"

#include "ZnCap.h"

#include <json/json.h>

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

void ZnCapManage::onResponse(int, const std::string&)
{
}

bool ZnCapManage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnCapManage::onSet(const std::string&)
{
    return false;
}

void ZnCapManage::onDeleted(int)
{
}
