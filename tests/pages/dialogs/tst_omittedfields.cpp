#include "../../managers/RecordFields.h"
#include "../tasks/FileServiceLink.h"
#include "DialogSteps.h"
#include "PageHolder.h"
#include "QtSchemeInfo.h"
#include "ZnBroadcastManage.h"
#include "ZnCapInfoForm.h"
#include "ZnCapListMgr.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD82InfoForm.h"
#include "ZnD82ListMgr.h"
#include "ZnD82Manage.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnLevelList.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicInfoForm.h"
#include "ZnMicListMgr.h"
#include "ZnPlanManage.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnPlayTaskManage.h"
#include "ZnPlayTermListMgr.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionMgrForm.h"
#include "ZnSchemeList.h"
#include "ZnServerConfigMgr.h"
#include "ZnServiceLogMgr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSystemSettingForm.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTermLogInfoForm.h"
#include "ZnTimerTaskMgrForm.h"
#include "ZnTtsInfoForm.h"
#include "ZnTtsListMgr.h"
#include "ZnUserLogInfoForm.h"
#include "ZnUserManage.h"

#include <QLoggingCategory>
#include <QtTest>

using namespace RecordFields;

namespace {

// A record the server sends with every field it may leave out left out: only its
// id (and the keys in "given"), in the first list answer or pushed later. What the
// record then holds ("read", its fields joined by '|' in the order of the
// server's keys), the row its page shows ("shown", cells joined by '|'; "-" for a
// kind no page shows), the fields its edit dialog opens with ("opened",
// "objectName=value", ';' between them) and, after "typed" was typed (the same
// form; "" for nothing, "-" for no dialog) and OK pressed, every change request
// that reached the server ("LABEL body", " / " between them; "" for none).
//
// Each value is as its reader's rules say a missing key reads: most readers read
// it as 0 or empty text; the talk consoles, microphone groups and levels keep
// their record's defaults.
struct Omitted
{
    const char *tag;
    const char *kind; // the server's table (or the XML list element)
    int id;
    const char *given; // further keys "key=value;..."; for XML the list element's child
    bool pushed;
    const char *read, *shown, *opened, *typed, *sent;
};

const Omitted kOmitted[] = {
    // IP amplifiers: a missing speaker state reads 0, and no type is "IP".
    {"amplifier listed", "ipamp", 91, "", false, "91|0||91|||||0|0|0|0|0|0", "01Term|91|91|0|Off Line|close|---|---|",
     "fNameEdit=91", "fNameEdit=Hall", "POST IpAmpSet {\"BroVol\":\"0\",\"Id\":\"91\",\"Name\":\"Hall\"}"},
    {"amplifier pushed", "ipamp", 92, "", true, "92|0||92|||||0|0|0|0|0|0", "01Term|92|92|0|Off Line|close|---|---|",
     "-", "-", ""},
    // Capture units: the unknown rate shows as General and goes back unchanged.
    {"capture unit listed", "capd73", 20091, "", false, "20091|0|Cap_20091|||||0|0",
     "20091|Cap_20091|0|General|Off Line|",
     "fNameEdit=Cap_20091;fCapVolSpinBox=0;fNormalQualityRBtn=off;fMediumQualityRBtn=off;fHighQualityRBtn=off", "",
     "POST CapD73Set {\"CapSamplerate\":\"0\",\"CapVol\":\"0\",\"Id\":\"20091\",\"Name\":\"Cap_20091\"}"},
    {"capture unit pushed", "capd73", 20092, "", true, "20092|0|Cap_20092|||||0|0",
     "20092|Cap_20092|0|General|Off Line|", "-", "-", ""},
    // Fire-alarm interfaces: a trigger type neither of the two goes back as it came.
    {"fire-alarm interface listed", "firealarm", 30091, "", false, "30091|0|FAlarm_30091|||||0|0|0|0",
     "FAlarm_30091|30091|断线|", "fNameEdit=FAlarm_30091;fNormalCb=off;fEmergencyCb=on;fChannelTb=", "fNameEdit=Door",
     "POST SetFRName {\"Id\":\"30091\",\"Name\":\"Door\",\"TriggerType\":\"0\"}"},
    {"fire-alarm interface pushed", "firealarm", 30092, "", true, "30092|0|FAlarm_30092|||||0|0|0|0",
     "FAlarm_30092|30092|断线|", "-", "-", ""},
    // Speech units.
    {"speech unit listed", "tts71", 40091, "", false, "40091|0|40091||||", "40091|40091|Off Line|", "fNameEdit=40091",
     "fNameEdit=Hall", "POST TTs71Name {\"Id\":\"40091\",\"Name\":\"Hall\"}"},
    {"speech unit pushed", "tts71", 40092, "", true, "40092|0|40092||||", "40092|40092|Off Line|", "-", "-", ""},
    // Call microphones keep the record's volumes of 80 and send them back.
    {"call microphone listed", "dsk72", 50091, "", false, "50091|0|D72_50091|||||0|0|80|0|80|80",
     "D72_50091|50091|No|No|Login Out|",
     "fNameEdit=D72_50091;fCapSpinBox=0;fTalkSpinBox=80;fRingSpinBox=80;fBcastSpinBox=80;fCallConfigGroupBox=off", "",
     "POST ModTalkTerminal {\"BellVol\":\"80\",\"BroVol\":\"80\",\"CallVol\":\"80\",\"CapVol\":\"0\","
     "\"Id\":\"50091\",\"Name\":\"D72_50091\"}"},
    {"call microphone pushed", "dsk72", 50092, "", true, "50092|0|D72_50092|||||0|0|80|0|80|80",
     "D72_50092|50092|No|No|Login Out|", "-", "-", ""},
    // Emergency microphones: the name from an extension that is not "--"; move
    // mode 1 shows and is written as the left move.
    {"emergency microphone listed", "dsk74", 60091, "", false, "60091|0|||_60091||||80|0|80|80|224|1|5|",
     "_60091|60091|Login Out|80||Left Move|Red|",
     "fNameEdit=_60091;fCapSpinBox=0;fTalkSpinBox=80;fRingSpinBox=80;fBcastSpinBox=80;fDispTextLineEdit=;"
     "fSwitchTimeSpinBox=5;fMoveComboBox=Left Move;"
     "fRedColorCheckBox=on;fGreenColorCheckBox=off;fYellowColorCheckBox=off",
     "",
     "POST ModTalkTerminal "
     "{\"BellVol\":\"80\",\"BroVol\":\"80\",\"CallVol\":\"80\",\"CapVol\":\"0\",\"Id\":\"60091\",\"Name\":\"_60091\"}"
     " / POST ModD74Led "
     "{\"DisplayTime\":\"5\",\"Id\":\"60091\",\"LedColor\":\"224\",\"LedTxt\":\"\",\"SwitchMode\":\"2\"}"},
    {"emergency microphone pushed", "dsk74", 60092, "", true, "60092|0|||_60092||||80|0|80|80|224|1|5|",
     "_60092|60092|Login Out|80||Left Move|Red|", "-", "-", ""},
    // Server microphones: no push-to-talk mode, none sent.
    {"server microphone listed", "dsk81", 70091, "", false, "70091|0||D81_70091|||||80|0|80|80|-1",
     "D81_70091|70091|Off Line|",
     "fNameEdit=D81_70091;fCapSpinBox=0;fTalkSpinBox=80;fRingSpinBox=80;fBcastSpinBox=80;fPTTcomboBox=否",
     "fNameEdit=Desk",
     "POST ModTalkTerminal "
     "{\"BellVol\":\"80\",\"BroVol\":\"80\",\"CallVol\":\"80\",\"CapVol\":\"0\",\"Id\":\"70091\",\"Name\":\"Desk\"}"
     " / POST D81SoundSource {\"Action\":\"Mod\",\"Id\":\"70091\",\"SoundSource\":\"\"}"},
    {"server microphone pushed", "dsk81", 70092, "", true, "70092|0||D81_70092|||||80|0|80|80|-1",
     "D81_70092|70092|Off Line|", "-", "-", ""},
    // Mobile devices: their change carries no volume of its own.
    {"mobile device listed", "d82", 80091, "", false, "80091|0||D82_80091|||", "D82_80091|80091|断线|",
     "fNameEdit=D82_80091", "fNameEdit=Guard",
     "POST ModTalkTerminal "
     "{\"BellVol\":\"0\",\"BroVol\":\"0\",\"CallVol\":\"0\",\"CapVol\":\"0\",\"Id\":\"80091\",\"Name\":\"Guard\"}"},
    {"mobile device pushed", "d82", 80092, "", true, "80092|0||D82_80092|||", "D82_80092|80092|断线|", "-", "-", ""},
    // The lists a console keeps on the server: an entry naming nothing but its console.
    {"call microphone button call", "d72buttoncall", 50091, "", false, "50091|||0|0", "-", "-", "-", ""},
    {"server microphone monitor entry", "d81monitor", 70091, "", false, "70091|0|0|0", "-", "-", "-", ""},
    {"mobile device contact entry", "d82call", 80091, "", false, "80091|0|0|0", "-", "-", "-", ""},
    // The play terminals a task may choose (a call microphone here): a name made
    // of the (missing) type and the id.
    {"play terminal directory entry", "AllPlayTerminalList", 50093, "", false, "50093|||_50093", "-", "-", "-", ""},
    // Microphone groups and regions: no name of their own, so one is typed.
    {"microphone group listed", "callservergroup", 91, "", false, "91||1|60|", "|91|All Ring|60 s",
     "fNameEdit=;timeSpinBox=60;ruleComboBox=All Ring;fMicTableWidget=", "fNameEdit=Desk",
     "POST CallService {\"Action\":\"Mod\",\"CallWaitRule\":\"1\",\"Dsk81Id\":\"\",\"Id\":\"91\","
     "\"Name\":\"Desk\",\"RingTime\":\"60\"}"},
    {"region listed", "region", 91, "", false, "91||", "|91", "fNameEdit=;fTableWidget=", "fNameEdit=Hall",
     "POST BroadRegion {\"Action\":\"Mod\",\"Id\":\"91\",\"Name\":\"Hall\",\"TerminalId\":\"\"}"},
    // Tasks: numbers read as 0, the timer plan as none; a duration is typed, as 0 is none.
    {"plan task listed", "soundsource", 91, "sourceCategory=1", false, "91|Task_|0|1|0|-1||0|0|0|0|0|0|0||",
     "Task_|------|File Play Broadcast|Unknow|0|00:00:00|------",
     "fNameEdit=Task_;fVolSpinBox=0;fPlayTimeCheckBox=on;fPlayTimeEdit=00:00:00;fPlayCountCheckBox=off;fTypeComboBox=",
     "fPlayTimeEdit=00:00:30",
     "POST SoundSource "
     "{\"Action\":\"Mod\",\"Duration\":\"30\",\"EndDate\":\"0\",\"ExecuteTime\":\"\",\"Id\":\"91\",\"Name\":\"Task_\","
     "\"OpenAmp\":\"0\",\"PlayTimes\":\"0\",\"PlayVol\":\"0\",\"SourceCategory\":\"1\",\"SourceContent\":\"\","
     "\"SourceType\":\"0\",\"StartDate\":\"0\",\"TerminalId\":\"\",\"TimerPlanId\":\"-1\",\"Week\":\"0\"}"},
    {"plan task pushed", "soundsource", 92, "sourceCategory=1", true, "92|Task_|0|1|0|-1||0|0|0|0|0|0|0||",
     "Task_|------|File Play Broadcast|Unknow|0|00:00:00|------", "-", "-", ""},
    // Timer plans: a plan without its enable column reads as disabled.
    {"timer plan listed", "timerplan", 91, "", false, "91|Scheme_|0|", "Scheme_|禁用|",
     "fSchemeNameLe=Scheme_;fSchemeCommentLe=", "fSchemeCommentLe=c",
     "POST TimerPlan {\"Action\":\"Mod\",\"Comment\":\"c\",\"Enable\":\"0\",\"Id\":\"91\",\"Name\":\"Scheme_\"}"},
    {"timer plan pushed", "timerplan", 92, "", true, "92|Scheme_|0|", "Scheme_|禁用|", "-", "-", ""},
    // Logs through the server: the newest row, with no column but its id.
    {"talk log row", "talklog", 99, "", false, "99|||0|0|||||", "||0||0|||", "-", "-", ""},
    {"terminal log row", "terminallog", 99, "", false, "99||0||||", "|0||||", "-", "-", ""},
    {"user log row", "userlog", 99, "", false, "99||||", "|||", "-", "-", ""},
    // Server parameters: a time-out without its value, a value without a name, a
    // log host without its value (the log pages then ask the server).
    {"server parameters", "parameter", 0, "", false, "Vad_Ptt_Time_Out||2 / |Hall|5 / Talk_Log_Server||1",
     "|[已设置]|[ 日志主机：Local ]", "-", "-", ""},
    // XML: the attributes left out keep the record's defaults.
    {"play task", "TaskList", 7, "<Task id=\"7\"><exec/><files/><terminals/></Task>", false,
     "7|1|0||0|-1|0|0|0|0|2|-1|-1|0|1|0|0|0|100|0|100|0|100|0|1|0|0|0||3|5|5|5|65535", "-", "-", "-", ""},
    {"plan task element", "PlanTaskList", 7, "<PlanTask id=\"7\"><exec/><files/><terminals/></PlanTask>", false,
     "7|1|0||0|-1|0|0|0|0|2|-1|-1|0|1|0|0|0|100|0|100|0|100|0|1|0|0|0||3|5|5|5|65535", "-", "-", "-", ""},
    {"broadcast pushed, a region without its key", "BroadcastList", 12,
     "<Broadcast id=\"12\"><Region><R id=\"4\"/></Region></Broadcast>", true, "12|||0||0||0|0|0|0|0|0|0|0:4", "-", "-",
     "-", ""},
    {"user", "UserList", 4, "<User id=\"4\"/>", false, "4||1||||0|", "-", "-", "-", ""},
    // Last: the pushed levels replace the server's own.
    {"level pushed", "LevelList", 9, "<Level id=\"9\"/>", true, "9||10|1", "-", "-", "-", ""},
};

// The server's XML starts with its declaration, which the classifier of a pushed
// body steps over.
const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

const char *const kTerminalTables[] = {"ipamp", "capd73", "firealarm", "tts71", "dsk72", "dsk74", "dsk81", "d82"};

bool isXml(const QString &kind)
{
    return kind.endsWith(QLatin1String("List"));
}

std::string idKey(const std::string &table)
{
    if (table == "callservergroup")
        return "groupId";
    if (table == "region")
        return "regionId";
    if (table == "soundsource")
        return "sourceId";
    if (table == "timerplan")
        return "timerplanId";
    if (table == "talklog" || table == "terminallog" || table == "userlog")
        return "id";
    return "terminalId";
}

// The server's row: its id and the given keys, nothing else.
Json::Value sparseRow(const Omitted &c)
{
    Json::Value r(Json::objectValue);
    r[idKey(c.kind)] = std::to_string(c.id);
    for (const QString &pair : QString::fromUtf8(c.given).split(QLatin1Char(';'), Qt::SkipEmptyParts))
        r[pair.section(QLatin1Char('='), 0, 0).toStdString()] = pair.section(QLatin1Char('='), 1).toStdString();
    return r;
}

ZnBroadcast gPushedBroadcast;
void onBroadcast(ZnBroadcast *b)
{
    gPushedBroadcast = *b;
}

template <class Manage>
QString taskElement(const std::string &list, const std::string &child)
{
    Manage m;
    if (m.parseTaskList("<" + list + ">" + child + "</" + list + ">") != 0 || m.taskList().empty())
        return QStringLiteral("none");
    const ZnPlayTask &t = m.taskList().front();
    return join({playTask(t), playTaskSpeech(t), n(t.volume)});
}

} // namespace

