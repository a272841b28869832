#include "ZnMicManage.h"

#include "BookRequest.h"
#include "ZnD72Manage.h"
#include "ZnMic.h"
#include "ZnMicRows.h"

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
    out = m_request.buildPost(cseq, "ModTalkTerminal", ZnD72Manage::talkTerminalBody(mic, true));
    return out;
}

std::string& ZnMicManage::buildMicBooks(std::string& out, int cseq, const BookRequest& request)
{
    const int id = request.terminalId;
    switch (request.requestType) {
    case CallBookType:
        return buildTerminalRows(out, cseq, "d81call", id, "MicCallList");
    case AllCallType:
        return buildSqlQuery(out, cseq, kAllCallSql, "AllCallMicList");
    case AllPlayType:
        return buildSqlQuery(out, cseq,
                             "select terminalId,name,type,exten from dsk72 union select terminalId,name,type,exten "
                             "from dsk74 union select terminalId,name,type,exten from ipamp order by terminalId",
                             "AllPlayTerminalList");
    case TransferType:
        return buildTerminalRows(out, cseq, "d81transfercall", id, "FixTransferList");
    case MonitorType:
        return buildTerminalRows(out, cseq, "d81monitor", id, "FixMonitorList");
    case SourceType:
        return buildTerminalRows(out, cseq, "d81soundsource", id, "FixSsTaskList");
    case RegionType:
        return buildTerminalRows(out, cseq, "d81broadcast", id, "FixRegionList");
    default:
        out.clear();
        return out;
    }
}

std::string& ZnMicManage::buildSetMicBooks(std::string& out, int cseq, const BookRequest& request)
{
    const int id = request.terminalId;
    switch (request.requestType) {
    case SetCallBookType:
        return buildBookPost(out, cseq, "D81CallBook", id, "Contacts", request.text);
    case SetTransferType:
        return buildBookPost(out, cseq, "D81CallTransfer", id, "CallTransfer", request.text);
    case SetMonitorType:
        return buildBookPost(out, cseq, "D81MonitorBook", id, "Monitor", request.text);
    case SetSourceType:
        return buildBookPost(out, cseq, "D81SoundSource", id, "SoundSource", request.text);
    case SetRegionType:
        return buildBookPost(out, cseq, "D81BroadBook", id, "RegionId", request.text);
    default:
        out.clear();
        return out;
    }
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
