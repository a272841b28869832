#pragma once

#include <string>
#include <vector>

// The channel list text of a fire-alarm interface, as the server keeps it:
// channels joined by "!!!", each either "name#$%taskId" or the task id alone.
// A channel's number is its place in the list, counted from 1.
class ZnFAlarmChannels
{
public:
    struct Channel
    {
        std::string name;   // as stored, empty ones included
        bool named = false; // the text gives a name field (it may be empty)
        int taskId = 0;     // 0: no task
    };

    static const char *const ChannelSeparator; // "!!!"
    static const char *const FieldSeparator;   // "#$%"

    // Never fails: a task id that is not a number reads as 0; an empty text has
    // no channels.
    static std::vector<Channel> parse(const std::string &text);
    // Whether a name can travel in the text without splitting its channel.
    static bool nameAllowed(const std::string &name);
    // Whether bit (channel - 1) of the trigger bits is set.
    static bool triggered(int bits, int channel);
};
