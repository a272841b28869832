#pragma once

// Pauses of the calling thread. Tests install their own to see the pauses
// without waiting for them.
class ZnSleep
{
public:
    virtual ~ZnSleep() = default;

    // Pauses through the installed sleep, or the system's; nothing for 0 or less.
    static void ms(int milliseconds);
    // Installs a sleep (not owned); null restores the system's.
    static void install(ZnSleep* sleep);

protected:
    virtual void pause(int milliseconds);
};
