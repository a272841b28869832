#include "ZnRegionManage.h"

#include "ZnIdRows.h"
#include "ZnRegion.h"
#include "ZnRow.h"
#include "ZnRows.h"

#include <json/json.h>

namespace {
const char* const kStrings[] = {"RegionList", "Region", "BroadRegion", "select * from region", "Add", "Mod", "Del"};
}

ZnRegionManage::ZnRegionManage() : ZnNotifyManage(kDeleteType, DeletedType) {}

std::string& ZnRegionManage::buildRegionList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, kStrings[3], kStrings[0]);
}

std::string& ZnRegionManage::buildSaveRegion(std::string& out, int cseq, const ZnRegion& region, int operation)
{
    out.clear();
    if (operation < OpAdd || operation > OpDel)
        return out;
    std::string ids;
    for (const ZnBaseTerminal& t : region.terminals) {
        if (!ids.empty())
            ids += ' ';
        ids += std::to_string(t.id);
    }
    Json::Value body(Json::objectValue);
    body["Action"] = kStrings[operation];
    body["Id"] = std::to_string(region.regionId);
    body["Name"] = region.name;
    body["TerminalId"] = ids;
    out = m_request.buildPost(cseq, kStrings[2], jsonText(body));
    return out;
}

bool ZnRegionManage::parseRows(const std::string& body, std::list<ZnRegion>& regions)
{
    return ZnIdRows::read(body, "region", "regionId", regions, [](const ZnRowView& row, ZnRegion& r) {
        if (!ZnRow::id(row, "regionId", r.regionId))
            return false;
        r.name = ZnRow::text(row, "name");
        // An id the console cannot keep as a number is kept as written, so the
        // region is never saved over it.
        std::vector<int> ids;
        ZnRow::memberIds(ZnRow::text(row, "terminalId"), ids, r.unreadMembers);
        for (int id : ids) {
            ZnBaseTerminal t;
            t.id = id;
            r.terminals.push_back(t);
        }
        return true;
    });
}

void ZnRegionManage::onResponse(int requestType, const std::string& body)
{
    if (requestType != ListType)
        return;
    std::list<ZnRegion> regions;
    if (parseRows(body, regions) && !regions.empty() && m_notify)
        m_notify(ListType, &regions);
}
