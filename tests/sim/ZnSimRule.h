#pragma once

#include <string>

// How the simulated server treats the requests whose label begins with match
// (see ZnSimRequest::label, e.g. "LOGIN", "ONLINE", "GET SqlConfig/D82List",
// "POST IpAmpSet"; empty matches every request).
class ZnSimRule
{
public:
    enum Action {
        Fail,            // answer "DBP/1.0 400 FAILED" with text as body
        Withhold,        // never answer
        Delay,           // answer normally after delayMs
        CloseMidMessage, // write half of the answer, then close the connection
        Reply            // answer "DBP/1.0 200 OK" with text as body
    };

    std::string match;
    Action action = Fail;
    std::string text;
    int delayMs = 0;
    int times = -1; // how many requests it applies to; -1 for all

    static ZnSimRule make(const std::string& match, Action action, const std::string& text = std::string(),
                          int delayMs = 0, int times = -1)
    {
        return ZnSimRule{match, action, text, delayMs, times};
    }
};
