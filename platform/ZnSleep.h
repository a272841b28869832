#pragma once

class ZnSleep
{
public:
    static void ms(int milliseconds);
};
