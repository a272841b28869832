#include "../ProbeManage.h"
#include "../consoles/ModelSim.h"
#include "ZnApi.h"
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnCap.h"
#include "ZnCapListMgr.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnD82ListMgr.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmManage.h"
#include "ZnFAlarmTrigger.h"
#include "ZnLoginNetHandle.h"
#include "ZnManualClock.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnTerminal.h"
#include "ZnTts.h"
#include "ZnTtsListMgr.h"
#include "ZnViewConnectRequest.h"

#include <QScopeGuard>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>

// The terminal families (IP amplifiers, capture units, fire-alarm interfaces, TTS units,
// D72, D74, Dsk81 and D82 consoles) against one simulated server. A rule they share is
// one table with a row per family, named after it; what only one family does follows.
namespace {

// A family as its page reaches it, whatever its model calls things.
struct Family
{
    std::function<int()> fetch; // asks for the list again
    std::function<QString()> ids;
    std::function<std::string(int)> name;      // "-" when not held
    std::function<int(int, const char*)> edit; // renames, or removes without a name
};

template <class List>
QString idsText(const List& list)
{
    QStringList out;
    for (const auto& r : list)
        out << QString::number(ZnRecordKey<typename List::value_type>::id(r));
    return out.join(QLatin1Char(' '));
}

template <class Record, class Find, class Modify, class Remove>
void setEdits(Family& f, Find find, Modify modify, Remove remove)
{
    f.name = [find](int id) {
        Record r;
        return find(id, r) ? r.name : std::string("-");
    };
    f.edit = [=](int id, const char* name) {
        Record r;
        find(id, r);
        if (!name)
            return remove(r);
        r.name = name;
        return modify(r);
    };
}

// Unnamed rows under the given ids in place of the table's sample rows.
void fill(ZnSimData& d, const char* table, const char* type, const std::vector<std::string>& ids)
{
    d.table(table).clear();
    for (const std::string& id : ids) {
        Json::Value row(Json::objectValue);
        row["terminalId"] = id;
        row["type"] = type;
        d.addRow(table, row);
    }
}

std::atomic<int> gConfigEvents{0};
int onConfig(int, void*)
{
    return ++gConfigEvents, 0;
}
std::mutex gBroadcastMutex;
std::vector<int> gBroadcasts;
void onBroadcastPushed(ZnBroadcast* b)
{
    std::lock_guard<std::mutex> lock(gBroadcastMutex);
    gBroadcasts.push_back(b->id);
}
} // namespace

// The rows of the tables below.
struct ListRow
{
    const char* ids;
    int unnamed;
    const char *name, *label, *select;
    const char* refetched; // after the server dropped its first row, unless the model asks once
    int asked;
};
struct PushRow
{
    const char* key;
    int fresh, known; // pushed in this order, the known one renamed "Re"
    const char *ids, *notes;
};
struct DeleteRow
{
    const char *type, *other; // and a name that only looks alike
    const char *ids, *notes;
};
struct RenameRow
{
    int id;
    const char *label, *body; // of the accepted rename to "Stage"
    int action, code;         // of the server on the second rename, and its result
    const char* notes;
};
struct RemovalRow
{
    int id;
    const char *type, *reason;
    const char* notes;            // after the accepted removal
    const char* beside = nullptr; // another family's table, given a record of the same id
};
Q_DECLARE_METATYPE(ListRow)
Q_DECLARE_METATYPE(PushRow)
Q_DECLARE_METATYPE(DeleteRow)
Q_DECLARE_METATYPE(RenameRow)
Q_DECLARE_METATYPE(RemovalRow)

// Where a family's list lives on the server, and the request that asks for it again.
struct ListSource
{
    const char *family, *table, *key;
    int (*ask)(ZnManageCenter*);
    const char* outOfOrder; // the model's order of the rows 30 10 20
    bool emptyKept;         // a list answer "[]" keeps the previous list, and nothing is told
};
Q_DECLARE_METATYPE(const ListSource*)
const ListSource kListSources[] = {
    {"amp", "ipamp", "terminalId", &apiGetPlayTerminalList, "10 20 30", false},
    {"cap", "capd73", "terminalId", &apiGetCapList, "10 20 30", false},
    {"alarm", "firealarm", "terminalId", &apiGetFireAlarmList, "10 20 30", false},
    {"tts", "tts71", "terminalId", &apiGetTtsList, "30 10 20", false},
    {"d72", "dsk72", "terminalId", &apiGetD72List, "30 10 20", true},
    {"d74", "dsk74", "terminalId", &apiGetD74List, "30 10 20", true},
    {"dsk81", "dsk81", "terminalId", &apiGetMicList, "30 20 10", false},
    {"d82", "d82", "terminalId", &apiGetD82List, "30 20 10", false},
    {"group", "callservergroup", "groupId", &apiGetMicGroupList, "30 10 20", true},
    {"region", "region", "regionId", &apiGetRegionList, "30 10 20", true},
};

// What the pages hear, in order; every signal must reach them on their own thread.
class Page : public QObject
{
    Q_OBJECT
public:
    QStringList notes;
    int offThread = 0;
    QString text() const { return notes.join(QLatin1Char(' ')); }
    void note(const QString& what)
    {
        offThread += QThread::currentThread() != thread();
        notes << what;
    }
    template <class Model>
    void watch(Model* m, void (Model::*list)(), void (Model::*changed)(int), void (Model::*deleted)(int))
    {
        connect(m, list, this, &Page::list);
        connect(m, changed, this, &Page::changedRow);
        connect(m, deleted, this, [this](int id) { note(QStringLiteral("deleted(%1)").arg(id)); });
    }
public slots: // the capture page connects by slot name through the view bridge
    void list() { note(QStringLiteral("list")); }
    void removedRow(int id) { note(QStringLiteral("removed(%1)").arg(id)); }
    void changedRow(int id) { note(QStringLiteral("changed(%1)").arg(id)); }
};

