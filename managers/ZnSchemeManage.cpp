#include "ZnSchemeManage.h"

#include "ZnTermBaseManage.h"

#include <json/json.h>

void ZnSchemeManage::setCallbacks(ListCallback list, SchemeCallback added, SchemeCallback changed,
                                  DeletedCallback deleted)
{
    if (list)
        m_listCallback = list;
    if (added)
        m_addedCallback = added;
    if (changed)
        m_changedCallback = changed;
    if (deleted)
        m_deletedCallback = deleted;
}

std::string& ZnSchemeManage::buildSchemeList(std::string& out, int cseq)
{
    out = m_request.buildSqlConfig(cseq, "schemelist", "select * from timerplan");
    return out;
}

std::string& ZnSchemeManage::buildChange(std::string& out, int cseq, const ZnScheme& scheme, const char* action)
{
    Json::Value body(Json::objectValue);
    body["Action"] = action;
    body["Id"] = std::to_string(scheme.id);
    body["Name"] = scheme.name;
    body["Comment"] = scheme.comment;
    body["Enable"] = std::to_string(scheme.enable);
    out = m_request.buildPost(cseq, "TimerPlan", ZnTermBaseManage::jsonText(body));
    return out;
}

std::string& ZnSchemeManage::buildAddScheme(std::string& out, int cseq, const ZnScheme& scheme)
{
    ZnScheme added(scheme);
    added.id = -1;
    added.enable = 1;
    return buildChange(out, cseq, added, "Add");
}

std::string& ZnSchemeManage::buildModifyScheme(std::string& out, int cseq, const ZnScheme& scheme)
{
    return buildChange(out, cseq, scheme, "Mod");
}

std::string& ZnSchemeManage::buildEnableScheme(std::string& out, int cseq, ZnScheme& scheme)
{
    scheme.enable = scheme.enable == 0 ? 1 : 0;
    return buildModifyScheme(out, cseq, scheme);
}

std::string& ZnSchemeManage::buildDeleteScheme(std::string& out, int cseq, const ZnScheme& scheme)
{
    for (auto it = m_schemes.begin(); it != m_schemes.end(); ++it) {
        if (it->id == scheme.id) {
            m_schemes.erase(it);
            break;
        }
    }
    return buildChange(out, cseq, scheme, "Del");
}

void ZnSchemeManage::onResponse(int, const std::string&)
{
}

bool ZnSchemeManage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnSchemeManage::onSet(const std::string&)
{
    return false;
}

void ZnSchemeManage::onDelete(const std::string&, int)
{
}

void ZnSchemeManage::onDeleted(int)
{
}