Q_DECLARE_METATYPE(const Omitted *)

// What a record the server sends with its optional fields left out holds, shows
// and sends back when edited, read off the real pages against the simulated
// server.
class TstOmittedFields : public QObject
{
    Q_OBJECT

    SimSession s;
    FileServiceLink files;
    PageHolder pages;

    QTableWidget *table(const std::string &kind) const
    {
        QWidget *page = pages.at(QString::fromStdString(kind));
        if (auto *timer = qobject_cast<ZnTimerTaskMgrForm *>(page))
            return timer->schemePanel()->table();
        return dynamic_cast<ZnTerBaseCtr *>(page)->tableWidget();
    }

    // The record the models hold for a row of the table, as its reader left it.
    QString read(const Omitted &c) const
    {
        const std::string kind = c.kind;
        const int id = c.id;
        ZnTerminal amp;
        ZnCap cap;
        ZnFAlarm alarm;
        ZnTts unit;
        ZnMic mic;
        ZnD82 device;
        ZnMicGroup group;
        ZnRegion region;
        ZnSsTask task;
        const QString none = QStringLiteral("none");
        if (kind == "ipamp")
            return ZnPlayTermListMgr::instance()->hasTerminal(id, amp) ? terminal(amp) : none;
        if (kind == "capd73")
            return gCapList.findCap(id, cap) ? RecordFields::cap(cap) : none;
        if (kind == "firealarm")
            return ZnFAlarmListMgr::instance()->findFAlarm(id, alarm) ? RecordFields::alarm(alarm) : none;
        if (kind == "tts71")
            return ZnTtsListMgr::instance()->getTts(id, unit) ? tts(unit) : none;
        if (kind == "dsk72")
            return ZnD72ListMgr::instance()->findD72(id, mic) ? d72(mic) : none;
        if (kind == "dsk74")
            return ZnD74ListMgr::instance()->findD74(id, mic) ? d74(mic) : none;
        if (kind == "dsk81")
            return ZnMicListMgr::instance()->getMic(id, mic) ? dsk81(mic) : none;
        if (kind == "d82")
            return ZnD82ListMgr::instance()->getD82(id, device) ? d82(device) : none;
        if (kind == "callservergroup")
            return ZnMicGroupListMgr::instance()->getGroup(id, group) ? RecordFields::group(group) : none;
        if (kind == "region")
            return ZnRegionListMgr::instance()->getRegion(id, &region) ? RecordFields::region(region) : none;
        if (kind == "soundsource")
            return ZnSsTaskDataMgr::instance()->getTask(id, task) ? RecordFields::task(task) : none;
        if (kind == "timerplan") {
            ZnScheme p;
            return ZnSchemeList::instance()->findScheme(id, 0, p) ? plan(p) : none;
        }
        if (kind == "d72buttoncall") {
            if (!ZnD72ListMgr::instance()->findD72(id, mic) || ZnD72ListMgr::instance()->requestBtnCalls(mic) != 0)
                return none;
            const std::list<ZnMicBtnCall> calls = ZnD72ListMgr::instance()->btnCallList();
            return calls.empty() ? none : buttonCall(calls.front());
        }
        if (kind == "d81monitor" || kind == "d82call" || kind == "AllPlayTerminalList") {
            BookRequest request;
            request.terminalId = id;
            request.requestType = kind == "d81monitor" ? 272
                                  : kind == "d82call"  ? int(ZnD82Manage::CallBookType)
                                                       : ZnMicListMgr::AllPlayTerminalList;
            ZnMicListMgr *mics = ZnMicListMgr::instance();
            if (kind == "d82call") {
                if (ZnD82ListMgr::instance()->requestD82Books(&request) != 0)
                    return none;
                const std::list<BookEntry> book = ZnD82ListMgr::instance()->callList();
                return book.empty() ? none : typedEntry(book.front());
            }
            if (mics->requestMicBooks(&request) != 0)
                return none;
            if (kind == "d81monitor") {
                const std::list<BookEntry> book = mics->monitorList();
                return book.empty() ? none : typedEntry(book.front());
            }
            for (const ZnMic &t : mics->playTermList()) {
                if (t.id == id)
                    return directory(t);
            }
            return none;
        }
        if (kind == "talklog" || kind == "terminallog" || kind == "userlog") {
            ZnServiceLogMgr *logs = ZnServiceLogMgr::instance();
            const std::vector<ZnLogRecord> rows = kind == "talklog"       ? logs->talkLogs()
                                                  : kind == "terminallog" ? logs->termLogs()
                                                                          : logs->userLogs();
            if (rows.empty())
                return none;
            return kind == "talklog"       ? talkLog(rows.front())
                   : kind == "terminallog" ? terminalLog(rows.front())
                                           : userLog(rows.front());
        }
        if (kind == "parameter") {
            QStringList out;
            for (const ZnServerParam &p : ZnServerConfigMgr::instance()->serverList())
                out << parameter(p);
            return out.join(QStringLiteral(" / "));
        }
        if (kind == "TaskList")
            return taskElement<ZnPlayTaskManage>(kind, c.given);
        if (kind == "PlanTaskList")
            return taskElement<ZnPlanManage>(kind, c.given);
        if (kind == "BroadcastList") {
            const ZnBroadcast &b = gPushedBroadcast;
            if (b.id != id)
                return none;
            const QString first = b.regions.empty() ? QStringLiteral("none")
                                                    : n(b.regions.front().first) + QLatin1Char(':')
                                                          + n(b.regions.front().second.regionId);
            return join({broadcast(b), first});
        }
        if (kind == "UserList") {
            const std::unique_ptr<std::list<ZnUser>> users =
                ZnUserManage::parseUserList("<UserList>" + std::string(c.given) + "</UserList>");
            if (!users || users->empty())
                return none;
            const ZnUser &u = users->front();
            return join({user(u), n(u.assign), ids(std::vector<int>(u.terminalIds.begin(), u.terminalIds.end()))});
        }
        if (kind == "LevelList") {
            ZnLevel l;
            return gLevelList.lookup(l, 1) == 0 ? level(l) : none;
        }
        return QStringLiteral("unknown kind");
    }

