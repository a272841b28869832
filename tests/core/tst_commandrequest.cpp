#include "ZnCommandRequest.h"

#include <QtTest>

#include <functional>
#include <string>

using Build = std::function<std::string(ZnCommandRequest &)>;
Q_DECLARE_METATYPE(Build)

class TstCommandRequest : public QObject
{
    Q_OBJECT

private slots:
    void golden_data()
    {
        QTest::addColumn<Build>("build");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, Build b, const QByteArray &e) { QTest::newRow(name) << b << e; };

        row(
            "sql config",
            [](ZnCommandRequest &r) { return r.buildSqlConfig(12, "D82List", "select terminalId,type from d82"); },
            "GET DBP/1.0\r\nCSeq: 12\r\nPacket-Type:SqlConfig\r\nPacket-Subtype: D82List\r\n"
            "Content-Length:31\r\n\r\nselect terminalId,type from d82");
        row(
            "get data", [](ZnCommandRequest &r) { return r.buildGetData(12, "D82", 5); },
            "GET DBP/1.0\r\nCSeq: 12\r\nData: D82\r\nId: 5\r\n\r\n");
        row(
            "login", [](ZnCommandRequest &r) { return r.buildLogin(1, "TalkManagerLogin", "{\"Name\":\"a\"}\n"); },
            "LOGIN DBP/1.0\r\nCSeq: 1\r\nPacket-Type:TalkManagerLogin\r\nContent-Length:13\r\n\r\n{\"Name\":\"a\"}\n");
        row(
            "get repeats the type as subtype", [](ZnCommandRequest &r) { return r.buildGet(3, "SqlLog", "select 1"); },
            "GET DBP/1.0\r\nCSeq: 3\r\nPacket-Type:SqlLog\r\nPacket-Subtype: SqlLog\r\nContent-Length:8\r\n\r\nselect "
            "1");
        row(
            "post", [](ZnCommandRequest &r) { return r.buildPost(-4, std::string("AddRegion"), std::string("{}\n")); },
            "POST DBP/1.0\r\nCSeq: -4\r\nPacket-Type:AddRegion\r\nContent-Length:3\r\n\r\n{}\n");
        row(
            "post from C text", [](ZnCommandRequest &r) { return r.buildPostC(7, "ModUser", "<User/>"); },
            "POST DBP/1.0\r\nCSeq: 7\r\nPacket-Type:ModUser\r\nContent-Length:7\r\n\r\n<User/>");
        row(
            "play term config: Command before CSeq",
            [](ZnCommandRequest &r) { return r.buildPlayTermConfig(9, 101, 70, 55, 30); },
            "SET DBP/1.0\r\nCommand: PlayTermConfig\r\nCSeq: 9\r\nId: 101\r\nType: IP\r\n"
            "WarnTempThreshold: 70\r\nFanTempThreshold: 55\r\nMaxVol: 30\r\n\r\n");
        row(
            "empty body keeps Content-Length:0", [](ZnCommandRequest &r) { return r.buildSqlConfig(1, "X", ""); },
            "GET DBP/1.0\r\nCSeq: 1\r\nPacket-Type:SqlConfig\r\nPacket-Subtype: X\r\nContent-Length:0\r\n\r\n");
        row(
            "null body counts as empty", [](ZnCommandRequest &r) { return r.buildGet(1, "T", nullptr); },
            "GET DBP/1.0\r\nCSeq: 1\r\nPacket-Type:T\r\nPacket-Subtype: T\r\nContent-Length:0\r\n\r\n");
        row(
            "CR LF in body is sent and counted", [](ZnCommandRequest &r) { return r.buildPostC(2, "P", "a\r\n\r\nb"); },
            "POST DBP/1.0\r\nCSeq: 2\r\nPacket-Type:P\r\nContent-Length:6\r\n\r\na\r\n\r\nb");
        // "名字" is six bytes of UTF-8: the count is bytes, not characters.
        row(
            "multi-byte UTF-8 body",
            [](ZnCommandRequest &r) { return r.buildPostC(2, "P", "{\"name\":\"\xe5\x90\x8d\xe5\xad\x97\"}"); },
            "POST DBP/1.0\r\nCSeq: "
            "2\r\nPacket-Type:P\r\nContent-Length:17\r\n\r\n{\"name\":\"\xe5\x90\x8d\xe5\xad\x97\"}");
        // NUL bytes are part of the body and of its length.
        row(
            "byte-string body with NUL",
            [](ZnCommandRequest &r) { return r.buildPost(2, std::string("P"), std::string("a\0b", 3)); },
            QByteArray("POST DBP/1.0\r\nCSeq: 2\r\nPacket-Type:P\r\nContent-Length:3\r\n\r\na\0b", 61));
    }

    void golden()
    {
        QFETCH(Build, build);
        QFETCH(QByteArray, expected);
        // A longer request built before must not leak into this one.
        ZnCommandRequest r;
        r.buildSqlConfig(1, "LongSubtypeName", "select a very long statement from somewhere far away");
        const std::string text = build(r);
        QCOMPARE(QByteArray::fromStdString(text), expected);
        QCOMPARE(r.request(), text);
    }
};

QTEST_GUILESS_MAIN(TstCommandRequest)
#include "tst_commandrequest.moc"
