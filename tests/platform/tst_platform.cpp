#include "ZnClock.h"
#include "ZnManualClock.h"
#include "ZnSocket.h"
#include "ZnThread.h"

#include <QtTest>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
// A listening socket on an ephemeral loopback port.
class Listener
{
public:
    Listener()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(addr);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        ::listen(m_fd, 1);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
    }
    ~Listener()
    {
        if (peer >= 0)
            ::close(peer);
        ::close(m_fd);
    }
    void accept() { peer = ::accept(m_fd, nullptr, nullptr); }
    sockaddr_in address() const
    {
        sockaddr_in a;
        ZnSocket::makeAddress("127.0.0.1", port, a);
        return a;
    }

    int port = 0;
    int peer = -1;

private:
    int m_fd = -1;
};
}

class TstPlatform : public QObject
{
    Q_OBJECT

private slots:
    void addresses();
    void refusedConnectFails();
    void largeSendsGoOutWhole();
    void closedPeerAndClosedSocket();
    void threadIsOwnedAndJoinable();
    void clockCanBeReplaced();
};

void TstPlatform::addresses()
{
    sockaddr_in a;
    QVERIFY(ZnSocket::makeAddress("10.1.2.3", 9000, a));
    QCOMPARE(ntohs(a.sin_port), uint16_t(9000));
    QVERIFY(!ZnSocket::makeAddress("server.local", 9000, a));
    QVERIFY(!ZnSocket::makeAddress("10.1.2.3", 70000, a));
}

void TstPlatform::refusedConnectFails()
{
    sockaddr_in addr;
    {
        Listener gone;
        addr = gone.address();
    }
    ZnSocket s;
    QCOMPARE(s.connectTo(addr, 3000), -1);
    QVERIFY(!s.isOpen());
    QCOMPARE(s.handle(), -1);
    QCOMPARE(s.sendAll("x", 1), -1);
}

void TstPlatform::largeSendsGoOutWhole()
{
    Listener l;
    ZnSocket s;
    QCOMPARE(s.connectTo(l.address(), 3000), 0);
    l.accept();
    // Far more than the socket buffers hold, read slowly: the sender must resume.
    const std::string data(8 * 1024 * 1024, 'z');
    std::string got;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        char buf[4096];
        while (got.size() < data.size()) {
            const ssize_t n = ::recv(l.peer, buf, sizeof(buf), 0);
            if (n <= 0)
                break;
            got.append(buf, size_t(n));
        }
    });
    QCOMPARE(s.sendAll(data.data(), data.size()), 0);
    reader.join();
    QCOMPARE(got.size(), data.size());
}

void TstPlatform::closedPeerAndClosedSocket()
{
    Listener l;
    ZnSocket s;
    QCOMPARE(s.connectTo(l.address(), 3000), 0);
    l.accept();
    QCOMPARE(s.waitReadable(20), 0);
    ::close(l.peer);
    l.peer = -1;
    QCOMPARE(s.waitReadable(1000), 1);
    char buf[16];
    QCOMPARE(s.receive(buf, sizeof(buf)), ssize_t(0));
    QCOMPARE(s.close(), 0);
    QCOMPARE(s.close(), 0);
    QCOMPARE(s.waitReadable(0), -1);
    QCOMPARE(s.receive(buf, sizeof(buf)), ssize_t(-1));
}

void TstPlatform::threadIsOwnedAndJoinable()
{
    std::atomic<int> runs{0};
    {
        ZnThread t;
        QVERIFY(t.start([&] { ++runs; }));
        // Starting again waits for the first run.
        QVERIFY(t.start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ++runs;
        }));
        QVERIFY(t.joinable());
    }
    QCOMPARE(runs.load(), 2);
}

void TstPlatform::clockCanBeReplaced()
{
    {
        ZnManualClock clock(1000);
        QCOMPARE(ZnClock::now(), int64_t(1000));
        clock.advance(300);
        QCOMPARE(ZnClock::now(), int64_t(1300));
    }
    QVERIFY(ZnClock::now() > 1600000000);
}

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