    // The cells of the record's row on its page.
    QString shown(const Omitted &c) const
    {
        const std::string kind = c.kind;
        if (kind == "parameter") {
            QWidget *settings = pages.at(QStringLiteral("settings")), *talkLog = pages.at(QStringLiteral("talklog"));
            return join({settings->findChild<QLineEdit *>(QStringLiteral("fVadlineEdit"))->text(),
                         settings->findChild<QLabel *>(QStringLiteral("fVadlabel"))->text(),
                         talkLog->findChild<QLabel *>(QStringLiteral("fDataSourceLabel"))->text()});
        }
        QTableWidget *t = table(kind);
        if (kind == "talklog" || kind == "terminallog" || kind == "userlog") {
            QStringList cells;
            for (int col = 0; t->rowCount() > 0 && col < t->columnCount(); ++col)
                cells << (t->item(0, col) ? t->item(0, col)->text() : QString());
            return cells.join(QLatin1Char('|'));
        }
        return rowText(t, c.id);
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        ZnModalGuard::install();
        s.sim.withData([](ZnSimData &d) {
            // The log rows are the newest: they stand first on their pages.
            for (const Omitted &c : kOmitted) {
                if (std::string(c.kind) == "AllPlayTerminalList")
                    d.table("dsk72").push_back(sparseRow(c));
                else if (!c.pushed && !isXml(QString::fromLatin1(c.kind)) && std::string(c.kind) != "parameter")
                    d.table(c.kind).push_back(sparseRow(c));
            }
            d.table("parameter") = {record({{"name", "Vad_Ptt_Time_Out"}}), record({{"value", "Hall"}}),
                                    record({{"name", "Talk_Log_Server"}})};
        });
        QVERIFY(startModels(s));
        QVERIFY(files.start());
        s.centre->broadcastManage()->setCallbacks(nullptr, nullptr, &onBroadcast);
        QVERIFY(fetchPageLists());
        pages.add<ZnPlayerInfoForm>("ipamp")->showTerminals();
        pages.add<ZnCapInfoForm>("capd73");
        pages.add<ZnFAlarmInfoForm>("firealarm");
        pages.add<ZnTtsInfoForm>("tts71");
        pages.add<ZnD72InfoForm>("dsk72");
        pages.add<ZnD74InfoForm>("dsk74");
        pages.add<ZnMicInfoForm>("dsk81");
        pages.add<ZnD82InfoForm>("d82");
        pages.add<ZnMicGroupInfoForm>("callservergroup");
        pages.add<ZnRegionMgrForm>("region");
        pages.add<ZnPlanTaskMgrForm>("soundsource");
        pages.add<ZnTimerTaskMgrForm>("timerplan", 3);
        pages.add<ZnTalkLogInfoForm>("talklog");
        pages.add<ZnTermLogInfoForm>("terminallog");
        pages.add<ZnUserLogInfoForm>("userlog");
        pages.add<ZnSystemSettingForm>("settings");
        for (const char *kind : kTerminalTables) {
            for (const Omitted &c : kOmitted) {
                if (std::string(c.kind) == kind && !c.pushed)
                    QTRY_VERIFY2(rowOfId(table(kind), c.id) >= 0, kind);
            }
        }
    }
    void init() { s.sim.clearRules(); }

