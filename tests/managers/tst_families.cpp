#include "ProbeManage.h"
#include "ServiceHub.h"
#include "SimSession.h"
#include "ZnApi.h"
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnCap.h"
#include "ZnCapListMgr.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmManage.h"
#include "ZnFAlarmTrigger.h"
#include "ZnLoginNetHandle.h"
#include "ZnManualClock.h"
#include "ZnPlayTermListMgr.h"
#include "ZnTerminal.h"
#include "ZnTts.h"
#include "ZnTtsListMgr.h"
#include "ZnViewConnectRequest.h"

#include <QSignalSpy>
#include <QtTest>

#include <atomic>

namespace {
std::atomic<int> gPlayTermEvents{0};
std::atomic<int> gConfigEvents{0};
std::mutex gMutex;
std::vector<ZnBroadcast> gPushed;

void onPlayTerm(int, void*) { ++gPlayTermEvents; }
int onConfig(int, void*) { return ++gConfigEvents, 0; }
void onPushed(ZnBroadcast* b)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gPushed.push_back(*b);
}

// Puts rows of one shape under the given ids in place of the table's sample rows.
void fill(ZnSimData& d, const char* table, const std::vector<std::string>& ids, const char* json)
{
    Json::Value row;
    Json::Reader().parse(json, row);
    d.table(table).clear();
    for (const std::string& id : ids) {
        row["terminalId"] = id;
        d.addRow(table, row);
    }
}

std::string capRow(int id, const char* name)
{
    return "{\"terminalId\":\"" + std::to_string(id) + "\",\"type\":\"CAP\",\"status\":\"0\",\"name\":\"" + name + "\"}";
}

Json::Value ampRow(const std::string& id, const std::string& name, const std::string& broVol = "50")
{
    Json::Value r(Json::objectValue);
    r["terminalId"] = id;
    r["type"] = "6";
    r["name"] = name;
    r["broVol"] = broVol;
    r["power"] = "1";
    return r;
}

template <class List>
std::vector<int> idsOf(const List& list)
{
    std::vector<int> out;
    for (const auto& r : list)
        out.push_back(r.id);
    return out;
}
}

// What a page sees: every signal, queued to this (the GUI) thread.
class PageSide : public QObject
{
    Q_OBJECT
public:
    int lists = 0;
    int errors = 0;
    std::vector<int> changed, removed;
    QThread* ranOn = nullptr;
public slots:
    void onList()
    {
        ++lists;
        ranOn = QThread::currentThread();
    }
    void onChanged(int id)
    {
        changed.push_back(id);
        ranOn = QThread::currentThread();
    }
    void onRemoved(int id) { removed.push_back(id); }
    void onError() { ++errors; }
};

// The play-terminal, capture, fire-alarm, TTS and broadcast families against one simulated server:
// the service hub and the list models are process-wide and keep their centre.
class TstFamilies : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_s.sim.clearRules(); }
    void listsArriveInIdOrder();
    void pushesKeepTheOrder();
    void changesOnlyOnAcceptance();
    void refusedRemovalOfAnyFamily_data();
    void refusedRemovalOfAnyFamily();
    void capListPushesAndDeletions();
    void capChangesOnlyOnAcceptance();
    void setsNotTakenReachTheLaterSlots();
    void hubGivesUpOnABusyLine();
    void fAlarmListAndChanges();
    void triggerTravelsUnderItsOwnType_data();
    void triggerTravelsUnderItsOwnType();
    void channelTexts();
    void ttsListAndChanges();

private:
    std::vector<int> capIds();
    std::vector<int> alarmIds();
    std::vector<int> ttsIds();
    std::unique_ptr<PageSide> openAmpPage();

    SimSession m_s;
    ZnPlayTermListMgr* m_amps = nullptr;
    PageSide m_page; // the capture page
    ZnCapListMgr* m_caps = nullptr;
    ZnFAlarmListMgr* m_alarms = nullptr;
    ZnTtsListMgr* m_tts = nullptr;
};

std::vector<int> TstFamilies::capIds()
{
    std::vector<int> out;
    if (std::list<ZnCap>* list = ZnCapListMgr::holder()->lockList()) {
        out = idsOf(*list);
        ZnCapListMgr::holder()->unlock();
    }
    return out;
}

