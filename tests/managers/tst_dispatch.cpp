// How the centre hands on what the server sends: answers and failures to every
// manager in slot order, pushes to the slots in order until one takes the key.
#include "ProbeManage.h"
#include "SimSession.h"
#include "ZnApi.h"

#include <QtTest>

namespace {
std::mutex gMutex;
std::vector<int> gRegionEvents;
std::string gConflict;

template <class T>
T guarded(const T& value)
{
    std::lock_guard<std::mutex> lock(gMutex);
    return value;
}

// The calls of the journal that contain what.
std::vector<std::string> only(const std::vector<std::string>& journal, const std::string& what)
{
    std::vector<std::string> out;
    for (const std::string& entry : journal) {
        if (entry.find(what) != std::string::npos)
            out.push_back(entry);
    }
    return out;
}
} // namespace

class TstDispatch : public QObject
{
    Q_OBJECT
    SimSession m_s; // one logged-in session serves every case

private slots:
    void initTestCase() { QVERIFY(m_s.login()); }

    void pushIsRoutedByKeyInSlotOrder()
    {
        Probes probes(*m_s.centre);
        probes.at(ZnManageCenter::TerminalSlot);
        ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
        ProbeManage& later = probes.at(ZnManageCenter::SchemeSlot);
        d82.acceptKey = later.acceptKey = "SqlConfig_d82";

        m_s.sim.pushPost("SqlConfig", "d82", "[{\"terminalId\":\"80001\"}]");
        // A blank after the colon is part of the value: that key matches no manager.
        m_s.sim.pushRaw("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype: d82\r\nContent-Length:2\r\n\r\n[]");
        QVERIFY(SimSession::spinUntil([&] { return later.saw("post SqlConfig_ d82"); }));
        QCOMPARE(only(probes.journal(), "post"),
                 (std::vector<std::string>{"slot1: post SqlConfig_d82", "slot17: post SqlConfig_d82",
                                           "slot1: post SqlConfig_ d82", "slot17: post SqlConfig_ d82",
                                           "slot19: post SqlConfig_ d82"}));
        QCOMPARE(d82.bodiesOf("post SqlConfig_d82"), std::vector<std::string>{"[{\"terminalId\":\"80001\"}]"});
    }

