#include "ZnLogPage.h"

#include <QHeaderView>
#include <QIcon>
#include <QThread>

#include <memory>

#include "BaseMessageDialog.h"
#include "LogExportDialog.h"
#include "ZnCommonTable.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnMySql.h"
#include "ZnServerConfigMgr.h"
#include "ZnServerText.h"
#include "ZnServiceLogMgr.h"
#include "ZnTipsInfo.h"

namespace {
// The log host is the server's text: the label never widens the window.
void showSource(QLabel *label, const QString &text)
{
    const int kSourceWidth = 480;
    ZnServerText::showInLabel(label, text, kSourceWidth);
}

void tell(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}
}

ZnLogPage::ZnLogPage(QWidget *parent, const Source &source, const QString &title, const QStringList &headers)
    : QWidget(parent), logMgr(ZnServiceLogMgr::instance()), src(source)
{
    ui.setupUi(this);
    ui.tableNameLable->setText(title);
    ui.tableNameLable->setStyleSheet(QStringLiteral("font: 9pt \"微软雅黑\";\ncolor:white"));
    ui.fTableWidget->setColumnCount(headers.size());
    ui.fTableWidget->setHorizontalHeaderLabels(headers);
    ZnCommon::initTableWidget(ui.fTableWidget, 0);
    ui.fRefreshButton->setIcon(QIcon(QStringLiteral(":/images/refresh_btn_16px.png")));
    ui.fLogDownloadBt->setIcon(QIcon(QStringLiteral(":/images/dwonload_btn_16px.png")));
    ui.fLogDownloadBt->setVisible(src.exportable);

    refreshPause.setSingleShot(true);
    refreshPause.setInterval(1000);
    connect(ui.fPrevious, &QPushButton::clicked, this, &ZnLogPage::slot_previousClicked);
    connect(ui.fNext, &QPushButton::clicked, this, &ZnLogPage::slot_nextClicked);
    connect(ui.fRefreshButton, &QPushButton::clicked, this, &ZnLogPage::slot_refreshClicked);
    if (src.exportable)
        connect(ui.fLogDownloadBt, &QPushButton::clicked, this, &ZnLogPage::slot_downloadClicked);
}

qint64 ZnLogPage::pagesFor(qint64 total)
{
    return total > kPageRows ? total / kPageRows + (total % kPageRows != 0) : 1;
}

void ZnLogPage::initLogHost()
{
    logPort = ZnServerConfigMgr::instance()->requestLogServer(logHost);
    current = 1;
    total = 1;
    pages = 1;
    // The page label keeps the form's "0/0" until the first answer.
    if (!hasLogHost()) {
        logMgr->requestLogs(src.countCode, 0);
        logMgr->requestLogs(src.pageCode, 0);
        showSource(ui.fDataSourceLabel,
                   QStringLiteral("[ ") + QString::fromUtf8(src.hostName) + QStringLiteral("：Local ]"));
        return;
    }
    readLogHost(true, true);
}

