#include "ZnUserLogInfoForm.h"

#include "LogExportKind.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnServiceLogMgr.h"

namespace {
const ZnLogPage::Source kSource = {UserLogKind,
                                   ZnServiceLogMgr::UserLogCount,
                                   ZnServiceLogMgr::UserLogPage,
                                   &ZnDbQuery::userLogCount,
                                   &ZnDbQuery::userLogPage,
                                   &ZnServiceLogMgr::userLogs,
                                   &ZnServiceLogMgr::gotUserLogList,
                                   &ZnServiceLogMgr::gotUserLogSize,
                                   "日志主机",
                                   true,
                                   false,
                                   false};
}

ZnUserLogInfoForm::ZnUserLogInfoForm(QWidget *parent)
    : ZnLogPage(parent, kSource, tr("User Log"), ZnLogTexts::headers(UserLogKind))
{
    setObjectName(QStringLiteral("ZnUserLogInfoForm"));
    connectPageSlots(&ZnUserLogInfoForm::slot_showUserLogList, &ZnUserLogInfoForm::slot_getUserLogSize,
                     &ZnUserLogInfoForm::set_refresh_btn_enable);
    // This page goes on against the log host even when it cannot be reached.
    initLogHost();
}
