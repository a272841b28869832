// The DBP/1.0 pieces: requests as sent, messages framed and parsed as received,
// the reply classifier, the manager frame and the login digest.
#include "ZnBaseMgr.h"
#include "ZnCommandRequest.h"
#include "ZnDigest.h"
#include "ZnMessageFramer.h"
#include "ZnMsgCheck.h"
#include "ZnServerRequest.h"

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

std::vector<int> g_callbackIds;

class FakeMgr : public ZnBaseMgr
{
public:
    void onResponse(int, const std::string &) override {}
    bool onSet(const std::string &body) override
    {
        setBodies.push_back(body);
        return takeSet;
    }
    void onDeleted(int id) override { deleted.push_back(id); }

    bool takeSet = false;
    std::vector<std::string> setBodies;
    std::vector<int> deleted;
};
}

class TstProtocol : public QObject
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
        row("a name inside a line is no header", "DBP/1.0 200 OK\r\nX-CSeq: 5\r\nMy-Id: 6\r\n\r\n", "0|-1|-1|||||");
        // Operator-entered names travel in bodies; they must not look like protocol.
        row("protocol text in the body",
            "POST DBP/1.0\r\nPacket-Type:A\r\nContent-Length:48\r\n\r\n"
            "DBP/1.0 200 OK\r\nCSeq: 99\r\nId: 3\r\nPacket-Type:B\r\n",
            "2|-1|-1|A||||DBP/1.0 200 OK\r\nCSeq: 99\r\nId: 3\r\nPacket-Type:B\r\n");
        row("SET only as a whole method", "RESET DBP/1.0\r\nCSeq: 1\r\n\r\n", "-1|1|-1|||||");
        row("set with type and subtype",
            "SET DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype:scheme\r\nContent-Length:3\r\n\r\n<a>",
            "3|-1|-1|SqlConfig|scheme|SqlConfig_scheme||<a>");
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

    // A Content-Length is read from the header block only; a bad one, or a header
    // block without end, poisons the stream until a reset, which also drops a half
    // message.
    void headerBlocks_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<long>("length"); // -1: refused
        const QByteArray s = "DBP/1.0 200 OK\r\n";
        QTest::newRow("none") << s + "CSeq: 1\r\n\r\n" << 0L;
        QTest::newRow("no blank") << s + "Content-Length:12\r\n\r\n" << 12L;
        QTest::newRow("negative length refused") << s + "Content-Length:-5\r\n\r\n" << -1L;
        QTest::newRow("length without digits refused") << s + "Content-Length:abc\r\n\r\n" << -1L;
        QTest::newRow("empty length refused") << s + "Content-Length: \r\n\r\n" << -1L;
        QTest::newRow("two lengths that differ refused") << s + "Content-Length:2\r\nContent-Length:67108864\r\n\r\n"
                                                         << -1L;
        QTest::newRow("larger length first refused too")
            << s + "Content-Length:7\r\nCSeq: 1\r\nContent-Length: 3\r\n\r\n"
            << -1L;
        QTest::newRow("the same length twice is one length") << s + "Content-Length:3\r\nContent-Length: 3\r\n\r\n"
                                                             << 3L;
        QTest::newRow("digits end at the first non-digit") << s + "Content-Length:4x\r\n\r\n" << 4L;
        QTest::newRow("at the cap") << s + "Content-Length:67108864\r\n\r\n" << 67108864L;
        QTest::newRow("above the cap") << s + "Content-Length:67108865\r\n\r\n" << -1L;
        QTest::newRow("past 32 bits") << s + "Content-Length:4294967297\r\n\r\n" << -1L;
        QTest::newRow("overflowing") << s + "Content-Length:184467440737095516161\r\n\r\n" << -1L;
        QTest::newRow("any bad one spoils") << s + "Content-Length:99999999999\r\nContent-Length:2\r\n\r\n" << -1L;
        QTest::newRow("start line is not a header") << QByteArray("Content-Length:5\r\n\r\n") << 0L;
        // The empty line is part of the block: a block of exactly the limit is framed.
        QByteArray atLimit = s;
        while (atLimit.size() < int(ZnMessageFramer::kMaxHeaderBlock) - 4)
            atLimit += 'X';
        atLimit += "\r\n\r\n";
        QTest::newRow("header block at the limit") << atLimit << 0L;
        QTest::newRow("header block one byte past the limit") << atLimit.insert(s.size(), 'X') << -1L;
        QByteArray endless = s;
        while (endless.size() <= int(ZnMessageFramer::kMaxHeaderBlock))
            endless += "CSeq: 1\r\n";
        QTest::newRow("endless header block") << endless << -1L;
    }
    void headerBlocks()
    {
        QFETCH(QByteArray, block);
        QFETCH(long, length);
        long got = -7;
        // A block past its size limit is the framer's refusal alone.
        if (block.endsWith("\r\n\r\n") && block.size() <= int(ZnMessageFramer::kMaxHeaderBlock))
            QCOMPARE(ZnServerRequest::contentLengthOf(block.toStdString(), &got) ? got : -1L, length);
        Collector c;
        const std::string stream = block.toStdString() + std::string(std::size_t(std::max(length, 0L)), 'b');
        if (length >= 0) {
            QCOMPARE(c.framer.feed(stream), ZnMessageFramer::Ok);
            QCOMPARE(c.messages, Messages{stream});
            return;
        }
        QCOMPARE(c.framer.feed(stream), ZnMessageFramer::ProtocolError);
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
    // A POST goes to the set hook; only a type equal to the manager's name deletes,
    // the callback after the hook; commands count only up to their count.
    void dispatch()
    {
        FakeMgr m;
        QVERIFY(!m.onPost("SqlConfig_d82", "rows"));
        m.takeSet = true;
        QVERIFY(m.onPost("SqlConfig_d82", "more"));
        QCOMPARE(m.setBodies, (std::vector<std::string>{"rows", "more"}));

        m.setName("D72");
        int id = 0;
        for (const char *type : {"D72", "D7", "D72x", "d72", ""})
            m.onDelete(type, ++id);
        m.setDeleteCallback([](int id) { g_callbackIds.push_back(id); });
        m.onDelete("D72", 6);
        QCOMPARE(m.deleted, (std::vector<int>{1, 6}));
        QCOMPARE(g_callbackIds, std::vector<int>{6});

        static const int types[] = {278, 279, 280};
        m.setCommands(types, 2);
        QCOMPARE(m.isCommandRegistered(279), 0);
        QCOMPARE(m.isCommandRegistered(280), -1);
    }

    void replyType_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("kind");
        const QByteArray decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
        QTest::newRow("user list") << decl + "<UserList><User/></UserList>" << 31;
        QTest::newRow("attributes stop the name") << decl + "<User id=\"3\">x</User>" << 32;
        QTest::newRow("first entry of the table") << decl + "<BroadcastList>" << 0;
        QTest::newRow("one letter more") << decl + "<UserX/>" << 52;
        QTest::newRow("one < only") << QByteArray("<UserList>") << 52;
        QTest::newRow("no declaration: second element") << QByteArray("<A><Level>") << 38;
        QTest::newRow("name up to the end") << decl + "<PlanTask" << 48;
        QTest::newRow("NUL ends the name") << decl + QByteArray("<Task\0List>", 11) << 11;
    }
    void replyType()
    {
        QFETCH(QByteArray, xml);
        QTEST(ZnMsgCheck().replyType(xml.toStdString()), "kind");
    }
    // RFC 2202 vectors, through both the text and the buffer form. The server's scheme
    // refuses keys longer than a block: nothing is written (empty digest).
    void rfc2202_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("digest");
        const QByteArray large = "Test Using Larger Than Block-Size Key - Hash Key First";
        QTest::newRow("2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                           << QByteArray("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
        QTest::newRow("64-byte key is used as it is")
            << QByteArray(64, '\xaa') << large << QByteArray("070a98992c4c1a83474cb780fc564608df3cf503");
        QTest::newRow("80-byte key refused") << QByteArray(80, '\xaa') << large << QByteArray();
    }
    void rfc2202()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, digest);
        QCOMPARE(QByteArray::fromStdString(hmacSha1Hex(data.toStdString(), key.toStdString())), digest);
        QByteArray out(41, 'z');
        const auto bytes = [](const QByteArray &a) { return reinterpret_cast<const unsigned char *>(a.constData()); };
        hmacSha1Hex(bytes(data), std::size_t(data.size()), out.data(), bytes(key), std::size_t(key.size()));
        QCOMPARE(out.left(40), digest.isEmpty() ? QByteArray(40, 'z') : digest);
    }

    void loginBody_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("body");
        // Longer than the 63 characters a fixed digest buffer would have held.
        QTest::newRow("long name and password")
            << QByteArray("a-rather-long-operator-name") << QByteArray("and-an-equally-long-password!")
            << QByteArray("{\"Name\":\"a-rather-long-operator-name\","
                          "\"PassWord\":\"507529c6a75c215bc56709179f9e0ed4ff651fd9\",");
    }
    void loginBody()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, body);
        const std::string text = ::loginBody(name.toStdString(), password.toStdString(), "2026-12-06 20:48:00");
        QCOMPARE(QByteArray::fromStdString(text), body + "\"Time\":\"2026-12-06 20:48:00\"}\n");
    }
};

QTEST_GUILESS_MAIN(TstProtocol)
#include "tst_protocol.moc"
