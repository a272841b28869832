#include "../consoles/ModelSim.h"
#include "ZnApi.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskManage.h"

#include <QtTest>

#include <algorithm>

// Sound-source tasks: their texts and rows, then the task model against the
// simulated server.
namespace {

std::vector<int> g_events;
void onEvent(int code, void* data)
{
    g_events.push_back(code == ZnSsTaskManage::ChangedType ? static_cast<ZnSsTask*>(data)->Id : code);
}

ZnSsTaskDataMgr* model()
{
    return ZnSsTaskDataMgr::instance();
}
std::vector<int> taskIds()
{
    return idsOf(model()->taskList(), &ZnSsTask::Id);
}

} // namespace

class TstSsTasks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_log.notes.clear(); }
    void cleanup();
    void textsRoundTrip();
    void rowsListsAndPushes();
    void addAndModifyComeBackAsPushes();
    void deletion_data();
    void deletion();
    void operationOutsideTheTableSendsNothing();
    void rowsWithoutIdLeftOut();

private:
    SimSession m_s;
    SignalNotes m_log;
};

void TstSsTasks::initTestCase()
{
    QVERIFY(startModels(m_s));
    m_log.watch(model(), &ZnSsTaskDataMgr::taskChanged, QStringLiteral("changed"));
    m_log.watch(model(), &ZnSsTaskDataMgr::taskDeleted, QStringLiteral("deleted"));
    m_log.watch(model(), &ZnSsTaskDataMgr::taskDeleteFailed, QStringLiteral("refused"));
}

void TstSsTasks::cleanup()
{
    m_s.sim.clearRules();
    m_s.sim.setPushChanges(false);
}

void TstSsTasks::textsRoundTrip()
{
    // A piece that is not exactly "name#$%seconds" is dropped.
    const std::list<ZnExecTime> times = ZnSsTask::splitExecuteTimes("a#$%28800!!!broken!!!b#$%43200!!!c#$%1#$%2");
    QCOMPARE(ZnSsTask::joinExecuteTimes(times), std::string("a#$%28800!!!b#$%43200"));
    QVERIFY(ZnSsTask::splitExecuteTimes("").empty());
    QCOMPARE(ZnSsTask::splitTerminalIds("  3 x  15 "), (std::list<int32_t>{3, 0, 15}));
    const std::vector<std::string> files{"/media/one.mp3", "/media/两.mp3"};
    QCOMPARE(ZnSsTask::joinPlayList(files), std::string("/media/one.mp3@#$%/media/两.mp3"));
    QCOMPARE(ZnSsTask::splitPlayList(ZnSsTask::joinPlayList(files)), files);
    QVERIFY(ZnSsTask::splitPlayList("").empty());
}

void TstSsTasks::rowsListsAndPushes()
{
    std::list<ZnSsTask> tasks;
    QVERIFY(ZnSsTaskManage::parseRows(R"([{"sourceId":"1","name":"","terminalId":"3 5","timerPlanId":""},
        {"sourceId":2}])",
                                      tasks));
    QCOMPARE(tasks.front().Name, std::string("Task_3 5"));
    QCOMPARE(tasks.front().TimerPlanId, -1);
    QCOMPARE(tasks.back().Id, 2);
    QCOMPARE(tasks.back().Name, std::string("Task_"));
    QVERIFY(!ZnSsTaskManage::parseRows("[{\"sourceId\":", tasks));

    ZnSsTaskManage m;
    m.setCallback(onEvent);
    m.onResponse(247, "[]"); // no tasks: no callback
    m.onResponse(247, "not json");
    m.onResponse(247, R"([{"sourceId":"1"},{"sourceId":"2"}])");
    m.onResponse(248, R"([{"sourceId":"1"}])");
    QVERIFY(!m.onPost("SqlConfig_soundsourc", "[]"));
    QVERIFY(m.onPost("SqlConfig_soundsource", "garbage")); // taken even when it does not parse
    QVERIFY(m.onPost("SqlConfig_soundsource", R"([{"sourceId":"3"},{"sourceId":"4"}])"));
    QCOMPARE(g_events, (std::vector<int>{247, 3, 4}));
}

void TstSsTasks::addAndModifyComeBackAsPushes()
{
    m_s.sim.setPushChanges(true);
    ZnSsTask t;
    t.Id = 4;
    t.Name = "Break";
    t.Week = 0x11;
    t.SourceContent = ZnSsTask::joinPlayList({"/mp3/a.mp3", "/mp3/b.mp3"});
    t.TerminalId = ZnSsTask::joinTerminalIds({10001, 10003});
    t.ExecuteTime = "Ten#$%36000!!!Two#$%50400";
    QCOMPARE(model()->commit(t, ZnSsTask::ActionAdd), 0);
    // Every member goes as text.
    const Json::Value body = lastBody(m_s, "POST SoundSource");
    QCOMPARE(body.size(), 16u);
    for (const std::string& key : body.getMemberNames())
        QVERIFY2(body[key].isString(), key.c_str());
    QVERIFY(SimSession::spinUntil([&] { return m_log.notes.count(QStringLiteral("changed(4)")) == 1; }));

    ZnSsTask back;
    QVERIFY(model()->getTask(4, back));
    QCOMPARE(back.SourceContent, t.SourceContent);
    QCOMPARE(back.terminalIds, (std::list<int32_t>{10001, 10003}));
    QCOMPARE(ZnSsTask::joinExecuteTimes(back.execTimes), t.ExecuteTime);

    back.PlayVol = 33;
    QCOMPARE(model()->commit(back, ZnSsTask::ActionMod), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.notes.count(QStringLiteral("changed(4)")) == 2; }));
    QVERIFY(model()->getTask(4, back));
    QCOMPARE(back.PlayVol, 33);
    QCOMPARE(taskIds(), (std::vector<int>{1, 2, 3, 4}));
}

