#include "ZnCommandRequest.h"

#include <QtTest>

#include <functional>
#include <string>

Q_DECLARE_METATYPE(std::string)

using Build = std::function<std::string(ZnCommandRequest &)>;
Q_DECLARE_METATYPE(Build)

class TstCommandRequest : public QObject
{
    Q_OBJECT

private slots:
    void golden_data();
    void golden();
    void buildsDoNotLeakIntoEachOther();
};

void TstCommandRequest::golden_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<std::string>("expected");

    const char *sql = "select terminalId,type,status,work,name,ip,ver from d82";
    QTest::newRow("sql config")
        << Build([sql](ZnCommandRequest &r) { return r.buildSqlConfig(12, "D82List", sql); })
        << std::string("GET DBP/1.0\r\nCSeq: 12\r\nPacket-Type:SqlConfig\r\n"
                       "Packet-Subtype: D82List\r\nContent-Length:55\r\n\r\n"
                       "select terminalId,type,status,work,name,ip,ver from d82");
    QTest::newRow("get data")
        << Build([](ZnCommandRequest &r) { return r.buildGetData(12, "D82", 5); })
        << std::string("GET DBP/1.0\r\nCSeq: 12\r\nData: D82\r\nId: 5\r\n\r\n");
    QTest::newRow("login")
        << Build([](ZnCommandRequest &r) {
               return r.buildLogin(1, "TalkManagerLogin", "{\"Name\":\"a\"}\n");
           })
        << std::string("LOGIN DBP/1.0\r\nCSeq: 1\r\nPacket-Type:TalkManagerLogin\r\n"
                       "Content-Length:13\r\n\r\n{\"Name\":\"a\"}\n");
    QTest::newRow("get repeats the type as subtype")
        << Build([](ZnCommandRequest &r) { return r.buildGet(3, "SqlLog", "select 1"); })
        << std::string("GET DBP/1.0\r\nCSeq: 3\r\nPacket-Type:SqlLog\r\n"
                       "Packet-Subtype: SqlLog\r\nContent-Length:8\r\n\r\nselect 1");
    QTest::newRow("post")
        << Build([](ZnCommandRequest &r) {
               return r.buildPost(-4, std::string("AddRegion"), std::string("{}\n"));
           })
        << std::string("POST DBP/1.0\r\nCSeq: -4\r\nPacket-Type:AddRegion\r\n"
                       "Content-Length:3\r\n\r\n{}\n");
    QTest::newRow("post from C text")
        << Build([](ZnCommandRequest &r) { return r.buildPostC(7, "ModUser", "<User/>"); })
        << std::string("POST DBP/1.0\r\nCSeq: 7\r\nPacket-Type:ModUser\r\n"
                       "Content-Length:7\r\n\r\n<User/>");
    QTest::newRow("play term config: Command before CSeq")
        << Build([](ZnCommandRequest &r) { return r.buildPlayTermConfig(9, 101, 70, 55, 30); })
        << std::string("SET DBP/1.0\r\nCommand: PlayTermConfig\r\nCSeq: 9\r\nId: 101\r\n"
                       "Type: IP\r\nWarnTempThreshold: 70\r\nFanTempThreshold: 55\r\n"
                       "MaxVol: 30\r\n\r\n");
    QTest::newRow("empty body keeps Content-Length:0")
        << Build([](ZnCommandRequest &r) { return r.buildSqlConfig(1, "X", ""); })
        << std::string("GET DBP/1.0\r\nCSeq: 1\r\nPacket-Type:SqlConfig\r\n"
                       "Packet-Subtype: X\r\nContent-Length:0\r\n\r\n");
    QTest::newRow("null body counts as empty")
        << Build([](ZnCommandRequest &r) { return r.buildGet(1, "T", nullptr); })
        << std::string("GET DBP/1.0\r\nCSeq: 1\r\nPacket-Type:T\r\n"
                       "Packet-Subtype: T\r\nContent-Length:0\r\n\r\n");
    QTest::newRow("CR LF in body is sent and counted")
        << Build([](ZnCommandRequest &r) { return r.buildPostC(2, "P", "a\r\n\r\nb"); })
        << std::string("POST DBP/1.0\r\nCSeq: 2\r\nPacket-Type:P\r\n"
                       "Content-Length:6\r\n\r\na\r\n\r\nb");
    // "名字" is six bytes of UTF-8: the count is bytes, not characters.
    QTest::newRow("multi-byte UTF-8 body")
        << Build([](ZnCommandRequest &r) {
               return r.buildPostC(2, "P", "{\"name\":\"\xe5\x90\x8d\xe5\xad\x97\"}");
           })
        << std::string("POST DBP/1.0\r\nCSeq: 2\r\nPacket-Type:P\r\n"
                       "Content-Length:17\r\n\r\n{\"name\":\"\xe5\x90\x8d\xe5\xad\x97\"}");
    // A byte string may hold NUL bytes; they are part of the body and of its length.
    QTest::newRow("byte-string body with NUL")
        << Build([](ZnCommandRequest &r) {
               return r.buildPost(2, std::string("P"), std::string("a\0b", 3));
           })
        << std::string("POST DBP/1.0\r\nCSeq: 2\r\nPacket-Type:P\r\n"
                       "Content-Length:3\r\n\r\n") + std::string("a\0b", 3);
}

void TstCommandRequest::golden()
{
    QFETCH(Build, build);
    QFETCH(std::string, expected);
    ZnCommandRequest r;
    const std::string text = build(r);
    QCOMPARE(QByteArray::fromStdString(text), QByteArray::fromStdString(expected));
    QCOMPARE(r.request(), text);
}

void TstCommandRequest::buildsDoNotLeakIntoEachOther()
{
    ZnCommandRequest r;
    r.buildSqlConfig(1, "LongSubtypeName", "select a very long statement from somewhere");
    const std::string second = r.buildGetData(2, "Mic", 3);
    QCOMPARE(QByteArray::fromStdString(second),
             QByteArray("GET DBP/1.0\r\nCSeq: 2\r\nData: Mic\r\nId: 3\r\n\r\n"));
}

QTEST_GUILESS_MAIN(TstCommandRequest)
#include "tst_commandrequest.moc"
