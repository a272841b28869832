#include "ZnSimClosedPort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

ZnSimClosedPort::ZnSimClosedPort()
{
    // No SO_REUSEADDR: a listener that sets it still cannot bind beside this socket.
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof(addr);
    if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0
        || ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return;
    m_port = ntohs(addr.sin_port);
}

ZnSimClosedPort::~ZnSimClosedPort()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