class TstFamilies : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listAnswer_data();
    void listAnswer();
    void pushApplied_data();
    void pushApplied();
    void deletePushByExactTypeName_data();
    void deletePushByExactTypeName();
    void renameOnlyOnAcceptance_data();
    void renameOnlyOnAcceptance();
    void refusedRemovalKeepsTheRecordAndTheReason_data();
    void refusedRemovalKeepsTheRecordAndTheReason();

    void ampPowerOnlyOnAcceptance();
    void ampFormsUseTheCentreGiven_data();
    void ampFormsUseTheCentreGiven();
    void setsNotTakenReachTheLaterSlots();
    void triggerTravelsUnderItsOwnType_data();
    void triggerTravelsUnderItsOwnType();
    void listShapes_data();
    void listShapes();
    void rowsWithoutIdLeftOut_data();
    void rowsWithoutIdLeftOut();
    void busyLineGivesUp_data(); // last: the centre's clock runs ahead of the real one after it
    void busyLineGivesUp();

private:
    Family& family()
    {
        return m_families[QString::fromLatin1(QTest::currentDataTag()).section(QLatin1Char(' '), 0, 0)];
    }

    SimSession m_s;
    Page m_page;
    std::map<QString, Family> m_families;
    ZnPlayTermListMgr* m_amps = nullptr;
    ZnFAlarmListMgr* m_alarms = nullptr;
};

