#include "ZnNotifyManage.h"

void ZnNotifyManage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

void ZnNotifyManage::notifyDeletion(const std::string& type, int id, const char* ownType, int code)
{
    if (m_notify && type == ownType)
        m_notify(code, &id);
}
