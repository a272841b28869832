#pragma once

#include "ZnNotifyManage.h"

#include <list>

class BookEntry;
class BookRequest;
class ZnD82;

// D82 mobile devices and their books.
class ZnD82Manage : public ZnNotifyManage
{
public:
    enum {
        ListType = 278,
        DeviceType = 279,
        ModifyType = 280,
        RemovedType = 281,
        CallBookType = 282,
        AllCallType = 283,
        SetCallBookType = 284,
        SourceBookType = 285,
        SetSourceBookType = 286,
        RegionBookType = 287,
        SetRegionBookType = 288
    };
    static constexpr const char* kPostKey = "SqlConfig_d82";

    ZnD82Manage();

    std::string& buildD82List(std::string& out, int cseq);
    std::string& buildD82Terminal(std::string& out, int cseq, int terminalId);
    std::string& buildModifyD82(std::string& out, int cseq, const ZnD82& device);
    // Empty text when the request type names no book.
    std::string& buildD82Books(std::string& out, int cseq, const BookRequest& request);
    std::string& buildSetD82Books(std::string& out, int cseq, const BookRequest& request);

    // Devices of a row array, by descending id; false when the body is no JSON.
    static bool parseDevices(const std::string& body, std::list<ZnD82>& devices);
    // Rows of a book; itemKey names the column of the item ("contactId", "sourceId", "regionId").
    static bool parseBook(const std::string& body, const char* itemKey, std::list<BookEntry>& entries);
    // The all-call list: id, name and type only.
    static bool parseAllCall(const std::string& body, std::list<ZnD82>& devices);
    // The XML answer to a single-device query: the first child of "D82List" with its
    // fields as attributes named like the list's row keys. False unless the device
    // carries a valid id (a positive decimal "terminalId").
    static bool parseDevice(const std::string& xml, ZnD82& device);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    // The server's removal notice: the device leaves the model (event 281).
    void onDeleted(int id) override;

protected:
    int m_types[15] = {278, 279, 280, 281, 282, 283, 284, 285, 286, 287, 288, 289, 290, 291, 292};
};
