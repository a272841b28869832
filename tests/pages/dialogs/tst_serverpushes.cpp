#include "DialogSteps.h"
#include "PageHolder.h"
#include "QtSchemeInfo.h"
#include "ZnCapInfoForm.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD82InfoForm.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicInfoForm.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionMgrForm.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnTimerTaskMgrForm.h"
#include "ZnTtsInfoForm.h"

#include <QtTest>

#include <map>

namespace {

// What a change the server pushes does to the page the operator sees: one row
// per record type that a DELETE names or a SET carries. The push is "DELETE
// TYPE" (the record id as "Id:"), "SET TYPE/SUBTYPE" or "SET" without a type,
// with its body; then the row of that id reads `shown` ("-" gone, "=" as it
// was), and every other row stays where it was. "plans" is the timer page's plan
// panel. Each family holds the ids base+1 to base+3 (players 1 to 3, groups,
// regions and manual tasks 1 to 3, plans 1 to 6).
struct Push
{
    const char *tag, *page, *push, *body;
    int id;
    const char *shown;
};

const char *const kXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

const Push kPushes[] = {
    // Removals.
    {"d72: DELETE D72 drops the console", "d72", "DELETE D72", "", 50003, "-"},
    {"d74: DELETE D74 drops the console", "d74", "DELETE D74", "", 60003, "-"},
    {"d81: DELETE MIC drops the console", "d81", "DELETE MIC", "", 70003, "-"},
    {"d82: DELETE D82 drops the device", "d82", "DELETE D82", "", 80003, "-"},
    {"capture: DELETE CAP drops the unit", "cap", "DELETE CAP", "", 20003, "-"},
    {"tts: DELETE Tts drops the unit", "tts", "DELETE Tts", "", 40003, "-"},
    {"tts: the type is compared byte for byte", "tts", "DELETE TTS", "", 40002, "="},
    {"fire alarm: DELETE FAlarm drops the interface", "falarm", "DELETE FAlarm", "", 30003, "-"},
    {"group: DELETE MicGroup drops the group", "group", "DELETE MicGroup", "", 3, "-"},
    {"region: DELETE Region drops the region", "region", "DELETE Region", "", 3, "-"},
    // Every kind's removal name takes the id from the play plans.
    {"plans: DELETE SchemeData drops the plan", "plans", "DELETE SchemeData", "", 3, "-"},
    {"plans: DELETE AmpSchemeData drops the play plan", "plans", "DELETE AmpSchemeData", "", 4, "-"},
    {"plans: DELETE PowerSchemeData drops the play plan", "plans", "DELETE PowerSchemeData", "", 5, "-"},
    {"plans: DELETE VolumeScheme drops the play plan", "plans", "DELETE VolumeScheme", "", 6, "-"},
    // The player page follows no removal notice: its list read again drops a player.
    {"player: DELETE 01 leaves the player", "player", "DELETE 01", "", 3, "="},
    // Changed records, as a SET with a type: the rows of the family's table.
    // Code, Is AEC and Is PPT keep what the row was inserted with.
    {"d72: SET of dsk72 rows redraws name, status and IP", "d72", "SET SqlConfig/dsk72",
     R"([{"terminalId":"50002","name":"Hall","status":"7","type":"2","ip":"10.0.5.9","aec":"0","ppt":"1"}])", 50002,
     "Hall|50002|Yes|No|EmergencyBroadcast|10.0.5.9"},
    {"d74: SET of dsk74 rows", "d74", "SET SqlConfig/dsk74",
     R"([{"terminalId":"60002","name":"Hall","status":"1","type":"4","ip":"10.0.6.9","broVol":"40",)"
     R"("switchMode":"3","ledColor":"28","ledTxt":"Exit"}])",
     60002, "Hall|60002|Idle|40|10.0.6.9|Right Move|Green|Exit"},
    {"d81: SET of dsk81 rows", "d81", "SET SqlConfig/dsk81",
     R"([{"terminalId":"70002","name":"Hall","status":"4","type":"3","ip":"10.0.7.9"}])", 70002,
     "Hall|70002|Talkbacking|10.0.7.9"},
    {"d82: SET of d82 rows", "d82", "SET SqlConfig/d82",
     R"([{"terminalId":"80002","name":"Hall","status":"1","type":"8","ip":"10.0.8.9"}])", 80002,
     "Hall|80002|空闲|10.0.8.9"},
    {"capture: SET of capd73 rows", "cap", "SET SqlConfig/capd73",
     R"([{"terminalId":"20002","name":"Hall","status":"2","type":"CAP","ip":"10.0.2.9","capVol":"55",)"
     R"("capSamplerate":"32000"}])",
     20002, "20002|Hall|55|Advanced|Broadcasting|10.0.2.9"},
    {"tts: SET of tts71 rows", "tts", "SET SqlConfig/tts71",
     R"([{"terminalId":"40002","name":"Hall","status":"1","type":"TTS71","ip":"10.0.4.9"}])", 40002,
     "40002|Hall|Idle|10.0.4.9"},
    {"fire alarm: SET of firealarm rows", "falarm", "SET SqlConfig/firealarm",
     R"([{"terminalId":"30002","name":"Hall","status":"1","type":"FR","ip":"10.0.3.9","shortCircuit":"1",)"
     R"("triggerType":"2"}])",
     30002, "Hall|30002|消防报警|10.0.3.9"},
    {"player: SET of ipamp rows", "player", "SET SqlConfig/ipamp",
     R"([{"terminalId":"2","name":"Hall","status":"1","type":"IP","exten":"IP","ip":"10.0.40.9","broVol":"35",)"
     R"("power":"1","ampTemp":"41","speaker":"1"}])",
     2, "IPTerm|Hall|2|35|Idle|open|41 ℃|Pass|10.0.40.9"},
    {"manual task: SET of soundsource rows", "manual", "SET SqlConfig/soundsource",
     R"([{"sourceId":"2","name":"Hall","status":"1","sourceCategory":"2","sourceType":"3","playVol":"45",)"
     R"("playTimes":"2","terminalId":"1"}])",
     2, "Hall|------|TTS Broadcast|Running|45|2|------"},
    {"plans: SET of timerplan rows", "plans", "SET SqlConfig/timerplan",
     R"([{"timerplanId":"2","name":"Evenings","enable":"0","comment":"late"}])", 2, "Evenings|禁用|late"},
    // Changed records, as a SET without a type: XML named by its top element.
    {"d81: SET of a MicList", "d81", "SET",
     R"(<MicList><Mic terminalId="70001" name="Desk" status="5" type="3" ip="10.0.7.8"/></MicList>)", 70001,
     "Desk|70001|Monitor Terminal|10.0.7.8"},
    // A plan's SET carries no comment: the one held stays.
    {"plans: SET of a Scheme", "plans", "SET", R"(<Scheme Id="1" Status="0" SchemeName="Days"/>)", 1, "Days|禁用|c1"},
    {"plans: SET of an AmpScheme leaves the play plans", "plans", "SET",
     R"(<AmpScheme Id="1" Status="1" SchemeName="Amps"/>)", 1, "="},
    {"plans: SET of a PowerScheme leaves the play plans", "plans", "SET",
     R"(<PowerScheme Id="1" Status="1" SchemeName="Power"/>)", 1, "="},
    {"plans: SET of a VolumeScheme leaves the play plans", "plans", "SET",
     R"(<VolumeScheme Id="1" Status="1" SchemeName="Volume"/>)", 1, "="},
};

} // namespace

