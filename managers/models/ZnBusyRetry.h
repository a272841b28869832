#pragma once

#include <QThread>

// Repeats a request while the centre answers busy (2), pausing between tries.
// The tries are bounded: a line that stays busy ends with 2 instead of holding
// the GUI thread for good.
class ZnBusyRetry
{
public:
    enum : int { Busy = 2 };

    template <class Call>
    static int run(Call&& call, int pauseMs, int maxAttempts)
    {
        int result = call();
        for (int attempt = 1; result == Busy && attempt < maxAttempts; ++attempt) {
            if (pauseMs > 0)
                QThread::msleep(static_cast<unsigned long>(pauseMs));
            result = call();
        }
        return result;
    }
};