void TstFamilies::initTestCase()
{
    m_s.sim.withData([](ZnSimData& d) {
        Json::Value amp(Json::objectValue);
        amp["type"] = "IP";
        for (const char* id : {"10500", "10200"}) { // out of id order on the server
            amp["terminalId"] = id;
            d.addRow("ipamp", amp);
        }
        fill(d, "capd73", "CAP", {"9", "bad", "3", "5", "99999999999"}); // ids a unit can't have are skipped
        fill(d, "firealarm", "FR", {"31", "4", "17"});
        fill(d, "tts71", "TTS71", {"8", "3", "5"});
        Json::Value desk(Json::objectValue); // a Dsk81 as the database names its capture volume
        desk["terminalId"] = "70003";
        desk["type"] = "3";
        desk["capvol"] = "45";
        d.addRow("dsk81", desk);
    });
    QVERIFY(startModels(m_s));
    ZnManageCenter* centre = m_s.centre.get();
    const char* slotTexts[] = {SLOT(list()), nullptr, SLOT(removedRow(int)), SLOT(changedRow(int))};
    for (int kind : {0, 2, 3}) {
        ZnViewConnectRequest request;
        request.kind = static_cast<int16_t>(kind);
        request.receiver = &m_page;
        request.slot = slotTexts[kind];
        QCOMPARE(ZnCreateViewCtrMgr::connectView(ServiceHub::instance()->capList(), request), 0);
    }
    ZnCapListMgr* caps = ZnCapListMgr::instance(); // waits for the first list
    ZnTtsListMgr* tts = ZnTtsListMgr::instance();  // likewise
    ZnPlayTermListMgr* amps = m_amps = ZnPlayTermListMgr::instance();
    ZnFAlarmListMgr* alarms = m_alarms = ZnFAlarmListMgr::instance();
    QCOMPARE(amps->requestPlayTermList(), 0);
    QCOMPARE(alarms->registerAndWait(), 0);
    centre->broadcastManage()->setCallbacks(nullptr, nullptr, &onBroadcastPushed);
    QCOMPARE(apiSetServerConfigCallback(centre, &onConfig), 0);
    m_page.watch(amps, &ZnPlayTermListMgr::gotPlayTermList, &ZnPlayTermListMgr::playTermChanged,
                 &ZnPlayTermListMgr::playTermDeleted);
    connect(amps, &ZnPlayTermListMgr::delTermError, &m_page, [this] { m_page.note(QStringLiteral("refused")); });
    m_page.watch(alarms, &ZnFAlarmListMgr::gotFAlarmList, &ZnFAlarmListMgr::fAlarmChanged,
                 &ZnFAlarmListMgr::alarmDeleted);
    m_page.watch(tts, &ZnTtsListMgr::gotTTsList, &ZnTtsListMgr::TTsChanged, &ZnTtsListMgr::TTsDeleted);

    Family& amp = m_families[QStringLiteral("amp")];
    amp.fetch = [amps] { return amps->requestPlayTermList(); };
    amp.ids = [amps] { return idsText(amps->copyList()); };
    setEdits<ZnTerminal>(
        amp, [amps](int id, ZnTerminal& t) { return amps->hasTerminal(id, t); },
        [amps](const ZnTerminal& t) { return amps->modifyTerminal(t); },
        [amps](const ZnTerminal& t) { return amps->removeTerminal(t); });
    Family& cap = m_families[QStringLiteral("cap")];
    cap.fetch = [] { return ServiceHub::instance()->requestCapList(); };
    cap.ids = [caps] {
        const QString ids = idsText(*caps->lockList());
        caps->unlock();
        return ids;
    };
    setEdits<ZnCap>(
        cap, [caps](int id, ZnCap& c) { return caps->findCap(id, c); },
        [caps, centre](const ZnCap& c) { return caps->modifyCap(centre, c); },
        [caps, centre](const ZnCap& c) { return caps->removeCap(centre, c); });
    Family& alarm = m_families[QStringLiteral("alarm")];
    alarm.fetch = [alarms] { return alarms->registerAndWait(); };
    alarm.ids = [alarms] {
        const QString ids = idsText(*alarms->lockList());
        alarms->unlockList();
        return ids;
    };
    setEdits<ZnFAlarm>(
        alarm, [alarms](int id, ZnFAlarm& a) { return alarms->findFAlarm(id, a); },
        [alarms](const ZnFAlarm& a) { return alarms->modifyFAlarm(a); },
        [alarms](const ZnFAlarm& a) { return alarms->deleteFAlarm(a); });
    Family& speech = m_families[QStringLiteral("tts")];
    speech.fetch = [] { return ZnTtsListMgr::instance() ? 0 : -1; };
    speech.ids = [tts] {
        std::list<ZnTts> list;
        tts->copyList(list);
        return idsText(list);
    };
    ZnD72ListMgr* d72s = ZnD72ListMgr::instance();
    ZnD74ListMgr* d74s = ZnD74ListMgr::instance();
    ZnMicListMgr* dsk81s = ZnMicListMgr::instance();
    ZnD82ListMgr* d82s = ZnD82ListMgr::instance();
    QCOMPARE(dsk81s->requestMicList(), 0);
    QCOMPARE(d82s->requestD82List(), 0);
    m_page.watch(d72s, &ZnD72ListMgr::gotD72List, &ZnD72ListMgr::d72Changed, &ZnD72ListMgr::d72Deleted);
    m_page.watch(d74s, &ZnD74ListMgr::gotD74List, &ZnD74ListMgr::d74Changed, &ZnD74ListMgr::d74Deleted);
    m_page.watch(dsk81s, &ZnMicListMgr::gotMicList, &ZnMicListMgr::micChanged, &ZnMicListMgr::micDeleted);
    m_page.watch(d82s, &ZnD82ListMgr::gotD82List, &ZnD82ListMgr::d82Changed, &ZnD82ListMgr::d82Deleted);
    Family& d72 = m_families[QStringLiteral("d72")];
    d72.fetch = [] { return ZnD72ListMgr::instance() ? 0 : -1; };
    d72.ids = [d72s] { return idsText(d72s->micList()); };
    setEdits<ZnMic>(
        d72, [d72s](int id, ZnMic& m) { return d72s->findD72(id, m); },
        [d72s](const ZnMic& m) { return d72s->modifyD72(m); }, [d72s](const ZnMic& m) { return d72s->removeD72(m); });
    Family& d74 = m_families[QStringLiteral("d74")];
    d74.fetch = [] { return ZnD74ListMgr::instance() ? 0 : -1; };
    d74.ids = [d74s] { return idsText(d74s->micList()); };
    setEdits<ZnMic>(
        d74, [d74s](int id, ZnMic& m) { return d74s->findD74(id, m); },
        [d74s](const ZnMic& m) { return d74s->modifyD74(m, ZnD74ListMgr::NameAndVolume); },
        [d74s](const ZnMic& m) { return d74s->removeD74(m); });
    Family& dsk81 = m_families[QStringLiteral("dsk81")];
    dsk81.fetch = [dsk81s] { return dsk81s->requestMicList(); };
    dsk81.ids = [dsk81s] { return idsText(dsk81s->micList()); };
    setEdits<ZnMic>(
        dsk81, [dsk81s](int id, ZnMic& m) { return dsk81s->getMic(id, m); },
        [dsk81s](const ZnMic& m) { return dsk81s->modifyMic(m); },
        [dsk81s](const ZnMic& m) { return dsk81s->deleteMic(m); });
    ZnMicGroupListMgr* groups = ZnMicGroupListMgr::instance();
    ZnRegionListMgr* regions = ZnRegionListMgr::instance();
    m_page.watch(groups, &ZnMicGroupListMgr::gotGroupList, &ZnMicGroupListMgr::groupChanged,
                 &ZnMicGroupListMgr::groupDeleted);
    m_page.watch(regions, &ZnRegionListMgr::gotRegionList, &ZnRegionListMgr::regionChanged,
                 &ZnRegionListMgr::regionDeleted);
    Family& group = m_families[QStringLiteral("group")];
    group.fetch = [] { return ZnMicGroupListMgr::instance() ? 0 : -1; };
    group.ids = [groups] { return idsText(groups->groupList()); };
    setEdits<ZnMicGroup>(
        group, [groups](int id, ZnMicGroup& g) { return groups->getGroup(id, g); },
        [groups](const ZnMicGroup& g) { return groups->modifyGroup(&g, ZnMicGroupListMgr::Modify); },
        [groups](const ZnMicGroup& g) { return groups->modifyGroup(&g, ZnMicGroupListMgr::Delete); });
    Family& region = m_families[QStringLiteral("region")];
    region.fetch = [] { return ZnRegionListMgr::instance() ? 0 : -1; };
    region.ids = [regions] { return idsText(regions->regionList()); };
    setEdits<ZnRegion>(
        region, [regions](int id, ZnRegion& r) { return regions->getRegion(id, r); },
        [regions](const ZnRegion& r) { return regions->modifyRegion(r, ZnRegionListMgr::Modify); },
        [regions](const ZnRegion& r) { return regions->modifyRegion(r, ZnRegionListMgr::Delete); });
    Family& d82 = m_families[QStringLiteral("d82")];
    d82.fetch = [d82s] { return d82s->requestD82List(); };
    d82.ids = [d82s] { return idsText(d82s->d82List()); };
    setEdits<ZnD82>(
        d82, [d82s](int id, ZnD82& d) { return d82s->getD82(id, d); },
        [d82s](const ZnD82& d) { return d82s->modifyD82(&d); }, [d82s](const ZnD82& d) { return d82s->deleteD82(d); });
    setEdits<ZnTts>(
        speech, [tts](int id, ZnTts& t) { return tts->getTts(id, t); },
        [tts](const ZnTts& t) { return tts->updateTts(t); }, [tts](const ZnTts& t) { return tts->deleteTts(t); });
}

