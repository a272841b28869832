#include "../consoles/ModelSim.h"
#include "ZnApi.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicGroupManage.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionManage.h"

#include <QtTest>

// Microphone groups and regions: their rows, then both list models against the
// simulated server.
namespace {

std::vector<int> groupIds()
{
    return idsOf(ZnMicGroupListMgr::instance()->groupList(), &ZnMicGroup::groupId);
}

ZnRegion region(int id, const std::string& name, std::vector<int> members)
{
    ZnRegion r;
    r.regionId = id;
    r.name = name;
    for (int m : members) {
        ZnBaseTerminal t;
        t.id = m;
        r.terminals.push_back(t);
    }
    return r;
}

} // namespace

class TstGroups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_log.notes.clear(); }
    void cleanup();
    void rowsSplitTheirMembers();
    void groupAddAndDelete();
    void operationsOutsideTheTableSendNothing();

private:
    std::string simColumn(const char* table, const char* key, int id, const char* column);
    SimSession m_s;
    SignalNotes m_log;
};

void TstGroups::initTestCase()
{
    QVERIFY(startModels(m_s));
    ZnMicGroupListMgr* groups = ZnMicGroupListMgr::instance();
    ZnRegionListMgr* regions = ZnRegionListMgr::instance();
    m_log.watch(groups, &ZnMicGroupListMgr::groupChanged, QStringLiteral("groupChanged"));
    m_log.watch(groups, &ZnMicGroupListMgr::groupDeleted, QStringLiteral("groupDeleted"));
    m_log.watch(regions, &ZnRegionListMgr::regionChanged, QStringLiteral("regionChanged"));
    m_log.watch(regions, &ZnRegionListMgr::regionDeleted, QStringLiteral("regionDeleted"));
}

void TstGroups::cleanup()
{
    m_s.sim.clearRules();
    m_s.sim.setPushChanges(false);
}

std::string TstGroups::simColumn(const char* table, const char* key, int id, const char* column)
{
    std::string value = "<absent>";
    m_s.sim.withData([&](ZnSimData& d) {
        for (const Json::Value& r : d.table(table)) {
            if (r[key].asString() == std::to_string(id))
                value = r[column].asString();
        }
    });
    return value;
}

void TstGroups::rowsSplitTheirMembers()
{
    std::list<ZnMicGroup> groups;
    QVERIFY(ZnMicGroupManage::parseRows(R"([{"groupId":"4","callWaitRule":"2","terminalId":"12 15 7"},
        {"groupId":"5","terminalId":" 1  2 "},{"groupId":"6","terminalId":""},
        {"groupId":"7","terminalId":"7 abc 99999999999 +8"}])",
                                        groups));
    // A region's members are read alike: its save writes them all, too.
    std::list<ZnRegion> regions;
    QVERIFY(ZnRegionManage::parseRows(R"([{"regionId":"4","terminalId":"12 15 7"},
        {"regionId":"5","terminalId":" 1  2 "},{"regionId":"6","terminalId":""},
        {"regionId":"7","terminalId":"7 abc 99999999999 +8"}])",
                                      regions));
    QCOMPARE(regions.size(), groups.size());
    auto g = groups.begin();
    for (const ZnRegion& r : regions) {
        QCOMPARE(idsOf(r.terminals, &ZnBaseTerminal::id), g->members);
        QCOMPARE(r.unreadMembers, g->unreadMembers);
        ++g;
    }
    // Absent keys keep the record's defaults; blanks alone separate, naming no member.
    QCOMPARE(idsOf(groups, &ZnMicGroup::callWaitRule), (std::vector<int>{2, 1, 1, 1}));
    QCOMPARE(groups.front().members, (std::vector<int>{12, 15, 7}));
    QCOMPARE(std::next(groups.begin())->members, (std::vector<int>{1, 2}));
    QVERIFY(std::next(groups.begin(), 2)->members.empty());
    // An id that is no number within int is kept as written, apart: written
    // back as a number it would name another console.
    QCOMPARE(groups.back().members, (std::vector<int>{7, 8}));
    QCOMPARE(groups.back().unreadMembers, (std::vector<std::string>{"abc", "99999999999"}));
    QVERIFY(groups.front().unreadMembers.empty());
}

void TstGroups::groupAddAndDelete()
{
    ZnMicGroupListMgr* model = ZnMicGroupListMgr::instance();
    QCOMPARE(groupIds(), (std::vector<int>{1, 2}));
    m_s.sim.setPushChanges(true);
    ZnMicGroup g;
    g.groupId = model->maxGroupId() + 1;
    g.name = "Weekend";
    g.members = {70002, 70001};
    g.ringTime = 20;
    QCOMPARE(model->modifyGroup(&g, ZnMicGroupListMgr::Add), 0);
    QCOMPARE(simColumn("callservergroup", "groupId", 3, "terminalId"), std::string("70002 70001"));
    QCOMPARE(simColumn("callservergroup", "groupId", 3, "ringTime"), std::string("20"));

    // The server also announces the deletion; the group goes once.
    QCOMPARE(model->modifyGroup(&g, ZnMicGroupListMgr::Delete), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_log.notes.contains(QStringLiteral("groupDeleted(3)")); }));
    QVERIFY(m_s.settle());
    QCOMPARE(m_log.notes, (QStringList{QStringLiteral("groupChanged(3)"), QStringLiteral("groupDeleted(3)")}));
    QCOMPARE(groupIds(), (std::vector<int>{1, 2}));
    QCOMPARE(simColumn("callservergroup", "groupId", 3, "name"), std::string("<absent>"));
}

void TstGroups::operationsOutsideTheTableSendNothing()
{
    const size_t before = m_s.sim.requests().size();
    ZnRegion r = region(1, "x", {});
    ZnMicGroup g;
    g.groupId = 1;
    for (int op : {0, 3, 7, -1}) {
        QCOMPARE(ZnRegionListMgr::instance()->modifyRegion(&r, op), -1);
        QCOMPARE(ZnMicGroupListMgr::instance()->modifyGroup(&g, op), -1);
        QCOMPARE(apiSaveRegion(m_s.centre.get(), &r, op), -1);
        QCOMPARE(apiSaveMicGroup(m_s.centre.get(), &g, op), -1);
    }
    QCOMPARE(ZnRegionListMgr::instance()->modifyRegion(nullptr, 5), -1);
    QCOMPARE(m_s.sim.requests().size(), before);
}

QTEST_GUILESS_MAIN(TstGroups)
#include "tst_groups.moc"
