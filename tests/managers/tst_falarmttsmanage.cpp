#include "ZnFAlarm.h"
#include "ZnFAlarmManage.h"
#include "ZnFAlarmTrigger.h"
#include "ZnTts.h"
#include "ZnTtsManage.h"

#include <QtTest>

#include <list>
#include <string>
#include <vector>

namespace {
struct Event
{
    int code;
    std::vector<int> ids;
    std::string name;
};
std::vector<Event> g_events;

void onAlarm(int code, void* data)
{
    Event e{code, {}, {}};
    if (code == ZnFAlarmManage::ListType) {
        for (const ZnFAlarm& a : *static_cast<std::list<ZnFAlarm>*>(data))
            e.ids.push_back(a.id);
    } else if (code == ZnFAlarmManage::ChangedType) {
        const ZnFAlarm* a = static_cast<ZnFAlarm*>(data);
        e.ids.push_back(a->id);
        e.name = a->name;
    } else {
        e.ids.push_back(*static_cast<int*>(data));
    }
    g_events.push_back(e);
}

void onTts(int code, void* data)
{
    Event e{code, {}, {}};
    if (code == ZnTtsManage::ListType) {
        for (const ZnTts& t : *static_cast<std::list<ZnTts>*>(data))
            e.ids.push_back(t.id);
    } else if (code == ZnTtsManage::ModifyType) {
        const ZnTts* t = static_cast<ZnTts*>(data);
        e.ids.push_back(t->id);
        e.name = t->name;
    } else {
        e.ids.push_back(*static_cast<int*>(data));
    }
    g_events.push_back(e);
}

// The body of a built request: everything after the empty line.
std::string bodyOf(const std::string& text)
{
    const std::size_t at = text.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : text.substr(at + 4);
}
}

class TstFAlarmTtsManage : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_events.clear(); }
    void alarmRows();
    void alarmListSortedAndPushesInRowOrder();
    void alarmRequests();
    void alarmTakesNoSetAndItsDeleteHasNoCallback();
    void ttsRowsKeepOrder();
    void ttsPushAndDelete();
    void ttsRename();
};

void TstFAlarmTtsManage::alarmRows()
{
    std::list<ZnFAlarm> alarms;
    QVERIFY(ZnFAlarmManage::parseRows(
        R"([{"terminalId":"4","name":"","ver":"2.0","broadcast":"07","shortCircuit":"1",)"
        R"("broadcastTrigger":"3","stopBroadcast":"2x","triggerType":"2"},{"terminalId":"x"}])",
        alarms));
    QCOMPARE(int(alarms.size()), 2);
    const ZnFAlarm& a = alarms.front();
    QCOMPARE(a.name, std::string("FAlarm_4"));
    QCOMPARE(a.broadcast, std::string("07")); // a text, kept as sent
    QCOMPARE(a.shortCircuit, 1);
    QCOMPARE(a.broadcastTrigger, 3);
    QCOMPARE(a.stopBroadcast, 2);
    QCOMPARE(a.triggerType, 2);
    QCOMPARE(alarms.back().id, 0); // atoi rule: no digits give 0
    QCOMPARE(alarms.back().name, std::string("FAlarm_x"));
}

void TstFAlarmTtsManage::alarmListSortedAndPushesInRowOrder()
{
    ZnFAlarmManage m;
    m.onResponse(ZnFAlarmManage::ListType, "[{\"terminalId\":\"1\"}]"); // no callback yet
    m.setCallback(onAlarm);
    m.setCallback(nullptr);
    m.onResponse(ZnFAlarmManage::ListType, R"([{"terminalId":"9"},{"terminalId":"2"},{"terminalId":"5"}])");
    m.onResponse(ZnFAlarmManage::ListType, "{broken");
    m.onResponse(ZnFAlarmManage::ModifyType, "[]");
    QVERIFY(m.onPost("SqlConfig_firealarm", R"([{"terminalId":"8","name":"B"},{"terminalId":"3"}])"));
    QVERIFY(m.onPost("SqlConfig_firealarm", "{broken"));
    QVERIFY(!m.onPost("SqlConfig_firealarm ", "[]"));
    QCOMPARE(int(g_events.size()), 3);
    QCOMPARE(g_events[0].code, 289);
    QCOMPARE(g_events[0].ids, (std::vector<int>{2, 5, 9}));
    QCOMPARE(g_events[1].code, 290);
    QCOMPARE(g_events[1].ids, std::vector<int>{8});
    QCOMPARE(g_events[2].name, std::string("FAlarm_3"));
}

