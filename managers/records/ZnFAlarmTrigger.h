#pragma once

#include <string>

// The trigger setting of one channel of a fire-alarm interface.
class ZnFAlarmTrigger
{
public:
    int id = 0;
    std::string channelName;
    int channel = 0;
    int sourceId = 0;
    int triggerSwitch = 0;
    int stopPlay = 0;
};
