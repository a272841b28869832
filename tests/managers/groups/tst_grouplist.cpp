#include "../SignalLog.h"
#include "../SimSession.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnMicGroupListMgr.h"
#include "ZnRegionListMgr.h"

#include <QtTest>

#include <vector>

namespace {

std::vector<int> groupIds()
{
    std::vector<int> out;
    for (const ZnMicGroup& g : ZnMicGroupListMgr::instance()->groupList())
        out.push_back(g.groupId);
    return out;
}

std::vector<int> regionIds()
{
    std::vector<int> out;
    for (const ZnRegion& r : ZnRegionListMgr::instance()->regionList())
        out.push_back(r.regionId);
    return out;
}

std::string simColumn(SimSession& s, const char* table, const char* key, int id, const char* column)
{
    std::string value = "<absent>";
    s.sim.withData([&](ZnSimData& d) {
        for (const Json::Value& r : d.table(table)) {
            if (r[key].asString() == std::to_string(id))
                value = r[column].asString();
        }
    });
    return value;
}

ZnRegion region(int id, const std::string& name, std::vector<int> members)
{
    ZnRegion r;
    r.regionId = id;
    r.name = name;
    for (int m : members) {
        ZnBaseTerminal t;
        t.id = m;
        t.name = "ignored";
        r.terminals.push_back(t);
    }
    return r;
}

} // namespace

class TstGroupList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_session; }
    void init() { m_log.entries.clear(); }
    void cleanup();
    void firstListsSplitTheMembers();
    void groupAddModifyDelete();
    void regionMembersJoinedOnTheWire();
    void refusalsLeaveTheListsUnchanged();
    void deletePushesByExactTypeName();
    void operationsOutsideTheTableSendNothing();

private:
    SimSession* m_session = nullptr;
    SignalLog m_log;
};

void TstGroupList::initTestCase()
{
    m_session = new SimSession;
    QVERIFY(m_session->login());
    ServiceHub::create(m_session->centre.get());
    ZnMicGroupListMgr* groups = ZnMicGroupListMgr::instance();
    ZnRegionListMgr* regions = ZnRegionListMgr::instance();
    m_log.watch(groups, &ZnMicGroupListMgr::gotGroupList, "groups");
    m_log.watch(groups, &ZnMicGroupListMgr::groupChanged, "groupChanged");
    m_log.watch(groups, &ZnMicGroupListMgr::groupDeleted, "groupDeleted");
    m_log.watch(regions, &ZnRegionListMgr::gotRegionList, "regions");
    m_log.watch(regions, &ZnRegionListMgr::regionChanged, "regionChanged");
    m_log.watch(regions, &ZnRegionListMgr::regionDeleted, "regionDeleted");
}

void TstGroupList::cleanup()
{
    m_session->sim.clearRules();
    m_session->sim.setPushChanges(false);
}

void TstGroupList::firstListsSplitTheMembers()
{
    QCOMPARE(groupIds(), (std::vector<int>{1, 2}));
    ZnMicGroup g;
    QVERIFY(ZnMicGroupListMgr::instance()->getGroup(1, &g));
    QCOMPARE(g.members, (std::vector<int>{70001, 70002}));
    QCOMPARE(g.ringTime, 60);
    QCOMPARE(ZnMicGroupListMgr::instance()->maxGroupId(), 2);

    ZnRegion r;
    QVERIFY(ZnRegionListMgr::instance()->getRegion(2, &r));
    QCOMPARE(r.name, std::string("Everywhere"));
    QCOMPARE(r.terminals.size(), size_t(4));
    QCOMPARE(r.terminals.back().id, 60001);
    QVERIFY(!ZnRegionListMgr::instance()->getRegion(9, &r));
}

void TstGroupList::groupAddModifyDelete()
{
    ZnMicGroupListMgr* model = ZnMicGroupListMgr::instance();
    m_session->sim.setPushChanges(true);
    ZnMicGroup g;
    g.groupId = model->maxGroupId() + 1;
    g.name = "Weekend";
    g.members = {70002, 70001};
    g.ringTime = 20;
    QCOMPARE(model->modifyGroup(&g, ZnMicGroupListMgr::Add), 0);
    QCOMPARE(groupIds(), (std::vector<int>{1, 2, 3}));
    QCOMPARE(simColumn(*m_session, "callservergroup", "groupId", 3, "terminalId"), std::string("70002 70001"));
    QCOMPARE(simColumn(*m_session, "callservergroup", "groupId", 3, "ringTime"), std::string("20"));

    // Adding a listed group again changes nothing here.
    g.name = "Twice";
    QCOMPARE(model->modifyGroup(&g, ZnMicGroupListMgr::Add), 0);
    ZnMicGroup back;
    QVERIFY(model->getGroup(3, &back));
    QCOMPARE(back.name, std::string("Weekend"));

    g.name = "Weekends";
    g.members = {70001};
    QCOMPARE(model->modifyGroup(&g, ZnMicGroupListMgr::Modify), 0);
    QVERIFY(model->getGroup(3, &back));
    QCOMPARE(back.name, std::string("Weekends"));
    QCOMPARE(back.members, (std::vector<int>{70001}));

    // The server also announces the deletion; the group goes once.
    QCOMPARE(model->modifyGroup(&g, ZnMicGroupListMgr::Delete), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.count("groupDeleted(3)") == 1; }));
    QTest::qWait(20);
    QCoreApplication::processEvents();
    QCOMPARE(m_log.count("groupDeleted(3)"), 1);
    QCOMPARE(m_log.count("groupChanged(3)"), 2);
    QCOMPARE(groupIds(), (std::vector<int>{1, 2}));
    QCOMPARE(simColumn(*m_session, "callservergroup", "groupId", 3, "name"), std::string("<absent>"));
}

