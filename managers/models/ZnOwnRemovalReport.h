#pragma once

#include <atomic>

// Every family's removal travels as the IP amplifiers' "RemoveDevice", so its
// refusal also reaches the play-terminal model. A caller that reports the refusal
// itself, through the result code it hands to its page, holds one of these around
// the request; the play-terminal model then stays silent and the operator hears of
// the refusal once.
class ZnOwnRemovalReport
{
public:
    ZnOwnRemovalReport() { ++s_active; }
    ~ZnOwnRemovalReport() { --s_active; }
    ZnOwnRemovalReport(const ZnOwnRemovalReport&) = delete;
    ZnOwnRemovalReport& operator=(const ZnOwnRemovalReport&) = delete;

    static bool active() { return s_active.load() > 0; }

private:
    static std::atomic<int> s_active;
};