void TstFamilies::init()
{
    QVERIFY(m_s.settle());
    m_page.notes.clear();
}

void TstFamilies::cleanup()
{
    m_s.sim.clearRules();
    QCOMPARE(m_page.offThread, 0);
}

void TstFamilies::listAnswer_data()
{
    QTest::addColumn<ListRow>("row");
    QTest::newRow("amp") << ListRow{
        "10001 10002 10003 10200 10500", 10500, "10500", "GET SqlConfig/TerminalList", "select * from ipamp",
        "10002 10003 10200 10500",       2};
    QTest::newRow("cap") << ListRow{"3 5 9", 3, "Cap_3", "GET SqlConfig/CapList", "select * from capd73", "3 5", 2};
    QTest::newRow("alarm") << ListRow{"4 17 31",
                                      4,
                                      "FAlarm_4",
                                      "GET SqlConfig/FAlarmList",
                                      "select terminalId,type,status,name,ip,ver, shortCircuit, broadcast, "
                                      "broadcastTrigger, stopBroadcast, triggerType from firealarm",
                                      "4 17",
                                      2};
    // Asked for once, when the model is made (so are the D72 and D74 lists).
    QTest::newRow("tts") << ListRow{"8 3 5", 5, "5", "GET SqlConfig/TtsList", "select * from tts71", "8 3 5", 0};
    QTest::newRow("d72") << ListRow{"50001 50002", 50002, "D72_50002", "GET SqlConfig/D72List", "select * from Dsk72",
                                    "50001 50002", 0};
    QTest::newRow("d74") << ListRow{"60001 60002", 60002, "D74_60002", "GET SqlConfig/D74List", "select * from Dsk74",
                                    "60001 60002", 0};
    // Dsk81 and D82 lists come in descending id order.
    QTest::newRow("dsk81") << ListRow{
        "70003 70002 70001",
        70002,
        "D81_70002",
        "GET SqlConfig/MicList",
        "select terminalId,type,status,work,name,ip,capvol,callVol,bellVol,broVol,pttMode from dsk81",
        "70003 70002",
        2};
    QTest::newRow("group") << ListRow{"1 2", 2, "Night", "GET SqlConfig/MicGroupList", "select * from callservergroup",
                                      "1 2", 0};
    QTest::newRow("region") << ListRow{"1 2", 1, "Ground floor", "GET SqlConfig/RegionList", "select * from region",
                                       "1 2", 0};
    QTest::newRow("d82") << ListRow{"80002 80001",
                                    80002,
                                    "D82_80002",
                                    "GET SqlConfig/D82List",
                                    "select terminalId,type,status,work,name,ip,ver from d82",
                                    "80002",
                                    2};
}

void TstFamilies::listAnswer()
{
    QFETCH(ListRow, row);
    Family& f = family();
    QCOMPARE(f.ids(), QLatin1String(row.ids));
    QCOMPARE(f.name(row.unnamed), std::string(row.name));
    QCOMPARE(m_s.lastBody(row.label), std::string(row.select));

    // A later list replaces the first, whole; two requests in a row are both answered.
    const std::string table = QString::fromLatin1(row.select).section(QLatin1Char(' '), -1).toLower().toStdString();
    if (row.asked) // a model that asks once keeps the server's rows for the tables below
        m_s.sim.withData([&](ZnSimData& d) { d.table(table).erase(d.table(table).begin()); });
    const int before = m_s.sim.count(row.label);
    QCOMPARE(f.fetch(), 0);
    QCOMPARE(f.fetch(), 0);
    QCOMPARE(m_s.sim.count(row.label) - before, row.asked);
    QCOMPARE(f.ids(), QLatin1String(row.refetched));
    QVERIFY(m_s.settle());
    QCOMPARE(m_page.notes.count(QStringLiteral("list")), row.asked);
}

void TstFamilies::pushApplied_data()
{
    QTest::addColumn<PushRow>("row");
    // Amplifiers are taken in id order; a new one lands in place and redraws the whole list.
    QTest::newRow("amp") << PushRow{"ipamp", 10100, 10200, "10002 10003 10100 10200 10500", "list changed(10200)"};
    // The others move a changed record to the end, but CallOnce models change it in place.
    QTest::newRow("cap") << PushRow{"capd73", 12, 3, "5 12 3", "changed(12) changed(3)"};
    QTest::newRow("alarm") << PushRow{"firealarm", 2, 4, "17 2 4", "changed(2) changed(4)"};
    QTest::newRow("tts") << PushRow{"tts71", 11, 3, "8 3 5 11", "changed(11) changed(3)"};
    QTest::newRow("d72") << PushRow{"dsk72", 50003, 50002, "50001 50002 50003", "changed(50003) changed(50002)"};
    QTest::newRow("dsk81") << PushRow{"dsk81", 70009, 70002, "70003 70009 70002", "changed(70009) changed(70002)"};
    // Pushed Dsk81 rows are applied in descending id order, whatever their order in the push
    // (70002 pushed first; in push order the list would end with 70009).
    QTest::newRow("dsk81 pushed in ascending order")
        << PushRow{"dsk81", 70002, 70009, "70003 70009 70002", "changed(70009) changed(70002)"};
    QTest::newRow("d82") << PushRow{"d82", 80009, 80002, "80009 80002", "changed(80009) changed(80002)"};
}

