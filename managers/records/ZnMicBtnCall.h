#pragma once

#include <string>

// One call button of a D72 or D74 console.
class ZnMicBtnCall
{
public:
    ZnMicBtnCall() = default;
    ZnMicBtnCall(const ZnMicBtnCall&) = default;
    ZnMicBtnCall& operator=(const ZnMicBtnCall&) = default;
    virtual ~ZnMicBtnCall() = default;

    int terminalId = 0;
    std::string label; // no code of these families fills it
    int dsk81Id = 0;   // the Dsk81 console the button calls
    int groupId = 0;   // the microphone group the button calls
    std::string startCall;
    std::string stopCall;
    std::string note; // no code of these families fills it
};
