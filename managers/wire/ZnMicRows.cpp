#include "ZnMicRows.h"

#include "ZnIdRows.h"
#include "ZnRow.h"
#include "ZnRows.h"
#include "ZnXmlNesting.h"

#include <json/json.h>
#include <tinyxml.h>

namespace {

void takeInt(const ZnRowView& row, const char* key, int& field)
{
    if (ZnRow::has(row, key))
        field = ZnRow::toInt(row, key);
}

void takeText(const ZnRowView& row, const char* key, std::string& field)
{
    if (ZnRow::has(row, key))
        field = ZnRow::text(row, key);
}

// The volumes every talk-console row may carry.
void takeVolumes(const ZnRowView& row, ZnMic& mic)
{
    takeInt(row, "broVol", mic.broVol);
    takeInt(row, "capVol", mic.capVol);
    takeInt(row, "bellVol", mic.bellVol);
    takeInt(row, "callVol", mic.callVol);
}

template <class Record, class Parse>
bool parseRows(const std::string& body, std::list<Record>& out, Parse parse)
{
    out.clear();
    ZnRows rows;
    if (!ZnRow::parseArray(body, rows))
        return false;
    for (std::size_t i = 0; i < rows.size(); ++i)
        out.push_back(parse(rows[i]));
    return true;
}

// Terminals: a row without a usable "terminalId" is left out.
bool parseTerminals(const std::string& body, const char* list, std::list<ZnMic>& out, ZnMic (*parse)(const ZnRowView&))
{
    out.clear();
    return ZnIdRows::read(body, list, "terminalId", out, [parse](const ZnRowView& row, ZnMic& mic) {
        int id = 0;
        if (!ZnRow::id(row, "terminalId", id))
            return false;
        mic = parse(row);
        return true;
    });
}

} // namespace

ZnMic ZnMicRows::d72(const ZnRowView& row)
{
    ZnMic mic;
    mic.fillBase(row);
    if (mic.name.empty())
        mic.name = "D72_" + ZnRow::text(row, "terminalId");
    takeText(row, "ver", mic.ver);
    takeText(row, "exten", mic.exten);
    takeInt(row, "ppt", mic.ppt);
    takeInt(row, "aec", mic.aec);
    takeVolumes(row, mic);
    return mic;
}

ZnMic ZnMicRows::d74(const ZnRowView& row)
{
    ZnMic mic;
    mic.fillBase(row);
    takeText(row, "work", mic.work);
    takeText(row, "exten", mic.exten);
    takeText(row, "ver", mic.ver);
    takeVolumes(row, mic);
    takeInt(row, "ledColor", mic.ledColor);
    takeInt(row, "switchMode", mic.switchMode);
    takeInt(row, "displayTime", mic.displayTime);
    takeText(row, "ledTxt", mic.ledTxt);
    if (mic.name.empty()) {
        const std::string idText = ZnRow::text(row, "terminalId");
        // "--" is how the server writes "no extension".
        if (mic.exten == "--")
            mic.name = "D74_" + idText;
        else
            mic.name = mic.exten + "_" + idText;
    }
    return mic;
}

ZnMic ZnMicRows::dsk81(const ZnRowView& row)
{
    ZnMic mic;
    mic.fillBase(row);
    if (mic.name.empty())
        mic.name = "D81_" + ZnRow::text(row, "terminalId");
    takeText(row, "work", mic.work);
    takeText(row, "exten", mic.exten);
    takeText(row, "ver", mic.ver);
    takeVolumes(row, mic);
    // The list query selects "capvol"; the database names the column as selected.
    if (!ZnRow::has(row, "capVol"))
        takeInt(row, "capvol", mic.capVol);
    takeInt(row, "pttMode", mic.pttMode);
    return mic;
}

ZnMicBtnCall ZnMicRows::buttonCall(const ZnRowView& row)
{
    ZnMicBtnCall call;
    takeInt(row, "terminalId", call.terminalId);
    takeText(row, "startCall", call.startCall);
    takeText(row, "stopCall", call.stopCall);
    takeInt(row, "dsk81Id", call.dsk81Id);
    takeInt(row, "groupId", call.groupId);
    return call;
}

