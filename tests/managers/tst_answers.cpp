// The answers and SETs of users, levels, schemes and broadcasts (XML) and of the
// logs and server settings (JSON rows).
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnLevelManage.h"
#include "ZnLogManage.h"
#include "ZnLogRecord.h"
#include "ZnSchemeManage.h"
#include "ZnServerConfigManage.h"
#include "ZnServerParam.h"
#include "ZnUserManage.h"

#include <QtTest>

namespace {

std::string xml(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body;
}

// What every callback was handed, as text.
std::vector<std::string> gEvents;
void note(const std::string& e)
{
    gEvents.push_back(e);
}
void onUsers(std::list<ZnUser>* users)
{
    note("users " + std::to_string(users->size()));
}

// A user as: id name lv pw assign | terminal ids.
std::string line(const ZnUser& u)
{
    std::string out = std::to_string(u.id) + ' ' + u.name + ' ' + std::to_string(u.lv) + ' ' + u.pw + ' '
                      + std::to_string(u.assign) + " |";
    for (int32_t id : u.terminalIds)
        out += ' ' + std::to_string(id);
    return out;
}

std::string text(const ZnBroadcast& b)
{
    std::string out = std::to_string(b.id) + "|" + b.name + "|" + b.mdir + "|" + std::to_string(b.em) + "|"
                      + std::to_string(b.emv) + "|" + std::to_string(b.elv) + " R";
    for (const auto& r : b.regions)
        out += " " + std::to_string(r.first) + ":" + std::to_string(r.second.regionId);
    out += " E";
    for (int e : b.externalIds)
        out += " " + std::to_string(e);
    out += " F";
    for (const auto& f : b.files)
        out += " " + std::to_string(f.id) + ":" + f.name;
    return out;
}

std::string text(const ZnLogRecord& r)
{
    return std::to_string(r.id) + "|" + r.date + "|" + r.endTime + "|" + std::to_string(r.callerId) + "|"
           + std::to_string(r.calledId) + "|" + r.callerName + "|" + r.calledName + "|" + r.type + "|" + r.action + "|"
           + r.recordFile + "|" + std::to_string(r.terminalId) + "|" + r.name + "|" + r.ip;
}

std::string text(const ZnServerParam& p)
{
    return " [" + std::to_string(p.kind) + "|" + p.name + "|" + p.value + "]";
}

const std::string kBroadcasts =
    xml("<BroadcastList>"
        "<Broadcast id=\"12\" name=\"Morning\" mdir=\"/media/am\" em=\"7\" emv=\"-5\" elv=\"9x\">"
        "<Region><R key=\"2\" id=\"4\"/><R id=\"5\"/><R key=\"3\" id=\"0\"/><!-- note --><R key=\"1\"/></Region>"
        "<External><E id=\"77\"/><E/><E id=\"x\"/></External>"
        "<File><F i=\"1\" n=\"a.mp3\"/>text<F n=\"b.mp3\"/></File>"
        "</Broadcast><Other id=\"13\"/></BroadcastList>");
const std::string kTalkPage =
    "[{\"id\":\"12\",\"begin_time\":\"2026-05-01 08:00:00\",\"end_time\":\"2026-05-01 08:01:10\","
    "\"callerId\":\"101\",\"calledId\":\"202\",\"callerName\":\"一号楼\",\"calledName\":\"值班室\","
    "\"type\":\"对讲\",\"source_name\":\"话筒\",\"recordfile\":\"rec/12.mp3\"},{\"id\":11,\"callerName\":\"二号楼\"}]";
const std::string kTalkRead =
    "7: [12|2026-05-01 08:00:00|2026-05-01 08:01:10|101|202|一号楼|值班室|对讲|话筒|rec/12.mp3|0||]"
    " [11|||0|0|二号楼|||||0||]";
const std::string kDeep(100000, '[');

} // namespace

class TstAnswers : public QObject
{
    Q_OBJECT

