#include "FamilySim.h"
#include "ServiceHub.h"
#include "ZnCap.h"
#include "ZnCapListMgr.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnLoginNetHandle.h"
#include "ZnManualClock.h"
#include "ZnPlayTermListMgr.h"
#include "ZnViewConnectRequest.h"

#include <QSignalSpy>
#include <QtTest>

#include <json/json.h>

#include <list>
#include <memory>
#include <vector>

// Stands in for the capture page: counts what the view bridge delivers.
class CapViewReceiver : public QObject
{
    Q_OBJECT
public:
    int lists = 0;
    std::vector<int> updated;
    std::vector<int> removed;
public slots:
    void showCaps() { ++lists; }
    void updateCap(int id) { updated.push_back(id); }
    void delCap(int id) { removed.push_back(id); }
};

class TstCapSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void listReachesThePageThroughTheView();
    void pushedRowsMoveToTheEnd();
    void deleteOfTypeCap();
    void modifyOnlyOnAcceptance();
    void removalOnlyOnAcceptance();
    void setUnderCapListIsNotSwallowed();
    void hubGivesUpOnABusyLine();

private:
    static std::vector<int> ids();
    static std::string row(int id, const char* name)
    {
        return std::string("{\"terminalId\":\"") + std::to_string(id) + "\",\"type\":\"CAP\",\"status\":\"0\","
               "\"name\":\"" + name + "\"}";
    }

    std::unique_ptr<FamilySim> m_s;
    CapViewReceiver m_page;
    ZnCapListMgr* m_caps = nullptr;
};

std::vector<int> TstCapSim::ids()
{
    std::vector<int> out;
    if (std::list<ZnCap>* list = ZnCapListMgr::holder()->lockList()) {
        for (const ZnCap& c : *list)
            out.push_back(c.id);
        ZnCapListMgr::holder()->unlock();
    }
    return out;
}

void TstCapSim::initTestCase()
{
    m_s.reset(new FamilySim);
    m_s->sim.withData([](ZnSimData& d) {
        d.table("capd73").clear();
        for (const char* id : {"9", "bad", "3", "5", "99999999999"}) {
            Json::Value r(Json::objectValue);
            r["terminalId"] = id;
            r["type"] = "CAP";
            r["status"] = "0";
            r["name"] = "";
            r["capVol"] = "40";
            r["capSamplerate"] = "16000";
            d.addRow("capd73", r);
        }
    });
    QVERIFY(m_s->login());
    ServiceHub::create(&m_s->centre);
    ZnLockedList* holder = ServiceHub::instance()->capList();
    QVERIFY(holder == ZnCapListMgr::holder());
    const char* slotTexts[] = {SLOT(showCaps()), nullptr, SLOT(delCap(int)), SLOT(updateCap(int))};
    for (int kind : {0, 2, 3}) {
        ZnViewConnectRequest request;
        request.kind = static_cast<int16_t>(kind);
        request.receiver = &m_page;
        request.slot = slotTexts[kind];
        QCOMPARE(ZnCreateViewCtrMgr::connectView(holder, request), 0);
    }
    m_caps = ZnCapListMgr::instance();
}

void TstCapSim::cleanupTestCase()
{
    m_s.reset();
}

void TstCapSim::init()
{
    m_s->sim.clearRules();
}

void TstCapSim::listReachesThePageThroughTheView()
{
    // instance() waited for the answer; the page hears of it through the bridge.
    QVERIFY(FamilySim::spinUntil([&] { return m_page.lists == 1; }));
    QCOMPARE(ids(), (std::vector<int>{3, 5, 9})); // sorted; rows without a usable id dropped
    ZnCap cap;
    QVERIFY(m_caps->findCap(3, cap));
    QCOMPARE(cap.name, std::string("Cap_3"));
    QCOMPARE(cap.capVol, 40);
    QCOMPARE(int(m_s->requests("GET SqlConfig/CapList").size()), 1);
    QCOMPARE(m_s->requests("GET SqlConfig/CapList").front().body, std::string("select * from capd73"));

    // The hub's own request refreshes the same holder.
    QCOMPARE(ServiceHub::instance()->requestCapList(), 0);
    QVERIFY(FamilySim::spinUntil([&] { return m_page.lists == 2; }));
}

void TstCapSim::pushedRowsMoveToTheEnd()
{
    m_page.updated.clear();
    m_s->sim.pushPost("SqlConfig", "capd73", "[" + row(3, "Gate") + "," + row(12, "New") + "]");
    QVERIFY(FamilySim::spinUntil([&] { return m_page.updated.size() == 2; }));
    QCOMPARE(m_page.updated, (std::vector<int>{3, 12}));
    QCOMPARE(ids(), (std::vector<int>{5, 9, 3, 12}));
    ZnCap cap;
    QVERIFY(m_caps->findCap(3, cap));
    QCOMPARE(cap.name, std::string("Gate"));

    // A body that is no JSON is taken and changes nothing.
    m_s->sim.pushPost("SqlConfig", "capd73", "{oops");
    m_s->sim.pushPost("SqlConfig", "capd73", "[" + row(5, "After") + "]");
    QVERIFY(FamilySim::spinUntil([&] { return m_page.updated.size() == 3; }));
    QCOMPARE(ids(), (std::vector<int>{9, 3, 12, 5}));
}

