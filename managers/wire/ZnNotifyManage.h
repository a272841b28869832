#pragma once

#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"
#include "ZnTermBaseManage.h"

#include <string>

// A manager that tells its list model everything through one notify callback.
class ZnNotifyManage : public ZnTermBaseManage, public ZnBaseMgr
{
public:
    // A null callback keeps the one stored before.
    void setCallback(ZnNotifyCallback callback);

    // Unless a manager says otherwise it takes no SET and has nothing to drop.
    bool onSet(const std::string& body) override;
    void onDeleted(int id) override;
    // A manager made with a delete type hands a pushed deletion of that type to
    // its model under the deleted code; any other goes by the frame's name rule.
    void onDelete(const std::string& type, int id) override;

protected:
    ZnNotifyManage() = default;
    ZnNotifyManage(const char* deleteType, int deletedCode);

    ZnNotifyCallback m_notify = nullptr;
    ZnMsgCheck m_check;

private:
    const char* m_deleteType = nullptr;
    int m_deletedCode = 0;
};
