#include "ZnTalkConsoleManage.h"

#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicRows.h"

ZnTalkConsoleManage::ZnTalkConsoleManage(const Family& family)
    : ZnNotifyManage(family.deleteType, family.deletedType), m_family(family)
{}

void ZnTalkConsoleManage::onResponse(int requestType, const std::string& body)
{
    if (requestType == m_family.listType) {
        std::list<ZnMic> list;
        // An empty answer keeps the model's list as it is.
        if (m_family.read(body, list) && !list.empty() && m_notify)
            m_notify(m_family.listType, &list);
    } else if (requestType == m_family.buttonCallsType) {
        std::list<ZnMicBtnCall> calls;
        if (ZnMicRows::buttonCallList(body, calls) && m_notify)
            m_notify(m_family.buttonCallsType, &calls);
    }
}

bool ZnTalkConsoleManage::onPost(const std::string& key, const std::string& body)
{
    if (key != m_family.postKey)
        return false;
    std::list<ZnMic> list;
    m_family.read(body, list);
    for (const ZnMic& mic : list) {
        ZnMic copy(mic);
        if (m_notify)
            m_notify(m_family.modifyType, &copy);
    }
    return true;
}
