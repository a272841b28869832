#include "ServiceHub.h"
#include "SimSession.h"
#include "ZnApi.h"
#include "ZnPlayTermListMgr.h"

#include <QtTest>

#include <vector>

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

std::vector<int> ids(const std::list<ZnTerminal>& list)
{
    std::vector<int> out;
    for (const ZnTerminal& t : list)
        out.push_back(t.id);
    return out;
}

} // namespace

// What a page sees: every signal, queued to this (the GUI) thread.
class PageSide : public QObject
{
    Q_OBJECT
public:
    int lists = 0;
    int errors = 0;
    std::vector<int> changed;
    QThread* ranOn = nullptr;
public slots:
    void onList()
    {
        ++lists;
        ranOn = QThread::currentThread();
    }
    void onChanged(int id) { changed.push_back(id); }
    void onError() { ++errors; }
};

class TstPlayTerm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listsArriveInIdOrder();
    void pushesKeepTheOrder();
    void changesOnlyOnAcceptance();
    void refusedRemovalOfAnyFamily();

private:
    std::string lastBody(const std::string& label);
    SimSession m_session;
    ZnPlayTermListMgr* m_model = nullptr;
    PageSide* m_page = nullptr;
};

void TstPlayTerm::initTestCase()
{
    m_session.sim.withData([](ZnSimData& d) {
        // Out of id order on the server.
        d.addRow("ipamp", ampRow("10500", "Hall"));
        d.addRow("ipamp", ampRow("10200", "Yard"));
    });
    QVERIFY(m_session.login());
    ServiceHub::create(m_session.centre.get());
    m_model = ZnPlayTermListMgr::instance();
}

void TstPlayTerm::init()
{
    m_page = new PageSide;
    connect(m_model, &ZnPlayTermListMgr::gotPlayTermList, m_page, &PageSide::onList);
    connect(m_model, &ZnPlayTermListMgr::playTermChanged, m_page, &PageSide::onChanged);
    connect(m_model, &ZnPlayTermListMgr::delTermError, m_page, &PageSide::onError);
    QCOMPARE(m_model->requestPlayTermList(), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_page->lists == 1; }));
}

void TstPlayTerm::cleanup()
{
    delete m_page;
    m_session.sim.clearRules();
}

std::string TstPlayTerm::lastBody(const std::string& label)
{
    std::string body;
    for (const ZnSimRequest& r : m_session.sim.requests()) {
        if (r.label().rfind(label, 0) == 0)
            body = r.body;
    }
    return body;
}

void TstPlayTerm::listsArriveInIdOrder()
{
    // The page heard of the list on its own thread.
    QCOMPARE(m_page->ranOn, QThread::currentThread());
    QCOMPARE(ids(m_model->copyList()), (std::vector<int>{10001, 10002, 10003, 10200, 10500}));
    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10003, t));
    QCOMPARE(t.name, std::string("10003")); // an empty name becomes the id
    QCOMPARE(t.broVol, 60);
    QVERIFY(t.power);
    QCOMPARE(m_model->getTerminal(10500)->name, std::string("Hall"));
    QVERIFY(!m_model->getTerminal(1));

    // A later list replaces the first, whole.
    m_session.sim.withData([](ZnSimData& d) {
        auto& rows = d.table("ipamp");
        rows.erase(rows.begin());
    });
    QCOMPARE(m_model->requestPlayTermList(), 0);
    QCOMPARE(m_model->requestPlayTermList(), 0);
    QCOMPARE(ids(m_model->copyList()), (std::vector<int>{10002, 10003, 10200, 10500}));
    QVERIFY(SimSession::spinUntil([&] { return m_page->lists == 3; }));
}

