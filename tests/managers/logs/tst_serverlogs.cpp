// The service-log and server-configuration models against the simulated server:
// counts and pages of the three logs, the talk-log server, refusals. Parameters,
// backup and restore are driven through the settings page (tests/logs).
#include "../consoles/ModelSim.h"
#include "ZnLogRecord.h"
#include "ZnServerConfigMgr.h"
#include "ZnServerParam.h"
#include "ZnServiceLogMgr.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QtTest>

namespace {
Json::Value row(const std::string& id, const char* key, const std::string& value)
{
    Json::Value r(Json::objectValue);
    r["id"] = id;
    r[key] = value;
    return r;
}

std::vector<int> countDown(int from, int n)
{
    std::vector<int> ids;
    for (int i = 0; i < n; ++i)
        ids.push_back(from - i);
    return ids;
}

ZnServiceLogMgr* logs()
{
    return ZnServiceLogMgr::instance();
}
ZnServerConfigMgr* config()
{
    return ZnServerConfigMgr::instance();
}
const auto kId = &ZnLogRecord::id;
} // namespace

class TstServerLogs : public QObject
{
    Q_OBJECT
    SimSession m_s;
    std::string lastStatement() const { return m_s.requests("GET SqlLog/SqlLog").back().body; }

private slots:
    void initTestCase()
    {
        m_s.sim.withData([](ZnSimData& data) {
            for (const char* table : {"terminallog", "talklog", "userlog"})
                data.table(table).clear();
            for (int i = 1; i <= 250; ++i)
                data.addRow("terminallog", row(std::to_string(i), "name", "终端" + std::to_string(i)));
            for (int i = 1; i <= 120; ++i)
                data.addRow("talklog", row(std::to_string(i), "recordfile", "/record/" + std::to_string(i) + ".mp3"));
            for (int i = 1; i <= 7; ++i)
                data.addRow("userlog", row(std::to_string(i), "content", "登录"));
        });
        QVERIFY(startModels(m_s));
    }
    void cleanup() { m_s.sim.clearRules(); }

