#pragma once

#include <functional>
#include <thread>

// An owned, joinable thread. Destroying it joins.
class ZnThread
{
public:
    ZnThread() = default;
    ~ZnThread();
    ZnThread(const ZnThread&) = delete;
    ZnThread& operator=(const ZnThread&) = delete;

    // Joins a previous run first, then starts fn. False when the thread cannot start.
    bool start(std::function<void()> fn);
    void join();
    bool joinable() const { return m_thread.joinable(); }
    bool isCurrent() const { return m_thread.get_id() == std::this_thread::get_id(); }

private:
    std::thread m_thread;
};
