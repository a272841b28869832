#include "ZnD82Manage.h"

#include "BookEntry.h"
#include "BookRequest.h"
#include "ZnD82.h"
#include "ZnIdRows.h"
#include "ZnMicRows.h"
#include "ZnRow.h"
#include "ZnRows.h"
#include "ZnXmlText.h"

#include <json/json.h>
#include <tinyxml.h>

namespace {

bool byDescendingId(const ZnD82& a, const ZnD82& b)
{
    return a.id > b.id;
}

bool isPositiveDecimal(const std::string& text)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return ZnRow::atoi(text) > 0;
}

} // namespace

ZnD82Manage::ZnD82Manage()
{
    setName("D82");
    setCommands(m_types, 15);
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
    out = m_request.buildPost(cseq, "ModTalkTerminal", jsonText(body));
    return out;
}

std::string& ZnD82Manage::buildD82Books(std::string& out, int cseq, const BookRequest& request)
{
    const int id = request.terminalId;
    switch (request.requestType) {
    case CallBookType:
        return buildTerminalRows(out, cseq, "d82call", id, "D82CallList");
    case AllCallType:
        return buildSqlQuery(out, cseq, kAllCallSql, "AllCallD82List");
    case SourceBookType:
        return buildTerminalRows(out, cseq, "d82soundsource", id, "FixSsTaskList");
    case RegionBookType:
        return buildTerminalRows(out, cseq, "d82broadcast", id, "FixRegionList");
    default:
        out.clear();
        return out;
    }
}

std::string& ZnD82Manage::buildSetD82Books(std::string& out, int cseq, const BookRequest& request)
{
    const int id = request.terminalId;
    switch (request.requestType) {
    case SetCallBookType:
        return buildBookPost(out, cseq, "D82CallBook", id, "Contacts", request.text);
    case SetSourceBookType:
        return buildBookPost(out, cseq, "D82SoundSource", id, "SoundSource", request.text);
    case SetRegionBookType:
        return buildBookPost(out, cseq, "D82BroadBook", id, "RegionId", request.text);
    default:
        out.clear();
        return out;
    }
}

bool ZnD82Manage::parseDevices(const std::string& body, std::list<ZnD82>& devices)
{
    const bool read = ZnIdRows::read(body, "d82", "terminalId", devices, [](const ZnRowView& row, ZnD82& d) {
        if (!d.fillBase(row))
            return false;
        d.work = ZnRow::text(row, "work");
        d.ver = ZnRow::text(row, "ver");
        if (d.name.empty())
            d.name = "D82_" + ZnRow::text(row, "terminalId");
        return true;
    });
    if (!read)
        return false;
    devices.sort(byDescendingId); // std::list::sort is stable
    return true;
}

bool ZnD82Manage::parseBook(const std::string& body, const char* itemKey, std::list<BookEntry>& entries)
{
    ZnRows rows;
    if (!ZnRow::parseArray(body, rows))
        return false;
    for (std::size_t i = 0; i < rows.size(); ++i)
        entries.push_back(ZnMicRows::book(rows[i], itemKey, "contactType"));
    return true;
}

bool ZnD82Manage::parseAllCall(const std::string& body, std::list<ZnD82>& devices)
{
    return ZnIdRows::read(body, "all-call terminals", "terminalId", devices, [](const ZnRowView& row, ZnD82& d) {
        if (!ZnRow::id(row, "terminalId", d.id))
            return false;
        d.type = ZnRow::text(row, "type");
        d.name = ZnRow::text(row, "name");
        if (d.name.empty())
            d.name = d.type + "_" + ZnRow::text(row, "terminalId");
        return true;
    });
}

bool ZnD82Manage::parseDevice(const std::string& xml, ZnD82& device)
{
    TiXmlDocument doc;
    if (!ZnXmlText::parse(doc, xml))
        return false;
    const TiXmlElement* list = ZnXmlText::topElement(doc, "D82List");
    const TiXmlElement* e = list ? list->FirstChildElement() : nullptr;
    if (!e)
        return false;
    const std::string idText = ZnXmlText::text(e, "terminalId");
    if (!isPositiveDecimal(idText))
        return false;
    ZnD82 d;
    d.id = ZnRow::atoi(idText);
    d.status = ZnXmlText::toInt(e, "status", 0);
    d.work = ZnXmlText::text(e, "work");
    d.name = ZnXmlText::text(e, "name");
    if (d.name.empty())
        d.name = "D82_" + idText;
    d.type = ZnXmlText::text(e, "type");
    d.ver = ZnXmlText::text(e, "ver");
    d.ip = ZnXmlText::text(e, "ip");
    device = d;
    return true;
}

void ZnD82Manage::onResponse(int requestType, const std::string& body)
{
    if (isCommandRegistered(requestType) != 0)
        return;
    switch (requestType) {
    case ListType: {
        std::list<ZnD82> devices;
        if (parseDevices(body, devices) && m_notify)
            m_notify(ListType, &devices);
        break;
    }
    case DeviceType: {
        ZnD82 device;
        if (parseDevice(body, device) && m_notify)
            m_notify(DeviceType, &device);
        break;
    }
    case CallBookType:
    case SourceBookType:
    case RegionBookType: {
        const char* key = requestType == CallBookType     ? "contactId"
                          : requestType == SourceBookType ? "sourceId"
                                                          : "regionId";
        std::list<BookEntry> entries;
        if (parseBook(body, key, entries) && m_notify)
            m_notify(requestType, &entries);
        break;
    }
    case AllCallType: {
        std::list<ZnD82> devices;
        if (parseAllCall(body, devices) && m_notify)
            m_notify(AllCallType, &devices);
        break;
    }
    default:
        break;
    }
}

bool ZnD82Manage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnD82> devices;
    if (parseDevices(body, devices) && m_notify) {
        for (const ZnD82& d : devices) {
            ZnD82 copy(d);
            m_notify(DeviceType, &copy);
        }
    }
    return true;
}

void ZnD82Manage::onDeleted(int id)
{
    if (m_notify)
        m_notify(RemovedType, &id);
}
