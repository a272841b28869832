#include "../ProbeManage.h"
#include "FamilyFixture.h"
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnCap.h"
#include "ZnCapListMgr.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnLoginNetHandle.h"
#include "ZnManualClock.h"
#include "ZnViewConnectRequest.h"

#include <QtTest>

#include <mutex>

namespace {
std::mutex gMutex;
std::vector<ZnBroadcast> gPushed;

void onPushed(ZnBroadcast* b)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gPushed.push_back(*b);
}
}

// The capture page connects by slot name through the view bridge.
class CapPage : public PageSide
{
    Q_OBJECT
public slots:
    void list() { onList(); }
    void removedRow(int id) { onRemoved(id); }
    void changedRow(int id) { onChanged(id); }
};

// The capture units, the broadcast lists that share their SET pushes, and the hub's
// own list request.
class TstCaptures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_s.sim.clearRules(); }
    void capListPushesAndDeletions();
    void capChangesOnlyOnAcceptance();
    void setsNotTakenReachTheLaterSlots();
    void hubGivesUpOnABusyLine();

private:
    std::vector<int> capIds();

    SimSession m_s;
    CapPage m_page;
    ZnCapListMgr* m_caps = nullptr;
};

std::vector<int> TstCaptures::capIds()
{
    std::vector<int> out;
    if (std::list<ZnCap>* list = ZnCapListMgr::holder()->lockList()) {
        out = idsOf(*list);
        ZnCapListMgr::holder()->unlock();
    }
    return out;
}

void TstCaptures::initTestCase()
{
    m_s.sim.withData([](ZnSimData& d) {
        fill(d, "capd73", {"9", "bad", "3", "5", "99999999999"}, R"({"type":"CAP","name":"","capVol":"40"})");
    });
    QVERIFY(startHub(m_s));
    ZnLockedList* holder = ServiceHub::instance()->capList();
    QVERIFY(holder == ZnCapListMgr::holder());
    const char* slotTexts[] = {SLOT(list()), nullptr, SLOT(removedRow(int)), SLOT(changedRow(int))};
    for (int kind : {0, 2, 3}) {
        ZnViewConnectRequest request;
        request.kind = static_cast<int16_t>(kind);
        request.receiver = &m_page;
        request.slot = slotTexts[kind];
        QCOMPARE(ZnCreateViewCtrMgr::connectView(holder, request), 0);
    }
    m_caps = ZnCapListMgr::instance(); // waits for the first list
    m_s.centre->broadcastManage()->setCallbacks(nullptr, nullptr, &onPushed);
}

void TstCaptures::capListPushesAndDeletions()
{
    // instance() waited for the answer; the page hears of it through the bridge.
    QVERIFY(SimSession::spinUntil([&] { return m_page.lists == 1; }));
    QCOMPARE(capIds(), (std::vector<int>{3, 5, 9})); // sorted; rows without a usable id dropped
    ZnCap cap;
    QVERIFY(m_caps->findCap(3, cap));
    QCOMPARE(cap.name, std::string("Cap_3"));
    QCOMPARE(cap.capVol, 40);
    QCOMPARE(m_s.lastBody("GET SqlConfig/CapList"), std::string("select * from capd73"));
    // The hub's own request refreshes the same holder.
    QCOMPARE(ServiceHub::instance()->requestCapList(), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_page.lists == 2; }));

    // Pushed rows move to the end; a body that is no JSON changes nothing.
    m_s.sim.pushPost("SqlConfig", "capd73", "[" + capRow(3, "Gate") + "," + capRow(12, "New") + "]");
    m_s.sim.pushPost("SqlConfig", "capd73", "{oops");
    m_s.sim.pushPost("SqlConfig", "capd73", "[" + capRow(5, "After") + "]");
    QVERIFY(SimSession::spinUntil([&] { return m_page.changed.size() == 3; }));
    QCOMPARE(m_page.changed, (std::vector<int>{3, 12, 5}));
    QCOMPARE(capIds(), (std::vector<int>{9, 3, 12, 5}));
    QVERIFY(m_caps->findCap(3, cap));
    QCOMPARE(cap.name, std::string("Gate"));

    m_s.sim.pushDelete("CAP", 777); // not in the list: no view call
    m_s.sim.pushDelete("Cap", 9);   // another type name
    m_s.sim.pushDelete("CAP", 9);
    m_s.sim.pushDelete("CAP", 12);
    QVERIFY(SimSession::spinUntil([&] { return m_page.removed.size() >= 2; }));
    QCOMPARE(m_page.removed, (std::vector<int>{9, 12}));
    QCOMPARE(capIds(), (std::vector<int>{3, 5}));
}