// The answer's body decides under either status line: a text is a refusal with
// that text and the task stays; no text is a deletion under "200 OK" only.
void TstSsTasks::deletion_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("note");
    const int ok = ZnSimRule::Reply, failed = ZnSimRule::Fail;
    const QString reason = QStringLiteral("任务正在使用");
    QTest::newRow("200 OK with a text: refused with it, kept") << ok << reason << 0 << "refused(任务正在使用)";
    QTest::newRow("200 OK empty: deleted") << ok << "" << 0 << "deleted(4)";
    QTest::newRow("200 OK of blanks only: no text, deleted") << ok << " \t\r\n " << 0 << "deleted(4)";
    QTest::newRow("400 FAILED with a text: refused with it, kept") << failed << reason << 1 << "refused(任务正在使用)";
    QTest::newRow("400 FAILED empty: refused, not deleted") << failed << "" << 1 << "refused()";
    QTest::newRow("400 FAILED of blanks only: refused, kept") << failed << "  " << 1 << "refused(  )";
}

void TstSsTasks::deletion()
{
    QFETCH(int, rule);
    QFETCH(QString, text);
    QFETCH(int, code);
    QFETCH(QString, note);
    // Every row starts from the server's list; a scripted answer changes nothing there.
    QSignalSpy listed(model(), &ZnSsTaskDataMgr::gotTaskList);
    QCOMPARE(apiGetSoundSourceTaskList(m_s.centre.get()), 0);
    QVERIFY(SimSession::spinUntil([&] { return listed.count() == 1; }));
    m_log.notes.clear();
    m_s.sim.addRule(ZnSimRule::make("POST SoundSource", ZnSimRule::Action(rule), text.toStdString(), 0, 1));
    std::vector<int> left = taskIds();
    QVERIFY(std::find(left.begin(), left.end(), 4) != left.end());
    if (note.startsWith(QLatin1String("deleted")))
        left.erase(std::find(left.begin(), left.end(), 4));
    ZnSsTask t;
    QVERIFY(model()->getTask(4, t));
    QCOMPARE(model()->commit(t, ZnSsTask::ActionDel), code);
    QVERIFY(SimSession::spinUntil([&] { return !m_log.notes.isEmpty(); }));
    QCOMPARE(m_log.notes, QStringList{note});
    QCOMPARE(taskIds(), left);
}

void TstSsTasks::operationOutsideTheTableSendsNothing()
{
    const size_t before = m_s.sim.requests().size();
    ZnSsTask t;
    t.Id = 1;
    QCOMPARE(model()->commit(t, 5), -1);
    QCOMPARE(model()->commit(t, -1), -1);
    QCOMPARE(apiSaveSoundSourceTask(m_s.centre.get(), &t, 5), -1);
    QCOMPARE(m_s.sim.requests().size(), before);
}

// Tasks whose "sourceId" is no integer are neither listed nor pushed; the good
// rows beside them are.
void TstSsTasks::rowsWithoutIdLeftOut()
{
    std::vector<Json::Value> kept;
    Json::Value rows(Json::arrayValue);
    for (const char* id : {R"("9")", "{}", "[9]", "null", "true", "1.5", R"("nine")", "", "8"}) {
        Json::Value row(Json::objectValue);
        if (*id)
            Json::Reader().parse(id, row["sourceId"]);
        row["name"] = "ghost";
        rows.append(row);
    }
    m_s.sim.withData([&](ZnSimData& d) {
        kept = d.table("soundsource");
        d.table("soundsource").assign(rows.begin(), rows.end());
    });
    QCOMPARE(apiGetSoundSourceTaskList(m_s.centre.get()), 0);
    QVERIFY(m_s.settle());
    QCOMPARE(taskIds(), (std::vector<int>{9, 8}));

    rows[0]["sourceId"] = "7";
    m_s.sim.pushPost("SqlConfig", "soundsource", Json::FastWriter().write(rows));
    QVERIFY(m_s.settle());
    QCOMPARE(m_log.notes, (QStringList{QStringLiteral("changed(7)"), QStringLiteral("changed(8)")}));
    QCOMPARE(taskIds(), (std::vector<int>{9, 8, 7}));
    m_s.sim.withData([&](ZnSimData& d) { d.table("soundsource") = kept; });
    QCOMPARE(apiGetSoundSourceTaskList(m_s.centre.get()), 0);
    QVERIFY(m_s.settle());
}

QTEST_GUILESS_MAIN(TstSsTasks)
#include "tst_sstasks.moc"
