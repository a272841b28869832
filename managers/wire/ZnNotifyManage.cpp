#include "ZnNotifyManage.h"

ZnNotifyManage::ZnNotifyManage(const char* deleteType, int deletedCode)
    : m_deleteType(deleteType), m_deletedCode(deletedCode)
{}

void ZnNotifyManage::setCallback(ZnNotifyCallback callback)
{
    if (callback)
        m_notify = callback;
}

bool ZnNotifyManage::onSet(const std::string&)
{
    return false;
}

void ZnNotifyManage::onDeleted(int) {}

void ZnNotifyManage::onDelete(const std::string& type, int id)
{
    if (!m_deleteType) {
        ZnBaseMgr::onDelete(type, id);
        return;
    }
    if (m_notify && type == m_deleteType)
        m_notify(m_deletedCode, &id);
}
