#include "ZnTalkRecordForm.h"

#include <climits>

#include <QFileDialog>
#include <QHeaderView>

#include "BaseMessageDialog.h"
#include "LogExportKind.h"
#include "MsgTips.h"
#include "MsgTipsGroup.h"
#include "TcpSocketClient.h"
#include "ZnCommon.h"
#include "ZnConfigSettings.h"
#include "ZnDbQuery.h"
#include "ZnFtpClientMgr.h"
#include "ZnLogTexts.h"
#include "ZnServiceLogMgr.h"
#include "ZnTipsInfo.h"

namespace {
const ZnLogPage::Source kSource = {TalkLogKind,
                                   ZnServiceLogMgr::TalkRecordCount,
                                   ZnServiceLogMgr::TalkRecordPage,
                                   &ZnDbQuery::talkRecordCount,
                                   &ZnDbQuery::talkRecordPage,
                                   &ZnServiceLogMgr::talkRecords,
                                   &ZnServiceLogMgr::gotTalkRecordList,
                                   &ZnServiceLogMgr::gotTalkRecordSize,
                                   "录音主机",
                                   false,
                                   true,
                                   true};
const int kTypeColumn = 6;
const int kDownloadColumn = 8;
const char kNoRecording[] = "------";
const char kLastFolderKey[] = "MediaLastFilePath";

void tell(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}

QString tipLine(const QString &name, const QString &state)
{
    return QStringLiteral("录音文件 ") + name + QLatin1Char(' ') + state;
}
}

ZnTalkRecordForm::ZnTalkRecordForm(QWidget *parent)
    : ZnLogPage(parent, kSource, tr("Record List"), ZnLogTexts::headers(TalkLogKind) << tr("Download"))
{
    setObjectName(QStringLiteral("ZnTalkRecordForm"));
    for (int c : {0, 1})
        ui.fTableWidget->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    connectPageSlots(&ZnTalkRecordForm::slot_showRecordList, &ZnTalkRecordForm::slot_getRecordSize,
                     &ZnTalkRecordForm::set_refresh_btn_enable);
    connect(ui.fTableWidget, &QTableWidget::cellDoubleClicked, this, &ZnTalkRecordForm::slot_cellDoubleClicked);
    connect(TcpSocketClient::instance(), &TcpSocketClient::updateRecordDownloadMsgTip, this,
            &ZnTalkRecordForm::slot_updateRecordDownloadMsgTip);
    initRecordHost();
    tipsGroup = new MsgTipsGroup(parent ? parent : this, 250, 65, 25, 80, 65);
    tipsGroup->setParent(this);
}

QString ZnTalkRecordForm::tipText(const QString &text)
{
    const int n = text.size();
    QString out = text;
    out.insert(qMin(n / 3 + 2, out.size()), QLatin1Char('\n'));
    out.insert(qMin(2 * (n / 3) + 9, out.size()), QLatin1Char('\n'));
    return out;
}

QString ZnTalkRecordForm::talkTypeText(const std::string &stored)
{
    return ZnLogTexts::talkTypeText(stored);
}

void ZnTalkRecordForm::addRecordRow(const ZnLogRecord &record)
{
    QStringList cells = ZnLogTexts::cells(TalkLogKind, record);
    cells[kTypeColumn] = talkTypeText(record.type);
    cells << (record.recordFile.empty() ? QString::fromLatin1(kNoRecording) : QStringLiteral("双击下载"));
    appendLogRow(cells, record.id);
}

QString ZnTalkRecordForm::chooseFolder(const QString &last)
{
    return QFileDialog::getExistingDirectory(nullptr, tr("save file"), last, QFileDialog::ShowDirsOnly);
}

void ZnTalkRecordForm::slot_cellDoubleClicked(int row, int column)
{
    if (column != kDownloadColumn)
        return;
    const QTableWidgetItem *cell = ui.fTableWidget->item(row, column);
    if (!cell || cell->text() == QLatin1String(kNoRecording)) {
        tell(QStringLiteral("录音文件不存在！"));
        return;
    }
    // The row's own record: the log need not have a key, so another row may have
    // the same id. Taken now; the folder dialog below lets a refill change the rows.
    const auto &rows = pageRecords();
    if (row < 0 || size_t(row) >= rows.size() || rows[size_t(row)].id != rowRecordId(row))
        return;
    const ZnLogRecord record = rows[size_t(row)];

    ZnConfigSettings config;
    const QString last = config.value(QLatin1String(kLastFolderKey)).toString();
    const QString folder = chooseFolder(last);
    if (folder.isEmpty())
        return;
    if (folder != last)
        config.setValue(QLatin1String(kLastFolderKey), folder);

    const QString name = QString::fromStdString(ZnCommon::fileNameFromPath(record.recordFile));
    const QString local = folder + QLatin1Char('/') + name;
    // The tip stands until 4 s after the download ended; till then the file
    // counts as being downloaded.
    if (tipsGroup->findTip(name)) {
        tell(QStringLiteral("录音文件下载中，请等待任务完成！"));
        return;
    }
    MsgTips *tip = tipsGroup->freeTip();
    if (!tip) {
        tell(QStringLiteral("下载任务已满，请等待之前的任务结束。"));
        return;
    }
    // The client writes a temporary file beside the target and gives it the
    // target's name only once it came whole: a file of that name stays whole till
    // then. Transfer ids are ints and the backup's are negative: the id's low 31 bits.
    ZnFtpClientMgr::instance()->downloadFile(record.recordFile, local.toStdString(), int(record.id & INT_MAX));
    tip->setText(name);
    tip->setLabelText(tipText(tipLine(name, QStringLiteral("下载中... [0%]"))));
    tip->showTip(-1);
}

void ZnTalkRecordForm::slot_updateRecordDownloadMsgTip(QString name, int percent, int state, QString why)
{
    MsgTips *tip = tipsGroup->findTip(name);
    if (!tip)
        return;
    if (state == 0) {
        tip->updateText(tipText(tipLine(name, QStringLiteral("下载中... [%1%]").arg(percent))));
        return;
    }
    if (state == 1) {
        tip->updateText(tipText(tipLine(name, QStringLiteral("下载完成！ [100%]"))));
    } else {
        tip->setType(2);
        const QString failed =
            why.isEmpty() ? QStringLiteral("下载失败！") : QStringLiteral("下载失败：") + why + QStringLiteral("！");
        tip->updateText(tipText(tipLine(name, failed + QStringLiteral(" [%1%]").arg(percent))));
    }
    tip->showTip(4000);
}