std::vector<int> TstFamilies::alarmIds()
{
    const std::vector<int> out = idsOf(*m_alarms->lockList());
    m_alarms->unlockList();
    return out;
}

std::vector<int> TstFamilies::ttsIds()
{
    std::list<ZnTts> list;
    m_tts->copyList(list);
    return idsOf(list);
}

// The amplifier page, having heard of a fresh list.
std::unique_ptr<PageSide> TstFamilies::openAmpPage()
{
    std::unique_ptr<PageSide> page(new PageSide);
    connect(m_amps, &ZnPlayTermListMgr::gotPlayTermList, page.get(), &PageSide::onList);
    connect(m_amps, &ZnPlayTermListMgr::playTermChanged, page.get(), &PageSide::onChanged);
    connect(m_amps, &ZnPlayTermListMgr::delTermError, page.get(), &PageSide::onError);
    if (m_amps->requestPlayTermList() != 0 || !SimSession::spinUntil([&] { return page->lists == 1; }))
        qWarning("no amplifier list");
    return page;
}

void TstFamilies::initTestCase()
{
    m_s.sim.withData([](ZnSimData& d) {
        // Out of id order on the server.
        d.addRow("ipamp", ampRow("10500", "Hall"));
        d.addRow("ipamp", ampRow("10200", "Yard"));
        fill(d, "capd73", {"9", "bad", "3", "5", "99999999999"}, R"({"type":"CAP","name":"","capVol":"40"})");
        // The broadcast is a text, kept as sent; numbers are read by their leading digits.
        fill(d, "firealarm", {"31", "4", "17"}, R"({"name":"","triggerType":"1","broadcast":"07","stopBroadcast":"2x"})");
        fill(d, "tts71", {"8", "3", "5"}, R"({"type":"TTS71","name":""})");
    });
    QVERIFY(m_s.login());
    ServiceHub::create(m_s.centre.get());
    ZnLockedList* holder = ServiceHub::instance()->capList();
    QVERIFY(holder == ZnCapListMgr::holder());
    const char* slotTexts[] = {SLOT(onList()), nullptr, SLOT(onRemoved(int)), SLOT(onChanged(int))};
    for (int kind : {0, 2, 3}) {
        ZnViewConnectRequest request;
        request.kind = static_cast<int16_t>(kind);
        request.receiver = &m_page;
        request.slot = slotTexts[kind];
        QCOMPARE(ZnCreateViewCtrMgr::connectView(holder, request), 0);
    }
    m_caps = ZnCapListMgr::instance(); // waits for the first list
    m_tts = ZnTtsListMgr::instance();  // likewise
    m_alarms = ZnFAlarmListMgr::instance();
    m_amps = ZnPlayTermListMgr::instance();
    QCOMPARE(m_s.sim.count("GET SqlConfig/FAlarmList"), 0); // creating it sends nothing
    QCOMPARE(apiSetPlayTerminalCallback(m_s.centre.get(), &onPlayTerm), 0);
    QCOMPARE(apiSetServerConfigCallback(m_s.centre.get(), &onConfig), 0);
    m_s.centre->broadcastManage()->setCallbacks(nullptr, nullptr, &onPushed);
}

void TstFamilies::listsArriveInIdOrder()
{
    const std::unique_ptr<PageSide> page = openAmpPage();
    // The page heard of the list on its own thread.
    QCOMPARE(page->ranOn, QThread::currentThread());
    QCOMPARE(idsOf(m_amps->copyList()), (std::vector<int>{10001, 10002, 10003, 10200, 10500}));
    ZnTerminal t;
    QVERIFY(m_amps->hasTerminal(10003, t));
    QCOMPARE(t.name, std::string("10003")); // an empty name becomes the id
    QCOMPARE(t.broVol, 60);
    QVERIFY(t.power);
    QCOMPARE(m_amps->getTerminal(10500)->name, std::string("Hall"));
    QVERIFY(!m_amps->getTerminal(1));

    // A later list replaces the first, whole.
    m_s.sim.withData([](ZnSimData& d) {
        auto& rows = d.table("ipamp");
        rows.erase(rows.begin());
    });
    QCOMPARE(m_amps->requestPlayTermList(), 0);
    QCOMPARE(m_amps->requestPlayTermList(), 0);
    QCOMPARE(idsOf(m_amps->copyList()), (std::vector<int>{10002, 10003, 10200, 10500}));
    QVERIFY(SimSession::spinUntil([&] { return page->lists == 3; }));
}

