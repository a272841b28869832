#include "ZnServerRequest.h"

#include <QtTest>

class TstServerRequest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void setAndDelete_data();
    void setAndDelete();
    void reuseForgetsThePreviousMessage();
    void contentLengthOfHeaderBlock_data();
    void contentLengthOfHeaderBlock();
};

void TstServerRequest::parse_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("cseq");
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("subtype");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("bare answer")
        << QByteArray("DBP/1.0 200 OK\r\nCSeq: 7\r\n\r\n") << 0 << 7 << -1 << QByteArray()
        << QByteArray() << QByteArray();
    QTest::newRow("failure with body")
        << QByteArray("DBP/1.0 400 FAILED\r\nCSeq:8\r\nContent-Length:2\r\n\r\nno") << 1 << 8
        << -1 << QByteArray() << QByteArray() << QByteArray("no");
    QTest::newRow("push")
        << QByteArray("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype:d82\r\n"
                      "Content-Length:4\r\n\r\n[{}]")
        << 2 << -1 << -1 << QByteArray("SqlConfig") << QByteArray("d82") << QByteArray("[{}]");
    QTest::newRow("values keep the blank after the colon")
        << QByteArray("POST DBP/1.0\r\nPacket-Type: SqlConfig\r\nPacket-Subtype: d82\r\n\r\n")
        << 2 << -1 << -1 << QByteArray(" SqlConfig") << QByteArray(" d82") << QByteArray();
    QTest::newRow("CSeq not a number")
        << QByteArray("DBP/1.0 200 OK\r\nCSeq: x1\r\n\r\n") << 0 << 0 << -1 << QByteArray()
        << QByteArray() << QByteArray();
    QTest::newRow("CSeq overflowing")
        << QByteArray("DBP/1.0 200 OK\r\nCSeq: 99999999999\r\n\r\n") << 0 << -1 << -1
        << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("number stops at the first non-digit")
        << QByteArray("DBP/1.0 200 OK\r\nCSeq:  \t42abc\r\nId:3 4\r\n\r\n") << 0 << 42 << 3
        << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("later header overwrites")
        << QByteArray("DBP/1.0 200 OK\r\nCSeq: 1\r\nCSeq: 2\r\n\r\n") << 0 << 2 << -1
        << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("Data is read and dropped")
        << QByteArray("DBP/1.0 200 OK\r\nData: D82\r\nId: 5\r\n\r\n") << 0 << -1 << 5
        << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("a name inside a line is no header")
        << QByteArray("DBP/1.0 200 OK\r\nX-CSeq: 5\r\nMy-Id: 6\r\n\r\n") << 0 << -1 << -1
        << QByteArray() << QByteArray() << QByteArray();
    // Operator-entered names travel in bodies; they must not look like protocol.
    QTest::newRow("protocol text in the body")
        << QByteArray("POST DBP/1.0\r\nPacket-Type:A\r\nContent-Length:48\r\n\r\n"
                      "DBP/1.0 200 OK\r\nCSeq: 99\r\nId: 3\r\nPacket-Type:B\r\n")
        << 2 << -1 << -1 << QByteArray("A") << QByteArray()
        << QByteArray("DBP/1.0 200 OK\r\nCSeq: 99\r\nId: 3\r\nPacket-Type:B\r\n");
    QTest::newRow("answer kind in the body of an unknown message")
        << QByteArray("HELLO DBP/1.0\r\n\r\nDBP/1.0 200 OK\r\n") << -1 << -1 << -1
        << QByteArray() << QByteArray() << QByteArray("DBP/1.0 200 OK\r\n");
    QTest::newRow("our own request yields its CSeq")
        << QByteArray("GET DBP/1.0\r\nCSeq:12\r\nPacket-Type:GetSystemTime\r\n"
                      "Content-Length:0\r\n\r\n")
        << -1 << 12 << -1 << QByteArray("GetSystemTime") << QByteArray() << QByteArray();
    QTest::newRow("SET only as a whole method")
        << QByteArray("RESET DBP/1.0\r\nCSeq: 1\r\n\r\n") << -1 << 1 << -1 << QByteArray()
        << QByteArray() << QByteArray();
    QTest::newRow("leading line ends before the start line")
        << QByteArray("\r\nDBP/1.0 200 OK\r\nCSeq: 3\r\n\r\n") << 0 << 3 << -1 << QByteArray()
        << QByteArray() << QByteArray();
    QTest::newRow("no empty line: only ended lines count")
        << QByteArray("DBP/1.0 200 OK\r\nCSeq: 4\r\nId: 9") << 0 << 4 << -1 << QByteArray()
        << QByteArray() << QByteArray();
    QTest::newRow("empty") << QByteArray() << -1 << -1 << -1 << QByteArray() << QByteArray()
                           << QByteArray();
}

void TstServerRequest::parse()
{
    QFETCH(QByteArray, message);
    QFETCH(int, kind);
    QFETCH(int, cseq);
    QFETCH(int, id);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, subtype);
    QFETCH(QByteArray, body);

    ZnServerRequest r;
    QCOMPARE(r.parse(message.toStdString()), kind);
    QCOMPARE(r.kind(), kind);
    QCOMPARE(r.cseq(), cseq);
    QCOMPARE(r.id(), id);
    QCOMPARE(QByteArray::fromStdString(r.packetType()), type);
    QCOMPARE(QByteArray::fromStdString(r.packetSubtype()), subtype);
    QCOMPARE(QByteArray::fromStdString(r.body()), body);
    QVERIFY(r.setKey().empty() && r.setBody().empty() && r.deleteType().empty());
}

