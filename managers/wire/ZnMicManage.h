#pragma once

#include "ZnNotifyManage.h"

#include <list>

class BookRequest;
class ZnMic;

// Dsk81 consoles (server microphones) and their books.
class ZnMicManage : public ZnNotifyManage
{
public:
    enum {
        ListType = 262,
        ConsoleType = 263,
        ModifyType = 264,
        DeletedType = 265,
        CallBookType = 266,
        AllCallType = 267,
        SetCallBookType = 268,
        AllPlayType = 269,
        TransferType = 270,
        SetTransferType = 271,
        MonitorType = 272,
        SetMonitorType = 273,
        SourceType = 274,
        SetSourceType = 275,
        RegionType = 276,
        SetRegionType = 277
    };
    static constexpr const char* kPostKey = "SqlConfig_dsk81";

    ZnMicManage();

    std::string& buildMicList(std::string& out, int cseq);
    std::string& buildMicTerminal(std::string& out, int cseq, int terminalId);
    std::string& buildModifyMic(std::string& out, int cseq, const ZnMic& mic);
    // Empty text when the request type names no book.
    std::string& buildMicBooks(std::string& out, int cseq, const BookRequest& request);
    std::string& buildSetMicBooks(std::string& out, int cseq, const BookRequest& request);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDeleted(int id) override;

    // Descending id, equal ids in row order.
    static void sortDescending(std::list<ZnMic>& list);

protected:
    // Each console of the list, as a copy, under the one-console code.
    void notifyEach(const std::list<ZnMic>& list);

    int m_types[15] = {262, 263, 264, 265, 266, 267, 268, 269, 270, 271, 272, 273, 274, 275, 276};
};