void TstFamilies::pushesKeepTheOrder()
{
    const std::unique_ptr<PageSide> page = openAmpPage();
    Json::Value rows(Json::arrayValue);
    rows.append(ampRow("10200", "Yard east", "35"));
    m_s.sim.pushPost("SqlConfig", "ipamp", ZnSimData::json(rows));
    QVERIFY(SimSession::spinUntil([&] { return page->changed.size() == 1; }));
    QCOMPARE(page->changed.front(), 10200);
    QCOMPARE(page->ranOn, QThread::currentThread()); // pushed on the receive thread, heard on this one
    ZnTerminal t;
    QVERIFY(m_amps->hasTerminal(10200, t));
    QCOMPARE(t.name, std::string("Yard east"));
    QCOMPARE(t.broVol, 35);

    // A new terminal lands in id order and redraws the whole list.
    Json::Value fresh(Json::arrayValue);
    fresh.append(ampRow("10100", "Gym"));
    fresh.append(ampRow("10900", "Roof"));
    m_s.sim.pushPost("SqlConfig", "ipamp", ZnSimData::json(fresh));
    QVERIFY(SimSession::spinUntil([&] { return page->lists == 3; }));
    QCOMPARE(idsOf(m_amps->copyList()), (std::vector<int>{10002, 10003, 10100, 10200, 10500, 10900}));

    // Keys that only look alike, and bodies that are no rows, change nothing.
    m_s.sim.pushPost("SqlConfig", "ipampx", ZnSimData::json(fresh));
    m_s.sim.pushPost("SqlConfig", " ipamp", ZnSimData::json(fresh));
    m_s.sim.pushPost("SqlConfig", "ipamp", "[{\"terminalId\":");
    m_s.sim.pushPost("SqlConfig", "ipamp", "{\"terminalId\":\"10002\"}");
    // The session still answers afterwards: nothing broke on the way.
    QCOMPARE(m_amps->speakerCheck(t), 0);
    QCOMPARE(page->changed.size(), size_t(1));
    QCOMPARE(m_amps->copyList().size(), size_t(6));
}

void TstFamilies::changesOnlyOnAcceptance()
{
    const std::unique_ptr<PageSide> page = openAmpPage();
    QCOMPARE(m_amps->setAmpPower(10002, "unused text", false), 0);
    QCOMPARE(m_s.lastBody("POST IpAmpPower"), std::string("{\"Id\":\"10002\",\"Power\":\"0\"}\n"));
    ZnTerminal t;
    QVERIFY(m_amps->hasTerminal(10002, t));
    QVERIFY(!t.power);
    t.name = "Hall";
    t.broVol = 60;
    QCOMPARE(m_amps->modifyTerminal(t), 0);
    QCOMPARE(m_s.lastBody("POST IpAmpSet"), std::string("{\"BroVol\":\"60\",\"Id\":\"10002\",\"Name\":\"Hall\"}\n"));
    QCOMPARE(m_amps->getTerminal(10002)->name, std::string("Hall"));
    QCOMPARE(m_amps->speakerCheck(t), 0);
    QCOMPARE(m_s.lastBody("POST IpAmpSpkCheck"), std::string("{\"Id\":\"10002\",\"SpkCheck\":\"1\"}\n"));

    // Refused, or never answered (3): the copy stays.
    m_s.sim.addRule(ZnSimRule::make("POST IpAmp", ZnSimRule::Fail, "no"));
    QCOMPARE(m_amps->setAmpPower(10002, nullptr, true), 1);
    ZnTerminal changed(t);
    changed.name = "Renamed";
    QCOMPARE(m_amps->modifyTerminal(changed), 1);
    m_s.sim.clearRules();
    m_s.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Withhold, "", 0, 1));
    QCOMPARE(m_amps->modifyTerminal(changed), 3);
    ZnTerminal after;
    QVERIFY(m_amps->hasTerminal(10002, after));
    QVERIFY(!after.power);
    QCOMPARE(after.name, std::string("Hall"));

    QCOMPARE(m_amps->removeTerminal(10003, "6"), 0);
    QCOMPARE(m_s.lastBody("POST RemoveDevice"), std::string("{\"Id\":\"10003\",\"Type\":\"6\"}\n"));
    QVERIFY(!m_amps->hasTerminal(10003, t));
}

