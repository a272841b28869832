#include "ZnMicGroup.h"
#include "ZnMicGroupManage.h"
#include "ZnRegion.h"
#include "ZnRegionManage.h"

#include <QtTest>

#include <string>
#include <vector>

namespace {

struct Event
{
    int code;
    size_t count;
    int id;
};
std::vector<Event> g_events;

void record(int code, void* data)
{
    Event e{code, 0, 0};
    if (code == 222)
        e.count = static_cast<std::list<ZnMicGroup>*>(data)->size();
    else if (code == 140)
        e.count = static_cast<std::list<ZnRegion>*>(data)->size();
    else
        e.id = *static_cast<int*>(data);
    g_events.push_back(e);
}

std::string bodyOf(const std::string& request)
{
    const size_t at = request.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : request.substr(at + 4);
}

} // namespace

class TstGroupManage : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_events.clear(); }
    void groupRows();
    void groupBodies_data();
    void groupBodies();
    void regionRows();
    void listsWithoutRowsAreNotReported();
};

void TstGroupManage::groupRows()
{
    std::list<ZnMicGroup> groups;
    QVERIFY(ZnMicGroupManage::parseRows(
        "[{\"groupId\":\"4\",\"name\":\"Desk\",\"callWaitRule\":\"2\",\"ringTime\":\"30\",\"terminalId\":\"12 15 7\"},"
        "{\"groupId\":\"5\",\"terminalId\":\"1  2 \"},{\"groupId\":\"6\",\"terminalId\":\"\"}]",
        groups));
    QCOMPARE(groups.size(), size_t(3));
    auto it = groups.begin();
    QCOMPARE(it->groupId, 4);
    QCOMPARE(it->name, std::string("Desk"));
    QCOMPARE(it->callWaitRule, 2);
    QCOMPARE(it->ringTime, 30);
    QCOMPARE(it->members, (std::vector<int>{12, 15, 7}));
    ++it;
    // Absent keys keep the record's defaults; an empty piece between blanks is 0.
    QCOMPARE(it->callWaitRule, 1);
    QCOMPARE(it->ringTime, 60);
    QCOMPARE(it->members, (std::vector<int>{1, 0, 2}));
    ++it;
    QVERIFY(it->members.empty());
}

void TstGroupManage::groupBodies_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("action");
    QTest::newRow("add") << 4 << "Add";
    QTest::newRow("mod") << 5 << "Mod";
    QTest::newRow("del") << 6 << "Del";
}

void TstGroupManage::groupBodies()
{
    QFETCH(int, operation);
    QFETCH(QString, action);
    ZnMicGroupManage m;
    ZnMicGroup g;
    g.groupId = 4;
    g.name = "Desk";
    g.members = {12, 15, 7};
    std::string out;
    m.buildSaveGroup(out, 3, g, operation);
    QVERIFY(out.find("Packet-Type:CallService\r\n") != std::string::npos);
    QCOMPARE(bodyOf(out), "{\"Action\":\"" + action.toStdString() +
                              "\",\"CallWaitRule\":\"1\",\"Dsk81Id\":\"12 15 7\",\"Id\":\"4\",\"Name\":\"Desk\","
                              "\"RingTime\":\"60\"}\n");
    g.members.clear();
    m.buildSaveGroup(out, 4, g, operation);
    QVERIFY(bodyOf(out).find("\"Dsk81Id\":\"\"") != std::string::npos);
}

void TstGroupManage::regionRows()
{
    std::list<ZnRegion> regions;
    QVERIFY(ZnRegionManage::parseRows("[{\"regionId\":\"2\",\"name\":\"Hall\",\"terminalId\":\"3 8 21\"},"
                                      "{\"regionId\":\"3\",\"terminalId\":\"\"}]",
                                      regions));
    QCOMPARE(regions.size(), size_t(2));
    const ZnRegion& r = regions.front();
    QCOMPARE(r.regionId, 2);
    QCOMPARE(r.name, std::string("Hall"));
    QCOMPARE(r.terminals.size(), size_t(3));
    QCOMPARE(r.terminals[2].id, 21);
    QVERIFY(r.terminals[2].name.empty());
    QVERIFY(regions.back().terminals.empty());
    QVERIFY(!ZnRegionManage::parseRows("[{", regions));
    // Nesting past the JSON reader's limit is bad input, not an exception.
    QVERIFY(!ZnRegionManage::parseRows(std::string(5000, '[') + "{}" + std::string(5000, ']'), regions));
}

void TstGroupManage::listsWithoutRowsAreNotReported()
{
    ZnMicGroupManage groups;
    ZnRegionManage regions;
    groups.setCallback(record);
    regions.setCallback(record);
    groups.onResponse(222, "[]");
    groups.onResponse(222, "{");
    regions.onResponse(140, "[]");
    regions.onResponse(140, "null");
    QVERIFY(g_events.empty());
    groups.onResponse(222, "[{\"groupId\":\"1\"}]");
    groups.onResponse(223, "[{\"groupId\":\"1\"}]");
    regions.onResponse(140, "[{\"regionId\":\"1\"},{\"regionId\":\"2\"}]");
    regions.onResponse(142, "[{\"regionId\":\"1\"}]");
    QCOMPARE(g_events.size(), size_t(2));
    QCOMPARE(g_events[0].code, 222);
    QCOMPARE(g_events[1].code, 140);
    QCOMPARE(g_events[1].count, size_t(2));
}

QTEST_GUILESS_MAIN(TstGroupManage)
#include "tst_groupmanage.moc"
