#pragma once

#include "ZnTalkConsoleManage.h"

class ZnMic;
class ZnMicBtnCall;

// D74 talk consoles with LED display. Its answer hook picks its own types (238 to 244).
class ZnD74Manage : public ZnTalkConsoleManage
{
public:
    enum {
        ListType = 238,
        ModifyType = 241,
        DeletedType = 242,
        ButtonCallsType = 243,
        LedType = 244,
        SetButtonCallType = 244
    };
    static constexpr const char* kPostKey = "SqlConfig_dsk74";
    static constexpr const char* kDeleteType = "D74";

    ZnD74Manage();

    std::string& buildD74List(std::string& out, int cseq);
    // Operation 0: talk settings, 2: name and volume, any other: the LED, each sent
    // under modifyType(operation).
    std::string& buildModifyD74(std::string& out, int cseq, const ZnMic& mic, int operation);
    static int modifyType(int operation) { return operation == 0 || operation == 2 ? ModifyType : LedType; }
    std::string& buildD74ButtonCalls(std::string& out, int cseq, int terminalId);
    std::string& buildSetD74ButtonCall(std::string& out, int cseq, const ZnMicBtnCall& call);
};
