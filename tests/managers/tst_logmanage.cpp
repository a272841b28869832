#include "ZnLogManage.h"
#include "ZnLogRecord.h"

#include <QtTest>

#include <random>
#include <string>
#include <vector>

namespace {
struct Event
{
    int kind;
    int count;
    std::vector<ZnLogRecord> rows;
};
std::vector<Event> g_events;

int onLog(int kind, void* data, int, int)
{
    Event e{kind, -1, {}};
    if (kind % 2 == 0)
        e.count = *static_cast<int*>(data);
    else
        e.rows = *static_cast<std::vector<ZnLogRecord>*>(data);
    g_events.push_back(e);
    return 0;
}

const char* const kTalkPage =
    "[{\"id\":\"12\",\"begin_time\":\"2026-05-01 08:00:00\",\"end_time\":\"2026-05-01 08:01:10\","
    "\"callerId\":\"101\",\"calledId\":\"202\",\"callerName\":\"一号楼\",\"calledName\":\"值班室\","
    "\"type\":\"对讲\",\"source_name\":\"话筒\",\"recordfile\":\"rec/12.mp3\"},"
    "{\"id\":11,\"callerName\":\"二号楼\"}]";
} // namespace

class TestLogManage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_events.clear();
        m_log.setCallback(onLog);
    }

    void countsAnnounceEvenUnreadableAnswers()
    {
        m_log.onResponse(131, "[{\"count(*)\":\"250\"}]");
        m_log.onResponse(127, "[{\"count(*)\":17}]");
        m_log.onResponse(129, "not json");
        m_log.onResponse(133, "[]");
        m_log.onResponse(133, "[{\"other\":\"5\"}]");
        QCOMPARE(int(g_events.size()), 5);
        QCOMPARE(g_events[0].kind, 4);
        QCOMPARE(g_events[0].count, 250);
        QCOMPARE(g_events[1].kind, 0);
        QCOMPARE(g_events[1].count, 17);
        for (int i = 2; i < 5; ++i)
            QCOMPARE(g_events[i].count, 0);
        QCOMPARE(g_events[2].kind, 2);
        QCOMPARE(g_events[3].kind, 6);
    }

    void talkPagesFillTheTalkFields()
    {
        m_log.onResponse(130, kTalkPage);
        m_log.onResponse(134, kTalkPage);
        QCOMPARE(int(g_events.size()), 2);
        QCOMPARE(g_events[0].kind, 3);
        QCOMPARE(g_events[1].kind, 7);
        const std::vector<ZnLogRecord>& rows = g_events[1].rows;
        QCOMPARE(int(rows.size()), 2);
        const ZnLogRecord& r = rows[0];
        QCOMPARE(r.id, 12);
        QCOMPARE(r.date, std::string("2026-05-01 08:00:00"));
        QCOMPARE(r.endTime, std::string("2026-05-01 08:01:10"));
        QCOMPARE(r.callerId, 101);
        QCOMPARE(r.calledId, 202);
        QCOMPARE(r.callerName, std::string("一号楼"));
        QCOMPARE(r.calledName, std::string("值班室"));
        QCOMPARE(r.type, std::string("对讲"));
        QCOMPARE(r.action, std::string("话筒"));
        QCOMPARE(r.recordFile, std::string("rec/12.mp3"));
        // Missing keys read as 0 and empty.
        QCOMPARE(rows[1].id, 11);
        QCOMPARE(rows[1].callerName, std::string("二号楼"));
        QCOMPARE(rows[1].calledId, 0);
        QVERIFY(rows[1].date.empty() && rows[1].recordFile.empty());
    }

    void terminalAndUserPagesUseTheirOwnKeys()
    {
        m_log.onResponse(132, "[{\"id\":\"9\",\"date\":\"d\",\"terminalId\":\"31\",\"name\":\"广播终端\","
                              "\"type\":\"IP\",\"ip\":\"10.0.0.31\",\"action\":\"上线\"}]");
        m_log.onResponse(128, "[{\"id\":\"4\",\"date\":\"d2\",\"content\":\"登录\",\"ip\":\"10.0.0.2\","
                              "\"name\":\"admin\",\"action\":\"ignored\"}]");
        QCOMPARE(int(g_events.size()), 2);
        const ZnLogRecord& t = g_events[0].rows.at(0);
        QCOMPARE(g_events[0].kind, 5);
        QCOMPARE(t.id, 9);
        QCOMPARE(t.terminalId, 31);
        QCOMPARE(t.name, std::string("广播终端"));
        QCOMPARE(t.type, std::string("IP"));
        QCOMPARE(t.ip, std::string("10.0.0.31"));
        QCOMPARE(t.action, std::string("上线"));
        QCOMPARE(t.date, std::string("d"));
        const ZnLogRecord& u = g_events[1].rows.at(0);
        QCOMPARE(g_events[1].kind, 1);
        QCOMPARE(u.id, 4);
        QCOMPARE(u.action, std::string("登录"));
        QCOMPARE(u.name, std::string("admin"));
        QCOMPARE(u.ip, std::string("10.0.0.2"));
        QCOMPARE(u.date, std::string("d2"));
        QVERIFY(u.type.empty());
    }

    void emptyOrBadPagesAnnounceNothing()
    {
        m_log.onResponse(130, "[]");
        m_log.onResponse(130, "{\"id\":\"1\"}");
        m_log.onResponse(132, "garbage");
        m_log.onResponse(128, "[1, \"two\", null, [3]]");
        m_log.onResponse(126, kTalkPage);
        m_log.onResponse(135, kTalkPage);
        QVERIFY(g_events.empty());

        // Elements that are no rows are dropped, the rows beside them kept.
        m_log.onResponse(130, "[7, {\"id\":\"5\"}, \"x\"]");
        QCOMPARE(int(g_events.size()), 1);
        QCOMPARE(int(g_events[0].rows.size()), 1);
        QCOMPARE(g_events[0].rows[0].id, 5);
    }

    void hostileBodiesAreSurvived()
    {
        // Deep nesting makes the JSON reader throw; the answer is merely unreadable.
        const std::string deep(100000, '[');
        m_log.onResponse(130, deep);
        m_log.onResponse(129, deep);
        QCOMPARE(int(g_events.size()), 1);
        QCOMPARE(g_events[0].count, 0);

        // Every cut and many mutations of valid answers, for every log type.
        const std::string count = "[{\"count(*)\":\"250\"}]";
        std::mt19937 rng(20261206);
        for (int type = 127; type <= 134; ++type) {
            const std::string valid = type % 2 ? count : std::string(kTalkPage);
            for (size_t n = 0; n <= valid.size(); ++n)
                m_log.onResponse(type, valid.substr(0, n));
            for (int i = 0; i < 300; ++i) {
                std::string body = valid;
                for (int flips = 0; flips < 4; ++flips)
                    body[rng() % body.size()] = static_cast<char>(rng() % 256);
                m_log.onResponse(type, body);
            }
        }
    }

private:
    ZnLogManage m_log;
};

QTEST_GUILESS_MAIN(TestLogManage)
#include "tst_logmanage.moc"
