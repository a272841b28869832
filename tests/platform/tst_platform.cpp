#include "ZnHeapSetup.h"
#include "ZnSocket.h"
#include "ZnThread.h"

#include <QtTest>

#include <arpa/inet.h>
#include <atomic>
#include <cstdlib>
#include <future>
#include <malloc.h>
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
        if (::bind(fd, reinterpret_cast<sockaddr *>(&a), len) != 0 || ::listen(fd, 1) != 0
            || ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) != 0)
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
        QVERIFY2(mappedAfter >= mappedBefore + 2 * ZnHeapSetup::kOwnMappingBytes, "the block came from the heap");
#endif
    }

    // A dotted address is four decimal numbers, zero-padded or not; anything else
    // is none (and fails at the connect, as an unreachable server does).
    void dottedAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address"); // as it is dialled; empty: none
        const auto row = [](const char *name, const char *text, const char *address) {
            QTest::newRow(name) << QString::fromLatin1(text) << QString::fromLatin1(address);
        };
        row("plain", "192.168.1.100", "192.168.1.100");
        row("zero-padded parts are decimal, not octal", "127.077.000.002", "127.77.0.2");
        row("padded 010 is ten", "010.001.000.010", "10.1.0.10");
        row("padded past three digits", "127.0000001.0.1", "127.1.0.1");
        row("padded 8 and 9, no octal digits", "127.008.009.1", "127.8.9.1");
        row("highest parts", "255.255.255.255", "255.255.255.255");
        row("a part past 255", "127.0.0.256", "");
        row("padded part past 255", "127.0.0.0256", "");
        row("three numbers", "127.0.1", "");
        row("five numbers", "1.2.3.4.5", "");
        row("empty part", "1..2.3", "");
        row("trailing dot", "1.2.3.4.", "");
        row("sign", "+1.2.3.4", "");
        row("negative part", "1.2.-3.4", "");
        row("blank around", " 1.2.3.4", "");
        row("blank after", "1.2.3.4 ", "");
        row("hexadecimal", "0x7f.0.0.1", "");
        row("a name", "localhost", "");
        row("empty", "", "");
        row("digits past 64 bits", "99999999999999999999999.0.0.1", "");
    }
    void dottedAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        sockaddr_in a;
        QCOMPARE(ZnSocket::makeAddress(text.toStdString(), 8999, a), !address.isEmpty());
        char shown[INET_ADDRSTRLEN] = "";
        if (!address.isEmpty()) {
            QVERIFY(::inet_ntop(AF_INET, &a.sin_addr, shown, sizeof shown));
            QCOMPARE(int(ntohs(a.sin_port)), 8999);
        }
        QCOMPARE(QString::fromLatin1(shown), address);
        QCOMPARE(QString::fromStdString(ZnSocket::plainAddress(text.toStdString())),
                 address.isEmpty() ? text : address);
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
