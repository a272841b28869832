#include "ZnClock.h"

#include <atomic>
#include <ctime>

namespace {
ZnClock gSystemClock;
std::atomic<ZnClock*> gClock{nullptr};
}

int64_t ZnClock::seconds() const
{
    return static_cast<int64_t>(std::time(nullptr));
}

ZnClock& ZnClock::current()
{
    ZnClock* c = gClock.load();
    return c ? *c : gSystemClock;
}

void ZnClock::install(ZnClock* clock)
{
    gClock.store(clock);
}
