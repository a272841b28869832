#include "ZnTermBaseManage.h"

#include <json/json.h>

const char* const ZnTermBaseManage::kAllCallSql =
    "select terminalId,name,type from dsk72 union select terminalId,name,type from dsk74 "
    "union select terminalId,name,type from dsk81 union select terminalId,name,type from d82 "
    "order by terminalId";

std::string& ZnTermBaseManage::buildSqlQuery(std::string& out, int cseq, const std::string& sql,
                                             const std::string& listName)
{
    out = m_request.buildSqlConfig(cseq, listName.c_str(), sql.c_str());
    return out;
}

std::string& ZnTermBaseManage::buildDataQuery(std::string& out, int cseq, const std::string& kind, int terminalId)
{
    out = m_request.buildGetData(cseq, kind.c_str(), terminalId);
    return out;
}

std::string& ZnTermBaseManage::removeDevice(std::string& out, int cseq, int terminalId, const std::string& typeText)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(terminalId);
    body["Type"] = typeText;
    out = m_request.buildPost(cseq, "RemoveDevice", jsonText(body));
    return out;
}

std::string& ZnTermBaseManage::buildKeyValuePost(std::string& out, int cseq, int terminalId, const std::string& key,
                                                 int value, const std::string& packetType)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(terminalId);
    body[key] = std::to_string(value);
    out = m_request.buildPost(cseq, packetType, jsonText(body));
    return out;
}

std::string& ZnTermBaseManage::buildTerminalRows(std::string& out, int cseq, const char* table, int terminalId,
                                                 const char* listName)
{
    return buildSqlQuery(out, cseq,
                         std::string("select * from ") + table + " where terminalId = " + std::to_string(terminalId),
                         listName);
}

std::string& ZnTermBaseManage::buildBookPost(std::string& out, int cseq, const char* packetType, int terminalId,
                                             const char* key, const std::string& text)
{
    Json::Value body(Json::objectValue);
    body["Action"] = "Mod";
    body["Id"] = std::to_string(terminalId);
    body[key] = text;
    out = m_request.buildPost(cseq, packetType, jsonText(body));
    return out;
}

std::string& ZnTermBaseManage::buildSetRequest(std::string& out, int cseq, const std::string& packetType,
                                               const std::string& body)
{
    out = m_request.buildPost(cseq, packetType, body);
    return out;
}

std::string ZnTermBaseManage::jsonText(const Json::Value& object)
{
    Json::FastWriter writer;
    return writer.write(object);
}
