#include "ZnSleep.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {
// Never destroyed, like the system clock: a thread may still pause at exit.
ZnSleep& systemSleep()
{
    static ZnSleep* const sleep = new ZnSleep;
    return *sleep;
}
std::atomic<ZnSleep*> gSleep{nullptr};
} // namespace

void ZnSleep::pause(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void ZnSleep::ms(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    ZnSleep* s = gSleep.load();
    (s ? *s : systemSleep()).pause(milliseconds);
}

void ZnSleep::install(ZnSleep* sleep)
{
    gSleep.store(sleep);
}
