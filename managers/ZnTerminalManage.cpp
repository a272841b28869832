#include "ZnTerminalManage.h"

#include "ZnTerminal.h"

#include <json/json.h>

ZnTerminalManage::ZnTerminalManage()
{
    setName("01");
    setCommands(m_types, 7);
}

void ZnTerminalManage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

std::string& ZnTerminalManage::buildTerminalList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from ipamp", "TerminalList");
}

std::string& ZnTerminalManage::buildAmpPower(std::string& out, int cseq, int terminalId, int power)
{
    return buildKeyValuePost(out, cseq, terminalId, "Power", power & 0xff, "IpAmpPower");
}

std::string& ZnTerminalManage::buildModifyTerminal(std::string& out, int cseq, const ZnTerminal& terminal)
{
    Json::Value body(Json::objectValue);
    body["BroVol"] = std::to_string(terminal.broVol);
    body["Id"] = std::to_string(terminal.id);
    body["Name"] = terminal.name;
    return buildSetRequest(out, cseq, "IpAmpSet", jsonText(body));
}

std::string& ZnTerminalManage::buildTerminal(std::string& out, int cseq, const ZnTerminal&)
{
    // The server takes the whole-record request without a body.
    return buildSetRequest(out, cseq, "Terminal", std::string());
}

std::string& ZnTerminalManage::buildSpeakerCheck(std::string& out, int cseq, int terminalId)
{
    return buildKeyValuePost(out, cseq, terminalId, "SpkCheck", 1, "IpAmpSpkCheck");
}

std::string& ZnTerminalManage::buildPlayTermConfig(std::string& out, int cseq, const ZnTerminal& terminal)
{
    out = m_request.buildPlayTermConfig(cseq, terminal.id, terminal.warnTempThreshold, terminal.fanTempThreshold,
                                        terminal.maxVol);
    return out;
}

void ZnTerminalManage::onResponse(int, const std::string&)
{
}

bool ZnTerminalManage::onPost(const std::string& key, const std::string&)
{
    return key == kPostKey;
}

bool ZnTerminalManage::onSet(const std::string&)
{
    return false;
}

void ZnTerminalManage::onFailed(int, const std::string&)
{
}

void ZnTerminalManage::onDeleted(int)
{
}
