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
    void listArrivesInIdOrder();
    void pushesKeepTheOrder();
    void requestBodiesAreExact();
    void playTermConfigHeaders();
    void refusedChangesLeaveTheCopy();
    void refusedRemovalOfAnyFamily();
    void secondListReplacesTheFirst();

private:
    std::string lastRequest(const std::string& label);
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
}

void TstPlayTerm::cleanup()
{
    delete m_page;
    m_session.sim.clearRules();
}

std::string TstPlayTerm::lastRequest(const std::string& label)
{
    std::string raw;
    for (const ZnSimRequest& r : m_session.sim.requests()) {
        if (r.label().rfind(label, 0) == 0)
            raw = r.raw;
    }
    return raw;
}

void TstPlayTerm::listArrivesInIdOrder()
{
    QVERIFY(!m_model->lockList());
    QCOMPARE(m_model->requestPlayTermList(), 0);
    // Changed before the call returned; the page hears of it on its own thread.
    QCOMPARE(ids(m_model->copyList()), (std::vector<int>{10001, 10002, 10003, 10200, 10500}));
    QVERIFY(SimSession::spinUntil([&] { return m_page->lists == 1; }));
    QCOMPARE(m_page->ranOn, QThread::currentThread());

    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10003, t));
    QCOMPARE(t.name, std::string("10003")); // an empty name becomes the id
    QCOMPARE(t.broVol, 60);
    QVERIFY(t.power);
    std::unique_ptr<ZnTerminal> copy = m_model->getTerminal(10500);
    QVERIFY(copy);
    QCOMPARE(copy->name, std::string("Hall"));
    QVERIFY(!m_model->getTerminal(1));

    const std::list<ZnTerminal>* locked = m_model->lockList();
    QVERIFY(locked);
    QCOMPARE(locked->size(), size_t(5));
    m_model->unlockList();
}

void TstPlayTerm::pushesKeepTheOrder()
{
    QCOMPARE(m_model->requestPlayTermList(), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_page->lists == 1; }));

    Json::Value rows(Json::arrayValue);
    rows.append(ampRow("10200", "Yard east", "35"));
    m_session.sim.pushPost("SqlConfig", "ipamp", ZnSimData::json(rows));
    QVERIFY(SimSession::spinUntil([&] { return m_page->changed.size() == 1; }));
    QCOMPARE(m_page->changed.front(), 10200);
    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10200, t));
    QCOMPARE(t.name, std::string("Yard east"));
    QCOMPARE(t.broVol, 35);
    QCOMPARE(ids(m_model->copyList()), (std::vector<int>{10001, 10002, 10003, 10200, 10500}));

    // A new terminal lands in id order and redraws the whole list.
    Json::Value fresh(Json::arrayValue);
    fresh.append(ampRow("10100", "Gym"));
    fresh.append(ampRow("10900", "Roof"));
    m_session.sim.pushPost("SqlConfig", "ipamp", ZnSimData::json(fresh));
    QVERIFY(SimSession::spinUntil([&] { return m_page->lists == 3; }));
    QCOMPARE(ids(m_model->copyList()), (std::vector<int>{10001, 10002, 10003, 10100, 10200, 10500, 10900}));

    // Keys that only look alike, and bodies that are no rows, change nothing.
    m_session.sim.pushPost("SqlConfig", "ipampx", ZnSimData::json(fresh));
    m_session.sim.pushPost("SqlConfig", " ipamp", ZnSimData::json(fresh));
    m_session.sim.pushPost("SqlConfig", "ipamp", "[{\"terminalId\":");
    m_session.sim.pushPost("SqlConfig", "ipamp", "{\"terminalId\":\"10001\"}");
    // The session still answers afterwards: nothing broke on the way.
    ZnTerminal any;
    any.id = 10001;
    QCOMPARE(m_model->speakerCheck(any), 0);
    QCOMPARE(m_page->changed.size(), size_t(1));
    QCOMPARE(m_model->copyList().size(), size_t(7));
}

void TstPlayTerm::requestBodiesAreExact()
{
    QCOMPARE(m_model->requestPlayTermList(), 0);

    QCOMPARE(m_model->setAmpPower(10002, "unused text", false), 0);
    std::string raw = lastRequest("POST IpAmpPower");
    QVERIFY(QByteArray::fromStdString(raw).endsWith("\r\n\r\n{\"Id\":\"10002\",\"Power\":\"0\"}\n"));
    QVERIFY(raw.find("Content-Length:27\r\n") != std::string::npos);
    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10002, t));
    QVERIFY(!t.power);

    t.name = "Hall";
    t.broVol = 60;
    QCOMPARE(m_model->modifyTerminal(t), 0);
    raw = lastRequest("POST IpAmpSet");
    QVERIFY(QByteArray::fromStdString(raw).endsWith("\r\n\r\n{\"BroVol\":\"60\",\"Id\":\"10002\",\"Name\":\"Hall\"}\n"));
    ZnTerminal after;
    QVERIFY(m_model->hasTerminal(10002, after));
    QCOMPARE(after.name, std::string("Hall"));
    QCOMPARE(after.broVol, 60);

    QCOMPARE(m_model->speakerCheck(t), 0);
    raw = lastRequest("POST IpAmpSpkCheck");
    QVERIFY(QByteArray::fromStdString(raw).endsWith("\r\n\r\n{\"Id\":\"10002\",\"SpkCheck\":\"1\"}\n"));

    QCOMPARE(m_model->removeTerminal(10003, "6"), 0);
    raw = lastRequest("POST RemoveDevice");
    QVERIFY(QByteArray::fromStdString(raw).endsWith("\r\n\r\n{\"Id\":\"10003\",\"Type\":\"6\"}\n"));
    QVERIFY(!m_model->hasTerminal(10003, t));
}