ZnMic ZnMicRows::directory(const ZnRowView& row)
{
    ZnMic mic;
    const std::string idText = ZnRow::text(row, "terminalId");
    mic.id = ZnRow::toInt(row, "terminalId");
    mic.type = ZnRow::text(row, "type");
    mic.exten = ZnRow::text(row, "exten");
    mic.name = ZnRow::text(row, "name");
    if (mic.name.empty()) {
        if (!mic.exten.empty() && mic.exten != "--")
            mic.name = mic.exten + "_" + idText;
        else
            mic.name = mic.type + "_" + idText;
    }
    return mic;
}

BookEntry ZnMicRows::book(const ZnRowView& row, const char* itemKey, const char* typeKey)
{
    BookEntry entry;
    entry.terminalId = ZnRow::toInt(row, "terminalId");
    entry.itemIdText = ZnRow::text(row, itemKey);
    entry.hasItemId = ZnRow::id(row, itemKey, entry.itemId);
    entry.orderId = ZnRow::toInt(row, "orderId");
    if (typeKey) {
        entry.itemType = ZnRow::toInt(row, typeKey);
        entry.itemTypeText = ZnRow::text(row, typeKey);
    }
    return entry;
}

bool ZnMicRows::d72List(const std::string& body, std::list<ZnMic>& out)
{
    return parseTerminals(body, "dsk72", out, &ZnMicRows::d72);
}

bool ZnMicRows::d74List(const std::string& body, std::list<ZnMic>& out)
{
    return parseTerminals(body, "dsk74", out, &ZnMicRows::d74);
}

bool ZnMicRows::dsk81List(const std::string& body, std::list<ZnMic>& out)
{
    return parseTerminals(body, "dsk81", out, &ZnMicRows::dsk81);
}

bool ZnMicRows::buttonCallList(const std::string& body, std::list<ZnMicBtnCall>& out)
{
    return parseRows(body, out, &ZnMicRows::buttonCall);
}

bool ZnMicRows::directoryList(const std::string& body, std::list<ZnMic>& out)
{
    return parseTerminals(body, "terminal directory", out, &ZnMicRows::directory);
}

bool ZnMicRows::bookList(const std::string& body, const char* itemKey, const char* typeKey, std::list<BookEntry>& out)
{
    return parseRows(body, out, [=](const ZnRowView& row) { return book(row, itemKey, typeKey); });
}

bool ZnMicRows::dsk81Xml(const std::string& body, std::list<ZnMic>& out)
{
    out.clear();
    if (!ZnXmlNesting::within(body))
        return false;
    TiXmlDocument doc;
    if (!ZnXmlNesting::parse(doc, body))
        return false;
    const TiXmlElement* top = doc.FirstChildElement("MicList");
    if (!top)
        return false;
    ZnRows rows;
    ZnIdRows bad("MicList", "terminalId");
    for (const TiXmlElement* e = top->FirstChildElement(); e; e = e->NextSiblingElement()) {
        rows.beginRow(true);
        for (const TiXmlAttribute* a = e->FirstAttribute(); a; a = a->Next()) {
            ZnRows::Value v;
            v.kind = ZnRows::String;
            v.text = a->Value();
            rows.addField(a->Name(), v);
        }
        // A console without a real id cannot be placed in the list.
        const ZnRowView row = rows[rows.size() - 1];
        int id = 0;
        if (ZnRow::id(row, "terminalId", id) && id > 0)
            out.push_back(dsk81(row));
        else
            bad.leftOut(rows.size() - 1);
    }
    return true;
}

bool ZnMicRows::bookKeys(int requestType, const char*& itemKey, const char*& typeKey)
{
    typeKey = nullptr;
    switch (requestType) {
    case 266:
        itemKey = "contactId";
        typeKey = "contactType";
        return true;
    case 270:
        itemKey = "transferId";
        typeKey = "transferType";
        return true;
    case 272:
        itemKey = "monitorId";
        typeKey = "monitorType";
        return true;
    case 274:
        itemKey = "sourceId";
        return true;
    case 276:
        itemKey = "regionId";
        return true;
    default:
        itemKey = nullptr;
        return false;
    }
}
