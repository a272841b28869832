#include "FamilySim.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmManage.h"
#include "ZnFAlarmTrigger.h"

#include <QSignalSpy>
#include <QtTest>

#include <json/json.h>

#include <atomic>
#include <list>
#include <memory>
#include <vector>

namespace {
std::atomic<int> g_playTermEvents{0};
std::atomic<int> g_configEvents{0};
void onPlayTerm(int, void*) { ++g_playTermEvents; }
int onConfig(int, void*)
{
    ++g_configEvents;
    return 0;
}
}

class TstFAlarmSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { m_s->sim.clearRules(); }
    void listSortedChangesMoveToTheEnd();
    void modifyOnlyOnAcceptance();
    void noticeOfRemoval();
    void triggerTravelsUnderItsOwnType_data();
    void triggerTravelsUnderItsOwnType();
    void channelTexts();

private:
    static std::vector<int> ids();
    std::unique_ptr<FamilySim> m_s;
    ZnFAlarmListMgr* m_model = nullptr;
};

std::vector<int> TstFAlarmSim::ids()
{
    std::vector<int> out;
    const std::list<ZnFAlarm>* list = ZnFAlarmListMgr::instance()->lockList();
    for (const ZnFAlarm& a : *list)
        out.push_back(a.id);
    ZnFAlarmListMgr::instance()->unlockList();
    return out;
}

void TstFAlarmSim::initTestCase()
{
    m_s.reset(new FamilySim);
    m_s->sim.withData([](ZnSimData& d) {
        d.table("firealarm").clear();
        for (const char* id : {"31", "4", "17"}) {
            Json::Value r(Json::objectValue);
            r["terminalId"] = id;
            r["type"] = "FR";
            r["status"] = "0";
            r["name"] = std::string(id) == "4" ? "" : "Panel";
            r["triggerType"] = "1";
            r["broadcast"] = "07";   // a text, kept as sent
            r["stopBroadcast"] = "2x"; // numbers read by their leading digits
            d.addRow("firealarm", r);
        }
    });
    QVERIFY(m_s->login());
    ServiceHub::create(&m_s->centre);
    m_model = ZnFAlarmListMgr::instance();
    QVERIFY(m_model->lockList()); // exists, empty, before any request
    m_model->unlockList();
    QVERIFY(m_s->requests("GET SqlConfig/FAlarmList").empty()); // creating it sends nothing
    QCOMPARE(apiSetPlayTerminalCallback(&m_s->centre, &onPlayTerm), 0);
    QCOMPARE(apiSetServerConfigCallback(&m_s->centre, &onConfig), 0);
}

void TstFAlarmSim::cleanupTestCase()
{
    m_s.reset();
}

void TstFAlarmSim::listSortedChangesMoveToTheEnd()
{
    QSignalSpy got(m_model, &ZnFAlarmListMgr::gotFAlarmList);
    QSignalSpy changed(m_model, &ZnFAlarmListMgr::fAlarmChanged);
    QCOMPARE(m_model->registerAndWait(), 0);
    QVERIFY(FamilySim::spinUntil([&] { return got.count() == 1; }));
    QCOMPARE(ids(), (std::vector<int>{4, 17, 31}));
    QCOMPARE(m_s->requests("GET SqlConfig/FAlarmList").back().body,
             std::string("select terminalId,type,status,name,ip,ver, shortCircuit, broadcast, "
                         "broadcastTrigger, stopBroadcast, triggerType from firealarm"));
    ZnFAlarm alarm;
    QVERIFY(m_model->findFAlarm(4, alarm));
    QCOMPARE(alarm.name, std::string("FAlarm_4"));
    QCOMPARE(alarm.triggerType, 1);
    QCOMPARE(alarm.broadcast, std::string("07"));
    QCOMPARE(alarm.stopBroadcast, 2);

    m_s->sim.pushPost("SqlConfig", "firealarm",
                      R"([{"terminalId":"4","name":"Lobby","triggerType":"2"},{"terminalId":"2","name":"New"}])");
    QVERIFY(FamilySim::spinUntil([&] { return changed.count() == 2; }));
    QCOMPARE(changed.at(0).at(0).toInt(), 4);
    QCOMPARE(ids(), (std::vector<int>{17, 31, 4, 2}));
    std::unique_ptr<ZnFAlarm> copy = m_model->copyFAlarm(4);
    QVERIFY(copy);
    QCOMPARE(copy->name, std::string("Lobby"));
    QVERIFY(!m_model->copyFAlarm(99));
}

void TstFAlarmSim::modifyOnlyOnAcceptance()
{
    QSignalSpy changed(m_model, &ZnFAlarmListMgr::fAlarmChanged);
    ZnFAlarm alarm;
    QVERIFY(m_model->findFAlarm(17, alarm));
    alarm.name = "Hall";
    alarm.triggerType = 2;
    QCOMPARE(m_model->modifyFAlarm(alarm), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(ids().back(), 17);
    QCOMPARE(m_s->requests("POST SetFRName").back().body,
             std::string(R"({"Id":"17","Name":"Hall","TriggerType":"2"})" "\n"));

    m_s->sim.addRule(ZnSimRule::make("POST SetFRName", ZnSimRule::Fail, "no"));
    alarm.name = "Refused";
    QCOMPARE(m_model->modifyFAlarm(alarm), 1);
    QVERIFY(m_model->findFAlarm(17, alarm));
    QCOMPARE(alarm.name, std::string("Hall"));
    QCOMPARE(changed.count(), 1);

    // A removal changes the list only when the server accepted it.
    QSignalSpy deleted(m_model, &ZnFAlarmListMgr::alarmDeleted);
    m_s->sim.clearRules();
    m_s->sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "in use", 0, 1));
    QCOMPARE(m_model->deleteFAlarm(alarm), 1);
    QVERIFY(m_model->findFAlarm(17, alarm));
    QCOMPARE(m_model->deleteFAlarm(alarm), 0);
    QVERIFY(!m_model->findFAlarm(17, alarm));
    QCOMPARE(deleted.count(), 0); // the page drops its row itself
}