void TstPlayTerm::pushesKeepTheOrder()
{
    Json::Value rows(Json::arrayValue);
    rows.append(ampRow("10200", "Yard east", "35"));
    m_session.sim.pushPost("SqlConfig", "ipamp", ZnSimData::json(rows));
    QVERIFY(SimSession::spinUntil([&] { return m_page->changed.size() == 1; }));
    QCOMPARE(m_page->changed.front(), 10200);
    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10200, t));
    QCOMPARE(t.name, std::string("Yard east"));
    QCOMPARE(t.broVol, 35);

    // A new terminal lands in id order and redraws the whole list.
    Json::Value fresh(Json::arrayValue);
    fresh.append(ampRow("10100", "Gym"));
    fresh.append(ampRow("10900", "Roof"));
    m_session.sim.pushPost("SqlConfig", "ipamp", ZnSimData::json(fresh));
    QVERIFY(SimSession::spinUntil([&] { return m_page->lists == 3; }));
    QCOMPARE(ids(m_model->copyList()), (std::vector<int>{10002, 10003, 10100, 10200, 10500, 10900}));

    // Keys that only look alike, and bodies that are no rows, change nothing.
    m_session.sim.pushPost("SqlConfig", "ipampx", ZnSimData::json(fresh));
    m_session.sim.pushPost("SqlConfig", " ipamp", ZnSimData::json(fresh));
    m_session.sim.pushPost("SqlConfig", "ipamp", "[{\"terminalId\":");
    m_session.sim.pushPost("SqlConfig", "ipamp", "{\"terminalId\":\"10002\"}");
    // The session still answers afterwards: nothing broke on the way.
    QCOMPARE(m_model->speakerCheck(t), 0);
    QCOMPARE(m_page->changed.size(), size_t(1));
    QCOMPARE(m_model->copyList().size(), size_t(6));
}

void TstPlayTerm::changesOnlyOnAcceptance()
{
    QCOMPARE(m_model->setAmpPower(10002, "unused text", false), 0);
    QCOMPARE(lastBody("POST IpAmpPower"), std::string("{\"Id\":\"10002\",\"Power\":\"0\"}\n"));
    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10002, t));
    QVERIFY(!t.power);
    t.name = "Hall";
    t.broVol = 60;
    QCOMPARE(m_model->modifyTerminal(t), 0);
    QCOMPARE(lastBody("POST IpAmpSet"), std::string("{\"BroVol\":\"60\",\"Id\":\"10002\",\"Name\":\"Hall\"}\n"));
    QCOMPARE(m_model->getTerminal(10002)->name, std::string("Hall"));
    QCOMPARE(m_model->speakerCheck(t), 0);
    QCOMPARE(lastBody("POST IpAmpSpkCheck"), std::string("{\"Id\":\"10002\",\"SpkCheck\":\"1\"}\n"));

    // Refused, or never answered (3): the copy stays.
    m_session.sim.addRule(ZnSimRule::make("POST IpAmp", ZnSimRule::Fail, "no"));
    QCOMPARE(m_model->setAmpPower(10002, nullptr, true), 1);
    ZnTerminal changed(t);
    changed.name = "Renamed";
    QCOMPARE(m_model->modifyTerminal(changed), 1);
    m_session.sim.clearRules();
    m_session.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Withhold, "", 0, 1));
    QCOMPARE(m_model->modifyTerminal(changed), 3);
    ZnTerminal after;
    QVERIFY(m_model->hasTerminal(10002, after));
    QVERIFY(!after.power);
    QCOMPARE(after.name, std::string("Hall"));

    QCOMPARE(m_model->removeTerminal(10003, "6"), 0);
    QCOMPARE(lastBody("POST RemoveDevice"), std::string("{\"Id\":\"10003\",\"Type\":\"6\"}\n"));
    QVERIFY(!m_model->hasTerminal(10003, t));
}

void TstPlayTerm::refusedRemovalOfAnyFamily()
{
    m_session.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "terminal 10002 is in a task", 0, 1));
    QCOMPARE(m_model->removeTerminal(10002, "6"), 1);
    QVERIFY(SimSession::spinUntil([&] { return m_page->errors == 1; }));
    QCOMPARE(m_model->delTermErrorText(), QString("terminal 10002 is in a task"));
    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10002, t));

    // A console's removal goes the same way and is reported here too.
    m_session.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "console 50001 busy", 0, 1));
    QCOMPARE(apiRemoveDevice(m_session.centre.get(), 50001, terminalTypeName(2).c_str()), 1);
    QVERIFY(SimSession::spinUntil([&] { return m_page->errors == 2; }));
    QCOMPARE(m_model->delTermErrorText(), QString("console 50001 busy"));
    QCOMPARE(lastBody("POST RemoveDevice"), std::string("{\"Id\":\"50001\",\"Type\":\"Dsk72\"}\n"));
}

QTEST_GUILESS_MAIN(TstPlayTerm)
#include "tst_playterm.moc"