    ZnUserManage m_users;
    ZnLevelManage m_levels;
    ZnSchemeManage m_schemes;
    ZnBroadcastManage m_broadcasts;
    ZnLogManage m_log;
    ZnServerConfigManage m_config;

private slots:
    void initTestCase()
    {
        m_users.setCallbacks(onUsers, [](ZnUser* u) { note("user " + line(*u)); });
        m_levels.setCallbacks(
            [](std::list<ZnLevel>* l) {
                note("levels " + std::to_string(l->size()) + (l->empty() ? "" : " " + std::to_string(l->front().type)));
            },
            nullptr, nullptr);
        m_schemes.setCallbacks(
            nullptr, nullptr,
            [](ZnScheme* s, int kind) {
                note("scheme " + std::to_string(s->id) + " " + std::to_string(s->level) + " " + std::to_string(s->type)
                     + " " + std::to_string(kind));
            },
            nullptr);
        m_broadcasts.setCallbacks([](std::list<ZnBroadcast>* l) { note("list " + std::to_string(l->size())); },
                                  [](ZnBroadcast* b) { note("single " + std::to_string(b->id)); },
                                  [](ZnBroadcast* b) { note("pushed " + std::to_string(b->id)); });
        m_log.setCallback([](int kind, void* data, int, int) {
            std::string e = std::to_string(kind) + ":";
            if (kind % 2 == 0)
                e += std::to_string(*static_cast<int64_t*>(data));
            else
                for (const ZnLogRecord& r : *static_cast<std::vector<ZnLogRecord>*>(data))
                    e += " [" + text(r) + "]";
            note(e);
            return 0;
        });
        m_config.setCallback([](int type, void* data) {
            std::string e = std::to_string(type) + ":";
            if (type == ZnServerConfigManage::BackupType)
                e += text(*static_cast<ZnServerParam*>(data));
            else
                for (const ZnServerParam& p : *static_cast<std::list<ZnServerParam>*>(data))
                    e += text(p);
            note(e);
            return 0;
        });
        m_config.setCallback(nullptr); // keeps the one stored
    }
    void init() { gEvents.clear(); }

    void users()
    {
        const std::string list =
            xml("<UserList><User id=\"4\" name=\"operator\" lv=\"250\" fn=\"Op\" pw=\"secret\" m=\"note\">"
                "<TerminalList assign=\"2\"><T id=\"7\"/><T id=\"3\"/><T/><T id=\"7\"/></TerminalList></User>"
                "<!-- a comment between users --><Anything id=\"5\" lv=\"-3\"/>"
                "<User id=\"6\" "
                "name=\"\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98\xe5\x80\xbc\"/>"
                "</UserList>");
        std::unique_ptr<std::list<ZnUser>> users = ZnUserManage::parseUserList(list);
        QVERIFY(users);
        std::vector<std::string> lines;
        for (const ZnUser& u : *users)
            lines.push_back(line(u));
        // A level out of range is clamped; repeated terminals kept once, sorted; 21 bytes
        // of name cut to the six whole characters that fit in 19.
        QCOMPARE(lines, (std::vector<std::string>{
                            "4 operator 100 secret 2 | 3 7", "5  1  0 |",
                            "6 \xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98 1  0 |"}));

        // A SET of a list is taken and not handed on; one of a user is; others are not taken.
        QVERIFY(m_users.onSet(list));
        QVERIFY(m_users.onSet(xml("<User id=\"2\" lv=\"3\"/>")));
        QVERIFY(!m_users.onSet(xml("<Users/>")));
        QCOMPARE(gEvents, std::vector<std::string>{"user 2  3  0 |"});
        // The current user is the manager's own, not the global one.
        m_users.onResponse(ZnUserManage::UserType2, xml("<User id=\"8\"/>"));
        QVERIFY(m_users.currentUser());
        QCOMPARE(m_users.currentUser()->id, 8);
        QCOMPARE(gCurrentUser.id, -1);
    }

    void levels()
    {
        std::unique_ptr<std::list<ZnLevel>> levels = ZnLevelManage::parseLevelList(
            xml("<LevelList><Level id=\"3\" name=\"low\" lv=\"1\" type=\"5\"/>text between"
                "<L id=\"10\" name=\"admin\" lv=\"100\" type=\"5\"/><Level id=\"7\" name=\"mid\"/></LevelList>"));
        QVERIFY(levels);
        QCOMPARE(levels->size(), size_t(3));
        QCOMPARE(levels->back().lv, uint16_t(10));
        QCOMPARE(levels->back().type, uint16_t(1));

        // A SET of a list is handed on, one "Level" taken and dropped; answers only of the
        // list type and only a real list.
        QVERIFY(m_levels.onSet(xml("<LevelList><Level id=\"2\" type=\"4\"/></LevelList>")));
        QVERIFY(m_levels.onSet(xml("<Level id=\"2\"/>")));
        QVERIFY(!m_levels.onSet(xml("<UserList/>")));
        m_levels.onResponse(145, xml("<LevelList/>"));
        m_levels.onResponse(ZnLevelManage::ListType, "<LevelList><Level");
        m_levels.onResponse(ZnLevelManage::ListType, xml("<LevelList/>"));
        QCOMPARE(gEvents, (std::vector<std::string>{"levels 1 4", "levels 0"}));
    }

