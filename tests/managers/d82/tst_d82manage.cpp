#include "BookEntry.h"
#include "BookRequest.h"
#include "ZnD82.h"
#include "ZnD82Manage.h"

#include <QtTest>

#include <string>
#include <vector>

namespace {

struct Event
{
    int code;
    std::list<ZnD82> devices;
    std::list<BookEntry> entries;
};
std::vector<Event> g_events;

void record(int code, void* data)
{
    Event e{code, {}, {}};
    if (code == 278 || code == 283)
        e.devices = *static_cast<std::list<ZnD82>*>(data);
    else if (code == 279)
        e.devices.push_back(*static_cast<ZnD82*>(data));
    else
        e.entries = *static_cast<std::list<BookEntry>*>(data);
    g_events.push_back(e);
}

std::vector<int> ids(const std::list<ZnD82>& devices)
{
    std::vector<int> out;
    for (const ZnD82& d : devices)
        out.push_back(d.id);
    return out;
}

std::string bodyOf(const std::string& request)
{
    const size_t at = request.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : request.substr(at + 4);
}

const char* const kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

} // namespace

class TstD82Manage : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_events.clear(); }
    void listIsSortedByDescendingId();
    void bookRequests();
    void singleDeviceWithoutValidId_data();
    void singleDeviceWithoutValidId();
};

void TstD82Manage::listIsSortedByDescendingId()
{
    ZnD82Manage m;
    m.setCallback(record);
    m.onResponse(278, "[{\"terminalId\":\"3\",\"name\":\"a\",\"work\":\"idle\",\"ver\":\"1.2\",\"ip\":\"10.0.0.3\","
                      "\"type\":\"8\",\"status\":\"1\"},{\"terminalId\":\"9\",\"name\":\"\"},{\"terminalId\":\"5\"}]");
    m.onResponse(278, "[]");
    m.onResponse(278, "oops");
    QCOMPARE(g_events.size(), size_t(2));
    QCOMPARE(ids(g_events[0].devices), (std::vector<int>{9, 5, 3}));
    QCOMPARE(g_events[0].devices.front().name, std::string("D82_9"));
    const ZnD82& last = g_events[0].devices.back();
    QCOMPARE(last.work, std::string("idle"));
    QCOMPARE(last.ver, std::string("1.2"));
    QCOMPARE(last.ip, std::string("10.0.0.3"));
    QCOMPARE(last.status, 1);
    QVERIFY(g_events[1].devices.empty());   // an empty list is still reported
}

void TstD82Manage::bookRequests()
{
    ZnD82Manage m;
    BookRequest r;
    r.terminalId = 7;
    std::string out;
    r.requestType = 282;
    QVERIFY(m.buildD82Books(out, 1, r).find("select * from d82call where terminalId = 7") != std::string::npos);
    r.requestType = 280;
    QVERIFY(m.buildD82Books(out, 1, r).empty());
    r.requestType = 284;
    QCOMPARE(bodyOf(m.buildSetD82Books(out, 1, r)), std::string("{\"Action\":\"Mod\",\"Contacts\":\"\",\"Id\":\"7\"}\n"));
    r.requestType = 288;
    r.text = "4 9";
    QCOMPARE(bodyOf(m.buildSetD82Books(out, 1, r)), std::string("{\"Action\":\"Mod\",\"Id\":\"7\",\"RegionId\":\"4 9\"}\n"));
    r.requestType = 283;
    QVERIFY(m.buildSetD82Books(out, 1, r).empty());
}

void TstD82Manage::singleDeviceWithoutValidId_data()
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

void TstD82Manage::singleDeviceWithoutValidId()
{
    QFETCH(QString, xml);
    ZnD82Manage m;
    m.setCallback(record);
    m.onResponse(279, kDecl + xml.toStdString());
    QVERIFY(g_events.empty());
}

QTEST_GUILESS_MAIN(TstD82Manage)
#include "tst_d82manage.moc"