    void countsOfEveryLog()
    {
        SignalNotes counts;
        counts.watch(logs(), &ZnServiceLogMgr::gotTermLogSize, QStringLiteral("term"));
        counts.watch(logs(), &ZnServiceLogMgr::gotUserLogSize, QStringLiteral("user"));
        counts.watch(logs(), &ZnServiceLogMgr::gotTalkLogSize, QStringLiteral("talk"));
        counts.watch(logs(), &ZnServiceLogMgr::gotTalkRecordSize, QStringLiteral("record"));
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogCount, 0), 0);
        QCOMPARE(lastStatement(), std::string("select count(*) from terminallog;"));
        for (int kind :
             {ZnServiceLogMgr::UserLogCount, ZnServiceLogMgr::TalkLogCount, ZnServiceLogMgr::TalkRecordCount})
            QCOMPARE(logs()->requestLogs(kind, 0), 0);
        QCOMPARE(counts.notes, (QStringList{QStringLiteral("term(250)"), QStringLiteral("user(7)"),
                                            QStringLiteral("talk(120)"), QStringLiteral("record(120)")}));
        QCOMPARE(logs()->requestLogs(8, 0), -1);
        QCOMPARE(logs()->requestLogs(-1, 0), -1);
    }

    void pagesNewestFirst()
    {
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogPage, 200), 0);
        QCOMPARE(lastStatement(), std::string("select * from terminallog order by id DESC limit 200, 100"));
        QCOMPARE(idsOf(logs()->termLogs(), kId), countDown(50, 50));
        QCOMPARE(logs()->termLogs()[1].name, std::string("终端49"));

        // The talk log and the records come from one table but are kept apart.
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TalkLogPage, 0), 0);
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TalkRecordPage, 100), 0);
        QCOMPARE(idsOf(logs()->talkLogs(), kId), countDown(120, 100));
        QCOMPARE(idsOf(logs()->talkRecords(), kId), countDown(20, 20));
        ZnLogRecord r;
        QVERIFY(logs()->findTalkRecord(7, r));
        QCOMPARE(r.recordFile, std::string("/record/7.mp3"));
        QVERIFY(!logs()->findTalkRecord(110, r)); // only the records' page is searched

        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::UserLogPage, 0), 0);
        QCOMPARE(idsOf(logs()->userLogs(), kId), countDown(7, 7));
    }

    void pagesPastTheEndBeforeTheStartOrRefused()
    {
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogPage, 0), 0);
        QSignalSpy got(logs(), SIGNAL(gotTermLogList()));
        // Past the end: the server answers an empty array; the page stays, nothing is said.
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogPage, 300), 0);
        QCOMPARE(got.count(), 0);
        QCOMPARE(logs()->termLogs().size(), size_t(100));
        // Before the start: an empty page, and no statement with a negative offset.
        const int sent = m_s.sim.count("GET SqlLog");
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogPage, -100), 0);
        QCOMPARE(m_s.sim.count("GET SqlLog"), sent);
        QCOMPARE(got.count(), 1);
        QVERIFY(logs()->termLogs().empty());
        // A refused page keeps the one shown.
        QSignalSpy users(logs(), SIGNAL(gotUserLogList()));
        m_s.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Fail, "no database", 0, 1));
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::UserLogPage, 0), 1);
        QCOMPARE(users.count(), 0);
        QCOMPARE(logs()->userLogs().size(), size_t(7));
    }

    // A grown log's ids pass 2^31: a page keeps each row's own id (a recording is
    // found again by it), and a count or an offset past int goes and comes whole.
    void widthsPast2To31_data()
    {
        QTest::addColumn<int>("countKind");
        QTest::addColumn<QString>("table");
        QTest::newRow("user") << int(ZnServiceLogMgr::UserLogCount) << "userlog";
        QTest::newRow("talk") << int(ZnServiceLogMgr::TalkLogCount) << "talklog";
        QTest::newRow("terminal") << int(ZnServiceLogMgr::TermLogCount) << "terminallog";
        QTest::newRow("records") << int(ZnServiceLogMgr::TalkRecordCount) << "talklog";
    }
    void widthsPast2To31()
    {
        QFETCH(int, countKind);
        QFETCH(QString, table);
        const std::vector<int64_t> wide{3000000001, 3000000000, 2147483648, 2147483647};
        const std::string name = table.toStdString();
        m_s.sim.withData([&](ZnSimData& data) {
            for (int64_t id : wide)
                data.addRow(name, row(std::to_string(id), "recordfile", "/record/" + std::to_string(id) + ".mp3"));
        });
        const auto restore = qScopeGuard([&] {
            m_s.sim.withData([&](ZnSimData& data) {
                auto& rows = data.table(name);
                rows.erase(std::remove_if(rows.begin(), rows.end(),
                                          [](const Json::Value& r) { return r["id"].asString().size() >= 10; }),
                           rows.end());
            });
        });
        using List = std::vector<ZnLogRecord> (ZnServiceLogMgr::*)() const;
        const List lists[] = {&ZnServiceLogMgr::userLogs, &ZnServiceLogMgr::talkLogs, &ZnServiceLogMgr::termLogs,
                              &ZnServiceLogMgr::talkRecords};
        QCOMPARE(logs()->requestLogs(countKind + 1, 0), 0);
        std::vector<int64_t> ids;
        for (const ZnLogRecord& r : (logs()->*lists[countKind / 2])())
            ids.push_back(r.id);
        ids.resize(wide.size());
        QCOMPARE(ids, wide);
        if (countKind == ZnServiceLogMgr::TalkRecordCount) {
            ZnLogRecord r;
            QVERIFY(logs()->findTalkRecord(wide[1], r));
            QCOMPARE(r.recordFile, std::string("/record/3000000000.mp3"));
        }

        SignalNotes counts;
        int n = 0;
        for (auto size : {&ZnServiceLogMgr::gotUserLogSize, &ZnServiceLogMgr::gotTalkLogSize,
                          &ZnServiceLogMgr::gotTermLogSize, &ZnServiceLogMgr::gotTalkRecordSize})
            counts.watch(logs(), size, QString::number(n++));
        m_s.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Reply, "[{\"count(*)\":3000000002}]", 0, 1));
        QCOMPARE(logs()->requestLogs(countKind, 0), 0);
        QCOMPARE(counts.notes, QStringList{QStringLiteral("%1(3000000002)").arg(countKind / 2)});
        QCOMPARE(logs()->requestLogs(countKind + 1, wide[1]), 0);
        QVERIFY2(lastStatement().find(" limit 3000000000, 100") != std::string::npos, lastStatement().c_str());
    }

    // Ids and counts read as the leading digits of their text or number, 64 bits
    // wide, clamped at either end; no digits read as 0.
    void wideNumbers_data()
    {
        QTest::addColumn<QString>("value"); // as the answer carries it
        QTest::addColumn<qint64>("read");
        QTest::newRow("text past int") << R"("3000000001")" << qint64(3000000001);
        QTest::newRow("number past int") << "3000000000" << qint64(3000000000);
        QTest::newRow("text with blanks, a sign and letters") << R"("  +42abc")" << qint64(42);
        QTest::newRow("largest") << "9223372036854775807" << std::numeric_limits<qint64>::max();
        QTest::newRow("text past 64 bits") << R"("99999999999999999999")" << std::numeric_limits<qint64>::max();
        QTest::newRow("number past 64 bits") << "18446744073709551615" << std::numeric_limits<qint64>::max();
        QTest::newRow("negative past 64 bits") << R"("-9223372036854775809")" << std::numeric_limits<qint64>::min();
        QTest::newRow("no digits") << R"("abc")" << qint64(0);
        QTest::newRow("null") << "null" << qint64(0);
    }
    void wideNumbers()
    {
        QFETCH(QString, value);
        QFETCH(qint64, read);
        const std::string v = value.toStdString();
        m_s.sim.addRule(
            ZnSimRule::make("GET SqlLog", ZnSimRule::Reply, R"([{"id":)" + v + R"(,"recordfile":"/r"}])", 0, 1));
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TalkRecordPage, 0), 0);
        QCOMPARE(logs()->talkRecords().size(), size_t(1));
        QCOMPARE(logs()->talkRecords()[0].id, read);
        QSignalSpy count(logs(), &ZnServiceLogMgr::gotTalkRecordSize);
        m_s.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Reply, "[{\"count(*)\":" + v + "}]", 0, 1));
        QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TalkRecordCount, 0), 0);
        QCOMPARE(count.count(), 1);
        QCOMPARE(count.at(0).at(0).toLongLong(), read);
    }

    void talkLogServerDecidesTheRoad_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("number");
        QTest::newRow("no colon") << "192.168.10.4"
                                  << "192.168.10.4" << 0;
        QTest::newRow("not a number") << "10.0.0.1:yes"
                                      << "10.0.0.1" << 0;
        QTest::newRow("empty host") << ":2"
                                    << "" << 2;
        QTest::newRow("extra part") << "10.0.0.1:3:9"
                                    << "10.0.0.1" << 3;
    }
    void talkLogServerDecidesTheRoad()
    {
        QFETCH(QString, value);
        QFETCH(QString, host);
        QCOMPARE(config()->setParameter(value.toStdString(), 179), 0);
        QCOMPARE(lastBody(m_s, "POST SystemParameter")["Name"].asString(), std::string("Talk_Log_Server"));
        std::string got = "stale";
        QTEST(config()->requestLogServer(got), "number");
        QCOMPARE(QString::fromStdString(got), host);
        QCOMPARE(QString::fromStdString(config()->logHost()), host);
        QCOMPARE(m_s.requests("GET SqlConfig/TbLogServer").back().body,
                 std::string("select value from parameter where name = 'Talk_Log_Server'"));
    }

    void settingsRefusedOrOutOfRange()
    {
        QCOMPARE(config()->setParameter("10.9.9.9:1", 179), 0);
        std::string host;
        QCOMPARE(config()->requestLogServer(host), 1);
        QCOMPARE(config()->requestSystemParameter(), 0);
        const size_t params = config()->serverList().size();
        m_s.sim.addRule(ZnSimRule::make("GET SqlConfig", ZnSimRule::Fail, "", 0, 2));
        QCOMPARE(config()->requestSystemParameter(), 1);
        QCOMPARE(config()->serverList().size(), params);
        host.clear();
        QCOMPARE(config()->requestLogServer(host), 1);
        QCOMPARE(host, std::string("10.9.9.9"));
        QCOMPARE(config()->setParameter("x", 175), -1);
        // The administrator's password goes under the administrator's name.
        QCOMPARE(config()->setParameter("n3w-Pass", 180), 0);
        const Json::Value body = lastBody(m_s, "POST ModTalkManagerInfo");
        QCOMPARE(body["Name"].asString(), std::string("admin"));
        QCOMPARE(body["PassWord"].asString(), std::string("n3w-Pass"));
    }
};

QTEST_GUILESS_MAIN(TstServerLogs)
#include "tst_serverlogs.moc"
