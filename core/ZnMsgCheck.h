#pragma once

#include <string>

// Tells which kind of reply or push an XML body is, from the name of its top
// element alone; the body is not parsed.
class ZnMsgCheck
{
public:
    enum ReplyType {
        BroadcastList,
        Broadcast,
        CapList,
        Cap,
        FireList,
        Fire,
        MicList,
        Mic,
        SpchkTermList,
        SpchkTerm,
        TaskList,
        Task,
        AmpTaskList,
        AmpTask,
        PowerTaskList,
        PowerTask,
        VolumeTaskList,
        VolumeTask,
        BroadcastRegions,
        Region,
        SchemeList,
        Scheme,
        AmpSchemeList,
        AmpScheme,
        PowerSchemeList,
        PowerScheme,
        VolumeSchemeList,
        VolumeScheme,
        SwitchPowerList,
        SwitchPower,
        TerminalList,
        UserList,
        User,
        DeletePlayTask,
        DeleteAmpTask,
        DeletePowerTask,
        DeleteVolumeTask,
        LevelList,
        Level,
        Login,
        ServiceLogList,
        Server,
        ServerList,
        TalkbackList,
        Talkback,
        TtsList,
        TtsInfo,
        PlanTaskList,
        PlanTask,
        DeletePlanTask,
        MicGroupList,
        MicGroup,
        Unknown
    };

    ZnMsgCheck() = default;
    virtual ~ZnMsgCheck() = default;

    // The index of the top element's name in the table, Unknown (52) for none.
    int replyType(const std::string &xml) const;

    // The name of the top element: the one opened by the second "<" (the first is
    // taken to open the XML declaration). Empty when there is no second "<".
    static std::string topElement(const std::string &xml);
};
