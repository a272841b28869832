#include "ZnThread.h"

#include <system_error>

ZnThread::~ZnThread()
{
    join();
}

bool ZnThread::start(std::function<void()> fn)
{
    join();
    try {
        m_thread = std::thread(std::move(fn));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ZnThread::join()
{
    // A thread cannot join itself; the owner joins it on the next start.
    if (m_thread.joinable() && !isCurrent())
        m_thread.join();
}
