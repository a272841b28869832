#pragma once

class ZnNetManage;

// The timers of the connection's life: when the next login or keep-alive is due
// and when the last answer came. Whole seconds of the installed clock.
class ZnNetState
{
public:
    explicit ZnNetState(ZnNetManage* centre);
    virtual ~ZnNetState() = default;

    virtual void tick() = 0;

    void reset();
    bool isDue() const;
    bool isTimedOut() const;
    void setNextDue(double seconds) { m_nextDue = seconds; }
    void setLastActivity(double seconds) { m_lastActivity = seconds; }
    void signalLoss();

    double nextDue() const { return m_nextDue; }
    double lastActivity() const { return m_lastActivity; }
    int timeout() const { return m_timeout; }

    static double now();

protected:
    ZnNetManage* m_centre;
    double m_nextDue = 0;
    double m_lastActivity = 0;
    int m_timeout = 300;
};
