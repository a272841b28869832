#include "ZnD74Manage.h"

#include "ZnD72Manage.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicRows.h"

#include <json/json.h>

ZnD74Manage::ZnD74Manage()
    : ZnTalkConsoleManage(
        {&ZnMicRows::d74List, ListType, ModifyType, DeletedType, ButtonCallsType, kPostKey, kDeleteType})
{}

std::string& ZnD74Manage::buildD74List(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from Dsk74", "D74List");
}

std::string& ZnD74Manage::buildModifyD74(std::string& out, int cseq, const ZnMic& mic, int operation)
{
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
    body["LedColor"] = std::to_string(mic.ledColor);
    body["SwitchMode"] = std::to_string(mic.switchMode);
    body["DisplayTime"] = std::to_string(mic.displayTime);
    body["LedTxt"] = mic.ledTxt;
    out = m_request.buildPost(cseq, "ModD74Led", jsonText(body));
    return out;
}

std::string& ZnD74Manage::buildD74ButtonCalls(std::string& out, int cseq, int terminalId)
{
    return buildTerminalRows(out, cseq, "d74buttoncall", terminalId, "D74ButtonCall");
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
