#pragma once

#include "ZnLogPage.h"

class MsgTipsGroup;

// The call recordings: the talk log with a download cell per row. A double click
// on the cell downloads the recording through the file service into a chosen
// folder, its progress shown in a tip of its own.
class ZnTalkRecordForm : public ZnLogPage
{
    Q_OBJECT
public:
    explicit ZnTalkRecordForm(QWidget *parent = nullptr);

    MsgTipsGroup *tips() const { return tipsGroup; }
    // A tip's text broken into three lines.
    static QString tipText(const QString &text);
    // The name of a stored talk type, as the talk log shows it.
    static QString talkTypeText(const std::string &stored);

public slots:
    void slot_showRecordList() { slot_showLogList(); }
    void slot_getRecordSize(qint64 total) { slot_getLogSize(total); }
    void slot_cellDoubleClicked(int row, int column);
    void set_refresh_btn_enable() { set_query_btn_enable(); }
    // why: what kept the file from being written here (a full disk), if that failed.
    void slot_updateRecordDownloadMsgTip(QString name, int percent, int state, QString why = QString());

protected:
    void initRecordHost() { initLogHost(); }
    // One recording's row: the talk log's cells and the download cell.
    void addRecordRow(const ZnLogRecord &record);
    void addLogRow(const ZnLogRecord &record) override { addRecordRow(record); }
    // The folder to download into, starting at last; empty when cancelled.
    virtual QString chooseFolder(const QString &last);

private:
    MsgTipsGroup *tipsGroup = nullptr;
};
