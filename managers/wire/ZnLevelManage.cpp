#include "ZnLevelManage.h"

#include "ZnXmlNesting.h"

#include <tinyxml.h>

ZnLevelManage::ZnLevelManage()
{
    setCommands(m_types, 5);
}

void ZnLevelManage::setCallbacks(ListCallback list, DeleteCallback frame, LevelCallback third)
{
    if (list)
        m_listCallback = list;
    if (frame)
        m_deleteCallback = frame;
    if (third)
        m_thirdCallback = third;
}

std::unique_ptr<std::list<ZnLevel>> ZnLevelManage::parseLevelList(const std::string& xml)
{
    if (!ZnXmlNesting::within(xml))
        return nullptr;
    TiXmlDocument doc;
    ZnXmlNesting::parse(doc, xml, TIXML_ENCODING_UTF8);
    if (doc.Error())
        return nullptr;
    const TiXmlElement* top = doc.FirstChildElement("LevelList");
    if (!top)
        return nullptr;
    auto levels = std::make_unique<std::list<ZnLevel>>();
    for (const TiXmlElement* e = top->FirstChildElement(); e; e = e->NextSiblingElement()) {
        ZnLevel level;
        level.readFrom(*e);
        levels->push_back(level);
    }
    return levels;
}

void ZnLevelManage::deliver(const std::string& body)
{
    std::unique_ptr<std::list<ZnLevel>> levels = parseLevelList(body);
    if (levels && m_listCallback)
        m_listCallback(levels.get());
}

void ZnLevelManage::onResponse(int requestType, const std::string& body)
{
    if (requestType == ListType)
        deliver(body);
}

bool ZnLevelManage::onSet(const std::string& body)
{
    const int kind = m_check.replyType(body);
    if (kind != ZnMsgCheck::LevelList && kind != ZnMsgCheck::Level)
        return false;
    deliver(body);
    return true;
}

void ZnLevelManage::onDeleted(int) {}
