#include "../SignalLog.h"
#include "../SimSession.h"
#include "BookRequest.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnD82ListMgr.h"

#include <QtTest>

#include <vector>

namespace {

std::vector<int> ids(const std::list<ZnD82>& devices)
{
    std::vector<int> out;
    for (const ZnD82& d : devices)
        out.push_back(d.id);
    return out;
}

std::vector<int> items(const std::list<BookEntry>& book)
{
    std::vector<int> out;
    for (const BookEntry& e : book)
        out.push_back(e.itemId);
    return out;
}

Json::Value deviceRow(const std::string& id, const std::string& name)
{
    Json::Value r(Json::objectValue);
    r["terminalId"] = id;
    r["type"] = "8";
    r["status"] = "1";
    r["work"] = "idle";
    r["name"] = name;
    r["ip"] = "10.0.8.9";
    r["ver"] = "1.9";
    return r;
}

} // namespace

class TstD82List : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_session; }
    void init();
    void cleanup();
    void listIsOrderedByDescendingId();
    void pushReplacesAndMovesToTheEnd();
    void modifyChangesOnlyWhatTheServerTook();
    void booksAreReadAndWritten();
    void singleDeviceAnswer();
    void singleDeviceWithoutIdAddsNothing();
    void requestOfAnUnknownDeviceSendsNothing();
    void deleteRemovesWithoutSignal();

private:
    ZnD82ListMgr* model() { return ZnD82ListMgr::instance(); }
    bool reload()
    {
        m_log.entries.clear();
        return model()->requestD82List() == 0 && SimSession::spinUntil([&] { return m_log.count("list()") == 1; });
    }

    SimSession* m_session = nullptr;
    SignalLog m_log;
};

void TstD82List::initTestCase()
{
    m_session = new SimSession;
    m_session->sim.withData([](ZnSimData& d) { d.addRow("d82", deviceRow("80005", "Van")); });
    QVERIFY(m_session->login());
    ServiceHub::create(m_session->centre.get());
    m_log.watch(model(), &ZnD82ListMgr::gotD82List, "list");
    m_log.watch(model(), &ZnD82ListMgr::d82Changed, "changed");
    m_log.watch(model(), &ZnD82ListMgr::d82Deleted, "deleted");
}

void TstD82List::init()
{
    QVERIFY(reload());
    m_log.entries.clear();
}

void TstD82List::cleanup()
{
    m_session->sim.clearRules();
    m_session->sim.setPushChanges(false);
}

void TstD82List::listIsOrderedByDescendingId()
{
    QCOMPARE(ids(model()->d82List()), (std::vector<int>{80005, 80002, 80001}));
    ZnD82 d;
    QVERIFY(model()->getD82(80002, &d));
    QCOMPARE(d.name, std::string("D82_80002"));
    QCOMPARE(d.ip, std::string("10.0.8.2"));
}

void TstD82List::pushReplacesAndMovesToTheEnd()
{
    Json::Value rows(Json::arrayValue);
    rows.append(deviceRow("80002", "Renamed"));
    m_session->sim.pushPost("SqlConfig", "d82", ZnSimData::json(rows));
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("changed(80002)") == 1; }));
    QCOMPARE(ids(model()->d82List()), (std::vector<int>{80005, 80001, 80002}));
    std::unique_ptr<ZnD82> copy(model()->copyD82(80002));
    QVERIFY(copy);
    QCOMPARE(copy->name, std::string("Renamed"));
    QVERIFY(!model()->copyD82(12345));
}

void TstD82List::modifyChangesOnlyWhatTheServerTook()
{
    ZnD82 d;
    QVERIFY(model()->getD82(80001, &d));
    d.name = "Patrol";
    QCOMPARE(model()->modifyD82(&d), 0);
    QVERIFY(model()->getD82(80001, &d));
    QCOMPARE(d.name, std::string("Patrol"));
    QCOMPARE(m_log.count("changed(80001)"), 1);
    QCOMPARE(m_session->sim.count("POST ModTalkTerminal"), 1);

    m_session->sim.addRule(ZnSimRule::make("POST ModTalkTerminal", ZnSimRule::Fail, "refused"));
    d.name = "Never";
    QCOMPARE(model()->modifyD82(&d), 1);
    QVERIFY(model()->getD82(80001, &d));
    QCOMPARE(d.name, std::string("Patrol"));
    QCOMPARE(m_log.count("changed(80001)"), 1);
}

