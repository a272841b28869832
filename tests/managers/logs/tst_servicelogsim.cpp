#include "../SimSession.h"
#include "ServiceHub.h"
#include "ZnLogRecord.h"
#include "ZnServiceLogMgr.h"

#include <QSignalSpy>
#include <QtTest>

#include <json/json.h>

// The service-log model against the simulated server: counts and pages of the
// three logs through "SqlLog" requests.
namespace {

Json::Value row(std::initializer_list<std::pair<const char*, std::string>> fields)
{
    Json::Value r(Json::objectValue);
    for (const auto& f : fields)
        r[f.first] = f.second;
    return r;
}

// The last request the server got under that label.
ZnSimRequest last(const ZnSimServer& sim, const std::string& label)
{
    ZnSimRequest found;
    for (const ZnSimRequest& r : sim.requests()) {
        if (r.label() == label)
            found = r;
    }
    return found;
}

std::vector<int> idsOf(const std::vector<ZnLogRecord>& rows)
{
    std::vector<int> ids;
    for (const ZnLogRecord& r : rows)
        ids.push_back(r.id);
    return ids;
}

std::vector<int> countDown(int from, int n)
{
    std::vector<int> ids;
    for (int i = 0; i < n; ++i)
        ids.push_back(from - i);
    return ids;
}

} // namespace

class TstServiceLogSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { m_session->sim.clearRules(); }

    void countsOfEveryLog();
    void terminalLogPagesNewestFirst();
    void talkLogsAndRecordsAreKeptApart();
    void userLogStatementKeepsItsTrailingBlank();
    void pagesPastTheEndOrBeforeTheStart();
    void refusedRequestsKeepThePage();

private:
    SimSession* m_session = nullptr; // outlives the model, never freed
};

void TstServiceLogSim::initTestCase()
{
    m_session = new SimSession;
    m_session->sim.withData([](ZnSimData& data) {
        data.table("terminallog").clear();
        data.table("talklog").clear();
        data.table("userlog").clear();
        for (int i = 1; i <= 250; ++i) {
            const std::string id = std::to_string(i);
            data.addRow("terminallog", row({{"id", id}, {"date", "2026-02-01 09:00:" + id}, {"terminalId", "10001"},
                                            {"name", "终端" + id}, {"type", "IP"}, {"ip", "10.0.0.2"},
                                            {"action", i % 2 ? "上线" : "下线"}}));
        }
        for (int i = 1; i <= 120; ++i) {
            const std::string id = std::to_string(i);
            data.addRow("talklog", row({{"id", id}, {"begin_time", "b" + id}, {"end_time", "e" + id},
                                        {"callerId", "50001"}, {"calledId", "70001"}, {"callerName", "大门"},
                                        {"calledName", "值班室"}, {"type", "1"}, {"source_name", "呼叫"},
                                        {"recordfile", "/record/call" + id + ".mp3"}}));
        }
        for (int i = 1; i <= 7; ++i)
            data.addRow("userlog", row({{"id", std::to_string(i)}, {"date", "d"}, {"content", "登录"},
                                        {"ip", "10.0.0.9"}, {"name", "admin"}}));
    });
    QVERIFY(m_session->login());
    ServiceHub::create(m_session->centre.get());
}

void TstServiceLogSim::cleanupTestCase()
{
    m_session->centre->stopReceiveThread();
    m_session->sim.stop();
}

void TstServiceLogSim::countsOfEveryLog()
{
    ZnServiceLogMgr* model = ZnServiceLogMgr::instance();
    QSignalSpy user(model, SIGNAL(gotUserLogSize(int)));
    QSignalSpy talk(model, SIGNAL(gotTalkLogSize(int)));
    QSignalSpy term(model, SIGNAL(gotTermLogSize(int)));
    QSignalSpy record(model, SIGNAL(gotTalkRecordSize(int)));

    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TermLogCount, 0), 0);
    QCOMPARE(last(m_session->sim, "GET SqlLog/SqlLog").body, std::string("select count(*) from terminallog;"));
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::UserLogCount, 0), 0);
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TalkLogCount, 0), 0);
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TalkRecordCount, 0), 0);
    QCOMPARE(term.count(), 1);
    QCOMPARE(term.at(0).at(0).toInt(), 250);
    QCOMPARE(user.at(0).at(0).toInt(), 7);
    QCOMPARE(talk.at(0).at(0).toInt(), 120);
    QCOMPARE(record.at(0).at(0).toInt(), 120);

    // An unreadable count answer announces 0.
    m_session->sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Reply, "{broken", 0, 1));
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TermLogCount, 0), 0);
    QCOMPARE(term.count(), 2);
    QCOMPARE(term.at(1).at(0).toInt(), 0);

    QCOMPARE(model->requestLogs(8, 0), -1);
    QCOMPARE(model->requestLogs(-1, 0), -1);
}

