#include "Mutate.h"
#include "ProbeManage.h"
#include "SimSession.h"
#include "ZnApi.h"

#include <QtTest>

#include <algorithm>

namespace {
std::mutex gMutex;
std::vector<int> gRegionEvents;
std::string gConflict;

void onRegion(int code, void* data)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gRegionEvents.push_back(code);
    gRegionEvents.push_back(*static_cast<int*>(data));
}

void onConflict(int code, const char* body)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gConflict = std::to_string(code) + ":" + body;
}

template <class T>
T guarded(const T& value)
{
    std::lock_guard<std::mutex> lock(gMutex);
    return value;
}
}

class TstDispatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pushIsRoutedByKeyInSlotOrder();
    void answersReachEveryManagerInSlotOrder();
    void conflictDeleteAndSet();
    void splitMergedAndNulBytes();
    void badInputNeverEndsTheConnection();
    void randomPushesNeverEndTheConnection();
    void serverClosingMidMessageIsALoss();

private:
    SimSession m_session;
};

void TstDispatch::initTestCase()
{
    // One logged-in session serves the cases that keep the line up.
    QVERIFY(m_session.login());
}

void TstDispatch::pushIsRoutedByKeyInSlotOrder()
{
    Probes probes(*m_session.centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot);
    ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
    ProbeManage& later = probes.at(ZnManageCenter::SchemeSlot);
    d82.acceptKey = "SqlConfig_d82";
    later.acceptKey = "SqlConfig_d82";

    m_session.sim.pushPost("SqlConfig", "d82", "[{\"terminalId\":\"80001\"}]");
    QVERIFY(SimSession::spinUntil([&] { return d82.saw("post SqlConfig_d82"); }));
    QVERIFY(first.saw("post SqlConfig_d82"));
    QVERIFY(!later.saw("post SqlConfig_d82"));
    QCOMPARE(d82.bodies().back(), std::string("[{\"terminalId\":\"80001\"}]"));

    // A blank after the colon is part of the value: that key matches no manager.
    m_session.sim.pushRaw("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype: d82\r\nContent-Length:2\r\n\r\n[]");
    QVERIFY(SimSession::spinUntil([&] { return later.saw("post SqlConfig_ d82"); }));
    QCOMPARE(d82.bodiesOf("post SqlConfig_d82").size(), size_t(1));
    const std::vector<std::string> journal = probes.journal();
    const auto it = std::find(journal.begin(), journal.end(), "slot1: post SqlConfig_ d82");
    QVERIFY(std::find(it, journal.end(), "slot19: post SqlConfig_ d82") != journal.end());
}

void TstDispatch::answersReachEveryManagerInSlotOrder()
{
    ZnManageCenter& centre = *m_session.centre;
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot);
    ProbeManage& log = probes.at(ZnManageCenter::LogSlot);
    ProbeManage& last = probes.at(ZnManageCenter::SchemeSlot);

    QCOMPARE(centre.getD82List(), 0);
    std::vector<std::string> order;
    for (const std::string& entry : probes.journal()) {
        if (entry.find("answer 278") != std::string::npos)
            order.push_back(entry);
    }
    QCOMPARE(order, (std::vector<std::string>{"slot1: answer 278", "slot8: answer 278", "slot19: answer 278"}));
    QVERIFY(last.bodies().back().find("\"terminalId\":\"80001\"") != std::string::npos);

    m_session.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Fail, "table locked", 0, 1));
    QCOMPARE(centre.getLogPage(5, 0), 1);
    QCOMPARE(log.bodiesOf("failed 132"), std::vector<std::string>{"table locked"});
    QVERIFY(first.saw("failed 132"));
}

