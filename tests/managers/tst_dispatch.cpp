#include "ProbeManage.h"
#include "SimSession.h"
#include "ZnApi.h"

#include <QtTest>

#include <algorithm>

namespace {
std::vector<int> gRegionEvents;
std::mutex gRegionMutex;

void onRegion(int code, void* data)
{
    std::lock_guard<std::mutex> lock(gRegionMutex);
    gRegionEvents.push_back(code);
    gRegionEvents.push_back(*static_cast<int*>(data));
}

std::string gConflict;
std::mutex gConflictMutex;

void onConflict(int code, const char* body)
{
    std::lock_guard<std::mutex> lock(gConflictMutex);
    gConflict = std::to_string(code) + ":" + body;
}

// Puts probes into slots for the life of a test and gives the managers back after.
class Probes
{
public:
    explicit Probes(ZnManageCenter& centre)
        : m_centre(centre)
    {
    }
    ~Probes()
    {
        for (auto& p : m_saved)
            m_centre.swapSlot(p.first, p.second);
    }
    ProbeManage& at(int slot, const std::string& tag)
    {
        m_probes.emplace_back(new ProbeManage(tag, &journal));
        m_saved.emplace_back(slot, m_centre.swapSlot(slot, m_probes.back().get()));
        return *m_probes.back();
    }
    std::vector<std::string> journalCopy() const
    {
        std::lock_guard<std::mutex> lock(ProbeManage::journalMutex());
        return journal;
    }
    std::vector<std::string> journal;

private:
    ZnManageCenter& m_centre;
    std::vector<std::unique_ptr<ProbeManage>> m_probes;
    std::vector<std::pair<int, ZnBaseMgr*>> m_saved;
};
}

class TstDispatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pushIsRoutedByKeyInSlotOrder();
    void answersReachEveryManagerInSlotOrder();
    void conflictReachesItsCallback();
    void deleteAndSetAsTheProtocolDecides();
    void splitAndMergedWrites();
    void nulBytesAreCountedNotCut();
    void badInputNeverEndsTheConnection();
    void serverClosingMidMessageIsALoss();

private:
    SimSession* m_session = nullptr;
};

void TstDispatch::initTestCase()
{
    // One logged-in session serves the dispatch cases that keep the line up.
    m_session = new SimSession;
    QVERIFY(m_session->login());
}

void TstDispatch::pushIsRoutedByKeyInSlotOrder()
{
    ZnManageCenter& centre = *m_session->centre;
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot, "slot1");
    ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot, "slot17");
    ProbeManage& later = probes.at(ZnManageCenter::SchemeSlot, "slot19");
    d82.acceptKey = "SqlConfig_d82";
    later.acceptKey = "SqlConfig_d82";

    m_session->sim.pushPost("SqlConfig", "d82", "[{\"terminalId\":\"80001\"}]");
    QVERIFY(ZnSimServer::waitFor([&] { return d82.saw("post SqlConfig_d82"); }));
    QVERIFY(first.saw("post SqlConfig_d82"));
    QVERIFY(!later.saw("post SqlConfig_d82"));
    QCOMPARE(d82.bodies().back(), std::string("[{\"terminalId\":\"80001\"}]"));

    // A blank after the colon is part of the value: that key matches no manager.
    m_session->sim.pushRaw("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype: d82\r\nContent-Length:2\r\n\r\n[]");
    QVERIFY(ZnSimServer::waitFor([&] { return later.saw("post SqlConfig_ d82"); }));
    const std::vector<std::string> calls = d82.calls();
    QCOMPARE(int(std::count(calls.begin(), calls.end(), "post SqlConfig_d82")), 1);
    const std::vector<std::string> journal = probes.journalCopy();
    const auto it = std::find(journal.begin(), journal.end(), "slot1: post SqlConfig_ d82");
    QVERIFY(it != journal.end());
    QVERIFY(std::find(it, journal.end(), "slot19: post SqlConfig_ d82") != journal.end());
}

