#include "ZnSimRequest.h"

std::string ZnSimRequest::label() const
{
    std::string l = method;
    if (!packetType.empty() || !data.empty() || !command.empty())
        l += " " + (!packetType.empty() ? packetType : !data.empty() ? data : command);
    if (!packetSubtype.empty())
        l += "/" + packetSubtype;
    return l;
}
