#include "ZnUserLogInfoForm.h"

#include <QHeaderView>

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
    // The date would be cut off otherwise.
    ui.fTableWidget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    // This page goes on against the log host even when it cannot be reached.
    initLogHost();
}
