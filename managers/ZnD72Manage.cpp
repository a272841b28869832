#include "ZnD72Manage.h"

#include "ZnMic.h"
#include "ZnMicBtnCall.h"

#include <json/json.h>

void ZnD72Manage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

std::string& ZnD72Manage::buildD72List(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from Dsk72", "D72List");
}

std::string ZnD72Manage::talkTerminalBody(const ZnMic& mic)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(mic.id);
    body["Name"] = mic.name;
    body["CapVol"] = std::to_string(mic.capVol);
    body["CallVol"] = std::to_string(mic.callVol);
    body["BellVol"] = std::to_string(mic.bellVol);
    body["BroVol"] = std::to_string(mic.broVol);
    return jsonText(body);
}

std::string& ZnD72Manage::buildModifyD72(std::string& out, int cseq, const ZnMic& mic)
{
    out = m_ownRequest.buildPost(cseq, "ModTalkTerminal", talkTerminalBody(mic));
    return out;
}

std::string& ZnD72Manage::buildD72ButtonCalls(std::string& out, int cseq, int terminalId)
{
    return buildSqlQuery(out, cseq, "select * from d72buttoncall where terminalId = " + std::to_string(terminalId),
                         "D72ButtonCall");
}

std::string& ZnD72Manage::buildSetD72ButtonCall(std::string& out, int cseq, const std::vector<ZnMicBtnCall>& calls)
{
    out.clear();
    if (calls.empty())
        return out;
    Json::Value body(Json::objectValue);
    body["Action"] = "Mod";
    body["Id"] = std::to_string(calls[0].terminalId);
    Json::Value buttons(Json::arrayValue);
    // The last entry is not a button of its own; from four entries on, the fourth
    // carries the alarm call.
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        Json::Value b(Json::objectValue);
        b["StartCall"] = calls[i].startCall;
        b["StopCall"] = calls[i].stopCall;
        b["Dsk81"] = std::to_string(calls[i].dsk81Id);
        b["CallServiceGroup"] = std::to_string(calls[i].groupId);
        buttons.append(b);
    }
    body["ButtonCalls"] = buttons;
    if (calls.size() >= 4)
        body["AlarmCall"] = calls[3].startCall + " " + calls[3].stopCall;
    out = m_ownRequest.buildPost(cseq, "D72ButtonCall", jsonText(body));
    return out;
}

void ZnD72Manage::onResponse(int, const std::string&)
{
}

bool ZnD72Manage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnD72Manage::onSet(const std::string&)
{
    return false;
}

void ZnD72Manage::onDelete(const std::string& type, int id)
{
    if (m_notify && type == kDeleteType)
        m_notify(DeletedType, &id);
}

void ZnD72Manage::onDeleted(int)
{
}
