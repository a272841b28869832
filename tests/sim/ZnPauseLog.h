#pragma once

#include "ZnSleep.h"

#include <QMutex>
#include <QThread>

#include <vector>

// Notes the pauses the installing thread makes, without waiting them out; other
// threads (the receive thread) pause as usual. Installed while it lives.
class ZnPauseLog : public ZnSleep
{
public:
    ZnPauseLog();
    ~ZnPauseLog() override;

    std::vector<int> pauses() const;
    void clear();

protected:
    void pause(int milliseconds) override;

private:
    QThread* m_thread;
    mutable QMutex m_mutex;
    std::vector<int> m_pauses;
};
