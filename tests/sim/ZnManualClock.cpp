#include "ZnManualClock.h"

ZnManualClock::ZnManualClock(int64_t start) : m_now(start)
{
    ZnClock::install(this);
}

ZnManualClock::~ZnManualClock()
{
    if (&ZnClock::current() == this)
        ZnClock::install(nullptr);
}
