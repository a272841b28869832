#pragma once

#include <string>

// One request the simulated server received, as it read it.
class ZnSimRequest
{
public:
    std::string method; // LOGIN, ONLINE, GET, POST, SET
    int cseq = -1;
    std::string packetType;    // trimmed
    std::string packetSubtype; // trimmed
    std::string data;          // "Data:" kind of a one-record query
    int id = -1;
    std::string command; // "Command:" of a SET
    std::string body;
    std::string raw; // the whole message

    // "METHOD Packet-Type/Packet-Subtype", the form rules match on.
    std::string label() const;
};
