#include "ZnPauseLog.h"

ZnPauseLog::ZnPauseLog() : m_thread(QThread::currentThread())
{
    ZnSleep::install(this);
}

ZnPauseLog::~ZnPauseLog()
{
    ZnSleep::install(nullptr);
}

std::vector<int> ZnPauseLog::pauses() const
{
    QMutexLocker lock(&m_mutex);
    return m_pauses;
}

void ZnPauseLog::clear()
{
    QMutexLocker lock(&m_mutex);
    m_pauses.clear();
}

void ZnPauseLog::pause(int milliseconds)
{
    if (QThread::currentThread() != m_thread) {
        ZnSleep::pause(milliseconds);
        return;
    }
    QMutexLocker lock(&m_mutex);
    m_pauses.push_back(milliseconds);
}