Q_DECLARE_METATYPE(const Push *)

// The pages as the server's pushed removals and settings leave them, against
// the simulated server.
class TstServerPushes : public QObject
{
    Q_OBJECT

    SimSession s;
    PageHolder pages;
    std::map<QString, QTableWidget *> tables;

    // The ids of the rows top to bottom, without that one.
    static QString idsWithout(QTableWidget *t, int id)
    {
        QStringList ids = idsOf(t).split(QLatin1Char(' '));
        ids.removeAll(QString::number(id));
        return ids.join(QLatin1Char(' '));
    }

private slots:
    void initTestCase()
    {
        s.sim.withData([](ZnSimData &d) {
            seedFamilies(d, 3, {{"aec", "1"}, {"ppt", "0"}});
            std::vector<Json::Value> &groups = d.table("callservergroup");
            std::vector<Json::Value> &regions = d.table("region");
            groups.resize(3, groups.front());
            regions.resize(3, regions.front());
            for (int i = 0; i < 3; ++i) {
                groups[size_t(i)]["groupId"] = regions[size_t(i)]["regionId"] = std::to_string(i + 1);
                groups[size_t(i)]["name"] = regions[size_t(i)]["name"] = "G" + std::to_string(i + 1);
            }
            d.table("soundsource") = {taskRow(1, "M1", 2, 2), taskRow(2, "M2", 2, 2), taskRow(3, "M3", 2, 2)};
            std::vector<Json::Value> plans;
            for (int id = 1; id <= 6; ++id)
                plans.push_back(record({{"timerplanId", std::to_string(id)},
                                        {"name", "P" + std::to_string(id)},
                                        {"enable", "1"},
                                        {"comment", "c" + std::to_string(id)}}));
            d.table("timerplan") = plans;
        });
        QVERIFY(startModels(s));
        QVERIFY(fetchPageLists());
        QTRY_VERIFY(ZnD72ListMgr::instance()->micList().size() == 3);
        QTRY_VERIFY(ZnD74ListMgr::instance()->micList().size() == 3);
        QTRY_VERIFY(ZnRegionListMgr::instance()->regionList().size() == 3);
        pages.add<ZnD72InfoForm>("d72");
        pages.add<ZnD74InfoForm>("d74");
        pages.add<ZnMicInfoForm>("d81");
        pages.add<ZnD82InfoForm>("d82");
        pages.add<ZnCapInfoForm>("cap");
        pages.add<ZnTtsInfoForm>("tts");
        pages.add<ZnFAlarmInfoForm>("falarm");
        pages.add<ZnPlayerInfoForm>("player")->showTerminals();
        pages.add<ZnMicGroupInfoForm>("group");
        pages.add<ZnRegionMgrForm>("region");
        pages.add<ZnSsTaskMgrForm>("manual", 2);
        auto *timer = pages.add<ZnTimerTaskMgrForm>("timer", 3);
        for (const auto &page : pages.all())
            tables[page.first] = dynamic_cast<ZnTerBaseCtr *>(page.second)->tableWidget();
        // The timer page is read by its plan panel.
        tables[QStringLiteral("plans")] = timer->schemePanel()->table();
        tables.erase(QStringLiteral("timer"));
        for (const auto &page : tables)
            QTRY_COMPARE(page.first + QLatin1Char(' ') + QString::number(page.second->rowCount()),
                         page.first
                             + (page.first == QLatin1String("plans") ? QStringLiteral(" 6") : QStringLiteral(" 3")));
    }

