#include "ZnMessageFramer.h"

#include <QtTest>

#include <cstring>
#include <string>
#include <vector>

namespace {
using Messages = std::vector<std::string>;

struct Collector
{
    ZnMessageFramer framer{[this](std::string_view m) { messages.emplace_back(m); }};
    Messages messages;
};
}

class TstMessageFramer : public QObject
{
    Q_OBJECT

private slots:
    // Every framing shape: a body; no Content-Length (complete at the empty line);
    // a Content-Length inside another header's value or inside a body, which is no
    // header; an empty body and a large one.
    void anySplitYieldsTheSameMessages()
    {
        const Messages expected = {
            "DBP/1.0 200 OK\r\nCSeq: 1\r\nContent-Length:5\r\n\r\nhello",
            "DBP/1.0 200 OK\r\nCSeq: 2\r\nX: Content-Length:9\r\n\r\n",
            "POST DBP/1.0\r\nPacket-Type:A\r\nContent-Length: 36\r\n\r\n"
            "Content-Length:999\r\n\r\nDBP/1.0 200 OK",
            "DBP/1.0 400 FAILED\r\nCSeq: 3\r\nContent-Length:0\r\n\r\n",
            "POST DBP/1.0\r\nContent-Length:70000\r\n\r\n" + std::string(70000, 'x'),
            "SET DBP/1.0\r\nContent-Length:12\r\n\r\n\xe5\x90\x8d\r\n\r\n\xe5\xad\x97\r\n",
        };
        std::string stream;
        for (const std::string &m : expected)
            stream += m;

        QRandomGenerator rng(20261206);
        for (int round = 0; round < 40; ++round) {
            // Round 0 feeds the whole stream, round 1 byte by byte, the rest at random.
            Collector split;
            for (std::size_t pos = 0, n = 0; pos < stream.size(); pos += n) {
                n = round == 0 ? stream.size() : round == 1 ? 1 : rng.bounded(1, 5000);
                n = std::min(n, stream.size() - pos);
                QCOMPARE(split.framer.feed(stream.data() + pos, n), ZnMessageFramer::Ok);
            }
            QCOMPARE(split.messages, expected);
            QCOMPARE(split.framer.pendingBytes(), std::size_t(0));
        }
    }

    // A stream that cannot be framed is refused, and stays refused until a reset,
    // which also drops a half message.
    void refusedStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::newRow("Content-Length past 32 bits")
            << QByteArray("POST DBP/1.0\r\nContent-Length:4294967297\r\n\r\nabc");
        QByteArray endless = "DBP/1.0 200 OK\r\n";
        while (endless.size() <= int(ZnMessageFramer::kMaxHeaderBlock))
            endless += "CSeq: 1\r\n";
        QTest::newRow("endless header block") << endless;
    }
    void refusedStreams()
    {
        QFETCH(QByteArray, stream);
        Collector c;
        QCOMPARE(c.framer.feed(stream.toStdString()), ZnMessageFramer::ProtocolError);
        QVERIFY(c.framer.failed() && !c.framer.errorText().empty());
        QCOMPARE(c.framer.pendingBytes(), std::size_t(0));
        QCOMPARE(c.framer.feed("DBP/1.0 200 OK\r\n\r\n"), ZnMessageFramer::ProtocolError);
        c.framer.reset();
        c.framer.feed("DBP/1.0 200 OK\r\nContent-Length:3\r\n\r\nab");
        c.framer.reset();
        QCOMPARE(c.framer.feed("DBP/1.0 200 OK\r\n\r\n"), ZnMessageFramer::Ok);
        QCOMPARE(c.messages, Messages{"DBP/1.0 200 OK\r\n\r\n"});
    }

    // Received straight into the framer's room, a large answer comes out whole and
    // its buffer is given back; a small one keeps the buffer for the next.
    void largeBufferGivenBack()
    {
        Collector c;
        const std::string body(3 * ZnMessageFramer::kKeptCapacity, 'r');
        const std::string stream = "DBP/1.0 200 OK\r\nContent-Length:" + std::to_string(body.size()) + "\r\n\r\n" + body
                                   + "DBP/1.0 200 OK\r\nContent-Length:2\r\n\r\n";
        for (std::size_t pos = 0; pos < stream.size(); pos += 4096) {
            const std::size_t n = std::min<std::size_t>(4096, stream.size() - pos);
            std::memcpy(c.framer.prepare(4096), stream.data() + pos, n);
            QCOMPARE(c.framer.commit(n), ZnMessageFramer::Ok);
        }
        QCOMPARE(c.messages.size(), std::size_t(1));
        QCOMPARE(c.messages[0].size(), stream.size() - 36);
        QVERIFY(c.framer.capacity() <= ZnMessageFramer::kKeptCapacity);
        QCOMPARE(c.framer.feed("{}"), ZnMessageFramer::Ok);
        QCOMPARE(c.messages.back(), std::string("DBP/1.0 200 OK\r\nContent-Length:2\r\n\r\n{}"));
    }
};

QTEST_GUILESS_MAIN(TstMessageFramer)
#include "tst_messageframer.moc"
