#include "../ProbeManage.h"
#include "FamilyFixture.h"
#include "ZnApi.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmManage.h"
#include "ZnFAlarmTrigger.h"

#include <QSignalSpy>
#include <QtTest>

#include <atomic>

namespace {
std::atomic<int> gPlayTermEvents{0};
std::atomic<int> gConfigEvents{0};

void onPlayTerm(int, void*)
{
    ++gPlayTermEvents;
}
int onConfig(int, void*)
{
    return ++gConfigEvents, 0;
}
}

class TstFireAlarms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_s.sim.clearRules(); }
    void fAlarmListAndChanges();
    void triggerTravelsUnderItsOwnType_data();
    void triggerTravelsUnderItsOwnType();
    void channelTexts();

private:
    std::vector<int> alarmIds();

    SimSession m_s;
    ZnFAlarmListMgr* m_alarms = nullptr;
};

std::vector<int> TstFireAlarms::alarmIds()
{
    const std::vector<int> out = idsOf(*m_alarms->lockList());
    m_alarms->unlockList();
    return out;
}

void TstFireAlarms::initTestCase()
{
    m_s.sim.withData([](ZnSimData& d) {
        // The broadcast is a text, kept as sent; numbers are read by their leading digits.
        fill(d, "firealarm", {"31", "4", "17"},
             R"({"name":"","triggerType":"1","broadcast":"07","stopBroadcast":"2x"})");
    });
    QVERIFY(startHub(m_s));
    m_alarms = ZnFAlarmListMgr::instance();
    QCOMPARE(m_s.sim.count("GET SqlConfig/FAlarmList"), 0); // creating it sends nothing
    QCOMPARE(apiSetPlayTerminalCallback(m_s.centre.get(), &onPlayTerm), 0);
    QCOMPARE(apiSetServerConfigCallback(m_s.centre.get(), &onConfig), 0);
}

void TstFireAlarms::fAlarmListAndChanges()
{
    QSignalSpy changed(m_alarms, &ZnFAlarmListMgr::fAlarmChanged);
    QSignalSpy deleted(m_alarms, &ZnFAlarmListMgr::alarmDeleted);
    QCOMPARE(m_alarms->registerAndWait(), 0);
    QCOMPARE(alarmIds(), (std::vector<int>{4, 17, 31}));
    QCOMPARE(m_s.lastBody("GET SqlConfig/FAlarmList"),
             std::string("select terminalId,type,status,name,ip,ver, shortCircuit, broadcast, "
                         "broadcastTrigger, stopBroadcast, triggerType from firealarm"));
    ZnFAlarm alarm;
    QVERIFY(m_alarms->findFAlarm(4, alarm));
    QCOMPARE(alarm.name, std::string("FAlarm_4"));
    QCOMPARE(alarm.broadcast, std::string("07"));
    QCOMPARE(alarm.stopBroadcast, 2);

    m_s.sim.pushPost("SqlConfig", "firealarm",
                     R"([{"terminalId":"4","name":"Lobby"},{"terminalId":"2","name":"New"}])");
    QVERIFY(SimSession::spinUntil([&] { return changed.count() == 2; }));
    QCOMPARE(alarmIds(), (std::vector<int>{17, 31, 4, 2}));
    QCOMPARE(m_alarms->copyFAlarm(4)->name, std::string("Lobby"));

    // Changes reach the copy only when the server accepted them.
    QVERIFY(m_alarms->findFAlarm(17, alarm));
    alarm.name = "Hall";
    alarm.triggerType = 2;
    QCOMPARE(m_alarms->modifyFAlarm(alarm), 0);
    QCOMPARE(changed.count(), 3);
    QCOMPARE(alarmIds().back(), 17);
    QCOMPARE(m_s.lastBody("POST SetFRName"), std::string(R"({"Id":"17","Name":"Hall","TriggerType":"2"})"
                                                         "\n"));
    m_s.sim.addRule(ZnSimRule::make("POST SetFRName", ZnSimRule::Fail, "no"));
    alarm.name = "Refused";
    QCOMPARE(m_alarms->modifyFAlarm(alarm), 1);
    QCOMPARE(m_alarms->copyFAlarm(17)->name, std::string("Hall"));
    m_s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "in use", 0, 1));
    QCOMPARE(m_alarms->deleteFAlarm(alarm), 1);
    QVERIFY(m_alarms->copyFAlarm(17));
    QCOMPARE(m_alarms->deleteFAlarm(alarm), 0);
    QVERIFY(!m_alarms->copyFAlarm(17));
    QCOMPARE(deleted.count(), 0); // the page drops its row itself

    // The notice of a removal; the manager registers no removal callback of its own.
    int unknown = 555;
    ZnFAlarmListMgr::onNotify(ZnFAlarmListMgr::DeletedCode, &unknown);
    int id = 31;
    ZnFAlarmListMgr::onNotify(ZnFAlarmListMgr::DeletedCode, &id);
    QCOMPARE(deleted.count(), 1);
    m_s.sim.pushDelete("FAlarm", 4);
    QCOMPARE(m_s.centre->getD82List(), 0); // the push came before this answer
    QCOMPARE(alarmIds(), (std::vector<int>{4, 2}));
}