void TstFamilies::pushApplied()
{
    QFETCH(PushRow, row);
    Family& f = family();
    const std::string k = row.key;
    std::string type;
    m_s.sim.withData([&](ZnSimData& d) { type = d.table(k).back()["type"].asString(); });
    const std::string body = "[{\"terminalId\":\"" + std::to_string(row.fresh) + "\"},{\"terminalId\":\""
                             + std::to_string(row.known) + "\",\"type\":\"" + type + "\",\"name\":\"Re\"}]";
    // Keys that only look alike, and bodies that are no rows, change nothing.
    m_s.sim.pushPost("SqlConfig", k + "x", body);
    m_s.sim.pushPost("SqlConfig", " " + k, body);
    for (const char* bad : {"[{\"terminalId\":", "{oops", "{\"terminalId\":\"77\"}"})
        m_s.sim.pushPost("SqlConfig", k, bad);
    m_s.sim.pushPost("SqlConfig", k, body);
    QVERIFY(m_s.settle());
    QCOMPARE(m_page.text(), QLatin1String(row.notes));
    QCOMPARE(f.ids(), QLatin1String(row.ids));
    QCOMPARE(f.name(row.known), std::string("Re"));
}

void TstFamilies::deletePushByExactTypeName_data()
{
    QTest::addColumn<DeleteRow>("row");
    QTest::newRow("cap") << DeleteRow{"CAP", "Cap", "5 12", "removed(3)"};
    QTest::newRow("tts") << DeleteRow{"Tts", "TTS", "8 3 5", "deleted(11)"};
    QTest::newRow("d72") << DeleteRow{"D72", "d72", "50001 50002", "deleted(50003)"};
    QTest::newRow("d74") << DeleteRow{"D74", "D7", "60001", "deleted(60002)"};
    QTest::newRow("dsk81") << DeleteRow{"MIC", "Mic", "70003 70009", "deleted(70002)"};
    QTest::newRow("alarm") << DeleteRow{"FAlarm", "FAlarms", "17 2", "deleted(4)"};
    QTest::newRow("group") << DeleteRow{"MicGroup", "MicGroupList", "1", "deleted(2)"};
    QTest::newRow("region") << DeleteRow{"Region", "region", "1", "deleted(2)"};
}

void TstFamilies::deletePushByExactTypeName()
{
    QFETCH(DeleteRow, row);
    const QString ids = QLatin1String(row.ids);
    const int last = family().ids().section(QLatin1Char(' '), -1).toInt();
    m_s.sim.pushDelete(row.other, ids.section(QLatin1Char(' '), 0, 0).toInt()); // one that stays
    m_s.sim.pushDelete(row.type, 777);                                          // not held: no page call
    m_s.sim.pushDelete(row.type, last);
    QVERIFY(m_s.settle());
    QCOMPARE(m_page.text(), QLatin1String(row.notes));
    QCOMPARE(family().ids(), ids);
}

void TstFamilies::renameOnlyOnAcceptance_data()
{
    QTest::addColumn<RenameRow>("row");
    const int refuse = ZnSimRule::Fail;
    const char* amp = R"({"BroVol":"60","Id":"10002","Name":"Stage"})";
    QTest::newRow("amp refused") << RenameRow{10002, "POST IpAmpSet", amp, refuse, 1, ""};
    QTest::newRow("amp unanswered") << RenameRow{10002, "POST IpAmpSet", amp, ZnSimRule::Withhold, 3, ""};
    QTest::newRow("cap refused") << RenameRow{
        5, "POST CapD73Set", R"({"CapSamplerate":"0","CapVol":"0","Id":"5","Name":"Stage"})", refuse, 4, ""};
    QTest::newRow("alarm refused") << RenameRow{
        17, "POST SetFRName", R"({"Id":"17","Name":"Stage","TriggerType":"0"})", refuse, 1, "changed(17)"};
    QTest::newRow("tts refused") << RenameRow{5, "POST TTs71Name", R"({"Id":"5","Name":"Stage"})", refuse,
                                              1, "changed(5)"};
    QTest::newRow("d72 refused") << RenameRow{
        50002,
        "POST ModTalkTerminal",
        R"({"BellVol":"80","BroVol":"80","CallVol":"80","CapVol":"0","Id":"50002","Name":"Stage"})",
        refuse,
        1,
        "changed(50002)"};
    // Groups and regions send their members along.
    QTest::newRow("group refused") << RenameRow{
        1,
        "POST CallService",
        R"({"Action":"Mod","CallWaitRule":"1","Dsk81Id":"70001 70002","Id":"1","Name":"Stage","RingTime":"60"})",
        refuse,
        1,
        "changed(1)"};
    QTest::newRow("region refused") << RenameRow{
        1, "POST BroadRegion", R"({"Action":"Mod","Id":"1","Name":"Stage","TerminalId":"10001 10002"})", refuse,
        1, "changed(1)"};
    // A Dsk81 keeps its real capture volume and sends no PTT mode it never had.
    QTest::newRow("dsk81 refused") << RenameRow{
        70003,
        "POST ModTalkTerminal",
        R"({"BellVol":"80","BroVol":"80","CallVol":"80","CapVol":"45","Id":"70003","Name":"Stage"})",
        refuse,
        1,
        "changed(70003)"};
}

void TstFamilies::renameOnlyOnAcceptance()
{
    QFETCH(RenameRow, row);
    Family& f = family();
    QCOMPARE(f.edit(row.id, "Stage"), 0);
    QCOMPARE(m_s.lastBody(row.label), std::string(row.body) + '\n');
    m_s.sim.addRule(ZnSimRule::make(row.label, ZnSimRule::Action(row.action), "no", 0, 1));
    QCOMPARE(f.edit(row.id, "Refused"), row.code);
    QCOMPARE(f.name(row.id), std::string("Stage"));
    QVERIFY(m_s.settle());
    QCOMPARE(m_page.text(), QLatin1String(row.notes));
}

