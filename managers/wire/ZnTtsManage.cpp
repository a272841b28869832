#include "ZnTtsManage.h"

#include "ZnIdRows.h"
#include "ZnRow.h"
#include "ZnRows.h"
#include "ZnTts.h"

#include <json/json.h>

#include <list>

ZnTtsManage::ZnTtsManage() : ZnNotifyManage(kDeleteType, DeletedType) {}

std::string& ZnTtsManage::buildTtsList(std::string& out, int cseq)
{
    return buildSqlQuery(out, cseq, "select * from tts71", "TtsList");
}

std::string& ZnTtsManage::buildModifyTts(std::string& out, int cseq, const ZnTts& tts)
{
    Json::Value body(Json::objectValue);
    body["Id"] = std::to_string(tts.id);
    body["Name"] = tts.name;
    out = m_request.buildPost(cseq, "TTs71Name", jsonText(body));
    return out;
}

bool ZnTtsManage::parseRows(const std::string& body, std::list<ZnTts>& out)
{
    return ZnIdRows::read(body, "tts71", "terminalId", out,
                          [](const ZnRowView& row, ZnTts& tts) { return tts.fillFromRow(row); });
}

void ZnTtsManage::onResponse(int requestType, const std::string& body)
{
    if (requestType != ListType)
        return;
    std::list<ZnTts> units;
    if (parseRows(body, units) && m_notify)
        m_notify(ListType, &units);
}

bool ZnTtsManage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnTts> units;
    if (parseRows(body, units)) {
        for (const ZnTts& tts : units) {
            ZnTts copy(tts);
            if (m_notify)
                m_notify(ModifyType, &copy);
        }
    }
    return true;
}
