#pragma once

#include "ZnNotifyManage.h"

#include <list>

class ZnRegion;

// Broadcast regions. Changes carry "Action" by operation: 4 "Add", 5 "Mod", 6 "Del".
class ZnRegionManage : public ZnNotifyManage
{
public:
    enum { ListType = 140, SaveType = 142, DeletedType = 143 };
    enum { OpAdd = 4, OpMod = 5, OpDel = 6 };
    static constexpr const char* kDeleteType = "Region";

    ZnRegionManage();

    std::string& buildRegionList(std::string& out, int cseq);
    // Empty text for an operation other than 4, 5 or 6.
    std::string& buildSaveRegion(std::string& out, int cseq, const ZnRegion& region, int operation);

    // The regions of a row array; false when the body is no JSON.
    static bool parseRows(const std::string& body, std::list<ZnRegion>& regions);

    void onResponse(int requestType, const std::string& body) override;
};