void TstFamilies::refusedRemovalOfAnyFamily_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("reason");
    QTest::newRow("IP amplifier") << "amp" << "terminal 10002 is in a task";
    QTest::newRow("D72 console") << "d72" << "console 50001 busy";
    QTest::newRow("capture unit") << "cap" << "capture unit in use";
    QTest::newRow("TTS unit") << "tts" << "unit busy";
}

void TstFamilies::refusedRemovalOfAnyFamily()
{
    // Every family removes through "RemoveDevice"; the server's reason reaches the
    // operator through the play-terminal model, and the record stays.
    QFETCH(QString, family);
    QFETCH(QString, reason);
    const std::unique_ptr<PageSide> page = openAmpPage();
    m_s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, reason.toStdString(), 0, 1));
    int result = -1;
    bool kept = true;
    if (family == "amp") {
        result = m_amps->removeTerminal(10002, "6");
        ZnTerminal t;
        kept = m_amps->hasTerminal(10002, t);
    } else if (family == "d72") {
        result = apiRemoveDevice(m_s.centre.get(), 50001, terminalTypeName(2).c_str());
        QCOMPARE(m_s.lastBody("POST RemoveDevice"), std::string("{\"Id\":\"50001\",\"Type\":\"Dsk72\"}\n"));
    } else if (family == "cap") {
        ZnCap cap;
        QVERIFY(m_caps->findCap(3, cap));
        result = m_caps->removeCap(m_s.centre.get(), cap);
        kept = m_caps->findCap(3, cap);
    } else {
        ZnTts tts;
        QVERIFY(m_tts->getTts(8, tts));
        result = m_tts->deleteTts(tts);
        kept = m_tts->getTts(8, tts);
    }
    QCOMPARE(result, 1);
    QVERIFY(kept);
    QVERIFY(SimSession::spinUntil([&] { return page->errors == 1; }));
    QCOMPARE(m_amps->delTermErrorText(), reason);
}

void TstFamilies::capListPushesAndDeletions()
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

void TstFamilies::capChangesOnlyOnAcceptance()
{
    ZnCap cap;
    QVERIFY(m_caps->findCap(5, cap));
    cap.name = "Stage";
    cap.capVol = 77;
    cap.capSamplerate = 32000;
    QCOMPARE(m_caps->modifyCap(m_s.centre.get(), cap), 0);
    QCOMPARE(m_s.lastBody("POST CapD73Set"), std::string(R"({"CapSamplerate":"32000","CapVol":"77","Id":"5","Name":"Stage"})" "\n"));
    m_s.sim.addRule(ZnSimRule::make("POST CapD73Set", ZnSimRule::Fail, "refused"));
    cap.name = "Refused";
    QCOMPARE(m_caps->modifyCap(m_s.centre.get(), cap), 4);
    QVERIFY(m_caps->findCap(5, cap));
    QCOMPARE(cap.name, std::string("Stage"));

    QCOMPARE(m_caps->removeCap(m_s.centre.get(), cap), 0);
    QVERIFY(!m_caps->findCap(5, cap));
    QCOMPARE(m_s.lastBody("POST RemoveDevice"), std::string(R"({"Id":"5","Type":"CAP"})" "\n"));
}

void TstFamilies::setsNotTakenReachTheLaterSlots()
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

void TstFamilies::hubGivesUpOnABusyLine()
{
    // An unanswered keep-alive holds the line, and the test clock outruns each wait
    // for it: every try ends busy (2) without sending, and the hub stops asking.
    ZnManualClock clock(ZnClock::now());
    const int online = m_s.sim.count("ONLINE");
    m_s.sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold, "", 0, 1));
    clock.advance(ZnLoginNetHandle::kInterval + 1); // past any keep-alive of this second
    QVERIFY(SimSession::spinUntil([&] { return m_s.centre->pendingCount() == 1; }));
    QCOMPARE(m_s.sim.count("ONLINE"), online + 1);
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

