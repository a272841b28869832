#include "ZnSleep.h"

#include <chrono>
#include <thread>

void ZnSleep::ms(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