    void answersReachEveryManagerInSlotOrder()
    {
        ZnManageCenter& centre = *m_s.centre;
        Probes probes(centre);
        probes.at(ZnManageCenter::TerminalSlot);
        ProbeManage& log = probes.at(ZnManageCenter::LogSlot);
        ProbeManage& last = probes.at(ZnManageCenter::SchemeSlot);

        QCOMPARE(centre.getD82List(), 0);
        QCOMPARE(only(probes.journal(), "answer"),
                 (std::vector<std::string>{"slot1: answer 278", "slot8: answer 278", "slot19: answer 278"}));
        QVERIFY(last.bodiesOf("answer 278").back().find("\"terminalId\":\"80001\"") != std::string::npos);

        m_s.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Fail, "table locked", 0, 1));
        QCOMPARE(centre.getLogPage(5, 0), 1);
        QCOMPARE(only(probes.journal(), "failed"),
                 (std::vector<std::string>{"slot1: failed 132", "slot8: failed 132", "slot19: failed 132"}));
        QCOMPARE(log.bodiesOf("failed 132"), std::vector<std::string>{"table locked"});
    }

    void conflictDeleteAndSet()
    {
        ZnManageCenter& centre = *m_s.centre;
        QCOMPARE(apiSetConflictCallback(
                     &centre,
                     [](int code, const char* body) {
                         SimSession::onConflict(code, body); // keeps settle() working
                         std::lock_guard<std::mutex> lock(gMutex);
                         if (std::string(body).compare(0, 7, "marker ") != 0)
                             gConflict = std::to_string(code) + ":" + body;
                     },
                     0),
                 0);
        QCOMPARE(apiSetRegionCallback(&centre,
                                      [](int code, void* data) {
                                          std::lock_guard<std::mutex> lock(gMutex);
                                          gRegionEvents.push_back(code);
                                          gRegionEvents.push_back(*static_cast<int*>(data));
                                      }),
                 0);
        Probes probes(centre);
        probes.at(ZnManageCenter::TerminalSlot);
        ProbeManage& tts = probes.at(ZnManageCenter::TtsSlot);
        ProbeManage& scheme = probes.at(ZnManageCenter::SchemeSlot);
        tts.acceptKey = "SqlConfig_tts71";

        // A conflict goes to its callback only, not to the managers as well; a deletion
        // goes to every manager, and the region manager acts on its own type alone.
        const std::string conflict = "[{\"terminalId\":\"7\",\"name\":\"A\",\"ip\":\"1.2.3.4\"}]";
        m_s.sim.pushPost("TerminalConflict", "", conflict);
        m_s.sim.pushDelete("Region", 12);
        m_s.sim.pushDelete("region", 13);
        // A SET with a key is a push under that key (one without goes to the SET hooks).
        m_s.sim.pushSet("SqlConfig", "tts71", "[]");
        QVERIFY(m_s.settle());
        QCOMPARE(guarded(gConflict), "0:" + conflict);
        QCOMPARE(guarded(gRegionEvents), (std::vector<int>{143, 12}));
        QCOMPARE(only(probes.journal(), "slot1:"),
                 (std::vector<std::string>{"slot1: delete Region 12", "slot1: delete region 13",
                                           "slot1: post SqlConfig_tts71"}));
        QVERIFY(tts.saw("post SqlConfig_tts71"));
        QVERIFY(scheme.saw("delete region 13"));
        QVERIFY(!scheme.saw("post SqlConfig_tts71"));
    }

    void splitMergedAndNulBytes()
    {
        Probes probes(*m_s.centre);
        ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
        d82.acceptKey = "SqlConfig_d82";

        // Every byte on its own: requests still complete, pushes arrive whole.
        m_s.sim.setSplit(1, 0);
        QCOMPARE(m_s.centre->getD82List(), 0);
        m_s.sim.pushPost("SqlConfig", "d82", "[{\"name\":\"split\"}]");
        QVERIFY(SimSession::spinUntil([&] { return d82.saw("post SqlConfig_d82"); }));
        m_s.sim.setSplit(0);

        // Three messages in one write are handed on in order; a NUL is counted, not cut.
        std::string merged;
        for (const std::string& name : {std::string("one"), std::string("two"), std::string("ab\0cd", 5)})
            merged += ZnSimServer::message("POST DBP/1.0", "SqlConfig", "d82", name);
        m_s.sim.pushRaw(merged);
        QVERIFY(SimSession::spinUntil([&] { return d82.bodiesOf("post").size() == 4; }));
        QCOMPARE(d82.bodiesOf("post"),
                 (std::vector<std::string>{"[{\"name\":\"split\"}]", "one", "two", std::string("ab\0cd", 5)}));
    }

    void badInputNeverEndsTheConnection()
    {
        Probes probes(*m_s.centre);
        ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot);
        ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
        first.throwOnPost = true;
        d82.acceptKey = "SqlConfig_d82";

        m_s.sim.pushPost("SqlConfig", "d82", "{not json");
        m_s.sim.pushRaw("HELLO DBP/9.9\r\nContent-Length:3\r\n\r\nxyz");
        m_s.sim.pushPost("SqlConfig", "dsk72", "[1,2,{\"terminalId\":[]}]");
        m_s.sim.pushDelete("D72", -5);
        m_s.sim.pushRaw(ZnSimServer::answer(true, 100007, "[{\"terminalId\":\"5\"}]")); // nobody waits for it
        m_s.sim.pushPost("SqlConfig", "d82", "[]");
        // A manager that throws is passed by; the later ones are still offered each push
        // (the D72 manager in slot 12 takes "SqlConfig_dsk72" before slot 17 sees it).
        QVERIFY(SimSession::spinUntil([&] { return d82.bodiesOf("post").size() == 2; }));
        QCOMPARE(d82.bodiesOf("post SqlConfig_d82"), (std::vector<std::string>{"{not json", "[]"}));
        QCOMPARE(m_s.centre->state(), int(ZnNetManage::LoggedIn));
        QCOMPARE(m_s.centre->getTtsList(), 0);
    }
};

QTEST_GUILESS_MAIN(TstDispatch)
#include "tst_dispatch.moc"
