#include "ZnSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {
// A peer that stops reading must not block a sender forever.
const int kSendTimeoutSeconds = 3;

bool setNonBlocking(int fd, bool on)
{
    int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    flags = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(fd, F_SETFL, flags) == 0;
}
}

ZnSocket::~ZnSocket()
{
    close();
}

bool ZnSocket::makeAddress(const std::string& host, int port, sockaddr_in& out)
{
    out = sockaddr_in();
    out.sin_family = AF_INET;
    out.sin_port = htons(static_cast<uint16_t>(port));
    return port >= 0 && port <= 65535 && readAddress(host, out.sin_addr);
}

bool ZnSocket::readAddress(const std::string& text, in_addr& out)
{
    uint32_t address = 0;
    const char* p = text.data();
    const char* const end = p + text.size();
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (p == end || *p != '.')
                return false;
            ++p;
        }
        // Unsigned: no sign is taken; from_chars takes no blanks either.
        unsigned value = 0;
        const auto read = std::from_chars(p, end, value, 10);
        if (read.ec != std::errc() || read.ptr == p || value > 255)
            return false;
        address = address << 8 | value;
        p = read.ptr;
    }
    if (p != end)
        return false;
    out.s_addr = htonl(address);
    return true;
}

std::string ZnSocket::plainAddress(const std::string& text)
{
    in_addr address;
    char plain[INET_ADDRSTRLEN];
    if (!readAddress(text, address) || !::inet_ntop(AF_INET, &address, plain, sizeof plain))
        return text;
    return plain;
}

int ZnSocket::connectTo(const sockaddr_in& addr, int timeoutMs)
{
    close();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (!setNonBlocking(fd, true)) {
        ::close(fd);
        return -1;
    }
    int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr));
    if (rc != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            ::close(fd);
            return -1;
        }
        pollfd p{fd, POLLOUT, 0};
        do {
            rc = ::poll(&p, 1, timeoutMs);
        } while (rc < 0 && errno == EINTR);
        int soError = 0;
        socklen_t len = sizeof(soError);
        // Writability alone also signals a refused connect; SO_ERROR tells them apart.
        if (rc <= 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError != 0) {
            ::close(fd);
            return -1;
        }
    }
    int on = 1;
    timeval tv{kSendTimeoutSeconds, 0};
    if (!setNonBlocking(fd, false) || ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof(on)) != 0
        || ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv)) != 0) {
        ::close(fd);
        return -1;
    }
    m_fd.store(fd);
    return 0;
}

int ZnSocket::waitReadable(int timeoutMs) const
{
    const int fd = m_fd.load();
    if (fd < 0)
        return -1;
    pollfd p{fd, POLLIN, 0};
    int rc;
    do {
        rc = ::poll(&p, 1, timeoutMs);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0)
        return -1;
    if (rc == 0)
        return 0;
    if (p.revents & POLLNVAL)
        return -1;
    // POLLHUP and POLLERR are reported as readable: the next receive tells what happened.
    return 1;
}

ssize_t ZnSocket::receive(char* buf, size_t len)
{
    const int fd = m_fd.load();
    if (fd < 0)
        return -1;
    ssize_t n;
    do {
        n = ::recv(fd, buf, len, 0);
    } while (n < 0 && errno == EINTR);
    return n;
}

int ZnSocket::sendAll(const char* data, size_t len)
{
    const int fd = m_fd.load();
    if (fd < 0)
        return -1;
    size_t done = 0;
    while (done < len) {
        ssize_t n = ::send(fd, data + done, len - done, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

int ZnSocket::close()
{
    const int fd = m_fd.exchange(-1);
    if (fd < 0)
        return 0;
    return ::close(fd) == 0 ? 0 : -1;
}
