#include "../consoles/ModelSim.h"
#include "ZnLogRecord.h"
#include "ZnServerConfigMgr.h"
#include "ZnServerParam.h"
#include "ZnServiceLogMgr.h"

#include <QSignalSpy>
#include <QtTest>

// The service-log and server-configuration models against the simulated server:
// counts and pages of the three logs, parameters, the talk-log server, the
// administrator password, backup and restore.
namespace {

Json::Value row(std::initializer_list<std::pair<const char*, std::string>> fields)
{
    Json::Value r(Json::objectValue);
    for (const auto& f : fields)
        r[f.first] = f.second;
    return r;
}

std::vector<int> countDown(int from, int n)
{
    std::vector<int> ids;
    for (int i = 0; i < n; ++i)
        ids.push_back(from - i);
    return ids;
}

std::string valueOf(const std::list<ZnServerParam>& params, int kind)
{
    for (const ZnServerParam& p : params) {
        if (p.kind == kind)
            return p.value;
    }
    return "<none>";
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

private slots:
    void initTestCase();
    void cleanup() { m_s.sim.clearRules(); }

    void countsOfEveryLog();
    void pagesNewestFirst();
    void pagesPastTheEndOrBeforeTheStart();
    void parametersReadAndSet();
    void talkLogServerDecidesTheRoad_data();
    void talkLogServerDecidesTheRoad();
    void backupAndRestore();
    void refusalsChangeNothing();

private:
    std::string lastLogStatement() const { return m_s.requests("GET SqlLog/SqlLog").back().body; }
    SimSession m_s;
};

void TstServerLogs::initTestCase()
{
    m_s.sim.withData([](ZnSimData& data) {
        data.addRow("parameter", row({{"name", "Ftp_Port"}, {"value", "21"}})); // one of no known kind
        for (const char* table : {"terminallog", "talklog", "userlog"})
            data.table(table).clear();
        for (int i = 1; i <= 250; ++i)
            data.addRow("terminallog", row({{"id", std::to_string(i)}, {"name", "终端" + std::to_string(i)}}));
        for (int i = 1; i <= 120; ++i) {
            const std::string id = std::to_string(i);
            data.addRow("talklog",
                        row({{"id", id}, {"calledName", "值班室"}, {"recordfile", "/record/" + id + ".mp3"}}));
        }
        for (int i = 1; i <= 7; ++i)
            data.addRow("userlog", row({{"id", std::to_string(i)}, {"content", "登录"}}));
    });
    QVERIFY(startModels(m_s));
}

void TstServerLogs::countsOfEveryLog()
{
    QSignalSpy user(logs(), SIGNAL(gotUserLogSize(int)));
    QSignalSpy talk(logs(), SIGNAL(gotTalkLogSize(int)));
    QSignalSpy term(logs(), SIGNAL(gotTermLogSize(int)));
    QSignalSpy record(logs(), SIGNAL(gotTalkRecordSize(int)));
    QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogCount, 0), 0);
    QCOMPARE(lastLogStatement(), std::string("select count(*) from terminallog;"));
    for (int kind : {ZnServiceLogMgr::UserLogCount, ZnServiceLogMgr::TalkLogCount, ZnServiceLogMgr::TalkRecordCount})
        QCOMPARE(logs()->requestLogs(kind, 0), 0);
    QCOMPARE((std::vector<int>{term.at(0).at(0).toInt(), user.at(0).at(0).toInt(), talk.at(0).at(0).toInt(),
                               record.at(0).at(0).toInt()}),
             (std::vector<int>{250, 7, 120, 120}));

    QCOMPARE(logs()->requestLogs(8, 0), -1);
    QCOMPARE(logs()->requestLogs(-1, 0), -1);
}

void TstServerLogs::pagesNewestFirst()
{
    QSignalSpy got(logs(), SIGNAL(gotTermLogList()));
    QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogPage, 0), 0);
    QCOMPARE(lastLogStatement(), std::string("select * from terminallog order by id DESC limit 0, 100"));
    QCOMPARE(idsOf(logs()->termLogs(), kId), countDown(250, 100));
    QCOMPARE(logs()->termLogs()[1].name, std::string("终端249"));
    QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TermLogPage, 200), 0);
    QCOMPARE(got.count(), 2);
    QCOMPARE(idsOf(logs()->termLogs(), kId), countDown(50, 50));

    // The talk log and the records come from one table but are kept apart.
    QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TalkLogPage, 0), 0);
    QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::TalkRecordPage, 100), 0);
    QCOMPARE(lastLogStatement(), std::string("select * from talklog order by id DESC limit 100, 100"));
    QCOMPARE(idsOf(logs()->talkLogs(), kId), countDown(120, 100));
    QCOMPARE(idsOf(logs()->talkRecords(), kId), countDown(20, 20));
    ZnLogRecord r;
    QVERIFY(logs()->findTalkRecord(7, r));
    QCOMPARE(r.recordFile, std::string("/record/7.mp3"));
    QCOMPARE(r.calledName, std::string("值班室"));
    QVERIFY(!logs()->findTalkRecord(110, r)); // only the records' page is searched

    // The user-log statement keeps its trailing blank, and its length counts it.
    QCOMPARE(logs()->requestLogs(ZnServiceLogMgr::UserLogPage, 0), 0);
    const ZnSimRequest sent = m_s.requests("GET SqlLog/SqlLog").back();
    QCOMPARE(sent.body, std::string("select * from userlog order by id DESC limit 0, 100 "));
    QVERIFY(sent.raw.find("Content-Length:" + std::to_string(sent.body.size()) + "\r\n") != std::string::npos);
    QCOMPARE(idsOf(logs()->userLogs(), kId), countDown(7, 7));
}

