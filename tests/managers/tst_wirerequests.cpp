// Every request the console sends, as the server reads it off the wire. One row per
// request, its text written out in full: start line, headers in their order, the
// body with every key and value. The simulated server takes most of these whatever
// they hold, so a misspelt subtype or a swapped value is caught here or nowhere.
#include "BookRequest.h"
#include "ServiceHub.h"
#include "SimSession.h"
#include "ZnApi.h"
#include "ZnCap.h"
#include "ZnD82.h"
#include "ZnExecTime.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmTrigger.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicGroup.h"
#include "ZnRegion.h"
#include "ZnScheme.h"
#include "ZnSchemeList.h"
#include "ZnServerConfigMgr.h"
#include "ZnServerConfigRequest.h"
#include "ZnServiceLogMgr.h"
#include "ZnSsTask.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTerminal.h"
#include "ZnTts.h"

#include <QMessageAuthenticationCode>
#include <QRegularExpression>
#include <QtTest>

#include <ctime>
#include <functional>
#include <vector>

namespace {

const char* const kUser = "op7";
const char* const kPassword = "s3cret";

using Call = std::function<void(ZnManageCenter*)>;

std::vector<Call>& calls()
{
    static std::vector<Call> all;
    return all;
}

// The request as written in a row: lines joined by "\n" stand for CR LF, "CSeq:" is
// followed by "*" for any number, and "Content-Length:#" is counted from the body.
QByteArray expectedText(QByteArray head, const QByteArray& body)
{
    head.replace("Content-Length:#", "Content-Length:" + QByteArray::number(body.size()));
    head.replace("\n", "\r\n");
    return head + "\r\n\r\n" + body;
}

QByteArray withAnyCSeq(const std::string& raw)
{
    QString text = QString::fromStdString(raw);
    text.replace(QRegularExpression(QStringLiteral("^(CSeq: ?)\\d+(?=\\r$)"), QRegularExpression::MultilineOption),
                 QStringLiteral("\\1*"));
    return text.toUtf8();
}

ZnMic console(int id, const char* name)
{
    ZnMic m;
    m.id = id;
    m.name = name;
    m.capVol = 40;
    m.callVol = 60;
    m.bellVol = 70;
    m.broVol = 90;
    return m;
}

ZnMicBtnCall button(int terminalId, const char* start, const char* stop, int dsk81, int group)
{
    ZnMicBtnCall b;
    b.terminalId = terminalId;
    b.startCall = start;
    b.stopCall = stop;
    b.dsk81Id = dsk81;
    b.groupId = group;
    return b;
}

BookRequest book(int type, int terminalId, const char* text = "")
{
    BookRequest r;
    r.requestType = type;
    r.terminalId = terminalId;
    r.text = text;
    return r;
}

// A timer task as its edit dialog composes it.
ZnSsTask timerTask()
{
    ZnSsTask t;
    t.Id = 9;
    t.Name = "School bell";
    t.SourceCategory = ZnSsTask::CategoryTimer;
    t.SourceType = ZnSsTask::SourceFiles;
    t.TimerPlanId = 2;
    t.SourceContent = ZnSsTask::joinPlayList({"/media/bell.mp3", "/media/gong.mp3"});
    t.PlayVol = 65;
    t.PlayTimes = 2;
    t.OpenAmp = 5;
    t.Week = ZnSsTask::weekWithDay(ZnSsTask::weekWithDay(0, 1, true), 5, true);
    t.StartDate = 1796688000;
    t.EndDate = 1798675200;
    std::list<ZnExecTime> times(2);
    times.front().setName("Morning");
    times.front().seconds = 28800;
    times.back().setName("Noon");
    times.back().seconds = 43200;
    t.ExecuteTime = ZnSsTask::joinExecuteTimes(times);
    t.TerminalId = ZnSsTask::joinTerminalIds({3, 5});
    return t;
}

} // namespace

class TstWireRequests : public QObject
{
    Q_OBJECT

    SimSession s;

