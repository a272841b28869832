#pragma once

#include "ZnTalkConsoleManage.h"

#include <vector>

class ZnMic;
class ZnMicBtnCall;

// D72 talk consoles. Its answer hook picks its own types (228 to 235).
class ZnD72Manage : public ZnTalkConsoleManage
{
public:
    enum {
        ListType = 228,
        ModifyType = 231,
        DeletedType = 232,
        ButtonCallsType = 233,
        NotifiedButtonCallsType = 234,
        SetButtonCallType = 235
    };
    // Index of the alarm-input entry in a button-call list.
    enum { AlarmEntry = 3 };
    static constexpr const char* kPostKey = "SqlConfig_dsk72";
    static constexpr const char* kDeleteType = "D72";

    ZnD72Manage();

    std::string& buildD72List(std::string& out, int cseq);
    std::string& buildModifyD72(std::string& out, int cseq, const ZnMic& mic);
    std::string& buildD72ButtonCalls(std::string& out, int cseq, int terminalId);
    // Every entry goes out once: the fourth as "AlarmCall", the others under
    // "ButtonCalls". Empty text (nothing to send) for an empty list or for entries
    // of more than one console.
    std::string& buildSetD72ButtonCall(std::string& out, int cseq, const std::vector<ZnMicBtnCall>& calls);

    // The ModTalkTerminal body shared by the talk-console families; the Dsk81
    // consoles add "PttMode" when they have one (not -1).
    static std::string talkTerminalBody(const ZnMic& mic, bool withPttMode = false);
};
