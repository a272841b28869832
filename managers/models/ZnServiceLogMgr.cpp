#include "ZnServiceLogMgr.h"

#include <QMutexLocker>

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnBusyRetry.h"

namespace {
ZnServiceLogMgr* theServiceLogMgr = nullptr;
const int kPauseMs = 10;
const int kMaxAttempts = 50;
}

ZnServiceLogMgr* ZnServiceLogMgr::instance()
{
    if (!theServiceLogMgr) {
        ServiceHub* hub = ServiceHub::instance();
        theServiceLogMgr = new ZnServiceLogMgr(hub ? hub->centre() : nullptr);
        apiSetLogCallback(theServiceLogMgr->m_centre, &ZnServiceLogMgr::onLog);
    }
    return theServiceLogMgr;
}

ZnServiceLogMgr::ZnServiceLogMgr(ZnManageCenter* centre) : m_centre(centre) {}

int ZnServiceLogMgr::requestLogs(int kind, qint64 offset)
{
    if (kind < UserLogCount || kind > TalkRecordPage)
        return -1;
    if (offset < 0) {
        // A page before the first is empty; no statement with a negative offset
        // goes to the server.
        if (kind % 2 == 1) {
            {
                QMutexLocker lock(&m_mutex);
                listOf(kind)->clear();
            }
            announcePage(kind);
        }
        return 0;
    }
    return ZnBusyRetry::run([&] { return apiGetLogPage(m_centre, kind, offset); }, kPauseMs, kMaxAttempts);
}

int ZnServiceLogMgr::onLog(int kind, void* data, int a, int b)
{
    if (!theServiceLogMgr || !data || kind < UserLogCount || kind > TalkRecordPage)
        return 0;
    if (kind % 2 == 0)
        theServiceLogMgr->announceCount(kind, *static_cast<int64_t*>(data));
    else
        theServiceLogMgr->takePage(kind, *static_cast<std::vector<ZnLogRecord>*>(data), a, b);
    return 0;
}

void ZnServiceLogMgr::takePage(int kind, const std::vector<ZnLogRecord>& rows, int a, int b)
{
    {
        QMutexLocker lock(&m_mutex);
        m_first = a;
        m_second = b;
        *listOf(kind) = rows;
    }
    // Signalled after the unlock: a directly connected slot may read the lists.
    announcePage(kind);
}

void ZnServiceLogMgr::announceCount(int kind, qint64 count)
{
    switch (kind) {
    case UserLogCount:
        emit gotUserLogSize(count);
        break;
    case TalkLogCount:
        emit gotTalkLogSize(count);
        break;
    case TermLogCount:
        emit gotTermLogSize(count);
        break;
    case TalkRecordCount:
        emit gotTalkRecordSize(count);
        break;
    default:
        break;
    }
}

void ZnServiceLogMgr::announcePage(int kind)
{
    switch (kind) {
    case UserLogPage:
        emit gotUserLogList();
        break;
    case TalkLogPage:
        emit gotTalkLogList();
        break;
    case TermLogPage:
        emit gotTermLogList();
        break;
    case TalkRecordPage:
        emit gotTalkRecordList();
        break;
    default:
        break;
    }
}

std::vector<ZnLogRecord>* ZnServiceLogMgr::listOf(int kind)
{
    switch (kind) {
    case UserLogPage:
        return &m_userLogs;
    case TalkLogPage:
        return &m_talkLogs;
    case TermLogPage:
        return &m_termLogs;
    default:
        return &m_talkRecords;
    }
}

std::vector<ZnLogRecord> ZnServiceLogMgr::userLogs() const
{
    QMutexLocker lock(&m_mutex);
    return m_userLogs;
}

std::vector<ZnLogRecord> ZnServiceLogMgr::talkLogs() const
{
    QMutexLocker lock(&m_mutex);
    return m_talkLogs;
}

std::vector<ZnLogRecord> ZnServiceLogMgr::termLogs() const
{
    QMutexLocker lock(&m_mutex);
    return m_termLogs;
}

std::vector<ZnLogRecord> ZnServiceLogMgr::talkRecords() const
{
    QMutexLocker lock(&m_mutex);
    return m_talkRecords;
}

bool ZnServiceLogMgr::findTalkRecord(qint64 id, ZnLogRecord& out) const
{
    QMutexLocker lock(&m_mutex);
    for (const ZnLogRecord& r : m_talkRecords) {
        if (r.id == id) {
            out = r;
            return true;
        }
    }
    return false;
}