void TstFamilies::refusedRemovalKeepsTheRecordAndTheReason_data()
{
    QTest::addColumn<RemovalRow>("row");
    QTest::newRow("amp") << RemovalRow{10003, "IP", "terminal 10003 is in a task", ""};
    QTest::newRow("cap") << RemovalRow{5, "CAP", "capture unit in use", ""};
    QTest::newRow("alarm") << RemovalRow{17, "FR", "\xe6\xad\xa3\xe5\x9c\xa8\xe4\xbd\xbf\xe7\x94\xa8", ""};
    QTest::newRow("tts") << RemovalRow{5, "TTS71", "unit busy", "deleted(5)"};
    QTest::newRow("d72") << RemovalRow{50002, "2", "console 50002 busy", "deleted(50002)"};
    QTest::newRow("d72 beside an amplifier of the same id")
        << RemovalRow{50001, "2", "console busy", "deleted(50001)", "ipamp"};
    QTest::newRow("dsk81") << RemovalRow{70003, "3", "busy", ""};
    QTest::newRow("d82") << RemovalRow{80002, "8", "busy", ""};
}

void TstFamilies::refusedRemovalKeepsTheRecordAndTheReason()
{
    // Every family removes through "RemoveDevice"; the server's reason reaches the
    // operator through the amplifier model, and the record stays.
    QFETCH(RemovalRow, row);
    Family& f = family();
    const std::string id = std::to_string(row.id);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).section(QLatin1Char(' '), 0, 0);
    const auto source = std::find_if(std::begin(kListSources), std::end(kListSources),
                                     [&](const ListSource& l) { return tag == QLatin1String(l.family); });
    QVERIFY(source != std::end(kListSources));
    const auto held = [&](const char* table) {
        bool found = false;
        m_s.sim.withData([&](ZnSimData& d) {
            for (const Json::Value& r : d.table(table))
                found = found || r["terminalId"].asString() == id;
        });
        return found;
    };
    // Ids repeat across families, as in a sample set grown by --rows-per-family;
    // the other family's record goes again whatever the outcome.
    if (row.beside)
        m_s.sim.withData([&](ZnSimData& d) {
            Json::Value copy = d.table(row.beside).front();
            copy["terminalId"] = id;
            d.addRow(row.beside, copy);
        });
    const auto dropBeside = qScopeGuard([&] {
        if (row.beside)
            m_s.sim.withData([&](ZnSimData& d) {
                auto& rows = d.table(row.beside);
                rows.erase(std::remove_if(rows.begin(), rows.end(),
                                          [&](const Json::Value& r) { return r["terminalId"].asString() == id; }),
                           rows.end());
            });
    });
    QVERIFY(held(source->table));
    m_s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, row.reason, 0, 1));
    QCOMPARE(f.edit(row.id, nullptr), 1);
    QVERIFY(f.name(row.id) != "-");
    QVERIFY(QTest::qWaitFor([&] { return m_page.notes.contains(QStringLiteral("refused")); }));
    QCOMPARE(m_amps->delTermErrorText(), QString::fromUtf8(row.reason));

    m_page.notes.clear();
    QCOMPARE(f.edit(row.id, nullptr), 0);
    QCOMPARE(f.name(row.id), std::string("-"));
    QCOMPARE(m_s.lastBody("POST RemoveDevice"), "{\"Id\":\"" + id + "\",\"Type\":\"" + row.type + "\"}\n");
    QVERIFY(m_s.settle());
    QCOMPARE(m_page.text(), QLatin1String(row.notes));
    // The server removed that family's record, and no other of the same id.
    QVERIFY(!held(source->table));
    if (row.beside)
        QVERIFY(held(row.beside));
}

void TstFamilies::ampPowerOnlyOnAcceptance()
{
    QCOMPARE(m_amps->setAmpPower(10002, "unused text", false), 0);
    QCOMPARE(m_s.lastBody("POST IpAmpPower"), std::string("{\"Id\":\"10002\",\"Power\":\"0\"}\n"));
    m_s.sim.addRule(ZnSimRule::make("POST IpAmpPower", ZnSimRule::Fail, "no"));
    QCOMPARE(m_amps->setAmpPower(10002, nullptr, true), 1);
    ZnTerminal t;
    QVERIFY(m_amps->hasTerminal(10002, t));
    QVERIFY(!t.power);
}

void TstFamilies::ampFormsUseTheCentreGiven_data()
{
    QTest::addColumn<QString>("label");
    QTest::newRow("power") << QStringLiteral("POST IpAmpPower");
    QTest::newRow("speaker check") << QStringLiteral("POST IpAmpSpkCheck");
    QTest::newRow("thresholds") << QStringLiteral("SET PlayTermConfig");
    QTest::newRow("whole record") << QStringLiteral("POST Terminal");
}

void TstFamilies::ampFormsUseTheCentreGiven()
{
    // The hub has a centre, but these forms send through the one given: none, nothing sent.
    QFETCH(QString, label);
    ZnTerminal amp;
    QVERIFY(m_amps->hasTerminal(10002, amp));
    const std::map<QString, std::function<int(ZnManageCenter*)>> send{
        {QStringLiteral("POST IpAmpPower"),
         [&](ZnManageCenter* c) { return m_amps->setAmpPower(c, amp.id, "", amp.power ? 1 : 0); }},
        {QStringLiteral("POST IpAmpSpkCheck"), [&](ZnManageCenter* c) { return m_amps->speakerCheck(c, amp); }},
        {QStringLiteral("SET PlayTermConfig"), [&](ZnManageCenter* c) { return m_amps->setPlayTermConfig(c, amp); }},
        {QStringLiteral("POST Terminal"), [&](ZnManageCenter* c) { return m_amps->setTerminal(c, amp); }},
    };
    const std::string l = label.toStdString();
    const int before = m_s.sim.count(l);
    QCOMPARE(send.at(label)(nullptr), -1);
    QCOMPARE(m_s.sim.count(l), before);
    QCOMPARE(send.at(label)(m_s.centre.get()), 0);
    QCOMPARE(m_s.sim.count(l), before + 1);
}

