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

protected:
    // A pushed deletion of ownType reaches the model as code with the id.
    void notifyDeletion(const std::string& type, int id, const char* ownType, int code);

    ZnNotifyCallback m_notify = nullptr;
    ZnMsgCheck m_check;
};
