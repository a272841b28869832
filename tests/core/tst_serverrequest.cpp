#include "ZnServerRequest.h"

#include <QtTest>

class TstServerRequest : public QObject
{
    Q_OBJECT

private slots:
    // Expected: kind|CSeq|Id|Packet-Type|Packet-Subtype|set key|delete type|body
    void parse_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, const QByteArray &m, const QByteArray &e) {
            QTest::newRow(name) << m << e;
        };
        row("bare answer", "DBP/1.0 200 OK\r\nCSeq: 7\r\n\r\n", "0|7|-1|||||");
        row("failure with body", "DBP/1.0 400 FAILED\r\nCSeq:8\r\nContent-Length:2\r\n\r\nno", "1|8|-1|||||no");
        row("push", "POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype:d82\r\nContent-Length:4\r\n\r\n[{}]",
            "2|-1|-1|SqlConfig|d82|||[{}]");
        row("values keep the blank after the colon",
            "POST DBP/1.0\r\nPacket-Type: SqlConfig\r\nPacket-Subtype: d82\r\n\r\n", "2|-1|-1| SqlConfig| d82|||");
        row("CSeq overflowing", "DBP/1.0 200 OK\r\nCSeq: 99999999999\r\n\r\n", "0|-1|-1|||||");
        row("number stops at the first non-digit", "DBP/1.0 200 OK\r\nCSeq:  \t42abc\r\nId:3 4\r\n\r\n", "0|42|3|||||");
        row("Data is read and dropped", "DBP/1.0 200 OK\r\nData: D82\r\nId: 5\r\n\r\n", "0|-1|5|||||");
        row("a name inside a line is no header", "DBP/1.0 200 OK\r\nX-CSeq: 5\r\nMy-Id: 6\r\n\r\n", "0|-1|-1|||||");
        // Operator-entered names travel in bodies; they must not look like protocol.
        row("protocol text in the body",
            "POST DBP/1.0\r\nPacket-Type:A\r\nContent-Length:48\r\n\r\n"
            "DBP/1.0 200 OK\r\nCSeq: 99\r\nId: 3\r\nPacket-Type:B\r\n",
            "2|-1|-1|A||||DBP/1.0 200 OK\r\nCSeq: 99\r\nId: 3\r\nPacket-Type:B\r\n");
        row("our own request yields its CSeq",
            "GET DBP/1.0\r\nCSeq:12\r\nPacket-Type:GetSystemTime\r\nContent-Length:0\r\n\r\n",
            "-1|12|-1|GetSystemTime||||");
        row("SET only as a whole method", "RESET DBP/1.0\r\nCSeq: 1\r\n\r\n", "-1|1|-1|||||");
        row("no empty line: only ended lines count", "DBP/1.0 200 OK\r\nCSeq: 4\r\nId: 9", "0|4|-1|||||");
        row("set with type and subtype",
            "SET DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype:scheme\r\nContent-Length:3\r\n\r\n<a>",
            "3|-1|-1|SqlConfig|scheme|SqlConfig_scheme||<a>");
        row("set with type only", "SET DBP/1.0\r\nPacket-Type:ServerTime\r\nContent-Length:2\r\n\r\n{}",
            "3|-1|-1|ServerTime||ServerTime||{}");
        row("set with an empty subtype joins like a push", "SET DBP/1.0\r\nPacket-Type:T\r\nPacket-Subtype:\r\n\r\n",
            "3|-1|-1|T||T_||");
        row("set without type goes to the set hooks", "SET DBP/1.0\r\nContent-Length:9\r\n\r\n<Scheme/>",
            "3|-1|-1|||||<Scheme/>");
        row("delete", "DELETE DBP/1.0\r\nPacket-Type:D72\r\nId: 15\r\n\r\n", "4|-1|15|D72|||D72|");
    }

    void parse()
    {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, expected);

        // A reused parser forgets every field of the previous message.
        ZnServerRequest r;
        r.parse("SET DBP/1.0\r\nCSeq: 3\r\nId: 4\r\nPacket-Type:A\r\nPacket-Subtype:b\r\n"
                "Content-Length:1\r\n\r\nx");
        QCOMPARE(r.postKey(), std::string("A_b"));
        const std::string text = message.toStdString(); // the body is a view into it
        const int kind = r.parse(text);
        QCOMPARE(r.kind(), kind);
        const QByteArray got = QByteArray::number(kind) + '|' + QByteArray::number(r.cseq()) + '|'
                               + QByteArray::number(r.id()) + '|' + QByteArray::fromStdString(r.packetType()) + '|'
                               + QByteArray::fromStdString(r.packetSubtype()) + '|'
                               + QByteArray::fromStdString(r.setKey()) + '|' + QByteArray::fromStdString(r.deleteType())
                               + '|' + QByteArray::fromStdString(std::string(r.body()));
        QCOMPARE(got, expected);
        QCOMPARE(r.setBody(), kind == ZnServerRequest::Set ? r.body() : std::string_view());
        if (!message.contains("Content-Length"))
            QCOMPARE(r.contentLength(), 0);
    }

    void contentLengthOfHeaderBlock_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<long>("length"); // -1: refused
        const QByteArray s = "DBP/1.0 200 OK\r\n";
        QTest::newRow("none") << s + "CSeq: 1\r\n\r\n" << 0L;
        QTest::newRow("no blank") << s + "Content-Length:12\r\n\r\n" << 12L;
        QTest::newRow("sign is no digit") << s + "Content-Length:-5\r\n\r\n" << 0L;
        QTest::newRow("above the cap") << s + "Content-Length:67108865\r\n\r\n" << -1L;
        QTest::newRow("past 32 bits") << s + "Content-Length:4294967297\r\n\r\n" << -1L;
        QTest::newRow("overflowing") << s + "Content-Length:184467440737095516161\r\n\r\n" << -1L;
        QTest::newRow("any bad one spoils") << s + "Content-Length:99999999999\r\nContent-Length:2\r\n\r\n" << -1L;
        QTest::newRow("start line is not a header") << QByteArray("Content-Length:5\r\n\r\n") << 0L;
    }

    void contentLengthOfHeaderBlock()
    {
        QFETCH(QByteArray, block);
        QFETCH(long, length);
        long got = -7;
        QCOMPARE(ZnServerRequest::contentLengthOf(block.toStdString(), &got), length >= 0);
        if (length >= 0)
            QCOMPARE(got, length);
    }
};

QTEST_GUILESS_MAIN(TstServerRequest)
#include "tst_serverrequest.moc"
