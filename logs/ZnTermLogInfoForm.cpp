#include "ZnTermLogInfoForm.h"

#include <QHeaderView>

#include "LogExportKind.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnServiceLogMgr.h"

namespace {
const ZnLogPage::Source kSource = {TermLogKind,
                                   ZnServiceLogMgr::TermLogCount,
                                   ZnServiceLogMgr::TermLogPage,
                                   &ZnDbQuery::terminalLogCount,
                                   &ZnDbQuery::terminalLogPage,
                                   &ZnServiceLogMgr::termLogs,
                                   &ZnServiceLogMgr::gotTermLogList,
                                   &ZnServiceLogMgr::gotTermLogSize,
                                   "日志主机",
                                   true,
                                   true,
                                   false};
}

ZnTermLogInfoForm::ZnTermLogInfoForm(QWidget *parent)
    : ZnLogPage(parent, kSource, tr("Terminal Log"), ZnLogTexts::headers(TermLogKind))
{
    setObjectName(QStringLiteral("ZnTermLogInfoForm"));
    ui.fTableWidget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connectPageSlots(&ZnLogPage::slot_showLogList, &ZnLogPage::slot_getLogSize, &ZnLogPage::set_query_btn_enable);
    initLogHost();
}
