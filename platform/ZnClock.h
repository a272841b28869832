#pragma once

#include <cstdint>

// The wall clock in whole seconds that the connection's time rules (login re-send,
// keep-alive, loss, answer time-out) are measured with. Tests install their own.
class ZnClock
{
public:
    virtual ~ZnClock() = default;
    virtual int64_t seconds() const;

    // The installed clock, or the system clock when none is installed.
    static ZnClock& current();
    // Installs a clock (not owned); null restores the system clock.
    static void install(ZnClock* clock);
    static int64_t now() { return current().seconds(); }
};
