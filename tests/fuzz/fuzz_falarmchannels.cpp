// The fire-alarm channel list text over arbitrary bytes: every channel comes
// out, no task id is negative, and a name read back is one the text can carry.
#include "FuzzCheck.h"
#include "ZnFAlarmChannels.h"

FUZZ_TARGET(input)
{
    const auto channels = ZnFAlarmChannels::parse(input);
    size_t separators = 0;
    for (size_t at = input.find("!!!"); at != std::string::npos; at = input.find("!!!", at + 3))
        ++separators;
    FUZZ_CHECK(input.empty() ? channels.empty() : channels.size() == separators + 1);
    for (const auto& c : channels) {
        FUZZ_CHECK(c.taskId >= 0);
        FUZZ_CHECK(c.name.find("!!!") == std::string::npos);
    }
    FUZZ_CHECK(!ZnFAlarmChannels::triggered(-1, 0) && ZnFAlarmChannels::triggered(-1, 32)
               && !ZnFAlarmChannels::triggered(-1, 33));
}
