#pragma once

#include <string>

// What the IP-amplifier manager hands its list model when the server refused a
// terminal removal: the flag 1 and the text of the "DBP/1.0 400 FAILED" body.
// Like every notify datum it lives only during the call; the receiver copies it.
class ZnFailureNote
{
public:
    int flag = 1;
    std::string text;
};
