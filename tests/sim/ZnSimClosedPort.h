#pragma once

// A port on 127.0.0.1 that refuses every connection and that no other program can
// take while this object lives: bound, never listening. A port merely found free
// and let go may meanwhile be bound by another program's service, which a test
// would then talk to.
class ZnSimClosedPort
{
public:
    ZnSimClosedPort();
    ~ZnSimClosedPort();
    ZnSimClosedPort(const ZnSimClosedPort&) = delete;
    ZnSimClosedPort& operator=(const ZnSimClosedPort&) = delete;

    // -1 when no port could be bound.
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = -1;
};
