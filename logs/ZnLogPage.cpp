#include "ZnLogPage.h"

#include <QHeaderView>
#include <QIcon>
#include <QTimer>

#include "BaseMessageDialog.h"
#include "LogExportDialog.h"
#include "ZnCommonTable.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnMySql.h"
#include "ZnServerConfigMgr.h"
#include "ZnServiceLogMgr.h"
#include "ZnTipsInfo.h"

namespace {
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

    connect(logMgr, src.listSignal, this, &ZnLogPage::slot_showLogList);
    connect(logMgr, src.sizeSignal, this, &ZnLogPage::slot_getLogSize);
    connect(ui.fPrevious, &QPushButton::clicked, this, &ZnLogPage::slot_previousClicked);
    connect(ui.fNext, &QPushButton::clicked, this, &ZnLogPage::slot_nextClicked);
    connect(ui.fRefreshButton, &QPushButton::clicked, this, &ZnLogPage::slot_refreshClicked);
    if (src.exportable)
        connect(ui.fLogDownloadBt, &QPushButton::clicked, this, &ZnLogPage::slot_downloadClicked);
}

int ZnLogPage::pagesFor(int total)
{
    const int n = total > 0 ? int((qint64(total) + kPageRows - 1) / kPageRows) : 0;
    return n < 1 ? 1 : n;
}

void ZnLogPage::initLogHost()
{
    logPort = ZnServerConfigMgr::instance()->requestLogServer(logHost);
    current = 1;
    total = 1;
    pages = 1;
    const QString label = QStringLiteral("[ ") + QString::fromUtf8(src.hostName) + QStringLiteral("：");
    if (!hasLogHost()) {
        logMgr->requestLogs(src.countCode, 0);
        logMgr->requestLogs(src.pageCode, 0);
        ui.fDataSourceLabel->setText(label + QStringLiteral("Local ]"));
        return;
    }
    ZnMySql *db = ZnMySql::instance();
    if (!db->isConnected() && ZnMySql::connectTalkLogDb(logHost) < 0) {
        tell(tr("Talkback log server connect error!"));
        if (src.stopWithoutHost)
            return;
    }
    countDirect();
    slot_showLogList();
    ui.fDataSourceLabel->setText(label + QString::fromStdString(logHost) + QStringLiteral(" ]"));
}

void ZnLogPage::countDirect()
{
    total = src.directCount();
    pages = pagesFor(total);
    updatePageLabel();
}

void ZnLogPage::logPageSetTotal(int count)
{
    total = count;
    pages = pagesFor(count);
    updatePageLabel();
}

void ZnLogPage::slot_getLogSize(int count)
{
    logPageSetTotal(count);
}

void ZnLogPage::updatePageLabel()
{
    ui.fPageLabel->setText(QString::number(current) + QLatin1Char('/') + QString::number(pages));
}

void ZnLogPage::slot_showLogList()
{
    std::vector<ZnLogRecord> list;
    if (hasLogHost()) {
        // A failed query leaves the page empty, and says so.
        if (src.directPage(list, ZnDbQuery::pageOffset(current), kPageRows) < 0) {
            list.clear();
            tell(tr("Talkback log server connect error!"));
        }
    } else {
        list = (logMgr->*src.serverList)();
    }
    records.swap(list);
    clearTable();
    for (const ZnLogRecord &r : records)
        addLogRow(r);
    updatePageLabel();
}

void ZnLogPage::addLogRow(const ZnLogRecord &record)
{
    const int row = ui.fTableWidget->rowCount();
    ui.fTableWidget->insertRow(row);
    const QStringList cells = ZnLogTexts::cells(src.kind, record);
    for (int c = 0; c < cells.size(); ++c)
        setItemQString(cells[c], row, c, c == 0 ? record.id : 0);
}

void ZnLogPage::showPage()
{
    updatePageLabel();
    if (hasLogHost())
        slot_showLogList();
    else
        logMgr->requestLogs(src.pageCode, ZnDbQuery::pageOffset(current));
}

void ZnLogPage::slot_nextClicked()
{
    if (current >= pages)
        return;
    ++current;
    showPage();
}

void ZnLogPage::slot_previousClicked()
{
    if (current <= 1)
        return;
    --current;
    showPage();
}

void ZnLogPage::slot_refreshClicked()
{
    ui.fRefreshButton->setEnabled(false);
    current = 1;
    if (src.recountOnRefresh) {
        if (hasLogHost())
            countDirect();
        else
            logMgr->requestLogs(src.countCode, 0);
    }
    showPage();
    QTimer::singleShot(1000, this, &ZnLogPage::set_query_btn_enable);
}

void ZnLogPage::set_query_btn_enable()
{
    ui.fRefreshButton->setEnabled(true);
}

void ZnLogPage::slot_downloadClicked()
{
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
