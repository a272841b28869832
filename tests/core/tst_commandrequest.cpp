#include "ZnCommandRequest.h"

#include <QtTest>

#include <string>

namespace {
// Every row builds on a request that just built a longer text: nothing of it may leak.
ZnCommandRequest &used()
{
    static ZnCommandRequest r;
    r.buildSqlConfig(1, "LongSubtypeName", "select a very long statement from somewhere far away");
    return r;
}
void row(const char *name, const std::string &built, const QByteArray &expected)
{
    QTest::newRow(name) << QByteArray::fromStdString(built) << expected;
}
}

class TstCommandRequest : public QObject
{
    Q_OBJECT

private slots:
    // Byte-exact for every kind; Content-Length counts bytes, NUL and line ends included.
    void golden_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");
        row("sql config", used().buildSqlConfig(12, "D82List", "select terminalId,type from d82"),
            "GET DBP/1.0\r\nCSeq: 12\r\nPacket-Type:SqlConfig\r\nPacket-Subtype: D82List\r\n"
            "Content-Length:31\r\n\r\nselect terminalId,type from d82");
        row("get data", used().buildGetData(12, "D82", 5), "GET DBP/1.0\r\nCSeq: 12\r\nData: D82\r\nId: 5\r\n\r\n");
        row("login", used().buildLogin(1, "TalkManagerLogin", "{\"Name\":\"a\"}\n"),
            "LOGIN DBP/1.0\r\nCSeq: 1\r\nPacket-Type:TalkManagerLogin\r\nContent-Length:13\r\n\r\n{\"Name\":\"a\"}\n");
        row("get repeats the type as subtype, null body", used().buildGet(3, "SqlLog", nullptr),
            "GET DBP/1.0\r\nCSeq: 3\r\nPacket-Type:SqlLog\r\nPacket-Subtype: SqlLog\r\nContent-Length:0\r\n\r\n");
        row("post with NUL", used().buildPost(-4, "AddRegion", std::string("a\0b", 3)),
            QByteArray("POST DBP/1.0\r\nCSeq: -4\r\nPacket-Type:AddRegion\r\nContent-Length:3\r\n\r\na") + '\0' + 'b');
        // "名字" is six bytes of UTF-8.
        row("C text with UTF-8 and line ends", used().buildPostC(2, "P", "a\r\n\r\n\xe5\x90\x8d\xe5\xad\x97"),
            "POST DBP/1.0\r\nCSeq: 2\r\nPacket-Type:P\r\nContent-Length:11\r\n\r\na\r\n\r\n\xe5\x90\x8d\xe5\xad\x97");
        row("play term config: Command before CSeq", used().buildPlayTermConfig(9, 101, 70, 55, 30),
            "SET DBP/1.0\r\nCommand: PlayTermConfig\r\nCSeq: 9\r\nId: 101\r\nType: IP\r\n"
            "WarnTempThreshold: 70\r\nFanTempThreshold: 55\r\nMaxVol: 30\r\n\r\n");
    }
    void golden()
    {
        QFETCH(QByteArray, built);
        QTEST(built, "expected");
    }
};

QTEST_GUILESS_MAIN(TstCommandRequest)
#include "tst_commandrequest.moc"
