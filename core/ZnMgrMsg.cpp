#include "ZnMgrMsg.h"

#include <QMutexLocker>

ZnMgrMsg* ZnMgrMsg::instance()
{
    static ZnMgrMsg* msg = new ZnMgrMsg;
    return msg;
}

void ZnMgrMsg::reset(int cseq)
{
    QMutexLocker lock(&m_mutex);
    m_done.store(false);
    m_ok.store(false);
    m_waiting[cseq] = Outcome();
}

bool ZnMgrMsg::record(int cseq, bool ok)
{
    QMutexLocker lock(&m_mutex);
    auto it = m_waiting.find(cseq);
    if (it == m_waiting.end())
        return false;
    it->second.done = true;
    it->second.ok = ok;
    m_ok.store(ok);
    m_done.store(true);
    return true;
}

bool ZnMgrMsg::take(int cseq, bool& ok)
{
    QMutexLocker lock(&m_mutex);
    auto it = m_waiting.find(cseq);
    if (it == m_waiting.end() || !it->second.done)
        return false;
    ok = it->second.ok;
    m_waiting.erase(it);
    return true;
}

void ZnMgrMsg::forget(int cseq)
{
    QMutexLocker lock(&m_mutex);
    m_waiting.erase(cseq);
}