void TstFamilies::setsNotTakenReachTheLaterSlots()
{
    Probes probes(*m_s.centre);
    ProbeManage& later = probes.at(ZnManageCenter::SchemeSlot);
    later.acceptSet = true;
    const std::string xml = "<?xml version=\"1.0\"?>";
    const std::vector<std::string> notTaken{xml + "<CapList><Cap id=\"5\"/></CapList>",
                                            xml + "<BroadcastList><Broadcast id=\"5\"></BroadcastList>",
                                            xml + "<BroadcastList>" + QByteArray("<b>").repeated(50000).toStdString()};
    for (const std::string& body : notTaken)
        m_s.sim.pushSet("", "", body);
    // Rows the capture manager can read stay its own; a good broadcast list is the
    // broadcast manager's, which hands on its first broadcast.
    m_s.sim.pushSet("", "", R"([{"terminalId":"3","name":"<x><CapList>"}])");
    m_s.sim.pushSet("", "", xml + "<BroadcastList><Broadcast id=\"21\"/><Broadcast id=\"22\"/></BroadcastList>");
    QVERIFY(m_s.settle());
    QCOMPARE(later.bodiesOf("set"), notTaken);
    QCOMPARE(m_page.text(), QStringLiteral("changed(3)"));
    std::lock_guard<std::mutex> lock(gBroadcastMutex);
    QCOMPARE(gBroadcasts, std::vector<int>{21});
}

void TstFamilies::triggerTravelsUnderItsOwnType_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("code");
    // Ids that are request types of other managers: play-terminal list, the
    // removal, server parameters, the server time; an interface the server lacks.
    QTest::newRow("3") << 3 << 0;
    QTest::newRow("174") << 174 << 0;
    QTest::newRow("298") << 298 << 0;
    QTest::newRow("7 refused") << 7 << 1;
    QTest::newRow("174 refused") << 174 << 1;
    QTest::newRow("unknown interface") << 8080 << 1;
}

void TstFamilies::triggerTravelsUnderItsOwnType()
{
    QFETCH(int, id);
    QFETCH(int, code);
    for (int slot = 0; slot < ZnManageCenter::SlotCount; ++slot) {
        if (ZnBaseMgr* m = m_s.centre->slot(slot))
            QCOMPARE(m->isCommandRegistered(ZnFAlarmManage::TriggerType), -1);
    }
    if (id != 8080) {
        m_s.sim.withData([id](ZnSimData& d) {
            Json::Value r(Json::objectValue);
            r["terminalId"] = std::to_string(id);
            d.addRow("firealarm", r);
        });
    }
    if (code && id != 8080)
        m_s.sim.addRule(ZnSimRule::make("POST SetFRTrigger", ZnSimRule::Fail, "channel busy"));
    Probes probes(*m_s.centre);
    ProbeManage& probe = probes.at(ZnManageCenter::BroadcastSlot);
    const std::string time = m_s.centre->systemTime();
    const int config = gConfigEvents;
    const int gets = m_s.sim.count("GET");

    ZnFAlarmTrigger trigger;
    trigger.id = id;
    trigger.channel = 2;
    trigger.channelName = "\xe4\xba\x8c\xe6\xa5\xbc \"East\" \\ stair";
    QCOMPARE(m_alarms->setTrigger(trigger), code);
    const std::string type = std::to_string(ZnFAlarmManage::TriggerType);
    QVERIFY(probe.saw(code ? "failed " + type : "answer " + type));
    QVERIFY(!probe.saw(code ? "answer " + type : "failed " + type));
    QVERIFY(m_s.settle());
    QCOMPARE(m_page.text(), QString()); // no amplifier list, no change of any family
    QCOMPARE(gConfigEvents.load(), config);
    QCOMPARE(m_s.centre->systemTime(), time);
    QCOMPARE(m_s.sim.count("GET"), gets);
    // The name is written escaped, and the server reads back the same text.
    std::string stored;
    m_s.sim.withData([&](ZnSimData& d) {
        for (const Json::Value& r : d.table("firealarmchannel")) {
            if (r["terminalId"].asString() == std::to_string(id) && r["channel"].asString() == "2")
                stored = r["channelName"].asString();
        }
    });
    if (!code)
        QCOMPARE(stored, trigger.channelName);
}

// Each family's list answered with no rows, one row, and rows out of id order,
// after a list of one row (5): the rows the model holds then, and whether the
// pages were told.
void TstFamilies::listShapes_data()
{
    QTest::addColumn<const ListSource*>("source");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("held");
    QTest::addColumn<int>("told");
    for (const ListSource& f : kListSources) {
        QTest::addRow("%s empty: %s", f.family, f.emptyKept ? "kept" : "emptied")
            << &f << QString() << (f.emptyKept ? QStringLiteral("5") : QString()) << (f.emptyKept ? 0 : 1);
        QTest::addRow("%s one row", f.family) << &f << QStringLiteral("7") << QStringLiteral("7") << 1;
        QTest::addRow("%s out of order", f.family)
            << &f << QStringLiteral("30 10 20") << QString::fromLatin1(f.outOfOrder) << 1;
    }
}

