#include "ZnD72Manage.h"

#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicRows.h"

#include <json/json.h>

ZnD72Manage::ZnD72Manage()
    : ZnTalkConsoleManage(
        {&ZnMicRows::d72List, ListType, ModifyType, DeletedType, ButtonCallsType, kPostKey, kDeleteType})
{}

std::string& ZnD72Manage::buildD72List(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from Dsk72", "D72List");
}

std::string ZnD72Manage::talkTerminalBody(const ZnMic& mic, bool withPttMode)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(mic.id);
    body["Name"] = mic.name;
    body["CapVol"] = std::to_string(mic.capVol);
    body["CallVol"] = std::to_string(mic.callVol);
    body["BellVol"] = std::to_string(mic.bellVol);
    body["BroVol"] = std::to_string(mic.broVol);
    if (withPttMode && mic.pttMode != -1)
        body["PttMode"] = std::to_string(mic.pttMode);
    return jsonText(body);
}

std::string& ZnD72Manage::buildModifyD72(std::string& out, int cseq, const ZnMic& mic)
{
    out = m_request.buildPost(cseq, "ModTalkTerminal", talkTerminalBody(mic));
    return out;
}

std::string& ZnD72Manage::buildD72ButtonCalls(std::string& out, int cseq, int terminalId)
{
    return buildTerminalRows(out, cseq, "d72buttoncall", terminalId, "D72ButtonCall");
}

std::string& ZnD72Manage::buildSetD72ButtonCall(std::string& out, int cseq, const std::vector<ZnMicBtnCall>& calls)
{
    out.clear();
    // The body names one console: an empty list has none, a mixed one two.
    if (calls.empty())
        return out;
    for (const ZnMicBtnCall& call : calls) {
        if (call.terminalId != calls[0].terminalId)
            return out;
    }
    Json::Value body(Json::objectValue);
    body["Action"] = "Mod";
    body["Id"] = std::to_string(calls[0].terminalId);
    // The fourth entry is the alarm input and travels as "AlarmCall"; every other
    // entry is a key of its own, so each entry goes out exactly once.
    Json::Value buttons(Json::arrayValue);
    for (size_t i = 0; i < calls.size(); ++i) {
        if (i == AlarmEntry)
            continue;
        Json::Value b(Json::objectValue);
        b["StartCall"] = calls[i].startCall;
        b["StopCall"] = calls[i].stopCall;
        b["Dsk81"] = std::to_string(calls[i].dsk81Id);
        b["CallServiceGroup"] = std::to_string(calls[i].groupId);
        buttons.append(b);
    }
    body["ButtonCalls"] = buttons;
    if (calls.size() > AlarmEntry)
        body["AlarmCall"] = calls[AlarmEntry].startCall + " " + calls[AlarmEntry].stopCall;
    out = m_request.buildPost(cseq, "D72ButtonCall", jsonText(body));
    return out;
}