void TstDispatch::conflictDeleteAndSet()
{
    ZnManageCenter& centre = *m_session.centre;
    QCOMPARE(apiSetConflictCallback(&centre, &onConflict, 0), 0);
    QCOMPARE(apiSetRegionCallback(&centre, &onRegion), 0);
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot);
    ProbeManage& tts = probes.at(ZnManageCenter::TtsSlot);
    ProbeManage& scheme = probes.at(ZnManageCenter::SchemeSlot);

    // A conflict goes to its callback only, not to the managers as well.
    const std::string conflict = "[{\"terminalId\":\"7\",\"name\":\"A\",\"ip\":\"1.2.3.4\"}]";
    m_session.sim.pushPost("TerminalConflict", "", conflict);
    QVERIFY(SimSession::spinUntil([&] { return !guarded(gConflict).empty(); }));
    QCOMPARE(guarded(gConflict), "0:" + conflict);

    // A deletion goes to every manager; the region manager acts on its own type.
    m_session.sim.pushDelete("Region", 12);
    m_session.sim.pushDelete("region", 13);
    QVERIFY(SimSession::spinUntil([&] { return scheme.saw("delete region 13"); }));
    QVERIFY(first.saw("delete Region 12"));
    QCOMPARE(first.calls().front(), std::string("delete Region 12"));
    QCOMPARE(guarded(gRegionEvents), (std::vector<int>{143, 12}));

    // A SET with a key is a push under that key (one without goes to the SET hooks,
    // as the family tests show).
    tts.acceptKey = "SqlConfig_tts71";
    m_session.sim.pushSet("SqlConfig", "tts71", "[]");
    QVERIFY(SimSession::spinUntil([&] { return tts.saw("post SqlConfig_tts71"); }));
    QVERIFY(!scheme.saw("post SqlConfig_tts71"));
}

void TstDispatch::splitMergedAndNulBytes()
{
    ZnManageCenter& centre = *m_session.centre;
    Probes probes(centre);
    ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
    d82.acceptKey = "SqlConfig_d82";

    // Every byte on its own: requests still complete, pushes arrive whole.
    m_session.sim.setSplit(1, 0);
    QCOMPARE(centre.getD82List(), 0);
    m_session.sim.pushPost("SqlConfig", "d82", "[{\"name\":\"split\"}]");
    QVERIFY(SimSession::spinUntil([&] { return d82.saw("post SqlConfig_d82"); }));
    m_session.sim.setSplit(0);

    // Three messages in one write are handed on in order; a NUL is counted, not cut.
    std::string merged;
    for (const std::string& name : std::vector<std::string>{"one", "two", std::string("ab\0cd", 5)})
        merged += ZnSimServer::message("POST DBP/1.0", "SqlConfig", "d82", name);
    m_session.sim.pushRaw(merged);
    m_session.sim.pushPost("SqlConfig", "d82", "after");
    QVERIFY(SimSession::spinUntil([&] { return d82.bodiesOf("post").size() == 5; }));
    QCOMPARE(d82.bodiesOf("post"),
             (std::vector<std::string>{"[{\"name\":\"split\"}]", "one", "two", std::string("ab\0cd", 5), "after"}));
}

void TstDispatch::badInputNeverEndsTheConnection()
{
    ZnManageCenter& centre = *m_session.centre;
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot);
    ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
    first.throwOnPost = true;
    d82.acceptKey = "SqlConfig_d82";

    m_session.sim.pushPost("SqlConfig", "d82", "{not json");
    m_session.sim.pushRaw("HELLO DBP/9.9\r\nContent-Length:3\r\n\r\nxyz");
    m_session.sim.pushPost("SqlConfig", "dsk72", "[1,2,{\"terminalId\":[]}]");
    m_session.sim.pushDelete("D72", -5);
    m_session.sim.pushPost("SqlConfig", "d82", "[]");
    // A manager that throws is passed by; the later ones are still offered each push
    // (the D72 manager in slot 12 takes "SqlConfig_dsk72" before slot 17 sees it).
    QVERIFY(SimSession::spinUntil([&] { return d82.bodiesOf("post").size() == 2; }));
    QCOMPARE(d82.bodiesOf("post SqlConfig_d82"), (std::vector<std::string>{"{not json", "[]"}));
    QCOMPARE(centre.state(), int(ZnNetManage::LoggedIn));
    QCOMPARE(centre.getTtsList(), 0);
}

