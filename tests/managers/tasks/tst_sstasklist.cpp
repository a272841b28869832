#include "../SignalLog.h"
#include "../SimSession.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnSsTaskDataMgr.h"

#include <QtTest>

#include <vector>

namespace {

ZnSsTaskDataMgr* model()
{
    return ZnSsTaskDataMgr::instance();
}

std::vector<int> taskIds()
{
    std::vector<int> out;
    for (const ZnSsTask& t : model()->taskList())
        out.push_back(t.Id);
    return out;
}

} // namespace

class TstSsTaskList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_session; }
    void init() { m_log.entries.clear(); }
    void cleanup();
    void firstListReadsTheTexts();
    void addAndModifyComeBackAsPushes();
    void startAndStopSendOnlyActionAndId();
    void deletionAnsweredOkRemovesTheTask();
    void deletionRefusedKeepsTheTask_data();
    void deletionRefusedKeepsTheTask();
    void operationOutsideTheTableSendsNothing();

private:
    SimSession* m_session = nullptr;
    SignalLog m_log;
};

void TstSsTaskList::initTestCase()
{
    m_session = new SimSession;
    QVERIFY(m_session->login());
    ServiceHub::create(m_session->centre.get());
    m_log.watch(model(), &ZnSsTaskDataMgr::gotTaskList, "list");
    m_log.watch(model(), &ZnSsTaskDataMgr::taskChanged, "changed");
    m_log.watch(model(), &ZnSsTaskDataMgr::taskDeleted, "deleted");
    m_log.watch(model(), &ZnSsTaskDataMgr::taskDeleteFailed, "refused");
}

void TstSsTaskList::cleanup()
{
    m_session->sim.clearRules();
    m_session->sim.setPushChanges(false);
}

void TstSsTaskList::firstListReadsTheTexts()
{
    QCOMPARE(taskIds(), (std::vector<int>{1, 2, 3}));
    ZnSsTask t;
    QVERIFY(model()->getTask(1, t));
    QCOMPARE(t.terminalIds, (std::list<int32_t>{10001, 10002}));
    QCOMPARE(t.execTimes.size(), size_t(2));
    QCOMPARE(t.execTimes.front().nameText(), std::string("Start"));
    QCOMPARE(t.execTimes.back().seconds, int64_t(43200));
    QVERIFY(model()->getTask(2, t));
    QCOMPARE(t.TimerPlanId, -1);
    QCOMPARE(t.SourceType, int(ZnSsTask::SourceTts));
}

void TstSsTaskList::addAndModifyComeBackAsPushes()
{
    m_session->sim.setPushChanges(true);
    ZnSsTask t;
    t.Id = 4;
    t.Name = "Break";
    t.SourceCategory = ZnSsTask::CategoryTimer;
    t.Week = ZnSsTask::weekWithDay(ZnSsTask::weekWithDay(0, 1, true), 5, true);
    t.SourceContent = ZnSsTask::joinPlayList({"/mp3/a.mp3", "/mp3/b.mp3"});
    t.TerminalId = ZnSsTask::joinTerminalIds({10001, 10003});
    std::list<ZnExecTime> times(2);
    times.front().setName("Ten");
    times.front().seconds = 36000;
    times.back().setName("Two");
    times.back().seconds = 50400;
    t.ExecuteTime = ZnSsTask::joinExecuteTimes(times);
    QCOMPARE(model()->commit(t, ZnSsTask::ActionAdd), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("changed(4)") == 1; }));

    ZnSsTask back;
    QVERIFY(model()->getTask(4, back));
    QCOMPARE(back.Name, std::string("Break"));
    QCOMPARE(back.Week, 0x11);
    QCOMPARE(ZnSsTask::splitPlayList(back.SourceContent), (std::vector<std::string>{"/mp3/a.mp3", "/mp3/b.mp3"}));
    QCOMPARE(back.terminalIds, (std::list<int32_t>{10001, 10003}));
    QCOMPARE(back.execTimes.size(), size_t(2));
    QCOMPARE(back.execTimes.back().nameText(), std::string("Two"));
    QCOMPARE(back.execTimes.back().seconds, int64_t(50400));
    QCOMPARE(int(back.execTimes.back().rule), 2);

    back.PlayVol = 33;
    QCOMPARE(model()->commit(back, ZnSsTask::ActionMod), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("changed(4)") == 2; }));
    QVERIFY(model()->getTask(4, back));
    QCOMPARE(back.PlayVol, 33);
    QCOMPARE(taskIds(), (std::vector<int>{1, 2, 3, 4}));
}