void TstGroupList::regionMembersJoinedOnTheWire()
{
    ZnRegionListMgr* model = ZnRegionListMgr::instance();
    ZnRegion r = region(model->maxRegionId() + 1, "Stairs", {3, 8, 21});
    QCOMPARE(model->modifyRegion(&r, ZnRegionListMgr::Add), 0);
    const ZnSimRequest sent = m_session->sim.requests().back();
    QCOMPARE(sent.packetType, std::string("BroadRegion"));
    QCOMPARE(sent.body, std::string("{\"Action\":\"Add\",\"Id\":\"3\",\"Name\":\"Stairs\",\"TerminalId\":\"3 8 21\"}\n"));
    QCOMPARE(m_log.entries, QStringList{"regionChanged(3)"});

    r = region(3, "Stairs", {});
    QCOMPARE(model->modifyRegion(&r, ZnRegionListMgr::Modify), 0);
    QCOMPARE(simColumn(*m_session, "region", "regionId", 3, "terminalId"), std::string());
    ZnRegion back;
    QVERIFY(model->getRegion(3, &back));
    QVERIFY(back.terminals.empty());

    QCOMPARE(model->modifyRegion(&r, ZnRegionListMgr::Delete), 0);
    QCOMPARE(regionIds(), (std::vector<int>{1, 2}));
    QCOMPARE(m_log.count("regionDeleted(3)"), 1);
}

void TstGroupList::refusalsLeaveTheListsUnchanged()
{
    ZnRegionListMgr* regions = ZnRegionListMgr::instance();
    ZnMicGroupListMgr* groups = ZnMicGroupListMgr::instance();

    // The server does not know these ids.
    ZnRegion ghost = region(77, "Ghost", {1});
    QCOMPARE(regions->modifyRegion(&ghost, ZnRegionListMgr::Modify), 1);
    QCOMPARE(regions->modifyRegion(&ghost, ZnRegionListMgr::Delete), 1);
    ZnMicGroup lost;
    lost.groupId = 77;
    QCOMPARE(groups->modifyGroup(&lost, ZnMicGroupListMgr::Modify), 1);

    // A refusal of a listed record leaves it as it was.
    m_session->sim.addRule(ZnSimRule::make("POST BroadRegion", ZnSimRule::Fail, "region in use"));
    ZnRegion first;
    QVERIFY(regions->getRegion(1, &first));
    QCOMPARE(regions->modifyRegion(&first, ZnRegionListMgr::Delete), 1);
    first.name = "Renamed";
    QCOMPARE(regions->modifyRegion(&first, ZnRegionListMgr::Modify), 1);
    m_session->sim.addRule(ZnSimRule::make("POST CallService", ZnSimRule::Fail, ""));
    ZnMicGroup g;
    QVERIFY(groups->getGroup(2, &g));
    QCOMPARE(groups->modifyGroup(&g, ZnMicGroupListMgr::Delete), 1);

    QCOMPARE(regionIds(), (std::vector<int>{1, 2}));
    QVERIFY(regions->getRegion(1, &first));
    QCOMPARE(first.name, std::string("Ground floor"));
    QCOMPARE(groupIds(), (std::vector<int>{1, 2}));
    QVERIFY(m_log.entries.isEmpty());
}

void TstGroupList::deletePushesByExactTypeName()
{
    m_session->sim.pushDelete("Regions", 1);
    m_session->sim.pushDelete("region", 1);
    m_session->sim.pushDelete("MicGroupList", 1);
    m_session->sim.pushDelete("Region", 99);
    m_session->sim.pushDelete("MicGroup", 2);
    m_session->sim.pushDelete("Region", 2);
    QVERIFY(SimSession::spinUntil([&] { return m_log.entries.size() >= 2; }));
    QTest::qWait(20);
    QCoreApplication::processEvents();
    QCOMPARE(m_log.entries, (QStringList{"groupDeleted(2)", "regionDeleted(2)"}));
    QCOMPARE(regionIds(), (std::vector<int>{1}));
    QCOMPARE(groupIds(), (std::vector<int>{1}));
}

void TstGroupList::operationsOutsideTheTableSendNothing()
{
    const size_t before = m_session->sim.requests().size();
    ZnRegion r = region(1, "x", {});
    ZnMicGroup g;
    g.groupId = 1;
    for (int op : {0, 3, 7, -1}) {
        QCOMPARE(ZnRegionListMgr::instance()->modifyRegion(&r, op), -1);
        QCOMPARE(ZnMicGroupListMgr::instance()->modifyGroup(&g, op), -1);
        QCOMPARE(apiSaveRegion(m_session->centre.get(), &r, op), -1);
        QCOMPARE(apiSaveMicGroup(m_session->centre.get(), &g, op), -1);
    }
    QCOMPARE(ZnRegionListMgr::instance()->modifyRegion(nullptr, 5), -1);
    QCOMPARE(m_session->sim.requests().size(), before);
}

QTEST_GUILESS_MAIN(TstGroupList)
#include "tst_grouplist.moc"