void TstDispatch::answersReachEveryManagerInSlotOrder()
{
    ZnManageCenter& centre = *m_session->centre;
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot, "slot1");
    ProbeManage& log = probes.at(ZnManageCenter::LogSlot, "slot8");
    ProbeManage& last = probes.at(ZnManageCenter::SchemeSlot, "slot19");

    QCOMPARE(centre.getD82List(), 0);
    std::vector<std::string> order;
    for (const std::string& entry : probes.journalCopy()) {
        if (entry.find("answer 278") != std::string::npos)
            order.push_back(entry);
    }
    const std::vector<std::string> expected = {"slot1: answer 278", "slot8: answer 278", "slot19: answer 278"};
    QCOMPARE(order, expected);
    QVERIFY(last.bodies().back().find("\"terminalId\":\"80001\"") != std::string::npos);

    m_session->sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Fail, "table locked", 0, 1));
    QCOMPARE(centre.getLogPage(5, 0), 1);
    QVERIFY(log.saw("failed 132"));
    QCOMPARE(log.bodies().back(), std::string("table locked"));
    QVERIFY(first.saw("failed 132"));
}

void TstDispatch::conflictReachesItsCallback()
{
    ZnManageCenter& centre = *m_session->centre;
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot, "slot1");
    QCOMPARE(apiSetConflictCallback(&centre, &onConflict, 0), 0);
    m_session->sim.pushPost("TerminalConflict", "", "[{\"terminalId\":\"7\",\"name\":\"A\",\"ip\":\"1.2.3.4\"}]");
    QVERIFY(ZnSimServer::waitFor([&] {
        std::lock_guard<std::mutex> lock(gConflictMutex);
        return !gConflict.empty();
    }));
    QCOMPARE(gConflict, std::string("0:[{\"terminalId\":\"7\",\"name\":\"A\",\"ip\":\"1.2.3.4\"}]"));
    // It is not offered to the managers as well.
    QTest::qWait(30);
    QVERIFY(first.calls().empty());
}

void TstDispatch::deleteAndSetAsTheProtocolDecides()
{
    ZnManageCenter& centre = *m_session->centre;
    QCOMPARE(apiSetRegionCallback(&centre, &onRegion), 0);
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot, "slot1");
    ProbeManage& tts = probes.at(ZnManageCenter::TtsSlot, "slot11");
    ProbeManage& scheme = probes.at(ZnManageCenter::SchemeSlot, "slot19");

    // A deletion goes to every manager; the region manager acts on its own type.
    m_session->sim.pushDelete("Region", 12);
    QVERIFY(ZnSimServer::waitFor([&] { return scheme.saw("delete Region 12"); }));
    QVERIFY(first.saw("delete Region 12"));
    {
        std::lock_guard<std::mutex> lock(gRegionMutex);
        QCOMPARE(gRegionEvents, (std::vector<int>{143, 12}));
    }
    m_session->sim.pushDelete("region", 13);
    QVERIFY(ZnSimServer::waitFor([&] { return scheme.saw("delete region 13"); }));
    {
        std::lock_guard<std::mutex> lock(gRegionMutex);
        QCOMPARE(gRegionEvents.size(), size_t(2));
    }

    // A SET with a key is a push under that key; without one, its body goes to
    // the SET hooks until one takes it.
    tts.acceptKey = "SqlConfig_tts71";
    m_session->sim.pushSet("SqlConfig", "tts71", "[]");
    QVERIFY(ZnSimServer::waitFor([&] { return tts.saw("post SqlConfig_tts71"); }));
    QVERIFY(!scheme.saw("post SqlConfig_tts71"));

    tts.acceptSet = true;
    m_session->sim.pushSet("", "", "<?xml version=\"1.0\"?><CapList/>");
    QVERIFY(ZnSimServer::waitFor([&] { return tts.saw("set"); }));
    QVERIFY(first.saw("set"));
    QVERIFY(!scheme.saw("set"));
}