void TstFamilies::listShapes()
{
    QFETCH(const ListSource*, source);
    QFETCH(QString, rows);
    std::vector<Json::Value> kept;
    m_s.sim.withData([&](ZnSimData& d) { kept = d.table(source->table); });
    const auto serve = [&](const QString& ids) {
        m_s.sim.withData([&](ZnSimData& d) {
            d.table(source->table).clear();
            for (const QString& id : ids.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                Json::Value row(Json::objectValue);
                row[source->key] = id.toStdString();
                row["type"] = "IP";
                d.addRow(source->table, row);
            }
        });
        return source->ask(m_s.centre.get()) == 0 && m_s.settle();
    };
    QVERIFY(serve(QStringLiteral("5")));
    QCOMPARE(m_families[QLatin1String(source->family)].ids(), QStringLiteral("5"));
    m_page.notes.clear();
    QVERIFY(serve(rows));
    const QString held = m_families[QLatin1String(source->family)].ids();
    const int told = int(m_page.notes.count(QStringLiteral("list")));
    m_s.sim.withData([&](ZnSimData& d) { d.table(source->table) = kept; });
    QVERIFY(source->ask(m_s.centre.get()) == 0 && m_s.settle());
    QTEST(held, "held");
    QTEST(told, "told");
}

void TstFamilies::rowsWithoutIdLeftOut_data()
{
    QTest::addColumn<const ListSource*>("source");
    for (const ListSource& f : kListSources)
        QTest::addRow("%s", f.family) << &f;
}

// The rows 30, 10 and 20 among rows whose id is of every other kind, or missing:
// only the three are listed, and a push of such rows beside a new one adds the
// new one alone.
void TstFamilies::rowsWithoutIdLeftOut()
{
    QFETCH(const ListSource*, source);
    const char* const ids[] = {R"("30")", "{}",      "[7]",   "null", "true",    R"("10")", "false",
                               "1.5",     R"("x7")", R"("")", "",     R"("7x")", "20"};
    Json::Value rows(Json::arrayValue);
    for (const char* id : ids) {
        Json::Value row(Json::objectValue);
        if (*id)
            Json::Reader().parse(id, row[source->key]);
        row["type"] = "IP";
        row["name"] = "ghost";
        rows.append(row);
    }
    std::vector<Json::Value> kept;
    m_s.sim.withData([&](ZnSimData& d) {
        kept = d.table(source->table);
        d.table(source->table).assign(rows.begin(), rows.end());
    });
    QVERIFY(source->ask(m_s.centre.get()) == 0 && m_s.settle());
    Family& f = m_families[QLatin1String(source->family)];
    QCOMPARE(f.ids(), QLatin1String(source->outOfOrder));
    QCOMPARE(m_page.text(), QStringLiteral("list"));

    const bool pushed = std::string(source->key) == "terminalId"; // groups and regions are never pushed
    if (pushed) {
        m_page.notes.clear();
        rows[0][source->key] = "40";
        m_s.sim.pushPost("SqlConfig", source->table, Json::FastWriter().write(rows));
        QVERIFY(m_s.settle());
        QVERIFY2(f.ids().split(QLatin1Char(' ')).contains(QStringLiteral("40")), qPrintable(f.ids()));
        QCOMPARE(f.ids().split(QLatin1Char(' ')).size(), 4);
        QVERIFY2(!m_page.text().contains(QStringLiteral("(0)")), qPrintable(m_page.text()));
    }
    m_s.sim.withData([&](ZnSimData& d) { d.table(source->table) = kept; });
    QVERIFY(source->ask(m_s.centre.get()) == 0 && m_s.settle());
}

void TstFamilies::busyLineGivesUp_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("freedAfter"); // clock moves before the line is free again; 0 never
    QTest::newRow("amp") << QStringLiteral("GET SqlConfig/TerminalList") << 0;
    QTest::newRow("cap (the hub's own request)") << QStringLiteral("GET SqlConfig/CapList") << 0;
    QTest::newRow("alarm") << QStringLiteral("GET SqlConfig/FAlarmList") << 0;
    // Each busy try takes at least one clock move: a line busy for 25 moves outlasts
    // 10 tries, not the 50 the capture-unit list allows.
    QTest::newRow("cap through the hub keeps the list's 50 tries") << QStringLiteral("GET SqlConfig/CapList") << 25;
}

void TstFamilies::busyLineGivesUp()
{
    // An unanswered keep-alive holds the line, and the test clock outruns each wait
    // for it: every try ends busy (2) without sending, and the model stops asking.
    QFETCH(QString, label);
    QFETCH(int, freedAfter);
    static int64_t start = ZnClock::now(); // each row goes on from where the last one left the clock
    ZnManualClock clock(start);
    const int online = m_s.sim.count("ONLINE");
    m_s.sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold, "", 0, 1));
    clock.advance(ZnLoginNetHandle::kInterval + 1); // past any keep-alive of this second
    // The entry is made before the server has read the keep-alive: wait for both.
    QVERIFY(QTest::qWaitFor([&] { return m_s.centre->pendingCount() == 1 && m_s.sim.count("ONLINE") == online + 1; }));
    const int asked = m_s.sim.count(label.toStdString());
    QTimer mover;
    int moves = 0;
    connect(&mover, &QTimer::timeout, [&] {
        if (++moves == freedAfter) {
            mover.stop();
            m_s.sim.releaseHeld();
        } else {
            clock.advance(3);
        }
    });
    mover.start(0); // every pass of the wait loop
    QCOMPARE(family().fetch(), freedAfter ? 0 : 2);
    mover.stop();
    QCOMPARE(m_s.sim.count(label.toStdString()), asked + (freedAfter ? 1 : 0));
    m_s.sim.releaseHeld();
    QVERIFY(QTest::qWaitFor([&] { return m_s.centre->pendingCount() == 0; }));
    start = clock.seconds();
}

QTEST_GUILESS_MAIN(TstFamilies)
#include "tst_families.moc"
