#include "ZnD82Manage.h"

#include "BookRequest.h"
#include "ZnD82.h"

#include <json/json.h>

ZnD82Manage::ZnD82Manage()
{
    setName("D82");
    setCommands(m_types, 15);
}

void ZnD82Manage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

std::string& ZnD82Manage::buildD82List(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select terminalId,type,status,work,name,ip,ver from d82", "D82List");
}

std::string& ZnD82Manage::buildD82Terminal(std::string& out, int cseq, int terminalId)
{
    return buildDataQuery(out, cseq, "D82", terminalId);
}

std::string& ZnD82Manage::buildModifyD82(std::string& out, int cseq, const ZnD82& device)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(device.id);
    body["Name"] = device.name;
    body["CapVol"] = "0";
    body["CallVol"] = "0";
    body["BellVol"] = "0";
    body["BroVol"] = "0";
    out = m_ownRequest.buildPost(cseq, "ModTalkTerminal", jsonText(body));
    return out;
}

std::string& ZnD82Manage::buildD82Books(std::string& out, int cseq, const BookRequest& request)
{
    const std::string id = std::to_string(request.terminalId);
    switch (request.requestType) {
    case CallBookType:
        return buildSqlQuery(out, cseq, "select * from d82call where terminalId = " + id, "D82CallList");
    case AllCallType:
        return buildSqlQuery(out, cseq,
                             "select terminalId,name,type from dsk72 union select terminalId,name,type from dsk74 "
                             "union select terminalId,name,type from dsk81 union select terminalId,name,type from d82 "
                             "order by terminalId",
                             "AllCallD82List");
    case SourceBookType:
        return buildSqlQuery(out, cseq, "select * from d82soundsource where terminalId = " + id, "FixSsTaskList");
    case RegionBookType:
        return buildSqlQuery(out, cseq, "select * from d82broadcast where terminalId = " + id, "FixRegionList");
    default:
        out.clear();
        return out;
    }
}

std::string& ZnD82Manage::buildSetD82Books(std::string& out, int cseq, const BookRequest& request)
{
    const char* packetType = nullptr;
    const char* key = nullptr;
    switch (request.requestType) {
    case SetCallBookType:
        packetType = "D82CallBook";
        key = "Contacts";
        break;
    case SetSourceBookType:
        packetType = "D82SoundSource";
        key = "SoundSource";
        break;
    case SetRegionBookType:
        packetType = "D82BroadBook";
        key = "RegionId";
        break;
    default:
        out.clear();
        return out;
    }
    Json::Value body(Json::objectValue);
    body["Action"] = "Mod";
    body["Id"] = std::to_string(request.terminalId);
    body[key] = request.text;
    out = m_ownRequest.buildPost(cseq, packetType, jsonText(body));
    return out;
}

void ZnD82Manage::onResponse(int, const std::string&)
{
}

bool ZnD82Manage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnD82Manage::onSet(const std::string&)
{
    return false;
}

void ZnD82Manage::onDeleted(int)
{
}
