#include "ZnUserManage.h"

#include "ZnXmlNesting.h"

#include <tinyxml.h>

ZnUserManage gUserManage;

namespace {

const TiXmlElement* topElement(TiXmlDocument& doc, const std::string& xml, const char* name)
{
    if (!ZnXmlNesting::within(xml))
        return nullptr;
    ZnXmlNesting::parse(doc, xml, TIXML_ENCODING_UTF8);
    return doc.Error() ? nullptr : doc.FirstChildElement(name);
}

} // namespace

ZnUserManage::ZnUserManage()
{
    setName("User");
    setCommands(m_types, 5);
}

void ZnUserManage::setCallbacks(ListCallback list, UserCallback user)
{
    if (list)
        m_listCallback = list;
    if (user)
        m_userCallback = user;
}

std::unique_ptr<ZnUser> ZnUserManage::parseUser(const std::string& xml)
{
    TiXmlDocument doc;
    const TiXmlElement* top = topElement(doc, xml, "User");
    if (!top)
        return nullptr;
    auto user = std::make_unique<ZnUser>();
    user->readFrom(*top);
    return user;
}

std::unique_ptr<std::list<ZnUser>> ZnUserManage::parseUserList(const std::string& xml)
{
    TiXmlDocument doc;
    const TiXmlElement* top = topElement(doc, xml, "UserList");
    if (!top)
        return nullptr;
    auto users = std::make_unique<std::list<ZnUser>>();
    for (const TiXmlElement* e = top->FirstChildElement(); e; e = e->NextSiblingElement()) {
        ZnUser user;
        user.readFrom(*e);
        users->push_back(user);
    }
    return users;
}

void ZnUserManage::onResponse(int requestType, const std::string& body)
{
    if (isCommandRegistered(requestType) != 0)
        return;
    if (requestType == ListType) {
        std::unique_ptr<std::list<ZnUser>> users = parseUserList(body);
        if (users && m_listCallback)
            m_listCallback(users.get());
    } else if (requestType == UserType || requestType == UserType2) {
        if (std::unique_ptr<ZnUser> user = parseUser(body)) {
            m_current = std::move(user);
            if (m_userCallback)
                m_userCallback(m_current.get());
        }
    }
}

bool ZnUserManage::onSet(const std::string& body)
{
    const int kind = m_check.replyType(body);
    if (kind != ZnMsgCheck::UserList && kind != ZnMsgCheck::User)
        return false;
    std::unique_ptr<ZnUser> user = parseUser(body);
    if (user && m_userCallback)
        m_userCallback(user.get());
    return true;
}

void ZnUserManage::onDeleted(int) {}
