#pragma once

#include <cstdint>

class QObject;

// Which view signal to connect to which slot: kind 0 haveTerminals(), 1 addTerminal(int),
// 2 delTerminal(int), 3 updateTerminal(int); slot in Qt's text form with its prefix.
class ZnViewConnectRequest
{
public:
    int16_t kind = 0;
    QObject* receiver = nullptr;
    const char* slot = nullptr;
};