    void pushes_data() { addCases(kPushes); }
    void pushes()
    {
        QFETCH(const Push *, c);
        QTableWidget *t = tables.at(QLatin1String(c->page));
        QVERIFY(rowOfId(t, c->id) >= 0);
        const QString before = rowText(t, c->id);
        const QString others = idsWithout(t, c->id);
        const QStringList push = QString::fromLatin1(c->push).split(QLatin1Char(' '));
        if (push.at(0) == QLatin1String("DELETE")) {
            s.sim.pushDelete(push.at(1).toStdString(), c->id);
        } else {
            const QString key = push.value(1);
            const bool xml = key.isEmpty();
            s.sim.pushSet(key.section(QLatin1Char('/'), 0, 0).toStdString(),
                          key.section(QLatin1Char('/'), 1).toStdString(),
                          xml ? kXml + std::string(c->body) : std::string(c->body));
        }
        QVERIFY(s.settle());
        const QString shown = QString::fromUtf8(c->shown);
        if (shown == QLatin1String("="))
            QCOMPARE(rowText(t, c->id), before);
        else
            QTRY_COMPARE(rowText(t, c->id), shown);
        QCOMPARE(idsWithout(t, c->id), others);
    }

    void cleanupTestCase() { pages.clear(); }
};

QTEST_MAIN(TstServerPushes)
#include "tst_serverpushes.moc"
