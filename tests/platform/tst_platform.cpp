#include "ZnHeapSetup.h"
#include "ZnSocket.h"
#include "ZnThread.h"

#include <QtTest>

#include <arpa/inet.h>
#include <cstdlib>
#include <malloc.h>
#include <atomic>
#include <future>
#include <thread>
#include <unistd.h>

namespace {
// A listening socket on an ephemeral loopback port.
struct Listener
{
    Listener()
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(a);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), len) != 0 || ::listen(fd, 1) != 0
            || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            qFatal("no listening socket");
        ZnSocket::makeAddress("127.0.0.1", ntohs(a.sin_port), address);
    }
    ~Listener()
    {
        ::close(peer);
        ::close(fd);
    }
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int peer = -1;
    sockaddr_in address;
};
}

class TstPlatform : public QObject
{
    Q_OBJECT

private slots:
    // A large block freed must not make every later large block (the next list
    // answer) come from the heap, where its room would stay.
    void largeBlocksStayApartAfterAFree()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator has a heap of its own");
#else
        ZnHeapSetup::apply();
        // Through a pointer the compiler cannot see through, so no pair is left out.
        void *(*volatile allocate)(size_t) = std::malloc;
        void *first = allocate(4 * 1024 * 1024);
        QVERIFY(first);
        std::free(first);
        const size_t mappedBefore = mallinfo2().hblkhd;
        void *second = allocate(2 * ZnHeapSetup::kOwnMappingBytes);
        QVERIFY(second);
        const size_t mappedAfter = mallinfo2().hblkhd;
        std::free(second);
        QVERIFY2(mappedAfter >= mappedBefore + 2 * ZnHeapSetup::kOwnMappingBytes,
                 "the block came from the heap");
#endif
    }

    // Far more than the socket buffers hold: the sender must resume.
    void largeSendsGoOutWhole()
    {
        Listener l;
        ZnSocket s;
        QCOMPARE(s.connectTo(l.address, 3000), 0);
        l.peer = ::accept(l.fd, nullptr, nullptr);
        const std::string data(8 * 1024 * 1024, 'z');
        std::size_t got = 0;
        std::thread reader([&] {
            char buf[4096];
            for (ssize_t n; got < data.size() && (n = ::recv(l.peer, buf, sizeof(buf), 0)) > 0;)
                got += std::size_t(n);
        });
        QCOMPARE(s.sendAll(data.data(), data.size()), 0);
        reader.join();
        QCOMPARE(got, data.size());
    }

    // Starting again waits for the first run; the owner joins on destruction.
    void threadIsOwnedAndJoinable()
    {
        std::atomic<int> runs{0};
        {
            ZnThread t;
            QVERIFY(t.start([&] { ++runs; }));
            // Still waiting when the owner goes: only a join makes the count 2.
            std::promise<void> go;
            QVERIFY(t.start([&runs, f = go.get_future().share()] {
                f.wait();
                ++runs;
            }));
            go.set_value();
        }
        QCOMPARE(runs.load(), 2);
    }
};

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