void TstServerLogs::pagesPastTheEndOrBeforeTheStart()
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

void TstServerLogs::parametersReadAndSet()
{
    QSignalSpy got(config(), SIGNAL(gotServerList()));
    QCOMPARE(config()->requestSystemParameter(), 0);
    QCOMPARE(m_s.requests("GET SqlConfig/SystemParameter").back().body, std::string("select * from parameter"));
    std::list<ZnServerParam> params = config()->serverList();
    QCOMPARE(params.size(), size_t(5));
    QCOMPARE(valueOf(params, ZnServerParam::SystemName), std::string("Demo site"));

    // Each change goes under the parameter's own name, as reading them back shows.
    QCOMPARE(config()->setParameter("东区广播", 173), 0);
    QCOMPARE(config()->setNamedParameter("10.0.0.8", 176), 0);
    QCOMPARE(config()->setVadPttTimeout("45"), 0);
    QCOMPARE(got.count(), 1); // a change is not announced; the page reads again
    QCOMPARE(config()->requestSystemParameter(), 0);
    params = config()->serverList();
    QCOMPARE(valueOf(params, ZnServerParam::SystemName), std::string("东区广播"));
    QCOMPARE(valueOf(params, ZnServerParam::RecordServer), std::string("10.0.0.8"));
    QCOMPARE(valueOf(params, ZnServerParam::VadPttTimeout), std::string("45"));
    QCOMPARE(config()->setParameter("x", 175), -1);

    QCOMPARE(config()->setParameter("n3w-Pass", 180), 0);
    const Json::Value body = lastBody(m_s, "POST ModTalkManagerInfo");
    QCOMPARE(body["Name"].asString(), std::string("admin"));
    QCOMPARE(body["PassWord"].asString(), std::string("n3w-Pass"));
}

void TstServerLogs::talkLogServerDecidesTheRoad_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("number");
    QTest::newRow("direct") << "192.168.10.4:1"
                            << "192.168.10.4" << 1;
    QTest::newRow("server road") << "db.local:0"
                                 << "db.local" << 0;
    QTest::newRow("no colon") << "192.168.10.4"
                              << "192.168.10.4" << 0;
    QTest::newRow("not a number") << "10.0.0.1:yes"
                                  << "10.0.0.1" << 0;
    QTest::newRow("empty host") << ":2"
                                << "" << 2;
    QTest::newRow("extra part") << "10.0.0.1:3:9"
                                << "10.0.0.1" << 3;
}

void TstServerLogs::talkLogServerDecidesTheRoad()
{
    QFETCH(QString, value);
    QFETCH(QString, host);
    QFETCH(int, number);
    QCOMPARE(config()->setParameter(value.toStdString(), 179), 0);
    QCOMPARE(lastBody(m_s, "POST SystemParameter")["Name"].asString(), std::string("Talk_Log_Server"));
    std::string got = "stale";
    QCOMPARE(config()->requestLogServer(got), number);
    QCOMPARE(QString::fromStdString(got), host);
    QCOMPARE(QString::fromStdString(config()->logHost()), host);
    QCOMPARE(m_s.requests("GET SqlConfig/TbLogServer").back().body,
             std::string("select value from parameter where name = 'Talk_Log_Server'"));
}

void TstServerLogs::backupAndRestore()
{
    QCOMPARE(config()->setParameter("Before restore", 173), 0);
    QSignalSpy digest(config(), SIGNAL(gotBackupMd5()));
    QSignalSpy list(config(), SIGNAL(gotServerList()));
    QCOMPARE(config()->setParameter("nightly.sql", 181), 0);
    QCOMPARE(lastBody(m_s, "POST DataBackup")["BackupFile"].asString(), std::string("nightly.sql"));
    QCOMPARE(digest.count(), 1);
    QCOMPARE(list.count(), 0);
    const ZnServerParam backup = config()->backupResult();
    QCOMPARE(backup.name, std::string("nightly.sql"));
    QCOMPARE(backup.value.size(), size_t(32));

    QCOMPARE(config()->setParameter("After backup", 173), 0);
    QCOMPARE(config()->recoverData(backup.name, backup.value, 182), 0);
    QCOMPARE(config()->requestSystemParameter(), 0);
    QCOMPARE(valueOf(config()->serverList(), ZnServerParam::SystemName), std::string("Before restore"));
}

void TstServerLogs::refusalsChangeNothing()
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
}

QTEST_GUILESS_MAIN(TstServerLogs)
#include "tst_serverlogs.moc"
