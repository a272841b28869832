#include "ZnClock.h"

#include <atomic>
#include <ctime>

namespace {
// Never destroyed: a thread the console does not join (the receive thread) may
// still ask the time while static objects are destroyed at exit.
ZnClock& systemClock()
{
    static ZnClock* const clock = new ZnClock;
    return *clock;
}
std::atomic<ZnClock*> gClock{nullptr};
}

int64_t ZnClock::seconds() const
{
    return static_cast<int64_t>(std::time(nullptr));
}

ZnClock& ZnClock::current()
{
    ZnClock* c = gClock.load();
    return c ? *c : systemClock();
}

void ZnClock::install(ZnClock* clock)
{
    gClock.store(clock);
}
