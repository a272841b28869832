#pragma once

#include "BookEntry.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"

#include <list>
#include <string>

class ZnRowView;

// Reply rows of the talk-console families (D72, D74, Dsk81), their button calls,
// their per-console books and the two terminal directories. Every row is read into
// a fresh record, so nothing of one console can leak into the next; keys a row
// does not carry keep the record's defaults.
class ZnMicRows
{
public:
    static ZnMic d72(const ZnRowView& row);
    static ZnMic d74(const ZnRowView& row);
    static ZnMic dsk81(const ZnRowView& row);
    static ZnMicBtnCall buttonCall(const ZnRowView& row);
    // A directory row (all call terminals, all play terminals): id, type, exten, name.
    static ZnMic directory(const ZnRowView& row);
    // A book row: itemKey fills itemId when it is a number within int, and
    // itemIdText as the row wrote it; typeKey (may be null) fills itemType and,
    // as the row wrote it, itemTypeText.
    static BookEntry book(const ZnRowView& row, const char* itemKey, const char* typeKey);

    // Whole bodies. False when the body is no JSON (out is then left empty);
    // a JSON value that is no array gives no rows.
    static bool d72List(const std::string& body, std::list<ZnMic>& out);
    static bool d74List(const std::string& body, std::list<ZnMic>& out);
    static bool dsk81List(const std::string& body, std::list<ZnMic>& out);
    static bool buttonCallList(const std::string& body, std::list<ZnMicBtnCall>& out);
    static bool directoryList(const std::string& body, std::list<ZnMic>& out);
    static bool bookList(const std::string& body, const char* itemKey, const char* typeKey, std::list<BookEntry>& out);

    // Consoles of an XML body whose top element is "MicList": each child element
    // is one console whose attributes carry the row's columns by name. Children
    // without a positive "terminalId" are dropped. False when the body is no such XML.
    static bool dsk81Xml(const std::string& body, std::list<ZnMic>& out);

    // The item and type keys of a Dsk81 book query (266, 270, 272, 274, 276);
    // false for any other type.
    static bool bookKeys(int requestType, const char*& itemKey, const char*& typeKey);
};