void TstSsTaskList::startAndStopSendOnlyActionAndId()
{
    m_session->sim.setPushChanges(true);
    ZnSsTask t;
    QVERIFY(model()->getTask(2, t));
    QCOMPARE(model()->commit(t, ZnSsTask::ActionStart), 0);
    ZnSimRequest sent = m_session->sim.requests().back();
    QCOMPARE(sent.packetType, std::string("SoundSourceSwitch"));
    QCOMPARE(sent.body, std::string("{\"Action\":\"Start\",\"Id\":\"2\"}\n"));
    QVERIFY(SimSession::spinUntil([&] { return model()->getTask(2, t) && t.state == ZnSsTask::StateRunning; }));
    QCOMPARE(model()->commit(t, ZnSsTask::ActionStop), 0);
    sent = m_session->sim.requests().back();
    QCOMPARE(sent.body, std::string("{\"Action\":\"Stop\",\"Id\":\"2\"}\n"));
    QVERIFY(SimSession::spinUntil([&] { return model()->getTask(2, t) && t.state == ZnSsTask::StateIdle; }));
}

void TstSsTaskList::deletionAnsweredOkRemovesTheTask()
{
    ZnSsTask t;
    QVERIFY(model()->getTask(2, t));
    QCOMPARE(model()->commit(t, ZnSsTask::ActionDel), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("deleted(2)") == 1; }));
    QVERIFY(!model()->getTask(2, t));

    // An OK answer with a body is still a deletion.
    m_session->sim.addRule(ZnSimRule::make("POST SoundSource", ZnSimRule::Reply, "deleted", 0, 1));
    QVERIFY(model()->getTask(4, t));
    QCOMPARE(model()->commit(t, ZnSsTask::ActionDel), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("deleted(4)") == 1; }));
    QVERIFY(m_log.entries.filter("refused").isEmpty());
}

void TstSsTaskList::deletionRefusedKeepsTheTask_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("scripted");
    QTest::addColumn<QString>("reason");
    // Task 3 runs, and the server says so.
    QTest::newRow("running") << 3 << false << "Task 3 is running";
    QTest::newRow("refused without a reason") << 1 << true << "";
    QTest::newRow("refused with a reason") << 1 << true << "任务正在使用";
}

void TstSsTaskList::deletionRefusedKeepsTheTask()
{
    QFETCH(int, id);
    QFETCH(bool, scripted);
    QFETCH(QString, reason);
    if (scripted)
        m_session->sim.addRule(ZnSimRule::make("POST SoundSource", ZnSimRule::Fail, reason.toStdString(), 0, 1));
    const std::vector<int> before = taskIds();
    ZnSsTask t;
    QVERIFY(model()->getTask(id, t));
    QCOMPARE(model()->commit(t, ZnSsTask::ActionDel), 1);
    QVERIFY(SimSession::spinUntil([&] { return !m_log.entries.isEmpty(); }));
    QCOMPARE(m_log.entries, QStringList{"refused(" + reason + ")"});
    QCOMPARE(taskIds(), before);
}

void TstSsTaskList::operationOutsideTheTableSendsNothing()
{
    const size_t before = m_session->sim.requests().size();
    ZnSsTask t;
    t.Id = 1;
    QCOMPARE(model()->commit(t, 5), -1);
    QCOMPARE(model()->commit(t, -1), -1);
    QCOMPARE(apiSaveSoundSourceTask(m_session->centre.get(), &t, 5), -1);
    QCOMPARE(m_session->sim.requests().size(), before);
}

QTEST_GUILESS_MAIN(TstSsTaskList)
#include "tst_sstasklist.moc"
