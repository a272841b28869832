#include "ZnBroadcastManage.h"

#include "ZnBroadcast.h"
#include "ZnXmlNesting.h"

#include <tinyxml.h>

namespace {

// The "BroadcastList" element of a parsed body, or null.
const TiXmlElement* broadcastList(TiXmlDocument& doc, const std::string& body)
{
    if (body.empty() || !ZnXmlNesting::within(body))
        return nullptr;
    if (!ZnXmlNesting::parse(doc, body))
        return nullptr;
    return doc.FirstChildElement("BroadcastList");
}

} // namespace

ZnBroadcastManage::ZnBroadcastManage()
{
    setName("BROADCAST");
    setCommands(m_types, 4);
}

void ZnBroadcastManage::setCallbacks(ListCallback list, BroadcastCallback single, BroadcastCallback pushed)
{
    if (list)
        m_listCallback = list;
    if (single)
        m_singleCallback = single;
    if (pushed)
        m_pushedCallback = pushed;
}

bool ZnBroadcastManage::parseList(const std::string& body, std::list<ZnBroadcast>& out)
{
    TiXmlDocument doc;
    const TiXmlElement* list = broadcastList(doc, body);
    if (!list)
        return false;
    for (const TiXmlElement* e = list->FirstChildElement(); e; e = e->NextSiblingElement()) {
        ZnBroadcast broadcast;
        broadcast.fillFromElement(*e);
        out.push_back(broadcast);
    }
    return true;
}

bool ZnBroadcastManage::parseFirst(const std::string& body, ZnBroadcast& out)
{
    TiXmlDocument doc;
    const TiXmlElement* list = broadcastList(doc, body);
    const TiXmlElement* first = list ? list->FirstChildElement() : nullptr;
    if (!first)
        return false;
    out.fillFromElement(*first);
    return true;
}

void ZnBroadcastManage::onResponse(int requestType, const std::string& body)
{
    if (isCommandRegistered(requestType) != 0)
        return;
    if (requestType == ListType) {
        std::list<ZnBroadcast> broadcasts;
        if (parseList(body, broadcasts) && m_listCallback)
            m_listCallback(&broadcasts);
    } else if (requestType == SingleType || requestType == SingleType2) {
        ZnBroadcast broadcast;
        if (parseFirst(body, broadcast) && m_singleCallback)
            m_singleCallback(&broadcast);
    }
}

bool ZnBroadcastManage::onSet(const std::string& body)
{
    if (m_check.replyType(body) != ZnMsgCheck::BroadcastList)
        return false;
    ZnBroadcast broadcast;
    if (!parseFirst(body, broadcast))
        return false;
    if (m_pushedCallback)
        m_pushedCallback(&broadcast);
    return true;
}

void ZnBroadcastManage::onDeleted(int) {}