void TstDispatch::randomPushesNeverEndTheConnection()
{
    // Keys the managers take, and bodies of the shapes their readers know.
    const char* const keys[][2] = {{"SqlConfig", "ipamp"},
                                   {"SqlConfig", "capd73"},
                                   {"SqlConfig", "firealarm"},
                                   {"SqlConfig", "tts71"},
                                   {"SqlConfig", "dsk72"},
                                   {"SqlConfig", "dsk74"},
                                   {"SqlConfig", "dsk81"},
                                   {"SqlConfig", "d82"},
                                   {"SqlConfig", "soundsource"},
                                   {"SqlConfig", "timerplan"},
                                   {"Task", ""},
                                   {"PlanTask", ""},
                                   {"", ""}};
    const char* const deleteTypes[] = {"D72",  "D74",      "Region",     "MicGroup",      "Tts",  "CAP", "FAlarm",
                                       "Task", "PlanTask", "SchemeData", "AmpSchemeData", "User", "01",  ""};
    const char* const bodies[] = {
        "[{\"terminalId\":\"5\",\"name\":\"\",\"type\":\"6\",\"status\":\"1\",\"broVol\":\"60\"}]",
        "[{\"terminalId\":5,\"name\":null,\"broVol\":[1],\"pttMode\":{\"a\":1},\"power\":true}]",
        "[{\"sourceId\":\"3\",\"terminalId\":\"1  2 x\",\"executeTime\":\"a#$%1!!!#$%!!!b#$%c#$%d\"}]",
        "[{\"timerplanId\":\"-7\",\"enable\":\"99999999999999999999\",\"name\":\"\"}]",
        "{\"terminalId\":\"1\"}",
        "[1,2,3]",
        "[[]]",
        "\"text\"",
        "[",
        "",
        "null",
        "[{}]",
        "<?xml version=\"1.0\"?><TaskList><Task id=\"1\"><exec><e i=\"5\" n=\"x\"/></exec><files><f n=\"/a/\"/>"
        "</files><terminals vol=\"70000\"><t i=\"0\" vol=\"3\"/></terminals></Task></TaskList>",
        "<?xml version=\"1.0\"?><Task id=\"2\"/>",
        "<?xml version=\"1.0\"?><LevelList><Level id=\"70000\" lv=\"-1\"/></LevelList>",
        "<?xml version=\"1.0\"?><Scheme Id=\"x\" Status=\"9\" SchemeName=\"s\"/>",
        "<?xml version=\"1.0\"?><MicList><Mic/></MicList>",
        "<?xml version=\"1.0\"?><UserList><User lv=\"250\"/>",
        "<?xml version=\"1.0\"?><BroadcastList><Broadcast id=\"1\"><Region><r "
        "id=\"4\"/></Region></Broadcast></BroadcastList>",
        "<<<<>>>>",
        "<?xml?><CapList><Cap/></CapList>"};
    std::mt19937 rng(20261206);
    for (int round = 0; round < 10; ++round) {
        std::string burst;
        for (int i = 0; i < 60; ++i) {
            const std::string body = mutate(bodies[rng() % (sizeof bodies / sizeof *bodies)], rng);
            const auto& key = keys[rng() % (sizeof keys / sizeof *keys)];
            switch (rng() % 5) {
            case 0:
            case 1:
                burst += ZnSimServer::message("POST DBP/1.0", key[0], key[1], body);
                break;
            case 2:
                burst += ZnSimServer::message("SET DBP/1.0", key[0], key[1], body);
                break;
            case 3:
                burst += "DELETE DBP/1.0\r\nPacket-Type:" + std::string(deleteTypes[rng() % 14])
                         + "\r\nId: " + std::to_string(static_cast<int>(rng() % 200) - 20) + "\r\n\r\n";
                break;
            default:
                // Answers nobody waits for, with any CSeq.
                burst += ZnSimServer::answer(rng() % 2, 100000 + static_cast<int>(rng() % 50), body);
                break;
            }
        }
        m_session.sim.pushRaw(burst);
        QCOMPARE(m_session.centre->getTtsList(), 0);
        QCOMPARE(m_session.centre->state(), int(ZnNetManage::LoggedIn));
    }
}

void TstDispatch::serverClosingMidMessageIsALoss()
{
    SimSession s;
    QVERIFY(s.login());
    const int losses = SimSession::losses();
    s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::CloseMidMessage));
    QCOMPARE(s.centre->getD82List(), 4);
    QVERIFY(s.waitState(ZnNetManage::Stopped));
    QVERIFY(SimSession::spinUntil([&] { return SimSession::losses() == losses + 1; }));
}

QTEST_GUILESS_MAIN(TstDispatch)
#include "tst_dispatch.moc"
