#pragma once

#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"
#include "ZnTermBaseManage.h"
#include "ZnUser.h"

#include <list>
#include <memory>

// Reads the server's user XML. Not one of the centre's managers: nothing offers
// it an answer or a push, and no request of its types is sent.
class ZnUserManage : public ZnTermBaseManage, public ZnBaseMgr
{
public:
    enum { ListType = 135, UserType = 136, UserType2 = 137 };
    typedef void (*ListCallback)(std::list<ZnUser>* users);
    typedef void (*UserCallback)(ZnUser* user);

    ZnUserManage();

    // Null arguments keep the callbacks stored before.
    void setCallbacks(ListCallback list, UserCallback user);

    void onResponse(int requestType, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDeleted(int id) override;

    const ZnUser* currentUser() const { return m_current.get(); }

    // The first top-level "User" element; null without it or for text that is no XML.
    static std::unique_ptr<ZnUser> parseUser(const std::string& xml);
    // Each child element of the first top-level "UserList" is one user.
    static std::unique_ptr<std::list<ZnUser>> parseUserList(const std::string& xml);

protected:
    ZnMsgCheck m_check;
    ListCallback m_listCallback = nullptr;
    UserCallback m_userCallback = nullptr;
    std::unique_ptr<ZnUser> m_current;
    int m_types[5] = {135, 136, 137, 138, 139};
};

extern ZnUserManage gUserManage;
