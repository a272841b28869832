#pragma once

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "ZnLogRecord.h"
#include "ZnTerBaseCtr.h"
#include "ui_fLogInfoForm.h"

class QTableWidgetItem;
class ZnServiceLogMgr;

// The frame of the talk, terminal and user log pages and of the recording page:
// 100 rows a page, newest first, read through the server's "SqlLog" or, when the
// server names a log host, straight from the talk-log database. The source is
// chosen once, when the page is built. The log host is read on a thread of its
// own, one read at a time, so a stalled host never holds the window.
class ZnLogPage : public QWidget, public ZnTerBaseCtr
{
    Q_OBJECT
public:
    static const int kPageRows = 100;

    QWidget *widget() override { return this; }
    QTableWidget *tableWidget() override { return ui.fTableWidget; }
    Ui::fLogInfoForm &form() { return ui; }
    qint64 currentPage() const { return current; }
    qint64 pageCount() const { return pages; }
    bool hasLogHost() const { return logPort >= 1; }
    // The records of the page on show.
    const std::vector<ZnLogRecord> &pageRecords() const { return records; }
    // True while the log host is being read; paging, refresh and export wait.
    bool isReading() const { return reading; }

    // (total + 99) / 100, and at least 1.
    static qint64 pagesFor(qint64 total);

signals:
    // A read of the log host has landed: rows, total or failure are on show.
    void logHostRead();

public slots:
    void slot_showLogList();
    void slot_getLogSize(qint64 total);
    void slot_previousClicked();
    void slot_nextClicked();
    void slot_refreshClicked();
    void set_query_btn_enable();
    void slot_downloadClicked();
    void widget_item_double_clicked(QTableWidgetItem *) {}
    void widget_item_clicked(QTableWidgetItem *) {}

public:
    // What one page reads and how it differs from the others.
    struct Source
    {
        int kind;                // LogExportKind of the rows
        int countCode, pageCode; // "SqlLog" codes
        int64_t (*directCount)();
        int (*directPage)(std::vector<ZnLogRecord> &, int64_t offset, int count);
        std::vector<ZnLogRecord> (ZnServiceLogMgr::*serverList)() const;
        void (ZnServiceLogMgr::*listSignal)();
        void (ZnServiceLogMgr::*sizeSignal)(qint64);
        const char *hostName; // "日志主机" or "录音主机"
        bool exportable;      // the export button opens the export dialog
        bool stopWithoutHost; // a log host that cannot be reached shows nothing
        bool labelOnRequest;  // paging through the server shows the new page number
                              // before its rows come (a refresh's comes with them)
    };

protected:
    ZnLogPage(QWidget *parent, const Source &source, const QString &title, const QStringList &headers);

    // Joins the log model's list and size signals and the end of the refresh
    // button's pause to the page's own slots for them, by the names each page gives them.
    template <class Page>
    void connectPageSlots(void (Page::*showList)(), void (Page::*setTotal)(qint64), void (Page::*enableRefresh)())
    {
        Page *page = static_cast<Page *>(this);
        connect(logMgr, src.listSignal, page, showList);
        connect(logMgr, src.sizeSignal, page, setTotal);
        connect(&refreshPause, &QTimer::timeout, page, enableRefresh);
    }
    // Picks the source and shows page 1; called by the page once it is built.
    void initLogHost();
    void logPageSetTotal(qint64 total);
    void updatePageLabel();
    virtual void addLogRow(const ZnLogRecord &record);
    // Appends a row of those texts, the record's id (64 bits) as data of column 0.
    void appendLogRow(const QStringList &cells, qint64 id);
    // The id of a row's record, or -1 for no such row.
    qint64 rowRecordId(int row) const;

    Ui::fLogInfoForm ui;
    ZnServiceLogMgr *logMgr;

private:
    // What one read of the log host gave.
    struct HostRead
    {
        bool connectFailed = false;
        bool counted = false;
        int64_t total = 0;
        bool pageFailed = false;
        std::vector<ZnLogRecord> rows;
    };

    // Asks for the current page; false when no rows will come for it. labelNow:
    // the page label shows the new page before its rows come.
    bool showPage(bool labelNow);
    // Starts a read of the current page (after connecting and counting when
    // asked); false when one is still running.
    bool readLogHost(bool connect, bool count);
    void hostRead(HostRead &read);
    // Shows list (taking its records) in the table.
    void fill(std::vector<ZnLogRecord> &list);

    const Source src;
    // Holds the refresh button off for a second after a refresh.
    QTimer refreshPause;
    qint64 current = 1;
    qint64 total = 0;
    qint64 pages = 1;
    int logPort = 0;
    std::string logHost;
    std::vector<ZnLogRecord> records;
    bool reading = false;
    bool counted = false; // the log host has been counted once
};
