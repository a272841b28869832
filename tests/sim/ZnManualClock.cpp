#include "ZnManualClock.h"

ZnManualClock::ZnManualClock(int64_t start) : m_now(start), m_previous(&ZnClock::current())
{
    ZnClock::install(this);
}

ZnManualClock::~ZnManualClock()
{
    if (&ZnClock::current() == this)
        ZnClock::install(m_previous);
}