bool ZnLogPage::readLogHost(bool connectFirst, bool countFirst)
{
    if (reading)
        return false;
    reading = true;
    auto read = std::make_shared<HostRead>();
    const Source s = src;
    const std::string host = logHost;
    const int64_t offset = ZnDbQuery::pageOffset(current);
    // The thread owns copies only: the page may go while the host is silent.
    QThread *thread = QThread::create([read, s, host, connectFirst, countFirst, offset] {
        if (connectFirst && !ZnMySql::instance()->isConnected() && ZnMySql::connectTalkLogDb(host) < 0) {
            read->connectFailed = true;
            if (s.stopWithoutHost)
                return;
        }
        if (countFirst) {
            read->counted = true;
            read->total = s.directCount();
        }
        read->pageFailed = s.directPage(read->rows, offset, kPageRows) < 0;
    });
    connect(thread, &QThread::finished, this, [this, read] { hostRead(*read); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    return true;
}

void ZnLogPage::hostRead(HostRead &read)
{
    reading = false;
    const bool failed = read.connectFailed || read.pageFailed;
    // A page that stops without its log host keeps its labels as the form gave them.
    if (!read.connectFailed || !src.stopWithoutHost) {
        // A count that failed leaves the last one standing: the pager still
        // reaches the pages known, and the next refresh counts again.
        if (read.counted && read.total >= 0) {
            total = read.total;
            pages = pagesFor(total);
            counted = true;
        }
        // A failed read shows no rows of an earlier page.
        fill(read.rows);
        updatePageLabel();
        showSource(ui.fDataSourceLabel, QStringLiteral("[ ") + QString::fromUtf8(src.hostName) + QStringLiteral("：")
                                            + QString::fromStdString(logHost) + QStringLiteral(" ]"));
    }
    // One failure, one box: a page read after a failed connect fails as well.
    if (failed)
        tell(tr("Talkback log server connect error!"));
    emit logHostRead();
}

void ZnLogPage::logPageSetTotal(qint64 count)
{
    total = count;
    pages = pagesFor(count);
    updatePageLabel();
}

void ZnLogPage::slot_getLogSize(qint64 count)
{
    logPageSetTotal(count);
}

void ZnLogPage::updatePageLabel()
{
    ui.fPageLabel->setText(QString::number(current) + QLatin1Char('/') + QString::number(pages));
}

void ZnLogPage::slot_showLogList()
{
    if (hasLogHost()) {
        readLogHost(false, !counted);
        return;
    }
    std::vector<ZnLogRecord> list = (logMgr->*src.serverList)();
    fill(list);
    updatePageLabel();
}

void ZnLogPage::fill(std::vector<ZnLogRecord> &list)
{
    records.swap(list);
    list.clear();
    clearTable();
    for (const ZnLogRecord &r : records)
        addLogRow(r);
}

void ZnLogPage::addLogRow(const ZnLogRecord &record)
{
    appendLogRow(ZnLogTexts::cells(src.kind, record), record.id);
}

void ZnLogPage::appendLogRow(const QStringList &cells, qint64 id)
{
    const int row = ui.fTableWidget->rowCount();
    ui.fTableWidget->insertRow(row);
    for (int c = 0; c < cells.size(); ++c)
        ZnCommon::setTableItem2(ui.fTableWidget, cells[c], row, c, c == 0 ? quint64(id) : 0);
}

qint64 ZnLogPage::rowRecordId(int row) const
{
    const QTableWidgetItem *item = ui.fTableWidget->item(row, 0);
    return item ? item->data(Qt::UserRole).toLongLong() : -1;
}

bool ZnLogPage::showPage(bool labelNow)
{
    // Until the log host has been counted once, each read connects and counts.
    if (hasLogHost())
        return readLogHost(!counted, !counted);
    if (logMgr->requestLogs(src.pageCode, ZnDbQuery::pageOffset(current)) != 0)
        return false;
    if (labelNow)
        updatePageLabel();
    return true;
}

void ZnLogPage::slot_nextClicked()
{
    if (reading || current >= pages)
        return;
    ++current;
    // A page the server did not send is not the current one: the button asks again.
    if (!showPage(src.labelOnRequest))
        --current;
}

void ZnLogPage::slot_previousClicked()
{
    if (reading || current <= 1)
        return;
    --current;
    if (!showPage(src.labelOnRequest))
        ++current;
}

void ZnLogPage::slot_refreshClicked()
{
    if (reading)
        return;
    ui.fRefreshButton->setEnabled(false);
    // The page label changes with the rows. A log grows all day: the refresh
    // counts it again, or its oldest pages would be out of reach.
    const qint64 shown = current;
    current = 1;
    if (hasLogHost()) {
        readLogHost(!counted, true);
    } else {
        logMgr->requestLogs(src.countCode, 0);
        if (!showPage(false))
            current = shown;
    }
    refreshPause.start();
}

void ZnLogPage::set_query_btn_enable()
{
    ui.fRefreshButton->setEnabled(true);
}

void ZnLogPage::slot_downloadClicked()
{
    // The rows of a read still running are not on show yet.
    if (reading)
        return;
    if (!hasLogHost()) {
        tell(QStringLiteral("日志主机不存在，请选配主机!"));
        return;
    }
    if (ui.fTableWidget->rowCount() == 0) {
        tell(QStringLiteral("日志记录不存在!"));
        return;
    }
    QStringList headers{QStringLiteral("序号")};
    for (int c = 0; c < ui.fTableWidget->columnCount(); ++c) {
        const QTableWidgetItem *h = ui.fTableWidget->horizontalHeaderItem(c);
        headers << (h ? h->text() : QStringLiteral("NULL"));
    }
    LogExportDialog dialog(nullptr, headers, src.kind);
    dialog.exec();
}