void TstCapSim::deleteOfTypeCap()
{
    m_page.removed.clear();
    m_s->sim.pushDelete("CAP", 777);   // not in the list: no view call
    m_s->sim.pushDelete("Cap", 9);     // another type name
    m_s->sim.pushDelete("CAP", 9);
    QVERIFY(FamilySim::spinUntil([&] { return !m_page.removed.empty(); }));
    QTest::qWait(50);
    QCOMPARE(m_page.removed, std::vector<int>{9});
    QCOMPARE(ids(), (std::vector<int>{3, 12, 5}));
}

void TstCapSim::modifyOnlyOnAcceptance()
{
    ZnCap cap;
    QVERIFY(m_caps->findCap(5, cap));
    cap.name = "Stage";
    cap.capVol = 77;
    cap.capSamplerate = 32000;
    QCOMPARE(m_caps->modifyCap(&m_s->centre, cap), 0);
    ZnCap now;
    QVERIFY(m_caps->findCap(5, now));
    QCOMPARE(now.name, std::string("Stage"));
    const ZnSimRequest sent = m_s->requests("POST CapD73Set").back();
    QCOMPARE(sent.body, std::string(R"({"CapSamplerate":"32000","CapVol":"77","Id":"5","Name":"Stage"})" "\n"));
    m_s->sim.withData([](ZnSimData& d) {
        for (const Json::Value& r : d.table("capd73")) {
            if (r["terminalId"].asString() == "5")
                QCOMPARE(r["capVol"].asString(), std::string("77"));
        }
    });

    m_s->sim.addRule(ZnSimRule::make("POST CapD73Set", ZnSimRule::Fail, "refused"));
    cap.name = "Refused";
    QCOMPARE(m_caps->modifyCap(&m_s->centre, cap), 4);
    QVERIFY(m_caps->findCap(5, now));
    QCOMPARE(now.name, std::string("Stage"));
}

void TstCapSim::removalOnlyOnAcceptance()
{
    ZnCap cap;
    QVERIFY(m_caps->findCap(12, cap));
    m_s->sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "device busy", 0, 1));
    // The refusal is the capture page's to report, not the player page's as well.
    QSignalSpy otherFamily(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::delTermError);
    QCOMPARE(m_caps->removeCap(&m_s->centre, cap), 1);
    QVERIFY(m_caps->findCap(12, cap)); // the refused unit stays
    QTest::qWait(50);
    QCOMPARE(otherFamily.count(), 0);
    // A refused removal of an amplifier is still reported there.
    m_s->sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "device busy", 0, 1));
    QCOMPARE(ZnPlayTermListMgr::instance()->removeTerminal(12, "IP"), 1);
    QVERIFY(FamilySim::spinUntil([&] { return otherFamily.count() == 1; }));

    QVERIFY(m_caps->findCap(3, cap));
    QCOMPARE(m_caps->removeCap(&m_s->centre, cap), 0);
    QVERIFY(!m_caps->findCap(3, cap));
    const ZnSimRequest sent = m_s->requests("POST RemoveDevice").back();
    QCOMPARE(sent.body, std::string(R"({"Id":"3","Type":"CAP"})" "\n"));
}

void TstCapSim::setUnderCapListIsNotSwallowed()
{
    SpyManager spy;
    spy.takeSets = true;
    SlotSwap swap(m_s->centre, ZnManageCenter::SchemeSlot, &spy);
    m_page.updated.clear();

    const std::string xml = "<?xml version=\"1.0\"?><CapList><Cap id=\"5\"/></CapList>";
    m_s->sim.pushSet("", "", xml);
    QVERIFY(FamilySim::spinUntil([&] { return !spy.sets().empty(); }));
    QCOMPARE(spy.sets().front(), xml);

    // Rows the capture manager can read stay its own.
    m_s->sim.pushSet("", "", "[" + row(5, "<x><CapList>") + "]");
    QVERIFY(FamilySim::spinUntil([&] { return !m_page.updated.empty(); }));
    QCOMPARE(m_page.updated, std::vector<int>{5});
    QCOMPARE(int(spy.sets().size()), 1);
}

void TstCapSim::hubGivesUpOnABusyLine()
{
    // An unanswered keep-alive holds the line, and the test clock outruns each wait
    // for it: every try ends busy, and the hub stops asking.
    ZnManualClock clock(ZnClock::now());
    const int online = m_s->sim.count("ONLINE");
    m_s->sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold, "", 0, 1));
    clock.advance(ZnLoginNetHandle::kInterval);
    QVERIFY(FamilySim::spinUntil([&] { return m_s->centre.pendingCount() == 1; }));
    QCOMPARE(m_s->sim.count("ONLINE"), online + 1);
    const int asked = m_s->sim.count("GET SqlConfig/CapList");
    QTimer mover;
    connect(&mover, &QTimer::timeout, [&clock] { clock.advance(3); });
    mover.start(5);
    QCOMPARE(ServiceHub::instance()->requestCapList(), 2);
    mover.stop();
    QCOMPARE(m_s->sim.count("GET SqlConfig/CapList"), asked);
    m_s->sim.releaseHeld();
    QVERIFY(FamilySim::spinUntil([&] { return m_s->centre.pendingCount() == 0; }));
}

QTEST_MAIN(TstCapSim)
#include "tst_capsim.moc"