void TstPlayTerm::playTermConfigHeaders()
{
    ZnTerminal fresh;
    fresh.id = 10001;
    QCOMPARE(m_model->setPlayTermConfig(fresh), 0);
    std::string raw = lastRequest("SET");
    const std::string cseq = raw.substr(raw.find("CSeq: "), raw.find("\r\n", raw.find("CSeq: ")) - raw.find("CSeq: "));
    QCOMPARE(QString::fromStdString(raw),
             QString::fromStdString("SET DBP/1.0\r\nCommand: PlayTermConfig\r\n" + cseq
                                    + "\r\nId: 10001\r\nType: IP\r\nWarnTempThreshold: -1\r\n"
                                      "FanTempThreshold: -1\r\nMaxVol: -1\r\n\r\n"));

    fresh.warnTempThreshold = 70;
    fresh.fanTempThreshold = 55;
    fresh.maxVol = 90;
    QCOMPARE(m_model->setPlayTermConfig(fresh), 0);
    raw = lastRequest("SET");
    QVERIFY(raw.find("\r\nWarnTempThreshold: 70\r\nFanTempThreshold: 55\r\nMaxVol: 90\r\n\r\n") != std::string::npos);
}

void TstPlayTerm::refusedChangesLeaveTheCopy()
{
    QCOMPARE(m_model->requestPlayTermList(), 0);
    ZnTerminal before;
    QVERIFY(m_model->hasTerminal(10001, before));

    m_session.sim.addRule(ZnSimRule::make("POST IpAmp", ZnSimRule::Fail, "no"));
    QCOMPARE(m_model->setAmpPower(10001, nullptr, !before.power), 1);
    ZnTerminal changed(before);
    changed.name = "Renamed";
    QCOMPARE(m_model->modifyTerminal(changed), 1);

    // An answer that never comes gives 3, and changes nothing either.
    m_session.sim.clearRules();
    m_session.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Withhold, "", 0, 1));
    QCOMPARE(m_model->modifyTerminal(changed), 3);

    ZnTerminal after;
    QVERIFY(m_model->hasTerminal(10001, after));
    QCOMPARE(after.power, before.power);
    QCOMPARE(after.name, before.name);
    QCOMPARE(m_page->changed.size(), size_t(0));
}

void TstPlayTerm::refusedRemovalOfAnyFamily()
{
    QCOMPARE(m_model->requestPlayTermList(), 0);
    m_session.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "terminal 10001 is in a task"));
    QCOMPARE(m_model->removeTerminal(10001, "6"), 1);
    QVERIFY(SimSession::spinUntil([&] { return m_page->errors == 1; }));
    QCOMPARE(m_model->delTermErrorText(), QString("terminal 10001 is in a task"));
    ZnTerminal t;
    QVERIFY(m_model->hasTerminal(10001, t));

    // A console's removal goes the same way and is reported here too.
    m_session.sim.clearRules();
    m_session.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "console 50001 busy"));
    QCOMPARE(apiRemoveDevice(m_session.centre.get(), 50001, terminalTypeName(2).c_str()), 1);
    QVERIFY(SimSession::spinUntil([&] { return m_page->errors == 2; }));
    QCOMPARE(m_model->delTermErrorText(), QString("console 50001 busy"));
    QVERIFY(QByteArray::fromStdString(lastRequest("POST RemoveDevice")).endsWith("{\"Id\":\"50001\",\"Type\":\"Dsk72\"}\n"));
}

void TstPlayTerm::secondListReplacesTheFirst()
{
    QCOMPARE(m_model->requestPlayTermList(), 0);
    const size_t before = m_model->copyList().size();
    m_session.sim.withData([](ZnSimData& d) {
        auto& rows = d.table("ipamp");
        rows.erase(rows.begin());
    });
    QCOMPARE(m_model->requestPlayTermList(), 0);
    QCOMPARE(m_model->requestPlayTermList(), 0);
    QCOMPARE(m_model->copyList().size(), before - 1);
    QVERIFY(SimSession::spinUntil([&] { return m_page->lists == 3; }));
}

QTEST_GUILESS_MAIN(TstPlayTerm)
#include "tst_playterm.moc"