void TstCaptures::capChangesOnlyOnAcceptance()
{
    ZnCap cap;
    QVERIFY(m_caps->findCap(5, cap));
    cap.name = "Stage";
    cap.capVol = 77;
    cap.capSamplerate = 32000;
    QCOMPARE(m_caps->modifyCap(m_s.centre.get(), cap), 0);
    QCOMPARE(m_s.lastBody("POST CapD73Set"),
             std::string(R"({"CapSamplerate":"32000","CapVol":"77","Id":"5","Name":"Stage"})"
                         "\n"));
    m_s.sim.addRule(ZnSimRule::make("POST CapD73Set", ZnSimRule::Fail, "refused"));
    cap.name = "Refused";
    QCOMPARE(m_caps->modifyCap(m_s.centre.get(), cap), 4);
    QVERIFY(m_caps->findCap(5, cap));
    QCOMPARE(cap.name, std::string("Stage"));

    QCOMPARE(m_caps->removeCap(m_s.centre.get(), cap), 0);
    QVERIFY(!m_caps->findCap(5, cap));
    QCOMPARE(m_s.lastBody("POST RemoveDevice"), std::string(R"({"Id":"5","Type":"CAP"})"
                                                            "\n"));
}

void TstCaptures::setsNotTakenReachTheLaterSlots()
{
    Probes probes(*m_s.centre);
    ProbeManage& later = probes.at(ZnManageCenter::SchemeSlot);
    later.acceptSet = true;
    m_page.changed.clear();
    const std::string capList = "<?xml version=\"1.0\"?><CapList><Cap id=\"5\"/></CapList>";
    const std::string broken = "<?xml version=\"1.0\"?><BroadcastList><Broadcast id=\"5\"></BroadcastList>";
    std::string deep = "<?xml version=\"1.0\"?><BroadcastList>";
    for (int i = 0; i < 50000; ++i)
        deep += "<b>";
    for (const std::string& body : {capList, broken, deep})
        m_s.sim.pushSet("", "", body);
    // Rows the capture manager can read stay its own; a good broadcast list is the
    // broadcast manager's, which hands on its first broadcast.
    m_s.sim.pushSet("", "", "[" + capRow(3, "<x><CapList>") + "]");
    m_s.sim.pushSet("", "",
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><BroadcastList>"
                    "<Broadcast id=\"21\" name=\"\xe6\x97\xa9\" em=\"1\"><Region><R key=\"1\" id=\"4\"/></Region>"
                    "<File><F i=\"9\" n=\"bell.mp3\"/></File></Broadcast><Broadcast id=\"22\"/></BroadcastList>");
    QVERIFY(SimSession::spinUntil([&] {
        std::lock_guard<std::mutex> lock(gMutex);
        return gPushed.size() == 1 && !m_page.changed.empty();
    }));
    QCOMPARE(later.bodiesOf("set"), (std::vector<std::string>{capList, broken, deep}));
    QCOMPARE(m_page.changed, std::vector<int>{3});
    std::lock_guard<std::mutex> lock(gMutex);
    const ZnBroadcast& b = gPushed.front();
    QCOMPARE(b.id, 21);
    QCOMPARE(b.name, std::string("\xe6\x97\xa9"));
    QVERIFY(b.em);
    QCOMPARE(b.regions.front().second.regionId, 4);
    QCOMPARE(b.files.front().name, std::string("bell.mp3"));
    QCOMPARE(m_s.centre->state(), int(ZnNetManage::LoggedIn));
}

void TstCaptures::hubGivesUpOnABusyLine()
{
    // An unanswered keep-alive holds the line, and the test clock outruns each wait
    // for it: every try ends busy (2) without sending, and the hub stops asking.
    ZnManualClock clock(ZnClock::now());
    const int online = m_s.sim.count("ONLINE");
    m_s.sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold, "", 0, 1));
    clock.advance(ZnLoginNetHandle::kInterval + 1); // past any keep-alive of this second
    // The entry is made before the server has read the keep-alive: wait for both.
    QVERIFY(SimSession::spinUntil(
        [&] { return m_s.centre->pendingCount() == 1 && m_s.sim.count("ONLINE") == online + 1; }));
    const int asked = m_s.sim.count("GET SqlConfig/CapList");
    QTimer mover;
    connect(&mover, &QTimer::timeout, [&clock] { clock.advance(3); });
    mover.start(0); // every pass of the wait loop
    QCOMPARE(ServiceHub::instance()->requestCapList(), 2);
    mover.stop();
    QCOMPARE(m_s.sim.count("GET SqlConfig/CapList"), asked);
    m_s.sim.releaseHeld();
    QVERIFY(SimSession::spinUntil([&] { return m_s.centre->pendingCount() == 0; }));
}

QTEST_GUILESS_MAIN(TstCaptures)
#include "tst_captures.moc"
