#include "ZnMicManage.h"

#include "BookRequest.h"
#include "ZnMic.h"
#include "ZnMicRows.h"

#include <json/json.h>

ZnMicManage::ZnMicManage()
{
    setName("MIC");
    setCommands(m_types, 15);
}

std::string& ZnMicManage::buildMicList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq,
                         "select terminalId,type,status,work,name,ip,capvol,callVol,bellVol,broVol,pttMode from dsk81",
                         "MicList");
}

std::string& ZnMicManage::buildMicTerminal(std::string& out, int cseq, int terminalId)
{
    return buildDataQuery(out, cseq, "Mic", terminalId);
}

std::string& ZnMicManage::buildModifyMic(std::string& out, int cseq, const ZnMic& mic)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(mic.id);
    body["Name"] = mic.name;
    body["CapVol"] = std::to_string(mic.capVol);
    body["CallVol"] = std::to_string(mic.callVol);
    body["BellVol"] = std::to_string(mic.bellVol);
    body["BroVol"] = std::to_string(mic.broVol);
    if (mic.pttMode != -1)
        body["PttMode"] = std::to_string(mic.pttMode);
    ZnCommandRequest request;
    out = request.buildPost(cseq, "ModTalkTerminal", jsonText(body));
    return out;
}

std::string& ZnMicManage::buildMicBooks(std::string& out, int cseq, const BookRequest& request)
{
    const std::string id = std::to_string(request.terminalId);
    switch (request.requestType) {
    case 266:
        return buildSqlQuery(out, cseq, "select * from d81call where terminalId = " + id, "MicCallList");
    case 267:
        return buildSqlQuery(out, cseq,
                             "select terminalId,name,type from dsk72 union select terminalId,name,type from dsk74 "
                             "union select terminalId,name,type from dsk81 union select terminalId,name,type from d82 "
                             "order by terminalId",
                             "AllCallMicList");
    case 269:
        return buildSqlQuery(out, cseq,
                             "select terminalId,name,type,exten from dsk72 union select terminalId,name,type,exten "
                             "from dsk74 union select terminalId,name,type,exten from ipamp order by terminalId",
                             "AllPlayTerminalList");
    case 270:
        return buildSqlQuery(out, cseq, "select * from d81transfercall where terminalId = " + id, "FixTransferList");
    case 272:
        return buildSqlQuery(out, cseq, "select * from d81monitor where terminalId = " + id, "FixMonitorList");
    case 274:
        return buildSqlQuery(out, cseq, "select * from d81soundsource where terminalId = " + id, "FixSsTaskList");
    case 276:
        return buildSqlQuery(out, cseq, "select * from d81broadcast where terminalId = " + id, "FixRegionList");
    default:
        out.clear();
        return out;
    }
}

std::string& ZnMicManage::buildSetMicBooks(std::string& out, int cseq, const BookRequest& request)
{
    const char* packetType = nullptr;
    const char* key = nullptr;
    switch (request.requestType) {
    case 268:
        packetType = "D81CallBook";
        key = "Contacts";
        break;
    case 271:
        packetType = "D81CallTransfer";
        key = "CallTransfer";
        break;
    case 273:
        packetType = "D81MonitorBook";
        key = "Monitor";
        break;
    case 275:
        packetType = "D81SoundSource";
        key = "SoundSource";
        break;
    case 277:
        packetType = "D81BroadBook";
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
    ZnCommandRequest builder;
    out = builder.buildPost(cseq, packetType, jsonText(body));
    return out;
}

void ZnMicManage::onResponse(int requestType, const std::string& body)
{
    if (isCommandRegistered(requestType) != 0)
        return;
    switch (requestType) {
    case ListType: {
        std::list<ZnMic> list;
        if (!ZnMicRows::dsk81List(body, list))
            return;
        sortDescending(list);
        if (m_notify)
            m_notify(ListType, &list);
        return;
    }
    case ConsoleType: {
        std::list<ZnMic> list;
        if (ZnMicRows::dsk81Xml(body, list))
            notifyEach(list);
        return;
    }
    case AllCallType:
    case AllPlayType: {
        std::list<ZnMic> list;
        if (ZnMicRows::directoryList(body, list) && m_notify)
            m_notify(requestType, &list);
        return;
    }
    default: {
        const char* itemKey = nullptr;
        const char* typeKey = nullptr;
        if (!ZnMicRows::bookKeys(requestType, itemKey, typeKey))
            return;
        std::list<BookEntry> book;
        if (ZnMicRows::bookList(body, itemKey, typeKey, book) && m_notify)
            m_notify(requestType, &book);
        return;
    }
    }
}

bool ZnMicManage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnMic> list;
    ZnMicRows::dsk81List(body, list);
    sortDescending(list);
    notifyEach(list);
    return true;
}

bool ZnMicManage::onSet(const std::string& body)
{
    if (m_check.replyType(body) != ZnMsgCheck::MicList)
        return false;
    // A setting pushed as XML carries its consoles as attributes of the children.
    std::list<ZnMic> list;
    ZnMicRows::dsk81Xml(body, list);
    sortDescending(list);
    notifyEach(list);
    return true;
}

void ZnMicManage::onDeleted(int id)
{
    // A console the server removed leaves the model too.
    if (m_notify)
        m_notify(DeletedType, &id);
}

void ZnMicManage::notifyEach(const std::list<ZnMic>& list)
{
    for (const ZnMic& mic : list) {
        ZnMic copy(mic);
        if (m_notify)
            m_notify(ConsoleType, &copy);
    }
}

void ZnMicManage::sortDescending(std::list<ZnMic>& list)
{
    list.sort([](const ZnMic& a, const ZnMic& b) { return a.id > b.id; });
}