    void schemeSetKeepsLevelAndType()
    {
        QVERIFY(m_schemes.onPost(ZnSchemeManage::kPostKey, "[{\"timerplanId\":\"4\"}]"));
        QVERIFY(m_schemes.onSet(xml("<Scheme Id=\"4\" Status=\"1\" level=\"8\" type=\"6\" SchemeName=\"A\"/>")));
        QVERIFY(m_schemes.onSet(xml("<Scheme Id=\"5\"/>")));
        QVERIFY(m_schemes.onSet(xml("<Scheme Id=\"4\" type=\"2\"/>")));
        // Broken XML of a scheme kind is taken and dropped.
        QVERIFY(m_schemes.onSet(xml("<Scheme Id=\"5\"")));
        // Plan 5 never had plan 4's level; plan 4 keeps its own level.
        QCOMPARE(gEvents,
                 (std::vector<std::string>{"scheme 4 0 0 0", "scheme 4 8 6 0", "scheme 5 0 0 0", "scheme 4 8 2 0"}));
    }

    void broadcasts()
    {
        std::list<ZnBroadcast> list;
        QVERIFY(ZnBroadcastManage::parseList(kBroadcasts, list));
        // Every child element is a broadcast, whatever its name; regions without an id are dropped.
        QCOMPARE(int(list.size()), 2);
        QCOMPARE(text(list.front()), std::string("12|Morning|/media/am|1|-5|9 R 2:4 0:5 E 77 0 F 1:a.mp3 0:b.mp3"));
        QCOMPARE(text(list.back()), std::string("13|||0|0|0 R E F"));

        for (int type : {95, 96, 97, 98, 99})
            m_broadcasts.onResponse(type, kBroadcasts);
        m_broadcasts.onResponse(95, xml("<BroadcastList/>"));
        m_broadcasts.onResponse(96, xml("<BroadcastList/>"));
        // A SET hands on its first broadcast; a BroadcastList that is not the top is another message.
        QVERIFY(m_broadcasts.onSet(kBroadcasts));
        QVERIFY(!m_broadcasts.onSet(xml("<Broadcast id=\"3\"/>")));
        QVERIFY(!m_broadcasts.onSet(xml("<BroadcastList/>")));
        QVERIFY(!m_broadcasts.onSet(xml("<Wrap><BroadcastList><B id=\"3\"/></BroadcastList></Wrap>")));
        QCOMPARE(gEvents, (std::vector<std::string>{"list 2", "single 12", "single 12", "list 0", "pushed 12"}));
    }