void TstFAlarmSim::noticeOfRemoval()
{
    QSignalSpy deleted(m_model, &ZnFAlarmListMgr::alarmDeleted);
    const std::vector<int> before = ids();
    int unknown = 555;
    ZnFAlarmListMgr::onNotify(ZnFAlarmListMgr::DeletedCode, &unknown);
    QCOMPARE(deleted.count(), 0);
    int id = before.front();
    ZnFAlarmListMgr::onNotify(ZnFAlarmListMgr::DeletedCode, &id);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(int(ids().size()), int(before.size()) - 1);
    // The manager itself registers no removal callback: a DELETE does nothing here.
    m_s->sim.pushDelete("FAlarm", before.back());
    QTest::qWait(50);
    QCOMPARE(int(ids().size()), int(before.size()) - 1);
}

void TstFAlarmSim::triggerTravelsUnderItsOwnType_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("refused");
    // Ids that are request types of other managers: play-terminal list, the
    // removal, server parameters, the server time.
    QTest::newRow("3") << 3 << false;
    QTest::newRow("174") << 174 << false;
    QTest::newRow("298") << 298 << false;
    QTest::newRow("7 refused") << 7 << true;
    QTest::newRow("174 refused") << 174 << true;
}

void TstFAlarmSim::triggerTravelsUnderItsOwnType()
{
    QFETCH(int, id);
    QFETCH(bool, refused);
    for (int slot = 0; slot < ZnManageCenter::SlotCount; ++slot) {
        if (ZnBaseMgr* m = m_s->centre.slot(slot))
            QCOMPARE(m->isCommandRegistered(ZnFAlarmManage::TriggerType), -1);
    }
    m_s->sim.withData([id](ZnSimData& d) {
        Json::Value r(Json::objectValue);
        r["terminalId"] = std::to_string(id);
        d.addRow("firealarm", r);
    });
    if (refused)
        m_s->sim.addRule(ZnSimRule::make("POST SetFRTrigger", ZnSimRule::Fail, "channel busy"));

    SpyManager spy;
    SlotSwap swap(m_s->centre, ZnManageCenter::BroadcastSlot, &spy);
    const int playTerm = g_playTermEvents;
    const int config = g_configEvents;
    const std::string time = m_s->centre.systemTime();
    const int listsBefore = int(m_s->requests("GET").size());

    ZnFAlarmTrigger trigger;
    trigger.id = id;
    trigger.channel = 1;
    trigger.channelName = "North";
    QCOMPARE(m_model->setTrigger(trigger), refused ? 1 : 0);
    QCOMPARE(refused ? spy.failures() : spy.answers(), std::vector<int>{int(ZnFAlarmManage::TriggerType)});
    QCOMPARE(refused ? spy.answers().size() : spy.failures().size(), size_t(0));
    QCOMPARE(g_playTermEvents.load(), playTerm);
    QCOMPARE(g_configEvents.load(), config);
    QCOMPARE(m_s->centre.systemTime(), time);
    QCOMPARE(int(m_s->requests("GET").size()), listsBefore);
}

void TstFAlarmSim::channelTexts()
{
    ZnFAlarmTrigger trigger;
    trigger.id = 31;
    trigger.channel = 2;
    trigger.channelName = "\xe4\xba\x8c\xe6\xa5\xbc \"East\" \\ stair";
    trigger.sourceId = 12;
    trigger.triggerSwitch = 1;
    trigger.stopPlay = 1;
    QCOMPARE(m_model->setTrigger(trigger), 0);
    // The writer escapes what is not ASCII; the server reads back the same text.
    const ZnSimRequest sent = m_s->requests("POST SetFRTrigger").back();
    QCOMPARE(sent.body, std::string("{\"Channel\":\"2\",\"ChannelName\":\"\\u4e8c\\u697c \\\"East\\\" \\\\ stair\","
                                    "\"Id\":\"31\",\"SourceId\":\"12\",\"StopPlay\":\"1\",\"TriggerSwitch\":\"1\"}\n"));
    std::string stored;
    m_s->sim.withData([&](ZnSimData& d) {
        for (const Json::Value& r : d.table("firealarmchannel")) {
            if (r["terminalId"].asString() == "31" && r["channel"].asString() == "2")
                stored = r["channelName"].asString();
        }
    });
    QCOMPARE(stored, trigger.channelName);

    // A channel of an interface the server does not know is refused.
    trigger.id = 8080;
    QCOMPARE(m_model->setTrigger(trigger), 1);
}

QTEST_MAIN(TstFAlarmSim)
#include "tst_falarmsim.moc"
