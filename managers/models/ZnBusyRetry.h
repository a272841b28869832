#pragma once

#include "ZnSleep.h"

// Repeats a request while the centre answers busy (2), pausing after every try,
// the last one included. The tries are bounded: a line that stays busy ends with
// 2 instead of holding the GUI thread for good.
class ZnBusyRetry
{
public:
    enum : int { Busy = 2 };

    template <class Call>
    static int run(Call&& call, int pauseMs, int maxAttempts)
    {
        int result = Busy;
        for (int attempt = 0; result == Busy && attempt < maxAttempts; ++attempt) {
            result = call();
            ZnSleep::ms(pauseMs);
        }
        return result;
    }
};
