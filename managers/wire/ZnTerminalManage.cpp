#include "ZnTerminalManage.h"

#include "ZnFailureNote.h"
#include "ZnIdRows.h"
#include "ZnRow.h"
#include "ZnRowEach.h"

#include <json/json.h>

#include <algorithm>

ZnTerminalManage::ZnTerminalManage()
{
    setName("01");
    setCommands(m_types, 7);
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

bool ZnTerminalManage::parseRows(const std::string& body, std::list<ZnTerminal>& out)
{
    // Each record is built in place as its row is read; the rows are not kept.
    std::list<ZnTerminal> list;
    ZnIdRows bad("ipamp", "terminalId");
    std::size_t index = 0;
    ZnRowEach each(
        [&](const ZnRowView& row) {
            if (!list.emplace_back().fillFromRow(row)) {
                list.pop_back();
                bad.leftOut(index);
            }
            ++index;
        },
        [&] {
            list.clear();
            bad.clear();
            index = 0;
        });
    if (!ZnRow::parseArray(body, each)) {
        bad.clear();
        return false;
    }
    const auto byId = [](const ZnTerminal& a, const ZnTerminal& b) { return a.id < b.id; };
    // The server mostly sends them in order already.
    if (!std::is_sorted(list.begin(), list.end(), byId))
        list.sort(byId);
    out.splice(out.end(), list);
    return true;
}

void ZnTerminalManage::onResponse(int requestType, const std::string& body)
{
    if (requestType != ListType)
        return;
    std::list<ZnTerminal> list;
    if (!parseRows(body, list))
        return;
    if (m_notify)
        m_notify(ListType, &list);
}

bool ZnTerminalManage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnTerminal> list;
    if (parseRows(body, list) && m_notify) {
        for (const ZnTerminal& terminal : list) {
            ZnTerminal copy(terminal);
            m_notify(TerminalType, &copy);
        }
    }
    return true;
}

void ZnTerminalManage::onFailed(int requestType, const std::string& body)
{
    if (requestType != RemoveType || !m_notify)
        return;
    ZnFailureNote note;
    note.text = body;
    m_notify(RemoveType, &note);
}
