#include "FamilyFixture.h"
#include "ZnApi.h"
#include "ZnCap.h"
#include "ZnCapListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnTerminal.h"
#include "ZnTts.h"
#include "ZnTtsListMgr.h"

#include <QtTest>

namespace {
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
}

// The IP amplifiers, and the removal refusals every family reports through them.
class TstAmps : public QObject
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

private:
    std::unique_ptr<PageSide> openAmpPage();

    SimSession m_s;
    ZnPlayTermListMgr* m_amps = nullptr;
    ZnCapListMgr* m_caps = nullptr;
    ZnTtsListMgr* m_tts = nullptr;
};

// The amplifier page, having heard of a fresh list.
std::unique_ptr<PageSide> TstAmps::openAmpPage()
{
    std::unique_ptr<PageSide> page(new PageSide);
    connect(m_amps, &ZnPlayTermListMgr::gotPlayTermList, page.get(), &PageSide::onList);
    connect(m_amps, &ZnPlayTermListMgr::playTermChanged, page.get(), &PageSide::onChanged);
    connect(m_amps, &ZnPlayTermListMgr::delTermError, page.get(), &PageSide::onError);
    if (m_amps->requestPlayTermList() != 0 || !SimSession::spinUntil([&] { return page->lists == 1; }))
        qWarning("no amplifier list");
    return page;
}

void TstAmps::initTestCase()
{
    m_s.sim.withData([](ZnSimData& d) {
        // Out of id order on the server.
        d.addRow("ipamp", ampRow("10500", "Hall"));
        d.addRow("ipamp", ampRow("10200", "Yard"));
        fill(d, "capd73", {"3"}, R"({"type":"CAP","name":""})");
        fill(d, "tts71", {"8"}, R"({"type":"TTS71","name":""})");
    });
    QVERIFY(startHub(m_s));
    m_amps = ZnPlayTermListMgr::instance();
    m_caps = ZnCapListMgr::instance(); // waits for the first list
    m_tts = ZnTtsListMgr::instance();  // likewise
}

void TstAmps::listsArriveInIdOrder()
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

void TstAmps::pushesKeepTheOrder()
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

void TstAmps::changesOnlyOnAcceptance()
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

void TstAmps::refusedRemovalOfAnyFamily_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("reason");
    QTest::newRow("IP amplifier") << "amp"
                                  << "terminal 10002 is in a task";
    QTest::newRow("D72 console") << "d72"
                                 << "console 50001 busy";
    QTest::newRow("capture unit") << "cap"
                                  << "capture unit in use";
    QTest::newRow("TTS unit") << "tts"
                              << "unit busy";
}

void TstAmps::refusedRemovalOfAnyFamily()
{
    // Every family removes through "RemoveDevice"; the server's reason reaches the
    // operator through the play-terminal model, and the record stays.
    QFETCH(QString, family);
    QFETCH(QString, reason);
    const std::unique_ptr<PageSide> page = openAmpPage();
    m_s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, reason.toStdString(), 0, 1));
    int result = -1;
    bool kept = true;
    if (family == QStringLiteral("amp")) {
        result = m_amps->removeTerminal(10002, "6");
        ZnTerminal t;
        kept = m_amps->hasTerminal(10002, t);
    } else if (family == QStringLiteral("d72")) {
        result = apiRemoveDevice(m_s.centre.get(), 50001, terminalTypeName(2).c_str());
        QCOMPARE(m_s.lastBody("POST RemoveDevice"), std::string("{\"Id\":\"50001\",\"Type\":\"Dsk72\"}\n"));
    } else if (family == QStringLiteral("cap")) {
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

QTEST_GUILESS_MAIN(TstAmps)
#include "tst_amps.moc"
