#include "ZnMessageFramer.h"

#include <QtTest>

#include <string>
#include <vector>

namespace {
using Messages = std::vector<std::string>;

struct Collector
{
    ZnMessageFramer framer{[this](std::string_view m) { messages.emplace_back(m); }};
    Messages messages;
};

// Three messages of every framing shape: body, no Content-Length, protocol text
// and a fake Content-Length in a body, an empty body and a large one.
std::string sampleStream(Messages *expected)
{
    const std::string big(70000, 'x');
    *expected = {
        "DBP/1.0 200 OK\r\nCSeq: 1\r\nContent-Length:5\r\n\r\nhello",
        "DBP/1.0 200 OK\r\nCSeq: 2\r\n\r\n",
        "POST DBP/1.0\r\nPacket-Type:A\r\nContent-Length: 36\r\n\r\n"
        "Content-Length:999\r\n\r\nDBP/1.0 200 OK",
        "DBP/1.0 400 FAILED\r\nCSeq: 3\r\nContent-Length:0\r\n\r\n",
        "POST DBP/1.0\r\nContent-Length:70000\r\n\r\n" + big,
        "SET DBP/1.0\r\nContent-Length:12\r\n\r\n\xe5\x90\x8d\r\n\r\n\xe5\xad\x97\r\n",
    };
    std::string stream;
    for (const std::string &m : *expected)
        stream += m;
    return stream;
}
}

class TstMessageFramer : public QObject
{
    Q_OBJECT

private slots:
    void anySplitYieldsTheSameMessages();
    void waitsForHeaderEndAndBody();
    void bytesAfterAMessageStartTheNext();
    void contentLengthRefused_data();
    void contentLengthRefused();
    void endlessHeaderBlockRefused();
    void resetStartsAfresh();
};

void TstMessageFramer::anySplitYieldsTheSameMessages()
{
    Messages expected;
    const std::string stream = sampleStream(&expected);

    Collector whole;
    QCOMPARE(whole.framer.feed(stream), ZnMessageFramer::Ok);
    QCOMPARE(whole.messages, expected);

    Collector bytes;
    for (char c : stream)
        QCOMPARE(bytes.framer.feed(&c, 1), ZnMessageFramer::Ok);
    QCOMPARE(bytes.messages, expected);

    QRandomGenerator rng(20261206);
    for (int round = 0; round < 50; ++round) {
        Collector split;
        std::size_t pos = 0;
        while (pos < stream.size()) {
            const std::size_t n = std::min<std::size_t>(rng.bounded(1, 5000),
                                                         stream.size() - pos);
            QCOMPARE(split.framer.feed(stream.data() + pos, n), ZnMessageFramer::Ok);
            pos += n;
        }
        QCOMPARE(split.messages, expected);
        QCOMPARE(split.framer.pendingBytes(), std::size_t(0));
    }
}

void TstMessageFramer::waitsForHeaderEndAndBody()
{
    Collector c;
    c.framer.feed("DBP/1.0 200 OK\r\nCSeq: 7\r\nContent-Length:4\r\n\r");
    QVERIFY(c.messages.empty());
    QCOMPARE(c.framer.state(), 0);
    c.framer.feed("\nab");
    QVERIFY(c.messages.empty());
    QCOMPARE(c.framer.state(), 1);
    c.framer.feed("c");
    QVERIFY(c.messages.empty());
    c.framer.feed("dDBP/1.0 200 OK\r\n");
    QCOMPARE(c.messages,
             Messages{"DBP/1.0 200 OK\r\nCSeq: 7\r\nContent-Length:4\r\n\r\nabcd"});
    QCOMPARE(c.framer.state(), 0);
    QCOMPARE(c.framer.pendingBytes(), std::size_t(16));
}

void TstMessageFramer::bytesAfterAMessageStartTheNext()
{
    Collector c;
    // No Content-Length: complete at the empty line. A Content-Length written
    // inside another header's value is no header.
    c.framer.feed("DBP/1.0 200 OK\r\nCSeq: 1\r\nX: Content-Length:9\r\n\r\n"
                  "DBP/1.0 200 OK\r\nCSeq: 2\r\n\r\n");
    QCOMPARE(c.messages, (Messages{"DBP/1.0 200 OK\r\nCSeq: 1\r\nX: Content-Length:9\r\n\r\n",
                                   "DBP/1.0 200 OK\r\nCSeq: 2\r\n\r\n"}));
}

void TstMessageFramer::contentLengthRefused_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("above 64 MiB") << QByteArray("67108865");
    QTest::newRow("overflows int") << QByteArray("4294967297");
    QTest::newRow("overflows 64 bits") << QByteArray("99999999999999999999999");
}

void TstMessageFramer::contentLengthRefused()
{
    QFETCH(QByteArray, value);
    Collector c;
    const std::string head = "POST DBP/1.0\r\nContent-Length:" + value.toStdString() + "\r\n\r\n";
    QCOMPARE(c.framer.feed(head + "abc"), ZnMessageFramer::ProtocolError);
    QVERIFY(c.framer.failed());
    QVERIFY(!c.framer.errorText().empty());
    QCOMPARE(c.framer.pendingBytes(), std::size_t(0));
    // The stream cannot be trusted any more: even a good message is refused.
    QCOMPARE(c.framer.feed("DBP/1.0 200 OK\r\n\r\n"), ZnMessageFramer::ProtocolError);
    QVERIFY(c.messages.empty());
}

void TstMessageFramer::endlessHeaderBlockRefused()
{
    Collector c;
    const std::string line = "CSeq: 1\r\n";
    ZnMessageFramer::Result r = c.framer.feed("DBP/1.0 200 OK\r\n");
    std::size_t fed = 0;
    while (r == ZnMessageFramer::Ok && fed <= ZnMessageFramer::kMaxHeaderBlock) {
        r = c.framer.feed(line);
        fed += line.size();
    }
    QCOMPARE(r, ZnMessageFramer::ProtocolError);
    QVERIFY(c.messages.empty());
}

void TstMessageFramer::resetStartsAfresh()
{
    Collector c;
    c.framer.feed("DBP/1.0 200 OK\r\nContent-Length:99999999999\r\n\r\n");
    QVERIFY(c.framer.failed());
    c.framer.reset();
    c.framer.feed("DBP/1.0 200 OK\r\nContent-Length:3\r\n\r\nab");
    c.framer.reset();
    QCOMPARE(c.framer.feed("DBP/1.0 200 OK\r\n\r\n"), ZnMessageFramer::Ok);
    QCOMPARE(c.messages, Messages{"DBP/1.0 200 OK\r\n\r\n"});
}

QTEST_GUILESS_MAIN(TstMessageFramer)
#include "tst_messageframer.moc"
