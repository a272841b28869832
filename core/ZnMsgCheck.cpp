#include "ZnMsgCheck.h"

#include <cstring>

namespace {
const char *const kNames[ZnMsgCheck::Unknown] = {
    "BroadcastList",
    "Broadcast",
    "CapList",
    "Cap",
    "FireList",
    "Fire",
    "MicList",
    "Mic",
    "SpchkTermList",
    "SpchkTerm",
    "TaskList",
    "Task",
    "AmpTaskList",
    "AmpTask",
    "PowerTaskList",
    "PowerTask",
    "VolumeTaskList",
    "VolumeTask",
    "BroadcastRegions",
    "Region",
    "SchemeList",
    "Scheme",
    "AmpSchemeList",
    "AmpScheme",
    "PowerSchemeList",
    "PowerScheme",
    "VolumeSchemeList",
    "VolumeScheme",
    "SwitchPowerList",
    "SwitchPower",
    "TerminalList",
    "UserList",
    "User",
    "DeletePlayTask",
    "DeleteAmpTask",
    "DeletePowerTask",
    "DeleteVolumeTask",
    "LevelList",
    "Level",
    "Login",
    "ServiceLogList",
    "Server",
    "ServerList",
    "TalkbackList",
    "Talkback",
    "TtsList",
    "TtsInfo",
    "PlanTaskList",
    "PlanTask",
    "DeletePlanTask",
    "MicGroupList",
    "MicGroup",
};
}

std::string ZnMsgCheck::topElement(const std::string &xml)
{
    const std::size_t first = xml.find('<');
    if (first == std::string::npos)
        return std::string();
    const std::size_t second = xml.find('<', first + 1);
    if (second == std::string::npos)
        return std::string();
    const std::size_t start = second + 1;
    std::size_t end = xml.find_first_of(std::string(" />\0", 4), start);
    if (end == std::string::npos)
        end = xml.size();
    return xml.substr(start, end - start);
}

int ZnMsgCheck::replyType(const std::string &xml) const
{
    if (xml.empty())
        return Unknown;
    const std::string name = topElement(xml);
    if (name.empty())
        return Unknown;
    for (int i = 0; i < Unknown; ++i) {
        if (name == kNames[i])
            return i;
    }
    return Unknown;
}
