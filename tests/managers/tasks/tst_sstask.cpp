#include "ZnSsTask.h"
#include "ZnSsTaskManage.h"

#include <QtTest>

#include <json/json.h>

#include <string>
#include <vector>

namespace {

struct Event
{
    int code;
    std::list<ZnSsTask> tasks;
};
std::vector<Event> g_events;

void record(int code, void* data)
{
    Event e{code, {}};
    if (code == ZnSsTaskManage::ListType)
        e.tasks = *static_cast<std::list<ZnSsTask>*>(data);
    else if (code == ZnSsTaskManage::ChangedType)
        e.tasks.push_back(*static_cast<ZnSsTask*>(data));
    g_events.push_back(e);
}

Json::Value bodyOf(const std::string& request)
{
    const size_t at = request.find("\r\n\r\n");
    Json::Value v;
    Json::Reader().parse(request.substr(at + 4), v);
    return v;
}

} // namespace

class TstSsTask : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_events.clear(); }
    void emptyFieldsGetTheirDefaults();
    void executeTimeRoundTrip();
    void terminalIdAndPlayListRoundTrip();
    void weekDays();
    void changeBodies();
    void listAndPushCallbacks();
};

void TstSsTask::emptyFieldsGetTheirDefaults()
{
    std::list<ZnSsTask> tasks;
    QVERIFY(ZnSsTaskManage::parseRows("[{\"sourceId\":\"1\",\"name\":\"\",\"terminalId\":\"3 5\","
                                      "\"timerPlanId\":\"\"},{\"sourceId\":2}]",
                                      tasks));
    QCOMPARE(tasks.size(), size_t(2));
    QCOMPARE(tasks.front().Name, std::string("Task_3 5"));
    QCOMPARE(tasks.front().TimerPlanId, -1);
    QCOMPARE(tasks.back().Id, 2);
    QCOMPARE(tasks.back().Name, std::string("Task_"));
    QCOMPARE(tasks.back().PlayVol, 0);

    tasks.clear();
    QVERIFY(!ZnSsTaskManage::parseRows("[{\"sourceId\":", tasks));
    QVERIFY(ZnSsTaskManage::parseRows("{\"sourceId\":\"1\"}", tasks));
    QVERIFY(tasks.empty());
}

void TstSsTask::executeTimeRoundTrip()
{
    std::list<ZnExecTime> times = ZnSsTask::splitExecuteTimes("a#$%28800!!!broken!!!b#$%43200!!!c#$%1#$%2");
    QCOMPARE(times.size(), size_t(2));
    QCOMPARE(times.front().nameText(), std::string("a"));
    QCOMPARE(times.front().seconds, int64_t(28800));
    QCOMPARE(ZnSsTask::joinExecuteTimes(times), std::string("a#$%28800!!!b#$%43200"));
    QCOMPARE(ZnSsTask::joinExecuteTimes(ZnSsTask::splitExecuteTimes(ZnSsTask::joinExecuteTimes(times))),
             ZnSsTask::joinExecuteTimes(times));
    QVERIFY(ZnSsTask::splitExecuteTimes("").empty());
    QCOMPARE(ZnSsTask::joinExecuteTimes({}), std::string());
}

void TstSsTask::terminalIdAndPlayListRoundTrip()
{
    QCOMPARE(ZnSsTask::splitTerminalIds("  3 x  15 "), (std::list<int32_t>{3, 0, 15}));
    QCOMPARE(ZnSsTask::joinTerminalIds({3, 8, 21}), std::string("3 8 21"));
    QCOMPARE(ZnSsTask::splitTerminalIds(ZnSsTask::joinTerminalIds({3, 8, 21})), (std::list<int32_t>{3, 8, 21}));
    QCOMPARE(ZnSsTask::joinTerminalIds({}), std::string());

    const std::vector<std::string> files{"/media/one.mp3", "/media/两.mp3"};
    QCOMPARE(ZnSsTask::joinPlayList(files), std::string("/media/one.mp3@#$%/media/两.mp3"));
    QCOMPARE(ZnSsTask::splitPlayList(ZnSsTask::joinPlayList(files)), files);
    QVERIFY(ZnSsTask::splitPlayList("").empty());
}

void TstSsTask::weekDays()
{
    int32_t week = 0;
    week = ZnSsTask::weekWithDay(week, 1, true);
    week = ZnSsTask::weekWithDay(week, 7, true);
    QCOMPARE(week, 0x41);
    QVERIFY(ZnSsTask::weekHasDay(week, 7));
    QVERIFY(!ZnSsTask::weekHasDay(week, 2));
    QCOMPARE(ZnSsTask::weekWithDay(week, 1, false), 0x40);
    QCOMPARE(ZnSsTask::weekWithDay(week, 8, true), week);
    QVERIFY(!ZnSsTask::weekHasDay(-1, 0));
}

void TstSsTask::changeBodies()
{
    ZnSsTaskManage m;
    ZnSsTask t;
    t.Id = 12;
    t.Name = "Bell";
    t.TerminalId = "3 5";
    t.ExecuteTime = "a#$%28800";
    t.SourceContent = "/a.mp3";
    std::string out;
    m.buildSaveTask(out, 7, t, ZnSsTaskManage::OpMod);
    QVERIFY(out.rfind("POST DBP/1.0\r\n", 0) == 0);
    QVERIFY(out.find("Packet-Type:SoundSource\r\n") != std::string::npos);
    const Json::Value body = bodyOf(out);
    QCOMPARE(body.size(), 16u);
    QCOMPARE(body["Action"].asString(), std::string("Mod"));
    QCOMPARE(body["Id"].asString(), std::string("12"));
    QCOMPARE(body["TimerPlanId"].asString(), std::string("-1"));
    QCOMPARE(body["PlayVol"].asString(), std::string("70"));
    QCOMPARE(body["TerminalId"].asString(), std::string("3 5"));
    QCOMPARE(body["ExecuteTime"].asString(), std::string("a#$%28800"));
    for (const std::string& key : body.getMemberNames())
        QVERIFY(body[key].isString());
    m.buildSaveTask(out, 8, t, ZnSsTaskManage::OpAdd);
    QCOMPARE(bodyOf(out)["Action"].asString(), std::string("Add"));
    m.buildSaveTask(out, 9, t, ZnSsTaskManage::OpDel);
    QCOMPARE(bodyOf(out)["Action"].asString(), std::string("Del"));
}

void TstSsTask::listAndPushCallbacks()
{
    ZnSsTaskManage m;
    m.setCallback(record);
    m.onResponse(247, "[]");                         // no tasks: no callback
    m.onResponse(247, "not json");
    m.onResponse(247, "[{\"sourceId\":\"1\"},{\"sourceId\":\"2\"}]");
    m.onResponse(248, "[{\"sourceId\":\"1\"}]");
    QVERIFY(!m.onPost("SqlConfig_soundsourc", "[]"));
    QVERIFY(m.onPost("SqlConfig_soundsource", "garbage"));   // taken even when it does not parse
    QVERIFY(m.onPost("SqlConfig_soundsource", "[{\"sourceId\":\"3\"},{\"sourceId\":\"4\"}]"));
    QCOMPARE(g_events.size(), size_t(3));
    QCOMPARE(g_events[0].code, 247);
    QCOMPARE(g_events[0].tasks.size(), size_t(2));
    QCOMPARE(g_events[1].code, 250);
    QCOMPARE(g_events[1].tasks.front().Id, 3);
    QCOMPARE(g_events[2].tasks.front().Id, 4);
}

QTEST_GUILESS_MAIN(TstSsTask)
#include "tst_sstask.moc"
