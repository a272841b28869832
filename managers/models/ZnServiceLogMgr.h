#pragma once

#include <QObject>
#include <QRecursiveMutex>

#include <vector>

#include "ZnLogRecord.h"

class ZnManageCenter;

// The latest page and count of each log as the server reports them ("SqlLog"),
// for the log pages, the export thread and the call-recording page.
// Kinds: 0/1 user log count/page, 2/3 talk log, 4/5 terminal log, 6/7 talk records.
class ZnServiceLogMgr : public QObject
{
    Q_OBJECT

public:
    enum Kind {
        UserLogCount = 0,
        UserLogPage,
        TalkLogCount,
        TalkLogPage,
        TermLogCount,
        TermLogPage,
        TalkRecordCount,
        TalkRecordPage
    };

    static ZnServiceLogMgr* instance();

    // Asks for one count or page (offset = first row); the answer arrives as a
    // signal. Offsets, counts and ids are 64 bits: a grown log's ids pass 2^31.
    int requestLogs(int kind, qint64 offset);

    std::vector<ZnLogRecord> userLogs() const;
    std::vector<ZnLogRecord> talkLogs() const;
    std::vector<ZnLogRecord> termLogs() const;
    std::vector<ZnLogRecord> talkRecords() const;
    bool findTalkRecord(qint64 id, ZnLogRecord& out) const;
    bool getTalkRecords(qint64 id, ZnLogRecord* out) const { return out && findTalkRecord(id, *out); }

signals:
    void gotUserLogList();
    void gotUserLogSize(qint64 size);
    void gotTalkLogList();
    void gotTalkLogSize(qint64 size);
    void gotTermLogList();
    void gotTermLogSize(qint64 size);
    void gotTalkRecordList();
    void gotTalkRecordSize(qint64 size);

private:
    explicit ZnServiceLogMgr(ZnManageCenter* centre);
    static int onLog(int kind, void* data, int a, int b);
    void takePage(int kind, const std::vector<ZnLogRecord>& rows, int a, int b);
    void announceCount(int kind, qint64 count);
    void announcePage(int kind);
    std::vector<ZnLogRecord>* listOf(int kind);

    ZnManageCenter* m_centre;
    std::vector<ZnLogRecord> m_userLogs;
    std::vector<ZnLogRecord> m_talkLogs;
    std::vector<ZnLogRecord> m_termLogs;
    std::vector<ZnLogRecord> m_talkRecords;
    int m_first = 0;
    int m_second = 0;
    mutable QRecursiveMutex m_mutex;
};
