#include "ZnBaseLevelCtr.h"

#include "ServiceHub.h"
#include "ZnLevelList.h"
#include "ZnMessageBox.h"
#include "ZnTipsInfo.h"
#include "ZnUser.h"

ZnBaseLevelCtr::~ZnBaseLevelCtr() = default;

bool ZnBaseLevelCtr::checkLevel()
{
    if (hasLevel())
        return true;
    ZnMessageBox::message(nullptr, ZnTipsInfo::tipsTitleText(), ZnTipsInfo::noEditPermissionText(), ZnMsgOk);
    return false;
}

bool ZnBaseLevelCtr::hasLevel()
{
    ServiceHub *hub = ServiceHub::instance();
    if (!hub)
        return false;
    ZnLevel entry;
    if (getLevel(dynamic_cast<ZnLevelList *>(hub->levelList()), &entry) != 0)
        return false;
    return gCurrentUser.lv <= int(entry.lv);
}
