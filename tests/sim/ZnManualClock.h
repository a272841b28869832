#pragma once

#include "ZnClock.h"

#include <atomic>

// A clock that moves only when told to. Installing it lets tests cross the
// 3 s, 20 s and 300 s rules of the connection without waiting. On destruction it
// gives back the clock installed before it, so a case may bring its own clock
// while the test's shared session keeps the one it logged in on.
class ZnManualClock : public ZnClock
{
public:
    explicit ZnManualClock(int64_t start = 1700000000);
    ~ZnManualClock() override;

    int64_t seconds() const override { return m_now.load(); }
    void advance(int64_t seconds) { m_now.fetch_add(seconds); }
    void set(int64_t seconds) { m_now.store(seconds); }

private:
    std::atomic<int64_t> m_now;
    ZnClock* const m_previous;
};