void TstFireAlarms::triggerTravelsUnderItsOwnType_data()
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

void TstFireAlarms::triggerTravelsUnderItsOwnType()
{
    QFETCH(int, id);
    QFETCH(bool, refused);
    for (int slot = 0; slot < ZnManageCenter::SlotCount; ++slot) {
        if (ZnBaseMgr* m = m_s.centre->slot(slot))
            QCOMPARE(m->isCommandRegistered(ZnFAlarmManage::TriggerType), -1);
    }
    m_s.sim.withData([id](ZnSimData& d) {
        Json::Value r(Json::objectValue);
        r["terminalId"] = std::to_string(id);
        d.addRow("firealarm", r);
    });
    if (refused)
        m_s.sim.addRule(ZnSimRule::make("POST SetFRTrigger", ZnSimRule::Fail, "channel busy"));

    Probes probes(*m_s.centre);
    ProbeManage& probe = probes.at(ZnManageCenter::BroadcastSlot);
    const int playTerm = gPlayTermEvents;
    const int config = gConfigEvents;
    const std::string time = m_s.centre->systemTime();
    const int gets = m_s.sim.count("GET");

    ZnFAlarmTrigger trigger;
    trigger.id = id;
    trigger.channel = 1;
    QCOMPARE(m_alarms->setTrigger(trigger), refused ? 1 : 0);
    const std::string type = std::to_string(ZnFAlarmManage::TriggerType);
    QVERIFY(probe.saw(refused ? "failed " + type : "answer " + type));
    QVERIFY(!probe.saw(refused ? "answer " + type : "failed " + type));
    QCOMPARE(gPlayTermEvents.load(), playTerm);
    QCOMPARE(gConfigEvents.load(), config);
    QCOMPARE(m_s.centre->systemTime(), time);
    QCOMPARE(m_s.sim.count("GET"), gets);
}

void TstFireAlarms::channelTexts()
{
    ZnFAlarmTrigger trigger;
    trigger.id = 31;
    trigger.channel = 2;
    trigger.channelName = "\xe4\xba\x8c\xe6\xa5\xbc \"East\" \\ stair";
    trigger.sourceId = 12;
    trigger.triggerSwitch = 1;
    trigger.stopPlay = 1;
    QCOMPARE(m_alarms->setTrigger(trigger), 0);
    // The writer escapes what is not ASCII; the server reads back the same text.
    QCOMPARE(m_s.lastBody("POST SetFRTrigger"),
             std::string("{\"Channel\":\"2\",\"ChannelName\":\"\\u4e8c\\u697c \\\"East\\\" "
                         "\\\\ stair\",\"Id\":\"31\",\"SourceId\":\"12\",\"StopPlay\":\"1\","
                         "\"TriggerSwitch\":\"1\"}\n"));
    std::string stored;
    m_s.sim.withData([&](ZnSimData& d) {
        for (const Json::Value& r : d.table("firealarmchannel")) {
            if (r["terminalId"].asString() == "31" && r["channel"].asString() == "2")
                stored = r["channelName"].asString();
        }
    });
    QCOMPARE(stored, trigger.channelName);
    // A channel of an interface the server does not know is refused.
    trigger.id = 8080;
    QCOMPARE(m_alarms->setTrigger(trigger), 1);
}

QTEST_GUILESS_MAIN(TstFireAlarms)
#include "tst_firealarms.moc"