void TstServiceLogSim::terminalLogPagesNewestFirst()
{
    ZnServiceLogMgr* model = ZnServiceLogMgr::instance();
    QSignalSpy got(model, SIGNAL(gotTermLogList()));
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TermLogPage, 0), 0);
    const ZnSimRequest sent = last(m_session->sim, "GET SqlLog/SqlLog");
    QCOMPARE(sent.body, std::string("select * from terminallog order by id DESC limit 0, 100"));
    QCOMPARE(got.count(), 1);
    std::vector<ZnLogRecord> rows = model->termLogs();
    QCOMPARE(idsOf(rows), countDown(250, 100));
    QCOMPARE(rows[1].name, std::string("终端249"));

    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TermLogPage, 200), 0);
    QCOMPARE(got.count(), 2);
    QCOMPARE(idsOf(model->termLogs()), countDown(50, 50));
}

void TstServiceLogSim::talkLogsAndRecordsAreKeptApart()
{
    ZnServiceLogMgr* model = ZnServiceLogMgr::instance();
    QSignalSpy logs(model, SIGNAL(gotTalkLogList()));
    QSignalSpy records(model, SIGNAL(gotTalkRecordList()));
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TalkLogPage, 0), 0);
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TalkRecordPage, 100), 0);
    QCOMPARE(last(m_session->sim, "GET SqlLog/SqlLog").body,
             std::string("select * from talklog order by id DESC limit 100, 100"));
    QCOMPARE(logs.count(), 1);
    QCOMPARE(records.count(), 1);
    QCOMPARE(idsOf(model->talkLogs()), countDown(120, 100));
    QCOMPARE(idsOf(model->talkRecords()), countDown(20, 20));

    ZnLogRecord r;
    QVERIFY(model->findTalkRecord(7, r));
    QCOMPARE(r.recordFile, std::string("/record/call7.mp3"));
    QCOMPARE(r.calledName, std::string("值班室"));
    // Only the records' page is searched.
    QVERIFY(!model->findTalkRecord(110, r));
}

void TstServiceLogSim::userLogStatementKeepsItsTrailingBlank()
{
    ZnServiceLogMgr* model = ZnServiceLogMgr::instance();
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::UserLogPage, 0), 0);
    const ZnSimRequest sent = last(m_session->sim, "GET SqlLog/SqlLog");
    QCOMPARE(sent.body, std::string("select * from userlog order by id DESC limit 0, 100 "));
    QVERIFY(sent.raw.find("Content-Length:" + std::to_string(sent.body.size()) + "\r\n") != std::string::npos);
    QCOMPARE(idsOf(model->userLogs()), countDown(7, 7));
}

void TstServiceLogSim::pagesPastTheEndOrBeforeTheStart()
{
    ZnServiceLogMgr* model = ZnServiceLogMgr::instance();
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TermLogPage, 0), 0);
    QSignalSpy got(model, SIGNAL(gotTermLogList()));

    // Past the end: the server answers an empty array; the page stays, nothing is said.
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TermLogPage, 300), 0);
    QCOMPARE(got.count(), 0);
    QCOMPARE(model->termLogs().size(), size_t(100));

    // Before the start: an empty page, and no statement with a negative offset.
    const int sentBefore = m_session->sim.count("GET SqlLog");
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::TermLogPage, -100), 0);
    QCOMPARE(m_session->sim.count("GET SqlLog"), sentBefore);
    QCOMPARE(got.count(), 1);
    QVERIFY(model->termLogs().empty());
}

void TstServiceLogSim::refusedRequestsKeepThePage()
{
    ZnServiceLogMgr* model = ZnServiceLogMgr::instance();
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::UserLogPage, 0), 0);
    QSignalSpy got(model, SIGNAL(gotUserLogList()));
    m_session->sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Fail, "no database", 0, 1));
    QCOMPARE(model->requestLogs(ZnServiceLogMgr::UserLogPage, 0), 1);
    QCOMPARE(got.count(), 0);
    QCOMPARE(model->userLogs().size(), size_t(7));
}

QTEST_GUILESS_MAIN(TstServiceLogSim)
#include "tst_servicelogsim.moc"