void TstServerRequest::setAndDelete_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("setKey");
    QTest::addColumn<QByteArray>("setBody");
    QTest::addColumn<QByteArray>("deleteType");
    QTest::addColumn<int>("id");

    QTest::newRow("set with type and subtype")
        << QByteArray("SET DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype:scheme\r\n"
                      "Content-Length:3\r\n\r\n<a>")
        << 3 << QByteArray("SqlConfig_scheme") << QByteArray("<a>") << QByteArray() << -1;
    QTest::newRow("set with type only")
        << QByteArray("SET DBP/1.0\r\nPacket-Type:ServerTime\r\nContent-Length:2\r\n\r\n{}")
        << 3 << QByteArray("ServerTime") << QByteArray("{}") << QByteArray() << -1;
    QTest::newRow("set with an empty subtype joins like a push")
        << QByteArray("SET DBP/1.0\r\nPacket-Type:T\r\nPacket-Subtype:\r\n\r\n") << 3
        << QByteArray("T_") << QByteArray() << QByteArray() << -1;
    QTest::newRow("set without type goes to the set hooks")
        << QByteArray("SET DBP/1.0\r\nContent-Length:9\r\n\r\n<Scheme/>") << 3 << QByteArray()
        << QByteArray("<Scheme/>") << QByteArray() << -1;
    QTest::newRow("delete")
        << QByteArray("DELETE DBP/1.0\r\nPacket-Type:D72\r\nId: 15\r\n\r\n") << 4
        << QByteArray() << QByteArray() << QByteArray("D72") << 15;
    QTest::newRow("delete without type")
        << QByteArray("DELETE DBP/1.0\r\nId:15\r\n\r\n") << 4 << QByteArray() << QByteArray()
        << QByteArray() << 15;
    QTest::newRow("a push fills neither")
        << QByteArray("POST DBP/1.0\r\nPacket-Type:Region\r\nId:2\r\n\r\n") << 2
        << QByteArray() << QByteArray() << QByteArray() << 2;
}

void TstServerRequest::setAndDelete()
{
    QFETCH(QByteArray, message);
    QFETCH(int, kind);
    QFETCH(QByteArray, setKey);
    QFETCH(QByteArray, setBody);
    QFETCH(QByteArray, deleteType);
    QFETCH(int, id);

    ZnServerRequest r;
    QCOMPARE(r.parse(message.toStdString()), kind);
    QCOMPARE(QByteArray::fromStdString(r.setKey()), setKey);
    QCOMPARE(QByteArray::fromStdString(r.setBody()), setBody);
    QCOMPARE(QByteArray::fromStdString(r.deleteType()), deleteType);
    QCOMPARE(r.id(), id);
}

void TstServerRequest::reuseForgetsThePreviousMessage()
{
    ZnServerRequest r;
    r.parse("SET DBP/1.0\r\nCSeq: 3\r\nId: 4\r\nPacket-Type:A\r\nPacket-Subtype:b\r\n"
            "Content-Length:1\r\n\r\nx");
    QCOMPARE(r.contentLength(), 1);
    QCOMPARE(r.postKey(), std::string("A_b"));
    r.parse("DBP/1.0 200 OK\r\n\r\n");
    QCOMPARE(r.kind(), 0);
    QCOMPARE(r.cseq(), -1);
    QCOMPARE(r.id(), -1);
    QCOMPARE(r.contentLength(), 0);
    QVERIFY(r.packetType().empty() && r.packetSubtype().empty() && r.body().empty());
    QVERIFY(r.setKey().empty() && r.setBody().empty());
    QCOMPARE(r.postKey(), std::string("_"));
}

void TstServerRequest::contentLengthOfHeaderBlock_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<long>("length");
    const QByteArray start = "DBP/1.0 200 OK\r\n";
    QTest::newRow("none") << start + "CSeq: 1\r\n\r\n" << true << 0L;
    QTest::newRow("no blank") << start + "Content-Length:12\r\n\r\n" << true << 12L;
    QTest::newRow("blank") << start + "Content-Length: 12\r\n\r\n" << true << 12L;
    QTest::newRow("no number") << start + "Content-Length:\r\n\r\n" << true << 0L;
    QTest::newRow("sign is no digit") << start + "Content-Length:-5\r\n\r\n" << true << 0L;
    QTest::newRow("the cap itself") << start + "Content-Length:67108864\r\n\r\n" << true
                                    << 67108864L;
    QTest::newRow("above the cap") << start + "Content-Length:67108865\r\n\r\n" << false << 0L;
    QTest::newRow("overflowing")
        << start + "Content-Length:184467440737095516161\r\n\r\n" << false << 0L;
    QTest::newRow("later one wins") << start + "Content-Length:1\r\nContent-Length:2\r\n\r\n"
                                    << true << 2L;
    QTest::newRow("any bad one spoils")
        << start + "Content-Length:99999999999\r\nContent-Length:2\r\n\r\n" << false << 0L;
    QTest::newRow("start line is not a header") << QByteArray("Content-Length:5\r\n\r\n")
                                                << true << 0L;
}

void TstServerRequest::contentLengthOfHeaderBlock()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, ok);
    QFETCH(long, length);
    long got = -7;
    QCOMPARE(ZnServerRequest::contentLengthOf(block.toStdString(), &got), ok);
    if (ok)
        QCOMPARE(got, length);
}

QTEST_GUILESS_MAIN(TstServerRequest)
#include "tst_serverrequest.moc"
