#include "ZnTtsManage.h"

#include "ZnTts.h"

#include <json/json.h>

void ZnTtsManage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

std::string& ZnTtsManage::buildTtsList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from tts71", "TtsList");
}

std::string& ZnTtsManage::buildModifyTts(std::string& out, int cseq, const ZnTts& tts)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(tts.id);
    body["Name"] = tts.name;
    ZnCommandRequest request;
    out = request.buildPost(cseq, "TTs71Name", jsonText(body));
    return out;
}

void ZnTtsManage::onResponse(int, const std::string&)
{
}

bool ZnTtsManage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnTtsManage::onSet(const std::string&)
{
    return false;
}

void ZnTtsManage::onDelete(const std::string& type, int id)
{
    if (type == kDeleteType && m_notify)
        m_notify(DeletedType, &id);
}

void ZnTtsManage::onDeleted(int)
{
}