    void omittedFields_data() { addCases(kOmitted); }
    void omittedFields()
    {
        QFETCH(const Omitted *, c);
        const QString kind = QLatin1String(c->kind);
        if (c->pushed && kind == QLatin1String("BroadcastList")) {
            s.sim.pushSet("", "", kDeclaration + "<BroadcastList>" + std::string(c->given) + "</BroadcastList>");
        } else if (c->pushed && kind == QLatin1String("LevelList")) {
            s.sim.pushSet("", "", kDeclaration + "<LevelList>" + std::string(c->given) + "</LevelList>");
        } else if (c->pushed) {
            const Json::Value row = sparseRow(*c);
            s.sim.withData([&](ZnSimData &d) { d.table(c->kind).push_back(row); });
            s.sim.pushPost("SqlConfig", c->kind, "[" + ZnSimData::json(row) + "]");
        }
        QVERIFY(s.settle());
        QTRY_COMPARE(read(*c), QString::fromUtf8(c->read));
        if (QLatin1String(c->shown) != QLatin1String("-"))
            QTRY_COMPARE(shown(*c), QString::fromUtf8(c->shown));
        if (QLatin1String(c->typed) == QLatin1String("-"))
            return;

        const size_t mark = s.sim.requests().size();
        QTableWidget *t = table(c->kind);
        // One step more than the dialog: a box after it (a refusal) is counted instead of hanging.
        QString opened;
        const ModalChain::Action edit = [&](QWidget *w) {
            opened = fieldsOf(w, QString::fromUtf8(c->opened));
            typeAndConfirm(QString::fromUtf8(c->typed))(w);
        };
        const QStringList seen = answering({edit, ModalChain::confirm()}, [&] { doubleClickRow(t, c->id, 0); });
        QCOMPARE(seen.size(), 1);
        QCOMPARE(opened, QString::fromUtf8(c->opened));
        QVERIFY(s.settle());
        QCOMPARE(changesSince(s.sim, mark), QString::fromUtf8(c->sent));
    }

    void cleanupTestCase()
    {
        pages.clear();
        files.stop();
    }
};

QTEST_MAIN(TstOmittedFields)
#include "tst_omittedfields.moc"