void TstFamilies::fAlarmListAndChanges()
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

    m_s.sim.pushPost("SqlConfig", "firealarm", R"([{"terminalId":"4","name":"Lobby"},{"terminalId":"2","name":"New"}])");
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
    QCOMPARE(m_s.lastBody("POST SetFRName"), std::string(R"({"Id":"17","Name":"Hall","TriggerType":"2"})" "\n"));
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

void TstFamilies::triggerTravelsUnderItsOwnType_data()
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

void TstFamilies::triggerTravelsUnderItsOwnType()
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

void TstFamilies::channelTexts()
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
    QCOMPARE(m_s.lastBody("POST SetFRTrigger"), std::string("{\"Channel\":\"2\",\"ChannelName\":\"\\u4e8c\\u697c \\\"East\\\" "
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

void TstFamilies::ttsListAndChanges()
{
    // The first list in server order; asking again sends nothing.
    QCOMPARE(ttsIds(), (std::vector<int>{8, 3, 5}));
    ZnTts tts;
    QVERIFY(m_tts->getTts(5, tts));
    QCOMPARE(tts.name, std::string("5"));
    ZnTtsListMgr::instance();
    QCOMPARE(m_s.sim.count("GET SqlConfig/TtsList"), 1);

    QSignalSpy changed(m_tts, &ZnTtsListMgr::TTsChanged);
    QSignalSpy deleted(m_tts, &ZnTtsListMgr::TTsDeleted);
    QVERIFY(m_tts->getTts(3, tts));
    tts.name = "Lobby";
    QCOMPARE(m_tts->updateTts(tts), 0);
    QCOMPARE(m_s.lastBody("POST TTs71Name"), std::string(R"({"Id":"3","Name":"Lobby"})" "\n"));
    m_s.sim.addRule(ZnSimRule::make("POST TTs71Name", ZnSimRule::Fail, "name taken"));
    tts.name = "Taken";
    QCOMPARE(m_tts->updateTts(tts), 1);
    QVERIFY(m_tts->getTts(3, tts));
    QCOMPARE(tts.name, std::string("Lobby"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(ttsIds(), (std::vector<int>{8, 3, 5})); // renamed in place

    // Pushed rows: new at the end, known in place. Deletions by this family's type name.
    m_s.sim.pushPost("SqlConfig", "tts71", R"([{"terminalId":"11","name":"Hall"},{"terminalId":"8","name":"Re"}])");
    m_s.sim.pushDelete("TTS", 3);
    m_s.sim.pushDelete("Tts", 404);
    m_s.sim.pushDelete("Tts", 3);
    m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/TtsList", ZnSimRule::Reply, "[{broken"));
    QCOMPARE(apiGetTtsList(m_s.centre.get()), 0); // answered after the pushes; does not parse
    QCOMPARE(ttsIds(), (std::vector<int>{8, 5, 11}));
    QVERIFY(SimSession::spinUntil([&] { return deleted.count() == 1; }));
    QCOMPARE(deleted.at(0).at(0).toInt(), 3);

    // A removal only once accepted.
    QVERIFY(m_tts->getTts(5, tts));
    m_s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "unit busy", 0, 1));
    QCOMPARE(m_tts->deleteTts(tts), 1);
    QVERIFY(m_tts->getTts(5, tts));
    QCOMPARE(m_tts->deleteTts(tts), 0);
    QVERIFY(!m_tts->getTts(5, tts));
    QCOMPARE(deleted.count(), 2);
    QCOMPARE(m_s.lastBody("POST RemoveDevice"), std::string(R"({"Id":"5","Type":"TTS71"})" "\n"));

    // Notices without data are dropped; a null list empties the copy without a list signal.
    QSignalSpy commit(m_tts, &ZnTtsListMgr::buildTTsPlayTaskCommit);
    QSignalSpy got(m_tts, &ZnTtsListMgr::gotTTsList);
    char yes = 1;
    ZnTtsListMgr::onNotify(ZnTtsListMgr::CommitCode, &yes);
    ZnTtsListMgr::onNotify(ZnTtsListMgr::CommitCode, nullptr);
    QCOMPARE(commit.count(), 1);
    ZnTtsListMgr::onNotify(ZnTtsListMgr::ListCode, nullptr);
    QVERIFY(ttsIds().empty());
    QCOMPARE(got.count(), 0);
}

QTEST_GUILESS_MAIN(TstFamilies)
#include "tst_families.moc"
