#include "../consoles/ModelSim.h"
#include "BookRequest.h"
#include "ZnD82ListMgr.h"
#include "ZnD82Manage.h"

#include <QSignalSpy>
#include <QtTest>

// The D82 list model against the simulated server, and the single-device answer.
namespace {

Json::Value deviceRow(const std::string& id, const std::string& name)
{
    Json::Value r(Json::objectValue);
    r["terminalId"] = id;
    r["type"] = "8";
    r["status"] = "1";
    r["name"] = name;
    r["ip"] = "10.0.8.9";
    return r;
}

bool g_reported = false;
void onEvent(int, void*)
{
    g_reported = true;
}

const auto kId = &ZnD82::id;
const auto kItem = &BookEntry::itemId;

} // namespace

class TstD82 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { m_s.sim.clearRules(); }
    void singleDeviceWithoutValidId_data();
    void singleDeviceWithoutValidId();
    void booksAreReadAndWritten();
    void singleDeviceAnswer();

private:
    ZnD82ListMgr* model() { return ZnD82ListMgr::instance(); }
    SimSession m_s;
};

void TstD82::initTestCase()
{
    m_s.sim.withData([](ZnSimData& d) { d.addRow("d82", deviceRow("80005", "Van")); });
    QVERIFY(startModels(m_s));
    QSignalSpy list(model(), &ZnD82ListMgr::gotD82List);
    QCOMPARE(model()->requestD82List(), 0);
    QVERIFY(SimSession::spinUntil([&] { return list.count() == 1; }));
}

void TstD82::singleDeviceWithoutValidId_data()
{
    QTest::addColumn<QString>("xml");
    QTest::newRow("no child") << "<D82List/>";
    QTest::newRow("no id") << "<D82List><D82 name=\"x\"/></D82List>";
    QTest::newRow("zero") << "<D82List><D82 terminalId=\"0\"/></D82List>";
    QTest::newRow("negative") << "<D82List><D82 terminalId=\"-4\"/></D82List>";
    QTest::newRow("not a number") << "<D82List><D82 terminalId=\"4a\"/></D82List>";
    QTest::newRow("too large") << "<D82List><D82 terminalId=\"99999999999\"/></D82List>";
    QTest::newRow("other element") << "<MicList><Mic terminalId=\"4\"/></MicList>";
    QTest::newRow("not xml") << "<D82List><D82 terminalId=\"4\"";
}

void TstD82::singleDeviceWithoutValidId()
{
    QFETCH(QString, xml);
    ZnD82Manage m;
    m.setCallback(onEvent);
    g_reported = false;
    m.onResponse(279, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + xml.toStdString());
    QVERIFY(!g_reported);
}

void TstD82::booksAreReadAndWritten()
{
    BookRequest r;
    r.terminalId = 80001;
    r.requestType = 282;
    QCOMPARE(model()->requestD82Books(&r), 0);
    QCOMPARE(idsOf(model()->callList(), kItem), std::vector<int>{70001});
    QCOMPARE(model()->callList().front().itemType, 3);

    // A written book is read back in the order given.
    BookRequest w;
    w.terminalId = 80001;
    w.requestType = 286;
    w.text = "3 1";
    QCOMPARE(model()->setD82Books(&w), 0);
    r.requestType = 285;
    QCOMPARE(model()->requestD82Books(&r), 0);
    QCOMPARE(idsOf(model()->sourceList(), kItem), (std::vector<int>{3, 1}));

    r.requestType = 283;
    QCOMPARE(model()->requestD82Books(&r), 0);
    const std::list<ZnD82> all = model()->allCallList();
    const std::vector<int> ids = idsOf(all, kId);
    QVERIFY(ids.size() >= 7 && std::is_sorted(ids.begin(), ids.end()));
    QVERIFY(std::any_of(all.begin(), all.end(), [](const ZnD82& t) { return t.name == "8_80002"; }));

    // A request type that names no book is not sent.
    const int sent = m_s.sim.count("GET");
    r.requestType = 290;
    QCOMPARE(model()->requestD82Books(&r), -1);
    QCOMPARE(m_s.sim.count("GET"), sent);
}

void TstD82::singleDeviceAnswer()
{
    QSignalSpy changed(model(), &ZnD82ListMgr::d82Changed);
    m_s.sim.addRule(ZnSimRule::make(
        "GET D82", ZnSimRule::Reply,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><D82List><D82 terminalId=\"80002\" type=\"8\" status=\"0\" "
        "work=\"busy\" name=\"Night guard\" ip=\"10.0.8.22\" ver=\"2.0\"/></D82List>"));
    QCOMPARE(model()->requestD82(m_s.centre.get(), 80002), 0);
    QVERIFY(SimSession::spinUntil([&] { return changed.count() == 1; }));
    ZnD82 d;
    QVERIFY(model()->getD82(80002, &d));
    QCOMPARE(d.name + '|' + d.work + '|' + std::to_string(d.status), std::string("Night guard|busy|0"));
    const ZnSimRequest sent = m_s.sim.requests().back();
    QCOMPARE(sent.data + ' ' + std::to_string(sent.id), std::string("D82 80002"));

    // Nothing goes out for a device the model does not hold, or without a centre.
    const int before = m_s.sim.count("GET D82");
    QCOMPARE(model()->requestD82(m_s.centre.get(), 4242), -1);
    QCOMPARE(model()->requestD82(nullptr, 80001), -1);
    QCOMPARE(m_s.sim.count("GET D82"), before);
}

QTEST_GUILESS_MAIN(TstD82)
#include "tst_d82.moc"
