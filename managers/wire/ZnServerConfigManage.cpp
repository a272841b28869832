#include "ZnServerConfigManage.h"

#include "ZnServerConfigRequest.h"
#include "ZnTermBaseManage.h"

#include <exception>
#include <json/json.h>
#include <list>

#include "ZnRow.h"
#include "ZnServerParam.h"

namespace {

int paramKind(const std::string& name)
{
    if (name == "Record_Server")
        return ZnServerParam::RecordServer;
    if (name == "Talk_Log_Server")
        return ZnServerParam::TalkLogServer;
    if (name == "Vad_Ptt_Time_Out")
        return ZnServerParam::VadPttTimeout;
    if (name == "System_Name")
        return ZnServerParam::SystemName;
    return ZnServerParam::Other;
}

} // namespace

void ZnServerConfigManage::setCallback(ConfigCallback callback)
{
    if (callback)
        m_callback = callback;
}

std::string& ZnServerConfigManage::buildParameterRequest(std::string& out, int cseq, const std::string&, int type)
{
    if (type == ParametersType)
        out = m_request.buildSqlConfig(cseq, "SystemParameter", "select * from parameter");
    else if (type == LogServerQueryType)
        out =
            m_request.buildSqlConfig(cseq, "TbLogServer", "select value from parameter where name = 'Talk_Log_Server'");
    else
        out.clear();
    return out;
}

std::string& ZnServerConfigManage::buildRequest(std::string& out, int cseq, const ZnServerConfigRequest& request)
{
    Json::Value body(Json::objectValue);
    const char* packetType = "SystemParameter";
    switch (request.type) {
    case SystemNameType:
    case RecordServerType:
    case VadPttType:
    case LogServerType:
        body["Action"] = "Mod";
        body["Name"] = request.type == SystemNameType     ? "System_Name"
                       : request.type == RecordServerType ? "Record_Server"
                       : request.type == VadPttType       ? "Vad_Ptt_Time_Out"
                                                          : "Talk_Log_Server";
        body["Value"] = request.value;
        break;
    case AdminPasswordType:
        packetType = "ModTalkManagerInfo";
        body["Action"] = "Mod";
        body["Name"] = "admin";
        body["PassWord"] = request.value;
        break;
    case BackupType:
        packetType = "DataBackup";
        body["BackupFile"] = request.value;
        break;
    case RestoreType:
        packetType = "DataRecovery";
        body["RecoveryFile"] = request.value;
        body["Md5"] = request.value2;
        break;
    default:
        out.clear();
        return out;
    }
    out = m_request.buildPost(cseq, packetType, ZnTermBaseManage::jsonText(body));
    return out;
}

void ZnServerConfigManage::onResponse(int requestType, const std::string& body)
{
    if (!ownsType(requestType))
        return;
    if (requestType == ParametersType || requestType == LogServerQueryType) {
        Json::Value root;
        if (!ZnRow::parse(body, root) || !root.isArray())
            return;
        std::list<ZnServerParam> params;
        for (const Json::Value& row : root) {
            if (!row.isObject())
                continue;
            ZnServerParam p;
            p.name = ZnRow::text(row, "name");
            p.value = ZnRow::text(row, "value");
            p.kind = paramKind(p.name);
            params.push_back(p);
        }
        if (m_callback)
            m_callback(requestType, &params);
    } else if (requestType == BackupType) {
        Json::Value root;
        if (!ZnRow::parse(body, root) || !root.isObject())
            return;
        ZnServerParam backup;
        backup.name = ZnRow::text(root, "BackupFile");
        backup.value = ZnRow::text(root, "Md5");
        backup.kind = ZnServerParam::Backup;
        if (m_callback)
            m_callback(BackupType, &backup);
    }
}

bool ZnServerConfigManage::onPost(const std::string&, const std::string&)
{
    return false;
}

bool ZnServerConfigManage::onSet(const std::string&)
{
    return false;
}

void ZnServerConfigManage::onFailed(int, const std::string&) {}

void ZnServerConfigManage::onDelete(const std::string&, int) {}

void ZnServerConfigManage::onDeleted(int) {}
