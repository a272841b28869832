#pragma once

#include <string>

// The listening socket both simulated services open on a loopback address.
class ZnSimListener
{
public:
    // Binds host:port (0 picks a free port) and listens. Returns the socket, or -1,
    // and the port actually bound in boundPort.
    static int open(const std::string& host, int port, int backlog, int& boundPort);
};
