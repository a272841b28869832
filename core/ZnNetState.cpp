#include "ZnNetState.h"

#include "ZnClock.h"
#include "ZnNetManage.h"

ZnNetState::ZnNetState(ZnNetManage* centre) : m_centre(centre) {}

double ZnNetState::now()
{
    return static_cast<double>(ZnClock::now());
}

void ZnNetState::reset()
{
    m_nextDue = now();
    m_lastActivity = m_nextDue;
}

bool ZnNetState::isDue() const
{
    return now() > m_nextDue;
}

bool ZnNetState::isTimedOut() const
{
    return now() - m_lastActivity > m_timeout;
}

void ZnNetState::signalLoss()
{
    if (m_centre)
        m_centre->setLost();
}