void TstD82List::booksAreReadAndWritten()
{
    BookRequest r;
    r.terminalId = 80001;
    r.requestType = 282;
    QCOMPARE(model()->requestD82Books(&r), 0);
    QCOMPARE(model()->callList().size(), size_t(1));
    QCOMPARE(model()->callList().front().itemId, 70001);
    QCOMPARE(model()->callList().front().itemType, 3);

    BookRequest w;
    w.terminalId = 80001;
    w.requestType = 284;
    w.text = "Dsk72_50001 D82_80002";
    QCOMPARE(model()->setD82Books(&w), 0);
    QCOMPARE(model()->callList().size(), size_t(1));   // a change does not touch the model
    QCOMPARE(model()->requestD82Books(&r), 0);
    const std::list<BookEntry> calls = model()->callList();
    QCOMPARE(items(calls), (std::vector<int>{50001, 80002}));
    QCOMPARE(calls.front().itemType, 2);
    QCOMPARE(calls.back().itemType, 8);
    QCOMPARE(calls.back().orderId, 2);

    w.requestType = 286;
    w.text = "1 3";
    QCOMPARE(model()->setD82Books(&w), 0);
    w.requestType = 288;
    w.text = "";
    QCOMPARE(model()->setD82Books(&w), 0);
    r.requestType = 285;
    QCOMPARE(model()->requestD82Books(&r), 0);
    r.requestType = 287;
    QCOMPARE(model()->requestD82Books(&r), 0);
    QCOMPARE(items(model()->sourceList()), (std::vector<int>{1, 3}));
    QVERIFY(model()->regionList().empty());

    r.requestType = 283;
    QCOMPARE(model()->requestD82Books(&r), 0);
    const std::list<ZnD82> all = model()->allCallList();
    QVERIFY(all.size() >= 7);
    int last = 0;
    for (const ZnD82& t : all) {
        QVERIFY(t.id >= last);   // the server orders them by id
        last = t.id;
    }
    QCOMPARE(all.back().id, 80005);
    ZnD82 nameless;
    for (const ZnD82& t : all) {
        if (t.id == 80002)
            nameless = t;
    }
    QCOMPARE(nameless.name, std::string("8_80002"));

    // A request type that names no book is not sent.
    r.requestType = 290;
    QCOMPARE(model()->requestD82Books(&r), -1);
    QVERIFY(m_log.entries.isEmpty());
}

void TstD82List::singleDeviceAnswer()
{
    // The server's own answer for one of its devices.
    m_session->sim.withData([](ZnSimData& d) { d.table("d82")[0]["work"] = "calling"; });
    QCOMPARE(model()->requestD82(m_session->centre.get(), 80001), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("changed(80001)") == 1; }));
    ZnD82 own;
    QVERIFY(model()->getD82(80001, &own));
    QCOMPARE(own.work, std::string("calling"));
    QCOMPARE(own.ip, std::string("10.0.8.1"));

    m_session->sim.addRule(ZnSimRule::make(
        "GET D82", ZnSimRule::Reply,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><D82List><D82 terminalId=\"80002\" type=\"8\" status=\"0\" "
        "work=\"busy\" name=\"Night guard\" ip=\"10.0.8.22\" ver=\"2.0\"/></D82List>"));
    QCOMPARE(model()->requestD82(m_session->centre.get(), 80002), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("changed(80002)") == 1; }));
    ZnD82 d;
    QVERIFY(model()->getD82(80002, &d));
    QCOMPARE(d.name, std::string("Night guard"));
    QCOMPARE(d.work, std::string("busy"));
    QCOMPARE(d.ip, std::string("10.0.8.22"));
    QCOMPARE(d.status, 0);
    const std::vector<ZnSimRequest> sent = m_session->sim.requests();
    QCOMPARE(sent.back().data, std::string("D82"));
    QCOMPARE(sent.back().id, 80002);
}

void TstD82List::singleDeviceWithoutIdAddsNothing()
{
    m_session->sim.addRule(ZnSimRule::make("GET D82", ZnSimRule::Reply,
                                           "<?xml version=\"1.0\"?><D82List><D82 name=\"ghost\"/></D82List>"));
    QCOMPARE(model()->requestD82(m_session->centre.get(), 80001), 0);
    QTest::qWait(50);
    QCoreApplication::processEvents();
    QVERIFY(m_log.entries.isEmpty());
    QCOMPARE(ids(model()->d82List()), (std::vector<int>{80005, 80002, 80001}));
    ZnD82 d;
    QVERIFY(!model()->getD82(0, &d));
}

void TstD82List::requestOfAnUnknownDeviceSendsNothing()
{
    const int before = m_session->sim.count("GET D82");
    QCOMPARE(model()->requestD82(m_session->centre.get(), 4242), -1);
    QCOMPARE(model()->requestD82(nullptr, 80001), -1);
    QCOMPARE(m_session->sim.count("GET D82"), before);
}

void TstD82List::deleteRemovesWithoutSignal()
{
    ZnD82 d;
    QVERIFY(model()->getD82(80005, &d));
    QCOMPARE(model()->deleteD82(d), 0);
    QVERIFY(!model()->getD82(80005, &d));
    const ZnSimRequest removal = m_session->sim.requests().back();
    QCOMPARE(removal.packetType, std::string("RemoveDevice"));
    QVERIFY(removal.body.find("\"Type\":\"8\"") != std::string::npos);
    QCOMPARE(model()->deleteD82(d), 1);   // gone on the server too
    QVERIFY(m_log.entries.isEmpty());
    // The device stays deleted on the server for the later tests.
    m_session->sim.withData([](ZnSimData& data) { data.addRow("d82", deviceRow("80005", "Van")); });
}

QTEST_GUILESS_MAIN(TstD82List)
#include "tst_d82list.moc"