    // The request this row is about: the first with the given method since the
    // connection, or else the last the call sent (keep-alives passed over). A row
    // without a head expects none.
    bool pick(size_t mark, const QByteArray& method, ZnSimRequest& out) const
    {
        const std::vector<ZnSimRequest> got = s.sim.requests();
        if (!method.isEmpty()) {
            for (const ZnSimRequest& r : got) {
                if (r.method == method.toStdString()) {
                    out = r;
                    return true;
                }
            }
            return false;
        }
        for (size_t i = got.size(); i > mark; --i) {
            if (got[i - 1].method != "ONLINE") {
                out = got[i - 1];
                return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        s.sim.addUser(kUser, kPassword);
        QVERIFY(s.login(kUser, kPassword));
        // The list models reach this centre through the hub.
        ServiceHub::create(s.centre.get());
    }

    void wire_data()
    {
        QTest::addColumn<int>("call");
        QTest::addColumn<QByteArray>("method"); // picks a request the connection sent by itself
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("body");
        const auto row = [](const char* name, const Call& call, const QByteArray& head, const std::string& body,
                            const char* method = "") {
            calls().push_back(call);
            QTest::newRow(name) << int(calls().size() - 1) << QByteArray(method) << head
                                << QByteArray::fromStdString(body);
        };
        const Call none = [](ZnManageCenter*) {};

        // The connection's own messages. "%time" and "%digest" are filled from the
        // time the login carried (see wire()).
        row("login", none, "LOGIN DBP/1.0\nCSeq: *\nPacket-Type:TalkManagerLogin\nContent-Length:#",
            "{\"Name\":\"op7\",\"PassWord\":\"%digest\",\"Time\":\"%time\"}\n", "LOGIN");
        row("keep-alive", none, "ONLINE DBP/1.0\nCSeq: *", "", "ONLINE");
        row(
            "server time", [](ZnManageCenter* c) { apiGetSystemTime(c); },
            "GET DBP/1.0\nCSeq:*\nPacket-Type:GetSystemTime\nContent-Length:#", "");

        // IP amplifiers.
        row(
            "ipamp list", [](ZnManageCenter* c) { apiGetPlayTerminalList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: TerminalList\nContent-Length:#",
            "select * from ipamp");
        row(
            "ipamp power on", [](ZnManageCenter* c) { apiSetIpAmpPower(c, 12, "", 1); },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:IpAmpPower\nContent-Length:#", "{\"Id\":\"12\",\"Power\":\"1\"}\n");
        row(
            "ipamp power off", [](ZnManageCenter* c) { apiSetIpAmpPower(c, 12, "", 0); },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:IpAmpPower\nContent-Length:#", "{\"Id\":\"12\",\"Power\":\"0\"}\n");
        row(
            "ipamp name and volume",
            [](ZnManageCenter* c) {
                ZnTerminal t;
                t.id = 12;
                t.name = "Hall";
                t.broVol = 60;
                apiModifyPlayTerminal(c, &t);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:IpAmpSet\nContent-Length:#",
            "{\"BroVol\":\"60\",\"Id\":\"12\",\"Name\":\"Hall\"}\n");
        row(
            "ipamp whole record",
            [](ZnManageCenter* c) {
                ZnTerminal t;
                t.id = 12;
                t.name = "Hall";
                apiGetPlayTerminal(c, &t);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:Terminal\nContent-Length:#", "");
        row(
            "ipamp speaker check",
            [](ZnManageCenter* c) {
                ZnTerminal t;
                t.id = 12;
                apiIpAmpSpeakerCheck(c, &t);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:IpAmpSpkCheck\nContent-Length:#",
            "{\"Id\":\"12\",\"SpkCheck\":\"1\"}\n");
        row(
            "ipamp thresholds",
            [](ZnManageCenter* c) {
                ZnTerminal t;
                t.id = 12;
                t.warnTempThreshold = 70;
                t.fanTempThreshold = 50;
                t.maxVol = 90;
                apiSetPlayTermConfig(c, &t);
            },
            "SET DBP/1.0\nCommand: PlayTermConfig\nCSeq: *\nId: 12\nType: IP\nWarnTempThreshold: 70\n"
            "FanTempThreshold: 50\nMaxVol: 90",
            "");
        row(
            "ipamp thresholds unset",
            [](ZnManageCenter* c) {
                ZnTerminal t;
                t.id = 12;
                apiSetPlayTermConfig(c, &t);
            },
            "SET DBP/1.0\nCommand: PlayTermConfig\nCSeq: *\nId: 12\nType: IP\nWarnTempThreshold: -1\n"
            "FanTempThreshold: -1\nMaxVol: -1",
            "");
        row(
            "remove amplifier", [](ZnManageCenter* c) { apiRemoveDevice(c, 5, "6"); },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:RemoveDevice\nContent-Length:#", "{\"Id\":\"5\",\"Type\":\"6\"}\n");
        row(
            "remove console", [](ZnManageCenter* c) { apiRemoveDevice(c, 50001, "Dsk72"); },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:RemoveDevice\nContent-Length:#",
            "{\"Id\":\"50001\",\"Type\":\"Dsk72\"}\n");

        // Capture units, fire-alarm interfaces, TTS units.
        row(
            "capture list", [](ZnManageCenter* c) { apiGetCapList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: CapList\nContent-Length:#",
            "select * from capd73");
        row(
            "capture change",
            [](ZnManageCenter* c) {
                ZnCap cap;
                cap.id = 3;
                cap.name = "Line in";
                cap.capVol = 40;
                cap.capSamplerate = 16000;
                apiModifyCap(c, &cap);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:CapD73Set\nContent-Length:#",
            "{\"CapSamplerate\":\"16000\",\"CapVol\":\"40\",\"Id\":\"3\",\"Name\":\"Line in\"}\n");
        row(
            "fire-alarm list", [](ZnManageCenter* c) { apiGetFireAlarmList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: FAlarmList\nContent-Length:#",
            "select terminalId,type,status,name,ip,ver, shortCircuit, broadcast, broadcastTrigger, stopBroadcast, "
            "triggerType from firealarm");
        row(
            "fire-alarm name",
            [](ZnManageCenter* c) {
                ZnFAlarm a;
                a.id = 4;
                a.name = "Hall";
                a.triggerType = 2;
                apiModifyFireAlarm(c, &a);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:SetFRName\nContent-Length:#",
            "{\"Id\":\"4\",\"Name\":\"Hall\",\"TriggerType\":\"2\"}\n");
        row(
            "fire-alarm channel",
            [](ZnManageCenter* c) {
                ZnFAlarmTrigger t;
                t.id = 4;
                t.channelName = "Stairs";
                t.channel = 2;
                t.sourceId = 31;
                t.triggerSwitch = 1;
                t.stopPlay = 0;
                apiSetFireAlarmTrigger(c, &t);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:SetFRTrigger\nContent-Length:#",
            "{\"Channel\":\"2\",\"ChannelName\":\"Stairs\",\"Id\":\"4\",\"SourceId\":\"31\",\"StopPlay\":\"0\","
            "\"TriggerSwitch\":\"1\"}\n");
        row(
            "tts list", [](ZnManageCenter* c) { apiGetTtsList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: TtsList\nContent-Length:#",
            "select * from tts71");
        row(
            "tts name",
            [](ZnManageCenter* c) {
                ZnTts t;
                t.id = 3;
                t.name = "Lobby";
                apiModifyTts(c, &t);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:TTs71Name\nContent-Length:#", "{\"Id\":\"3\",\"Name\":\"Lobby\"}\n");
        // An operator's name goes as JSON text: non-ASCII as \u escapes, quotes and
        // backslashes escaped, so it never ends the string early.
        row(
            "tts name with quotes",
            [](ZnManageCenter* c) {
                ZnTts t;
                t.id = 3;
                t.name = "\xe5\xa4\xa7\xe5\x8e\x85 \"B\" \\";
                apiModifyTts(c, &t);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:TTs71Name\nContent-Length:#",
            "{\"Id\":\"3\",\"Name\":\"\\u5927\\u5385 \\\"B\\\" \\\\\"}\n");

        // D72 consoles: ModTalkTerminal carries no PttMode, whatever the record holds.
        row(
            "d72 list", [](ZnManageCenter* c) { apiGetD72List(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: D72List\nContent-Length:#",
            "select * from Dsk72");
        row(
            "d72 change",
            [](ZnManageCenter* c) {
                ZnMic m = console(50001, "Gate");
                m.pttMode = 1;
                apiModifyD72(c, &m);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:ModTalkTerminal\nContent-Length:#",
            "{\"BellVol\":\"70\",\"BroVol\":\"90\",\"CallVol\":\"60\",\"CapVol\":\"40\",\"Id\":\"50001\","
            "\"Name\":\"Gate\"}\n");
        row(
            "d72 buttons",
            [](ZnManageCenter* c) {
                const ZnMic m = console(50001, "Gate");
                apiGetD72ButtonCalls(c, &m);
            },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: D72ButtonCall\nContent-Length:#",
            "select * from d72buttoncall where terminalId = 50001");
        // Four entries: three buttons, the fourth the alarm input.
        row(
            "d72 set buttons",
            [](ZnManageCenter* c) {
                const std::vector<ZnMicBtnCall> calls = {
                    button(50001, "ButtonPopUp", "ButtonLongPress", 81001, 0),
                    button(50001, "ButtonDown", "ButtonUp", 0, 2),
                    button(50001, "ButtonPopUp", "ButtonPopUp", 81002, 0),
                    button(50001, "AlarmOn", "AlarmOff", 0, 0),
                };
                apiSetD72ButtonCall(c, &calls);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:D72ButtonCall\nContent-Length:#",
            "{\"Action\":\"Mod\",\"AlarmCall\":\"AlarmOn AlarmOff\",\"ButtonCalls\":["
            "{\"CallServiceGroup\":\"0\",\"Dsk81\":\"81001\",\"StartCall\":\"ButtonPopUp\",\"StopCall\":"
            "\"ButtonLongPress\"},"
            "{\"CallServiceGroup\":\"2\",\"Dsk81\":\"0\",\"StartCall\":\"ButtonDown\",\"StopCall\":\"ButtonUp\"},"
            "{\"CallServiceGroup\":\"0\",\"Dsk81\":\"81002\",\"StartCall\":\"ButtonPopUp\",\"StopCall\":"
            "\"ButtonPopUp\"}],\"Id\":\"50001\"}\n");

        // Three entries: every one a button, none left out.
        row(
            "d72 set three buttons",
            [](ZnManageCenter* c) {
                const std::vector<ZnMicBtnCall> calls = {
                    button(50001, "ButtonPopUp", "ButtonLongPress", 81001, 0),
                    button(50001, "ButtonDown", "ButtonUp", 0, 2),
                    button(50001, "ButtonPopUp", "ButtonPopUp", 81002, 0),
                };
                apiSetD72ButtonCall(c, &calls);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:D72ButtonCall\nContent-Length:#",
            "{\"Action\":\"Mod\",\"ButtonCalls\":["
            "{\"CallServiceGroup\":\"0\",\"Dsk81\":\"81001\",\"StartCall\":\"ButtonPopUp\",\"StopCall\":"
            "\"ButtonLongPress\"},"
            "{\"CallServiceGroup\":\"2\",\"Dsk81\":\"0\",\"StartCall\":\"ButtonDown\",\"StopCall\":\"ButtonUp\"},"
            "{\"CallServiceGroup\":\"0\",\"Dsk81\":\"81002\",\"StartCall\":\"ButtonPopUp\",\"StopCall\":"
            "\"ButtonPopUp\"}],\"Id\":\"50001\"}\n");

        // D74 consoles: the operation picks the request.
        row(
            "d74 list", [](ZnManageCenter* c) { apiGetD74List(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: D74List\nContent-Length:#",
            "select * from Dsk74");
        row(
            "d74 volumes",
            [](ZnManageCenter* c) {
                const ZnMic m = console(60001, "Desk");
                apiModifyD74(c, &m, 0);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:ModTalkTerminal\nContent-Length:#",
            "{\"BellVol\":\"70\",\"BroVol\":\"90\",\"CallVol\":\"60\",\"CapVol\":\"40\",\"Id\":\"60001\","
            "\"Name\":\"Desk\"}\n");
        row(
            "d74 broadcast volume",
            [](ZnManageCenter* c) {
                const ZnMic m = console(60001, "Desk");
                apiModifyD74(c, &m, 2);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:IpAmpSet\nContent-Length:#",
            "{\"BroVol\":\"90\",\"Id\":\"60001\",\"Name\":\"Desk\"}\n");
        row(
            "d74 led",
            [](ZnManageCenter* c) {
                ZnMic m = console(60001, "Desk");
                m.ledColor = 31;
                m.switchMode = 2;
                m.displayTime = 9;
                m.ledTxt = "Exit";
                apiModifyD74(c, &m, 1);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:ModD74Led\nContent-Length:#",
            "{\"DisplayTime\":\"9\",\"Id\":\"60001\",\"LedColor\":\"31\",\"LedTxt\":\"Exit\",\"SwitchMode\":\"2\"}\n");
        row(
            "d74 buttons",
            [](ZnManageCenter* c) {
                const ZnMic m = console(60001, "Desk");
                apiGetD74ButtonCalls(c, &m);
            },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: D74ButtonCall\nContent-Length:#",
            "select * from d74buttoncall where terminalId = 60001");
        row(
            "d74 set button",
            [](ZnManageCenter* c) {
                const ZnMicBtnCall b = button(60001, "ButtonDown", "ButtonUp", 81001, 3);
                apiSetD74ButtonCall(c, &b);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:D74ButtonCall\nContent-Length:#",
            "{\"Action\":\"Mod\",\"CallServiceGroup\":\"3\",\"Dsk81\":\"81001\",\"Id\":\"60001\",\"StartCall\":"
            "\"ButtonDown\",\"StopCall\":\"ButtonUp\"}\n");

        // Dsk81 consoles and their books.
        row(
            "dsk81 list", [](ZnManageCenter* c) { apiGetMicList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: MicList\nContent-Length:#",
            "select terminalId,type,status,work,name,ip,capvol,callVol,bellVol,broVol,pttMode from dsk81");
        row(
            "dsk81 one", [](ZnManageCenter* c) { apiGetMicTerminal(c, 81001); },
            "GET DBP/1.0\nCSeq: *\nData: Mic\nId: 81001", "");
        row(
            "dsk81 change",
            [](ZnManageCenter* c) {
                ZnMic m = console(81001, "Desk");
                m.pttMode = 0;
                apiModifyMic(c, &m);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:ModTalkTerminal\nContent-Length:#",
            "{\"BellVol\":\"70\",\"BroVol\":\"90\",\"CallVol\":\"60\",\"CapVol\":\"40\",\"Id\":\"81001\","
            "\"Name\":\"Desk\",\"PttMode\":\"0\"}\n");
        row(
            "dsk81 change without ptt",
            [](ZnManageCenter* c) {
                const ZnMic m = console(81001, "Desk");
                apiModifyMic(c, &m);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:ModTalkTerminal\nContent-Length:#",
            "{\"BellVol\":\"70\",\"BroVol\":\"90\",\"CallVol\":\"60\",\"CapVol\":\"40\",\"Id\":\"81001\","
            "\"Name\":\"Desk\"}\n");
        // Books: Dsk81 console 81001 below type 278, D82 device 80001 from there.
        const auto query = [&](const char* name, int type, const char* subtype, const char* sql) {
            row(
                name,
                [type](ZnManageCenter* c) {
                    const BookRequest r = book(type, type < 278 ? 81001 : 80001);
                    type < 278 ? apiGetMicBooks(c, &r) : apiGetD82Books(c, &r);
                },
                QByteArray("GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: ") + subtype
                    + "\nContent-Length:#",
                sql);
        };
        query("dsk81 call book", 266, "MicCallList", "select * from d81call where terminalId = 81001");
        query("dsk81 all call terminals", 267, "AllCallMicList",
              "select terminalId,name,type from dsk72 union select terminalId,name,type from dsk74 union select "
              "terminalId,name,type from dsk81 union select terminalId,name,type from d82 order by terminalId");
        query("dsk81 all play terminals", 269, "AllPlayTerminalList",
              "select terminalId,name,type,exten from dsk72 union select terminalId,name,type,exten from dsk74 union "
              "select terminalId,name,type,exten from ipamp order by terminalId");
        query("dsk81 transfers", 270, "FixTransferList", "select * from d81transfercall where terminalId = 81001");
        query("dsk81 monitors", 272, "FixMonitorList", "select * from d81monitor where terminalId = 81001");
        query("dsk81 sources", 274, "FixSsTaskList", "select * from d81soundsource where terminalId = 81001");
        query("dsk81 regions", 276, "FixRegionList", "select * from d81broadcast where terminalId = 81001");
        const auto change = [&](const char* name, int type, const char* text, const char* packetType,
                                const std::string& body) {
            row(
                name,
                [type, text](ZnManageCenter* c) {
                    const BookRequest r = book(type, type < 278 ? 81001 : 80001, text);
                    type < 278 ? apiSetMicBooks(c, &r) : apiSetD82Books(c, &r);
                },
                QByteArray("POST DBP/1.0\nCSeq: *\nPacket-Type:") + packetType + "\nContent-Length:#", body);
        };
        change("dsk81 set call book", 268, "2_50001 3_81002", "D81CallBook",
               "{\"Action\":\"Mod\",\"Contacts\":\"2_50001 3_81002\",\"Id\":\"81001\"}\n");
        change("dsk81 set transfers", 271, "81002", "D81CallTransfer",
               "{\"Action\":\"Mod\",\"CallTransfer\":\"81002\",\"Id\":\"81001\"}\n");
        change("dsk81 set monitors", 273, "Dsk72_50001 IpAmp_12", "D81MonitorBook",
               "{\"Action\":\"Mod\",\"Id\":\"81001\",\"Monitor\":\"Dsk72_50001 IpAmp_12\"}\n");
        change("dsk81 set sources", 275, "9 4", "D81SoundSource",
               "{\"Action\":\"Mod\",\"Id\":\"81001\",\"SoundSource\":\"9 4\"}\n");
        change("dsk81 set regions", 277, "3 8", "D81BroadBook",
               "{\"Action\":\"Mod\",\"Id\":\"81001\",\"RegionId\":\"3 8\"}\n");

        // D82 mobile devices: the volumes go as "0".
        row(
            "d82 list", [](ZnManageCenter* c) { apiGetD82List(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: D82List\nContent-Length:#",
            "select terminalId,type,status,work,name,ip,ver from d82");
        row(
            "d82 one", [](ZnManageCenter* c) { apiGetD82Terminal(c, 80001); },
            "GET DBP/1.0\nCSeq: *\nData: D82\nId: 80001", "");
        row(
            "d82 change",
            [](ZnManageCenter* c) {
                ZnD82 d;
                d.id = 80001;
                d.name = "Guard";
                apiModifyD82(c, &d);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:ModTalkTerminal\nContent-Length:#",
            "{\"BellVol\":\"0\",\"BroVol\":\"0\",\"CallVol\":\"0\",\"CapVol\":\"0\",\"Id\":\"80001\",\"Name\":"
            "\"Guard\"}\n");
        query("d82 call book", 282, "D82CallList", "select * from d82call where terminalId = 80001");
        query("d82 all call terminals", 283, "AllCallD82List",
              "select terminalId,name,type from dsk72 union select terminalId,name,type from dsk74 union select "
              "terminalId,name,type from dsk81 union select terminalId,name,type from d82 order by terminalId");
        query("d82 sources", 285, "FixSsTaskList", "select * from d82soundsource where terminalId = 80001");
        query("d82 regions", 287, "FixRegionList", "select * from d82broadcast where terminalId = 80001");
        change("d82 set call book", 284, "Dsk81_81001 D82_80002", "D82CallBook",
               "{\"Action\":\"Mod\",\"Contacts\":\"Dsk81_81001 D82_80002\",\"Id\":\"80001\"}\n");
        change("d82 set empty call book", 284, "", "D82CallBook",
               "{\"Action\":\"Mod\",\"Contacts\":\"\",\"Id\":\"80001\"}\n");
        change("d82 set sources", 286, "9 4", "D82SoundSource",
               "{\"Action\":\"Mod\",\"Id\":\"80001\",\"SoundSource\":\"9 4\"}\n");
        change("d82 set regions", 288, "3", "D82BroadBook",
               "{\"Action\":\"Mod\",\"Id\":\"80001\",\"RegionId\":\"3\"}\n");

        // Microphone groups and broadcast regions: the operation picks the Action.
        row(
            "group list", [](ZnManageCenter* c) { apiGetMicGroupList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: MicGroupList\nContent-Length:#",
            "select * from callservergroup");
        const auto group = [&](const char* name, int op, std::vector<int> members, const std::string& body) {
            row(
                name,
                [op, members](ZnManageCenter* c) {
                    ZnMicGroup g;
                    g.groupId = 2;
                    g.name = "Front desk";
                    g.callWaitRule = 0;
                    g.ringTime = 45;
                    g.members = members;
                    apiSaveMicGroup(c, &g, op);
                },
                "POST DBP/1.0\nCSeq: *\nPacket-Type:CallService\nContent-Length:#", body);
        };
        group("group add", 4, {12, 15, 7},
              "{\"Action\":\"Add\",\"CallWaitRule\":\"0\",\"Dsk81Id\":\"12 15 7\",\"Id\":\"2\",\"Name\":\"Front desk\","
              "\"RingTime\":\"45\"}\n");
        group("group change", 5, {15},
              "{\"Action\":\"Mod\",\"CallWaitRule\":\"0\",\"Dsk81Id\":\"15\",\"Id\":\"2\",\"Name\":\"Front desk\","
              "\"RingTime\":\"45\"}\n");
        group("group delete", 6, {},
              "{\"Action\":\"Del\",\"CallWaitRule\":\"0\",\"Dsk81Id\":\"\",\"Id\":\"2\",\"Name\":\"Front desk\","
              "\"RingTime\":\"45\"}\n");
        row(
            "region list", [](ZnManageCenter* c) { apiGetRegionList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: RegionList\nContent-Length:#",
            "select * from region");
        const auto region = [&](const char* name, int op, std::vector<int> members, const std::string& body) {
            row(
                name,
                [op, members](ZnManageCenter* c) {
                    ZnRegion r;
                    r.regionId = 3;
                    r.name = "North wing";
                    for (int id : members) {
                        ZnBaseTerminal t;
                        t.id = id;
                        t.name = "unsent";
                        r.terminals.push_back(t);
                    }
                    apiSaveRegion(c, &r, op);
                },
                "POST DBP/1.0\nCSeq: *\nPacket-Type:BroadRegion\nContent-Length:#", body);
        };
        region("region add", 4, {3, 8, 21},
               "{\"Action\":\"Add\",\"Id\":\"3\",\"Name\":\"North wing\",\"TerminalId\":\"3 8 21\"}\n");
        region("region change", 5, {8},
               "{\"Action\":\"Mod\",\"Id\":\"3\",\"Name\":\"North wing\",\"TerminalId\":\"8\"}\n");
        region("region delete", 6, {},
               "{\"Action\":\"Del\",\"Id\":\"3\",\"Name\":\"North wing\",\"TerminalId\":\"\"}\n");

        // Sound-source tasks: the texts a timer task's edit dialog composes (media paths
        // joined by "@#$%", execution times "name#$%seconds" joined by "!!!", terminal
        // ids joined by a blank, week days as bits from Monday).
        row(
            "task list", [](ZnManageCenter* c) { apiGetSoundSourceTaskList(c); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: SoundSourceList\nContent-Length:#",
            "select * from soundsource");
        const auto task = [&](const char* name, int op, const char* packetType, const std::string& body) {
            row(
                name,
                [op](ZnManageCenter* c) {
                    const ZnSsTask t = timerTask();
                    apiSaveSoundSourceTask(c, &t, op);
                },
                QByteArray("POST DBP/1.0\nCSeq: *\nPacket-Type:") + packetType + "\nContent-Length:#", body);
        };
        const std::string taskKeys =
            "\"Duration\":\"0\",\"EndDate\":\"1798675200\",\"ExecuteTime\":\"Morning#$%28800!!!"
            "Noon#$%43200\",\"Id\":\"9\",\"Name\":\"School bell\",\"OpenAmp\":\"5\","
            "\"PlayTimes\":\"2\",\"PlayVol\":\"65\",\"SourceCategory\":\"3\","
            "\"SourceContent\":\"/media/bell.mp3@#$%/media/gong.mp3\",\"SourceType\":\"1\","
            "\"StartDate\":\"1796688000\",\"TerminalId\":\"3 5\",\"TimerPlanId\":\"2\","
            "\"Week\":\"17\"}\n";
        task("task add", 0, "SoundSource", "{\"Action\":\"Add\"," + taskKeys);
        task("task change", 1, "SoundSource", "{\"Action\":\"Mod\"," + taskKeys);
        task("task delete", 2, "SoundSource", "{\"Action\":\"Del\"," + taskKeys);
        task("task start", 3, "SoundSourceSwitch", "{\"Action\":\"Start\",\"Id\":\"9\"}\n");
        task("task stop", 4, "SoundSourceSwitch", "{\"Action\":\"Stop\",\"Id\":\"9\"}\n");
        row(
            "task add through the model", [](ZnManageCenter*) { ZnSsTaskDataMgr::instance()->commit(timerTask(), 0); },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:SoundSource\nContent-Length:#", "{\"Action\":\"Add\"," + taskKeys);

        // Timer plans: every kind asks the same table; an added plan goes as "-1" and
        // enabled; the switch sends the flipped flag.
        const auto plans = [&](const char* name, int kind) {
            row(
                name, [kind](ZnManageCenter* c) { apiGetSchemeList(c, kind); },
                "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: schemelist\nContent-Length:#",
                "select * from timerplan");
        };
        plans("plan list", 0);
        plans("amplifier plan list", 1);
        const auto plan = [&](const char* name, int enable, int (*send)(ZnManageCenter*, ZnScheme*, int),
                              const std::string& body) {
            row(
                name,
                [enable, send](ZnManageCenter* c) {
                    ZnScheme p;
                    p.id = 7;
                    p.enable = enable;
                    p.name = "Weekdays";
                    p.comment = "School";
                    send(c, &p, 0);
                },
                "POST DBP/1.0\nCSeq: *\nPacket-Type:TimerPlan\nContent-Length:#", body);
        };
        plan("plan add", 0, apiAddScheme,
             "{\"Action\":\"Add\",\"Comment\":\"School\",\"Enable\":\"1\",\"Id\":\"-1\",\"Name\":\"Weekdays\"}\n");
        plan("plan change", 0, apiModifyScheme,
             "{\"Action\":\"Mod\",\"Comment\":\"School\",\"Enable\":\"0\",\"Id\":\"7\",\"Name\":\"Weekdays\"}\n");
        plan("plan enable", 0, apiEnableScheme,
             "{\"Action\":\"Mod\",\"Comment\":\"School\",\"Enable\":\"1\",\"Id\":\"7\",\"Name\":\"Weekdays\"}\n");
        plan("plan disable", 5, apiEnableScheme,
             "{\"Action\":\"Mod\",\"Comment\":\"School\",\"Enable\":\"0\",\"Id\":\"7\",\"Name\":\"Weekdays\"}\n");
        plan("plan delete", 1, apiDeleteScheme,
             "{\"Action\":\"Del\",\"Comment\":\"School\",\"Enable\":\"1\",\"Id\":\"7\",\"Name\":\"Weekdays\"}\n");
        row(
            "plan switch through the list",
            [](ZnManageCenter*) {
                ZnScheme p;
                p.id = 7;
                p.enable = 1;
                p.name = "Weekdays";
                p.comment = "School";
                ZnSchemeList::instance()->toggleScheme(p, 0);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:TimerPlan\nContent-Length:#",
            "{\"Action\":\"Mod\",\"Comment\":\"School\",\"Enable\":\"0\",\"Id\":\"7\",\"Name\":\"Weekdays\"}\n");

        // Log pages through the server: counts and pages of 100 rows from an offset.
        const auto log = [&](const char* name, int kind, int64_t offset, const char* sql) {
            row(
                name, [kind, offset](ZnManageCenter* c) { apiGetLogPage(c, kind, offset); },
                "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlLog\nPacket-Subtype: SqlLog\nContent-Length:#", sql);
        };
        log("user log count", 0, 0, "select count(*) from userlog;");
        log("user log page", 1, 200, "select * from userlog order by id DESC limit 200, 100 ");
        log("talk log count", 2, 0, "select count(*) from talklog;");
        log("talk log page", 3, 100, "select * from talklog order by id DESC limit 100, 100");
        log("terminal log count", 4, 0, "select count(*) from terminallog;");
        log("terminal log page", 5, 0, "select * from terminallog order by id DESC limit 0, 100");
        log("recording count", 6, 0, "select count(*) from talklog;");
        log("recording page", 7, 300, "select * from talklog order by id DESC limit 300, 100");
        log("talk log page past 2^31", 3, 3000000000LL, "select * from talklog order by id DESC limit 3000000000, 100");
        row(
            "terminal log page through the model",
            [](ZnManageCenter*) { ZnServiceLogMgr::instance()->requestLogs(5, 100); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlLog\nPacket-Subtype: SqlLog\nContent-Length:#",
            "select * from terminallog order by id DESC limit 100, 100");

        // Server settings and the database backup: the request type names the setting.
        const auto setting = [&](const char* name, int type, const char* value, const char* value2,
                                 const char* packetType, const std::string& body) {
            row(
                name,
                [type, value, value2](ZnManageCenter* c) {
                    ZnServerConfigRequest r;
                    r.type = type;
                    r.value = value;
                    r.value2 = value2;
                    apiServerConfigRequest(c, &r);
                },
                QByteArray("POST DBP/1.0\nCSeq: *\nPacket-Type:") + packetType + "\nContent-Length:#", body);
        };
        setting("system name", 173, "East hall", "", "SystemParameter",
                "{\"Action\":\"Mod\",\"Name\":\"System_Name\",\"Value\":\"East hall\"}\n");
        setting("record server", 176, "10.0.0.5:8000", "", "SystemParameter",
                "{\"Action\":\"Mod\",\"Name\":\"Record_Server\",\"Value\":\"10.0.0.5:8000\"}\n");
        setting("voice time-out", 177, "300", "", "SystemParameter",
                "{\"Action\":\"Mod\",\"Name\":\"Vad_Ptt_Time_Out\",\"Value\":\"300\"}\n");
        setting("talk-log server", 179, "10.0.0.6:1", "", "SystemParameter",
                "{\"Action\":\"Mod\",\"Name\":\"Talk_Log_Server\",\"Value\":\"10.0.0.6:1\"}\n");
        setting("admin password", 180, "n3w-Pass", "", "ModTalkManagerInfo",
                "{\"Action\":\"Mod\",\"Name\":\"admin\",\"PassWord\":\"n3w-Pass\"}\n");
        setting("backup", 181, "ZNX_2026-12-07.backup", "", "DataBackup",
                "{\"BackupFile\":\"ZNX_2026-12-07.backup\"}\n");
        setting("restore", 182, "ZNX_2026-12-07.backup", "0123456789abcdef0123456789abcdef", "DataRecovery",
                "{\"Md5\":\"0123456789abcdef0123456789abcdef\",\"RecoveryFile\":\"ZNX_2026-12-07.backup\"}\n");
        row(
            "parameters through the model",
            [](ZnManageCenter*) { ZnServerConfigMgr::instance()->requestSystemParameter(); },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: SystemParameter\nContent-Length:#",
            "select * from parameter");
        row(
            "talk-log server through the model",
            [](ZnManageCenter*) {
                std::string host;
                ZnServerConfigMgr::instance()->requestLogServer(host);
            },
            "GET DBP/1.0\nCSeq: *\nPacket-Type:SqlConfig\nPacket-Subtype: TbLogServer\nContent-Length:#",
            "select value from parameter where name = 'Talk_Log_Server'");
        row(
            "system name through the model",
            [](ZnManageCenter*) { ZnServerConfigMgr::instance()->setNamedParameter("East hall", 173); },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:SystemParameter\nContent-Length:#",
            "{\"Action\":\"Mod\",\"Name\":\"System_Name\",\"Value\":\"East hall\"}\n");
        row(
            "voice time-out through the model",
            [](ZnManageCenter*) { ZnServerConfigMgr::instance()->modifyAdmin("600"); },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:SystemParameter\nContent-Length:#",
            "{\"Action\":\"Mod\",\"Name\":\"Vad_Ptt_Time_Out\",\"Value\":\"600\"}\n");
        row(
            "restore through the model",
            [](ZnManageCenter*) {
                ZnServerConfigMgr::instance()->backupData("0123456789abcdef0123456789abcdef", "ZNX_2026-12-07.backup",
                                                          182);
            },
            "POST DBP/1.0\nCSeq: *\nPacket-Type:DataRecovery\nContent-Length:#",
            "{\"Md5\":\"0123456789abcdef0123456789abcdef\",\"RecoveryFile\":\"ZNX_2026-12-07.backup\"}\n");

        // Arguments that make no request: nothing reaches the server.
        row(
            "no book of that number",
            [](ZnManageCenter* c) {
                const BookRequest r = book(281, 80001);
                apiGetD82Books(c, &r);
            },
            "", "");
        row(
            "no query for a book change",
            [](ZnManageCenter* c) {
                const BookRequest r = book(268, 81001);
                apiGetMicBooks(c, &r);
            },
            "", "");
        row(
            "no empty button list",
            [](ZnManageCenter* c) {
                const std::vector<ZnMicBtnCall> calls;
                apiSetD72ButtonCall(c, &calls);
            },
            "", "");
        row(
            "no region operation 3",
            [](ZnManageCenter* c) {
                ZnRegion r;
                r.regionId = 3;
                apiSaveRegion(c, &r, 3);
            },
            "", "");
        row(
            "no group operation 7",
            [](ZnManageCenter* c) {
                ZnMicGroup g;
                g.groupId = 2;
                apiSaveMicGroup(c, &g, 7);
            },
            "", "");
        row(
            "no task operation 5",
            [](ZnManageCenter* c) {
                const ZnSsTask t = timerTask();
                apiSaveSoundSourceTask(c, &t, 5);
            },
            "", "");
        row(
            "no setting 175",
            [](ZnManageCenter* c) {
                ZnServerConfigRequest r;
                r.type = 175;
                r.value = "x";
                apiServerConfigRequest(c, &r);
            },
            "", "");
    }
    void wire()
    {
        QFETCH(int, call);
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, body);
        const size_t mark = s.sim.requests().size();
        calls()[size_t(call)](s.centre.get());
        ZnSimRequest got;
        if (head.isEmpty()) {
            // Every request waits for its answer, so one sent is on record by now.
            QVERIFY2(!pick(mark, method, got), got.raw.c_str());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(pick(mark, method, got), 30000);

        if (body.contains("%time")) {
            // Local time to the second, and the digest over name, password and that
            // same time, keyed with the password.
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("\"Time\":\"([^\"]*)\"")).match(QString::fromStdString(got.body));
            QVERIFY2(m.hasMatch(), got.raw.c_str());
            const QString time = m.captured(1);
            const QDateTime at = QDateTime::fromString(time, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            QVERIFY2(at.isValid() && at.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) == time, qPrintable(time));
            QVERIFY2(qAbs(at.secsTo(QDateTime::currentDateTime())) < 600, qPrintable(time));
            const QByteArray digest = QMessageAuthenticationCode::hash(QByteArray("Name$") + kUser + "$PassWord$"
                                                                           + kPassword + "$Time$" + time.toUtf8(),
                                                                       kPassword, QCryptographicHash::Sha1)
                                          .toHex();
            body.replace("%time", time.toUtf8()).replace("%digest", digest);
        }
        QCOMPARE(withAnyCSeq(got.raw), expectedText(head, body));
    }
};

int main(int argc, char** argv)
{
    // Local time eight hours off UTC, so a login time written in UTC shows.
    qputenv("TZ", "ZNT-8");
    tzset();
    QCoreApplication app(argc, argv);
    TstWireRequests test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wirerequests.moc"