    void malformedXmlIsRefused_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("json") << QByteArray("[{\"id\":\"1\"}]");
        QTest::newRow("other top") << QByteArray::fromStdString(
            xml("<TaskList><User id=\"1\"/><Broadcast id=\"1\"/></TaskList>"));
        for (const std::string top : {"UserList", "LevelList", "BroadcastList"}) {
            const std::string open = "<" + top + ">";
            QTest::newRow((top + " unclosed").c_str()) << QByteArray::fromStdString(xml(open + "<X id=\"1\">"));
            QTest::newRow((top + " mismatched").c_str())
                << QByteArray::fromStdString(xml(open + "<B id=\"1\"></C></" + top + ">"));
            // Deep enough to overflow the receive thread's stack if it were parsed.
            std::string deep = xml(open);
            for (int i = 0; i < 200000; ++i)
                deep += "<a>";
            QTest::newRow((top + " deep").c_str()) << QByteArray::fromStdString(deep);
        }
        QTest::newRow("binary") << QByteArray("<\x01\xff<\xfe>\x00<", 8);
    }
    void malformedXmlIsRefused()
    {
        QFETCH(QByteArray, body);
        const std::string text = body.toStdString();
        QVERIFY(!ZnUserManage::parseUserList(text));
        QVERIFY(!ZnUserManage::parseUser(text));
        QVERIFY(!ZnLevelManage::parseLevelList(text));
        std::list<ZnBroadcast> list;
        QVERIFY(!ZnBroadcastManage::parseList(text, list));
        ZnScheme s;
        QVERIFY(!ZnSchemeManage::parseSet("<Scheme>" + text, s));
        ZnUserManage users;
        users.setCallbacks(onUsers, [](ZnUser*) { note("user"); });
        users.onResponse(ZnUserManage::ListType, text);
        users.onResponse(ZnUserManage::UserType, text);
        QVERIFY(!users.currentUser());
        m_broadcasts.onResponse(95, text);
        m_broadcasts.onResponse(96, text);
        QVERIFY(!m_broadcasts.onSet(text));
        QCOMPARE(gEvents, std::vector<std::string>{});
    }

    void logCountsAndPages()
    {
        // A count is announced even when the answer is unreadable (as 0).
        m_log.onResponse(131, "[{\"count(*)\":\"250\"}]");
        m_log.onResponse(127, "[{\"count(*)\":17}]");
        m_log.onResponse(129, "not json");
        m_log.onResponse(133, "[{\"other\":\"5\"}]");
        m_log.onResponse(129, kDeep); // the reader throws on deep nesting
        // Pages: each kind reads its own keys; missing keys read as 0 and empty.
        m_log.onResponse(134, kTalkPage);
        m_log.onResponse(132, "[{\"id\":\"9\",\"date\":\"d\",\"terminalId\":\"31\",\"name\":\"广播终端\","
                              "\"type\":\"IP\",\"ip\":\"10.0.0.31\",\"action\":\"上线\"}]");
        m_log.onResponse(128, "[{\"id\":\"4\",\"date\":\"d2\",\"content\":\"登录\",\"ip\":\"10.0.0.2\","
                              "\"name\":\"admin\",\"action\":\"ignored\"}]");
        // Elements that are no rows are dropped, the rows beside them kept.
        m_log.onResponse(130, "[7, {\"id\":\"5\"}, \"x\"]");
        // Empty or bad pages and other types announce nothing.
        for (const char* bad : {"[]", "{\"id\":\"1\"}", "garbage", "[1, \"two\", null, [3]]"})
            m_log.onResponse(130, bad);
        m_log.onResponse(126, kTalkPage);
        m_log.onResponse(135, kTalkPage);
        m_log.onResponse(130, kDeep);
        QCOMPARE(gEvents,
                 (std::vector<std::string>{"4:250", "0:17", "2:0", "6:0", "2:0", kTalkRead,
                                           "5: [9|d||0|0|||IP|上线||31|广播终端|10.0.0.31]",
                                           "1: [4|d2||0|0||||登录||0|admin|10.0.0.2]", "3: [5|||0|0||||||0||]"}));
    }

    void serverSettings()
    {
        // Parameter rows get their kinds by the exact name.
        m_config.onResponse(174, "[{\"name\":\"System_Name\",\"value\":\"广播中心\"},"
                                 "{\"name\":\"Record_Server\",\"value\":\"10.0.0.5\"},"
                                 "{\"name\":\"Talk_Log_Server\",\"value\":\"10.0.0.6:1\"},"
                                 "{\"name\":\"Vad_Ptt_Time_Out\",\"value\":30},"
                                 "{\"name\":\"system_name\",\"value\":\"x\"},{\"name\":\"Ftp_Port\"}, 5, \"row\"]");
        // Log server rows carry only the value; a backup gives file and digest.
        m_config.onResponse(178, "[{\"value\":\"192.168.1.9:1\"}]");
        m_config.onResponse(178, "[]");
        m_config.onResponse(181, "{\"BackupFile\":\"backup_20260501.sql\",\"Md5\":\"0123456789abcdef\"}");
        m_config.onResponse(181, "{\"Md5\":\"ab\"}");
        // Other answers and bad bodies announce nothing.
        for (int type : {173, 176, 177, 179, 180, 182, 161, 187, 127})
            m_config.onResponse(type, "[{\"name\":\"System_Name\",\"value\":\"v\"}]");
        for (const char* bad : {"not json", "{\"name\":\"System_Name\"}"})
            m_config.onResponse(174, bad);
        for (const char* bad : {"[\"BackupFile\"]", "{\"BackupFile\":"})
            m_config.onResponse(181, bad);
        m_config.onResponse(178, "");
        m_config.onResponse(174, kDeep);
        m_config.onResponse(181, std::string(100000, '{'));
        const auto p = [](int kind, const char* rest) { return " [" + std::to_string(kind) + "|" + rest + "]"; };
        QCOMPARE(gEvents, (std::vector<std::string>{
                              "174:" + p(ZnServerParam::SystemName, "System_Name|广播中心")
                                  + p(ZnServerParam::RecordServer, "Record_Server|10.0.0.5")
                                  + p(ZnServerParam::TalkLogServer, "Talk_Log_Server|10.0.0.6:1")
                                  + p(ZnServerParam::VadPttTimeout, "Vad_Ptt_Time_Out|30")
                                  + p(ZnServerParam::Other, "system_name|x") + p(ZnServerParam::Other, "Ftp_Port|"),
                              "178:" + p(ZnServerParam::Other, "|192.168.1.9:1"),
                              "178:", "181:" + p(ZnServerParam::Backup, "backup_20260501.sql|0123456789abcdef"),
                              "181:" + p(ZnServerParam::Backup, "|ab")}));
    }
};

QTEST_GUILESS_MAIN(TstAnswers)
#include "tst_answers.moc"