void TstFAlarmTtsManage::alarmRequests()
{
    ZnFAlarmManage m;
    std::string text;
    m.buildFAlarmList(text, 1);
    QVERIFY(text.find("Packet-Subtype: FAlarmList\r\n") != std::string::npos);
    QCOMPARE(bodyOf(text), std::string("select terminalId,type,status,name,ip,ver, shortCircuit, broadcast, "
                                       "broadcastTrigger, stopBroadcast, triggerType from firealarm"));

    ZnFAlarm alarm;
    alarm.id = 4;
    alarm.name = "Hall";
    alarm.triggerType = 2;
    m.buildModifyFAlarm(text, 2, alarm);
    QVERIFY(text.find("Packet-Type:SetFRName\r\n") != std::string::npos);
    QCOMPARE(bodyOf(text), std::string(R"({"Id":"4","Name":"Hall","TriggerType":"2"})" "\n"));

    ZnFAlarmTrigger trigger;
    trigger.id = 4;
    trigger.channelName = "Stair \"B\"";
    trigger.channel = 3;
    trigger.sourceId = 12;
    trigger.triggerSwitch = 1;
    trigger.stopPlay = 0;
    m.buildSetTrigger(text, 3, trigger);
    QVERIFY(text.find("Packet-Type:SetFRTrigger\r\n") != std::string::npos);
    QCOMPARE(bodyOf(text), std::string(R"({"Channel":"3","ChannelName":"Stair \"B\"","Id":"4",)"
                                       R"("SourceId":"12","StopPlay":"0","TriggerSwitch":"1"})" "\n"));
}

void TstFAlarmTtsManage::alarmTakesNoSetAndItsDeleteHasNoCallback()
{
    ZnFAlarmManage m;
    m.setCallback(onAlarm);
    QVERIFY(!m.onSet("<?xml version=\"1.0\"?><FireList/>"));
    m.onDelete("FAlarm", 5);
    QVERIFY(g_events.empty());
    // The trigger's number is owned by no manager, this one included.
    QCOMPARE(m.isCommandRegistered(ZnFAlarmManage::TriggerType), -1);
    QCOMPARE(m.isCommandRegistered(303), 0);
}

void TstFAlarmTtsManage::ttsRowsKeepOrder()
{
    ZnTtsManage m;
    m.setCallback(onTts);
    m.onResponse(ZnTtsManage::ListType,
                 R"([{"terminalId":"7","name":""},{"terminalId":"3","name":"Lobby"},{"terminalId":"5"}])");
    m.onResponse(255, "[]");
    m.onResponse(ZnTtsManage::ListType, "nope");
    QCOMPARE(int(g_events.size()), 1);
    QCOMPARE(g_events[0].ids, (std::vector<int>{7, 3, 5}));

    std::list<ZnTts> units;
    QVERIFY(ZnTtsManage::parseRows(R"([{"terminalId":"7","ver":"v1","exten":"8001"}])", units));
    QCOMPARE(units.front().name, std::string("7"));
    QCOMPARE(units.front().ver, std::string("v1"));
    QCOMPARE(units.front().exten, std::string("8001"));
}

void TstFAlarmTtsManage::ttsPushAndDelete()
{
    ZnTtsManage m;
    m.setCallback(onTts);
    QVERIFY(m.onPost("SqlConfig_tts71", R"([{"terminalId":"11","name":"New"}])"));
    QVERIFY(m.onPost("SqlConfig_tts71", "]["));
    QVERIFY(!m.onPost("SqlConfig_tts7", "[]"));
    m.onDelete("Tts", 3);
    m.onDelete("TTS", 4);
    m.onDelete("Tts ", 5);
    QCOMPARE(int(g_events.size()), 2);
    QCOMPARE(g_events[0].code, 257);
    QCOMPARE(g_events[0].name, std::string("New"));
    QCOMPARE(g_events[1].code, 258);
    QCOMPARE(g_events[1].ids, std::vector<int>{3});
}

void TstFAlarmTtsManage::ttsRename()
{
    ZnTtsManage m;
    ZnTts tts;
    tts.id = 3;
    tts.name = "Lobby";
    std::string text;
    m.buildModifyTts(text, 9, tts);
    QVERIFY(text.find("Packet-Type:TTs71Name\r\n") != std::string::npos);
    QVERIFY(text.find("CSeq: 9\r\n") != std::string::npos);
    QCOMPARE(bodyOf(text), std::string(R"({"Id":"3","Name":"Lobby"})" "\n"));
}

QTEST_GUILESS_MAIN(TstFAlarmTtsManage)
#include "tst_falarmttsmanage.moc"
