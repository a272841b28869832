#include "ZnTalkLogInfoForm.h"

#include <QHeaderView>

#include "LogExportKind.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnServiceLogMgr.h"

namespace {
const ZnLogPage::Source kSource = {TalkLogKind,
                                   ZnServiceLogMgr::TalkLogCount,
                                   ZnServiceLogMgr::TalkLogPage,
                                   &ZnDbQuery::talkRecordCount,
                                   &ZnDbQuery::talkRecordPage,
                                   &ZnServiceLogMgr::talkLogs,
                                   &ZnServiceLogMgr::gotTalkLogList,
                                   &ZnServiceLogMgr::gotTalkLogSize,
                                   "日志主机",
                                   true,
                                   true,
                                   false};
}

ZnTalkLogInfoForm::ZnTalkLogInfoForm(QWidget *parent)
    : ZnLogPage(parent, kSource, tr("Talk Log"), ZnLogTexts::headers(TalkLogKind))
{
    setObjectName(QStringLiteral("ZnTalkLogInfoForm"));
    ui.fTableWidget->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui.fTableWidget->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connectPageSlots(&ZnLogPage::slot_showLogList, &ZnLogPage::slot_getLogSize, &ZnLogPage::set_query_btn_enable);
    initLogHost();
}
