#pragma once

#include <atomic>
#include <cstddef>
#include <netinet/in.h>
#include <string>
#include <sys/types.h>

// One TCP client socket. The handle is -1 when there is none, so a closed
// socket can never be confused with stdin.
class ZnSocket
{
public:
    ZnSocket() = default;
    ~ZnSocket();
    ZnSocket(const ZnSocket&) = delete;
    ZnSocket& operator=(const ZnSocket&) = delete;

    // Dotted IPv4 text to an address; no name lookup. False when the text is no address.
    static bool makeAddress(const std::string& host, int port, sockaddr_in& out);
    // Four dotted numbers from 0 to 255, each read as decimal, zero-padded ones too
    // (127.077.000.002 is 127.77.0.2, where inet_pton refuses it and inet_aton and
    // Qt read 077 as octal). False for anything else: no name, no short form.
    static bool readAddress(const std::string& text, in_addr& out);
    // The same address without padding, for what dials by host text; the text
    // itself when it is no address.
    static std::string plainAddress(const std::string& text);

    bool isOpen() const { return m_fd.load() >= 0; }
    int handle() const { return m_fd.load(); }

    // Connects within timeoutMs. A refused or timed-out connect is a failure (-1),
    // leaving no socket behind; 0 on success with a blocking, keep-alive socket.
    int connectTo(const sockaddr_in& addr, int timeoutMs);

    // 1 when data (or the peer's close) is waiting, 0 on time-out, -1 on error.
    int waitReadable(int timeoutMs) const;

    // Bytes received, 0 when the peer closed, -1 on error.
    ssize_t receive(char* buf, size_t len);

    // Sends every byte, resuming partial sends; never raises SIGPIPE.
    // 0 when all went out, -1 on error or when there is no socket.
    int sendAll(const char* data, size_t len);

    // 0, or -1 when closing reported an error. Safe without a socket.
    int close();

private:
    // Set only once a connect has succeeded, so a sender never sees a half-made socket.
    std::atomic<int> m_fd{-1};
};