void TstDispatch::splitAndMergedWrites()
{
    ZnManageCenter& centre = *m_session->centre;
    Probes probes(centre);
    ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot, "slot17");
    d82.acceptKey = "SqlConfig_d82";

    // Every byte on its own: requests still complete, pushes arrive whole.
    m_session->sim.setSplit(1, 0);
    QCOMPARE(centre.getD82List(), 0);
    m_session->sim.pushPost("SqlConfig", "d82", "[{\"name\":\"split\"}]");
    QVERIFY(ZnSimServer::waitFor([&] { return d82.saw("post SqlConfig_d82"); }));
    QCOMPARE(d82.bodies().back(), std::string("[{\"name\":\"split\"}]"));
    m_session->sim.setSplit(0);

    // Three messages in one write are handed on in order.
    std::string merged;
    for (const char* name : {"one", "two", "three"})
        merged += ZnSimServer::message("POST DBP/1.0", "SqlConfig", "d82", name);
    m_session->sim.pushRaw(merged);
    QVERIFY(ZnSimServer::waitFor([&] { return d82.bodies().size() >= 5; }));
    const std::vector<std::string> bodies = d82.bodies();
    QCOMPARE(std::vector<std::string>(bodies.end() - 3, bodies.end()),
             (std::vector<std::string>{"one", "two", "three"}));
}

void TstDispatch::nulBytesAreCountedNotCut()
{
    ZnManageCenter& centre = *m_session->centre;
    Probes probes(centre);
    ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot, "slot17");
    d82.acceptKey = "SqlConfig_d82";
    const std::string body("ab\0cd", 5);
    m_session->sim.pushPost("SqlConfig", "d82", body);
    m_session->sim.pushPost("SqlConfig", "d82", "after");
    QVERIFY(ZnSimServer::waitFor([&] { return d82.bodies().size() == 2; }));
    QCOMPARE(d82.bodies()[0], body);
    QCOMPARE(d82.bodies()[1], std::string("after"));
}

void TstDispatch::badInputNeverEndsTheConnection()
{
    ZnManageCenter& centre = *m_session->centre;
    Probes probes(centre);
    ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot, "slot1");
    ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot, "slot17");
    first.throwOnPost = true;
    d82.acceptKey = "SqlConfig_d82";

    m_session->sim.pushPost("SqlConfig", "d82", "{not json");
    m_session->sim.pushRaw("HELLO DBP/9.9\r\nContent-Length:3\r\n\r\nxyz");
    m_session->sim.pushPost("SqlConfig", "dsk72", "[1,2,{\"terminalId\":[]}]");
    m_session->sim.pushDelete("D72", -5);
    m_session->sim.pushPost("SqlConfig", "d82", "[]");
    // A manager that throws is passed by; the later ones are still offered each push
    // (the D72 manager in slot 12 takes "SqlConfig_dsk72" before slot 17 sees it).
    auto posts = [&d82] {
        std::vector<std::string> out;
        const std::vector<std::string> calls = d82.calls();
        const std::vector<std::string> bodies = d82.bodies();
        for (size_t i = 0; i < calls.size(); ++i) {
            if (calls[i].compare(0, 5, "post ") == 0)
                out.push_back(calls[i].substr(5) + " " + bodies[i]);
        }
        return out;
    };
    QVERIFY(ZnSimServer::waitFor([&] { return posts().size() == 2; }));
    QCOMPARE(posts(), (std::vector<std::string>{"SqlConfig_d82 {not json", "SqlConfig_d82 []"}));
    QCOMPARE(centre.state(), int(ZnNetManage::LoggedIn));
    QCOMPARE(centre.getTtsList(), 0);
}

void TstDispatch::serverClosingMidMessageIsALoss()
{
    SimSession s;
    QVERIFY(s.login());
    const int losses = SimSession::losses();
    s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::CloseMidMessage));
    QCOMPARE(s.centre->getD82List(), 4);
    QVERIFY(s.waitState(ZnNetManage::Stopped));
    QVERIFY(ZnSimServer::waitFor([&] { return SimSession::losses() == losses + 1; }));
}

QTEST_GUILESS_MAIN(TstDispatch)
#include "tst_dispatch.moc"
