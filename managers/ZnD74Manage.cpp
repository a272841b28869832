#include "ZnD74Manage.h"

#include "ZnD72Manage.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicRows.h"

#include <json/json.h>

std::string& ZnD74Manage::buildD74List(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from Dsk74", "D74List");
}

std::string& ZnD74Manage::buildModifyD74(std::string& out, int cseq, const ZnMic& mic, int operation, int& requestType)
{
    requestType = ModifyType;
    if (operation == 0) {
        out = m_request.buildPost(cseq, "ModTalkTerminal", ZnD72Manage::talkTerminalBody(mic));
        return out;
    }
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(mic.id);
    if (operation == 2) {
        body["Name"] = mic.name;
        body["BroVol"] = std::to_string(mic.broVol);
        out = m_request.buildPost(cseq, "IpAmpSet", jsonText(body));
        return out;
    }
    requestType = LedType;
    body["LedColor"] = std::to_string(mic.ledColor);
    body["SwitchMode"] = std::to_string(mic.switchMode);
    body["DisplayTime"] = std::to_string(mic.displayTime);
    body["LedTxt"] = mic.ledTxt;
    out = m_request.buildPost(cseq, "ModD74Led", jsonText(body));
    return out;
}

std::string& ZnD74Manage::buildD74ButtonCalls(std::string& out, int cseq, int terminalId)
{
    return buildSqlQuery(out, cseq, "select * from d74buttoncall where terminalId = " + std::to_string(terminalId),
                         "D74ButtonCall");
}

std::string& ZnD74Manage::buildSetD74ButtonCall(std::string& out, int cseq, const ZnMicBtnCall& call)
{
    Json::Value body(Json::objectValue);
    body["Action"] = "Mod";
    body["Id"] = std::to_string(call.terminalId);
    body["StartCall"] = call.startCall;
    body["StopCall"] = call.stopCall;
    body["Dsk81"] = std::to_string(call.dsk81Id);
    body["CallServiceGroup"] = std::to_string(call.groupId);
    out = m_request.buildPost(cseq, "D74ButtonCall", jsonText(body));
    return out;
}

void ZnD74Manage::onResponse(int requestType, const std::string& body)
{
    if (requestType == ListType) {
        std::list<ZnMic> list;
        // An empty answer keeps the model's list as it is.
        if (ZnMicRows::d74List(body, list) && !list.empty() && m_notify)
            m_notify(ListType, &list);
    } else if (requestType == ButtonCallsType) {
        std::list<ZnMicBtnCall> calls;
        if (ZnMicRows::buttonCallList(body, calls) && m_notify)
            m_notify(ButtonCallsType, &calls);
    }
}

bool ZnD74Manage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnMic> list;
    ZnMicRows::d74List(body, list);
    for (const ZnMic& mic : list) {
        ZnMic copy(mic);
        if (m_notify)
            m_notify(ModifyType, &copy);
    }
    return true;
}

bool ZnD74Manage::onSet(const std::string&)
{
    return false;
}

void ZnD74Manage::onDelete(const std::string& type, int id)
{
    notifyDeletion(type, id, kDeleteType, DeletedType);
}

void ZnD74Manage::onDeleted(int)
{
}
