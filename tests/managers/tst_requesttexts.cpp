#include "BookRequest.h"
#include "ZnCap.h"
#include "ZnD72Manage.h"
#include "ZnD74Manage.h"
#include "ZnD82Manage.h"
#include "ZnLogManage.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicGroup.h"
#include "ZnMicGroupManage.h"
#include "ZnMicManage.h"
#include "ZnRegion.h"
#include "ZnRegionManage.h"
#include "ZnServerConfigManage.h"
#include "ZnServerConfigRequest.h"
#include "ZnSsTask.h"
#include "ZnSsTaskManage.h"
#include "ZnTerminal.h"
#include "ZnTerminalManage.h"

#include <QtTest>

#include <json/json.h>

namespace {
std::string bodyOf(const std::string& request)
{
    const size_t sep = request.find("\r\n\r\n");
    return sep == std::string::npos ? std::string() : request.substr(sep + 4);
}

Json::Value row(const char* json)
{
    Json::Value v;
    Json::Reader().parse(json, v);
    return v;
}
}

class TstRequestTexts : public QObject
{
    Q_OBJECT

private slots:
    void terminalRequests();
    void talkConsoleRequests();
    void books();
    void changesByOperation();
    void logsAndServerSettings();
    void recordsFromRows();
};

void TstRequestTexts::terminalRequests()
{
    ZnTerminalManage m;
    std::string out;
    QCOMPARE(m.removeDevice(out, 4, 5, "6"),
             std::string("POST DBP/1.0\r\nCSeq: 4\r\nPacket-Type:RemoveDevice\r\nContent-Length:22\r\n\r\n"
                         "{\"Id\":\"5\",\"Type\":\"6\"}\n"));
    ZnTerminal t;
    t.id = 12;
    // A fresh record sends "not set" for every threshold; Command precedes CSeq.
    m.buildPlayTermConfig(out, 3, t);
    QCOMPARE(out, std::string("SET DBP/1.0\r\nCommand: PlayTermConfig\r\nCSeq: 3\r\nId: 12\r\nType: IP\r\n"
                              "WarnTempThreshold: -1\r\nFanTempThreshold: -1\r\nMaxVol: -1\r\n\r\n"));
    t.warnTempThreshold = 70;
    t.fanTempThreshold = 55;
    t.maxVol = 90;
    m.buildPlayTermConfig(out, 3, t);
    QVERIFY(out.find("\r\nWarnTempThreshold: 70\r\nFanTempThreshold: 55\r\nMaxVol: 90\r\n\r\n") != std::string::npos);
    m.buildTerminal(out, 3, t);
    QVERIFY(out.find("Packet-Type:Terminal\r\nContent-Length:0\r\n\r\n") != std::string::npos);
}

void TstRequestTexts::talkConsoleRequests()
{
    std::string out;
    ZnMic mic;
    mic.id = 7;
    mic.name = "Gate";
    ZnMicManage dsk81;
    dsk81.buildModifyMic(out, 1, mic);
    QVERIFY(bodyOf(out).find("PttMode") == std::string::npos);
    mic.pttMode = 0;
    dsk81.buildModifyMic(out, 1, mic);
    QVERIFY(bodyOf(out).find("\"PttMode\":\"0\"") != std::string::npos);
    dsk81.buildMicTerminal(out, 12, 5);
    QCOMPARE(out, std::string("GET DBP/1.0\r\nCSeq: 12\r\nData: Mic\r\nId: 5\r\n\r\n"));

    ZnD74Manage d74;
    int type = 0;
    d74.buildModifyD74(out, 1, mic, 0, type);
    QCOMPARE(type, 241);
    QVERIFY(out.find("Packet-Type:ModTalkTerminal") != std::string::npos);
    d74.buildModifyD74(out, 1, mic, 2, type);
    QCOMPARE(type, 241);
    QCOMPARE(bodyOf(out), std::string("{\"BroVol\":\"80\",\"Id\":\"7\",\"Name\":\"Gate\"}\n"));
    d74.buildModifyD74(out, 1, mic, 1, type);
    QCOMPARE(type, 244);
    QCOMPARE(bodyOf(out),
             std::string("{\"DisplayTime\":\"5\",\"Id\":\"7\",\"LedColor\":\"224\",\"LedTxt\":\"\",\"SwitchMode\":\"1\"}\n"));

    ZnD72Manage d72;
    QVERIFY(d72.buildSetD72ButtonCall(out, 1, std::vector<ZnMicBtnCall>()).empty());
    d72.buildD72ButtonCalls(out, 1, 50001);
    QCOMPARE(bodyOf(out), std::string("select * from d72buttoncall where terminalId = 50001"));
}

void TstRequestTexts::books()
{
    std::string out;
    BookRequest req;
    req.terminalId = 80001;
    ZnD82Manage d82;
    req.requestType = 284;
    d82.buildSetD82Books(out, 1, req);
    QCOMPARE(bodyOf(out), std::string("{\"Action\":\"Mod\",\"Contacts\":\"\",\"Id\":\"80001\"}\n"));
    req.requestType = 285;
    d82.buildD82Books(out, 1, req);
    QVERIFY(out.find("Packet-Subtype: FixSsTaskList\r\n") != std::string::npos);
    QCOMPARE(bodyOf(out), std::string("select * from d82soundsource where terminalId = 80001"));
    req.requestType = 281;
    QVERIFY(d82.buildD82Books(out, 1, req).empty());
    QVERIFY(d82.buildSetD82Books(out, 1, req).empty());

    ZnMicManage dsk81;
    req.requestType = 277;
    req.text = "1 2";
    dsk81.buildSetMicBooks(out, 1, req);
    QVERIFY(out.find("Packet-Type:D81BroadBook\r\n") != std::string::npos);
    QCOMPARE(bodyOf(out), std::string("{\"Action\":\"Mod\",\"Id\":\"80001\",\"RegionId\":\"1 2\"}\n"));
    req.requestType = 267;
    dsk81.buildMicBooks(out, 1, req);
    QVERIFY(bodyOf(out).find("terminalId") != std::string::npos);
    QVERIFY(bodyOf(out).find("80001") == std::string::npos);
    req.requestType = 268;
    QVERIFY(dsk81.buildMicBooks(out, 1, req).empty());
}

void TstRequestTexts::changesByOperation()
{
    std::string out;
    ZnRegion region;
    region.regionId = 3;
    region.name = "North";
    for (int id : {3, 8, 21}) {
        ZnBaseTerminal t;
        t.id = id;
        region.terminals.push_back(t);
    }
    ZnRegionManage regions;
    regions.buildSaveRegion(out, 1, region, ZnRegionManage::OpDel);
    QCOMPARE(bodyOf(out), std::string("{\"Action\":\"Del\",\"Id\":\"3\",\"Name\":\"North\",\"TerminalId\":\"3 8 21\"}\n"));
    QVERIFY(regions.buildSaveRegion(out, 1, region, 3).empty());
    QVERIFY(regions.buildSaveRegion(out, 1, region, 7).empty());

    ZnMicGroup group;
    group.groupId = 2;
    group.members = {12, 15, 7};
    ZnMicGroupManage groups;
    groups.buildSaveGroup(out, 1, group, ZnMicGroupManage::OpAdd);
    const Json::Value g = row(bodyOf(out).c_str());
    QCOMPARE(g["Action"].asString(), std::string("Add"));
    QCOMPARE(g["Dsk81Id"].asString(), std::string("12 15 7"));
    QCOMPARE(g["RingTime"].asString(), std::string("60"));

    ZnSsTask task;
    task.Id = 9;
    ZnSsTaskManage tasks;
    tasks.buildSaveTask(out, 1, task, ZnSsTaskManage::OpStop);
    QVERIFY(out.find("Packet-Type:SoundSourceSwitch\r\n") != std::string::npos);
    QCOMPARE(bodyOf(out), std::string("{\"Action\":\"Stop\",\"Id\":\"9\"}\n"));
    tasks.buildSaveTask(out, 1, task, ZnSsTaskManage::OpMod);
    QVERIFY(out.find("Packet-Type:SoundSource\r\n") != std::string::npos);
    QCOMPARE(row(bodyOf(out).c_str()).size(), 16u);
    QVERIFY(tasks.buildSaveTask(out, 1, task, 5).empty());
}

void TstRequestTexts::logsAndServerSettings()
{
    std::string out;
    ZnLogManage logs;
    logs.buildSqlLogQuery(out, 5, 5, 0);
    QVERIFY(out.find("Packet-Type:SqlLog\r\nPacket-Subtype: SqlLog\r\n") != std::string::npos);
    QCOMPARE(bodyOf(out), std::string("select * from terminallog order by id DESC limit 0, 100"));
    QCOMPARE(ZnLogManage::logStatement(1, 200), std::string("select * from userlog order by id DESC limit 200, 100 "));
    QCOMPARE(ZnLogManage::logStatement(9, 0), ZnLogManage::logStatement(1, 0));

    ZnServerConfigManage config;
    ZnServerConfigRequest req;
    req.type = 182;
    req.value = "db.bak";
    req.value2 = "abc";
    config.buildRequest(out, 1, req);
    QVERIFY(out.find("Packet-Type:DataRecovery\r\n") != std::string::npos);
    QCOMPARE(bodyOf(out), std::string("{\"Md5\":\"abc\",\"RecoveryFile\":\"db.bak\"}\n"));
    req.type = 177;
    config.buildRequest(out, 1, req);
    QCOMPARE(row(bodyOf(out).c_str())["Name"].asString(), std::string("Vad_Ptt_Time_Out"));
    req.type = 174;
    QVERIFY(config.buildRequest(out, 1, req).empty());
    config.buildParameterRequest(out, 1, "Log_Server", 178);
    QCOMPARE(bodyOf(out), std::string("select value from parameter where name = 'Talk_Log_Server'"));
    QVERIFY(config.buildParameterRequest(out, 1, "", 173).empty());
}

void TstRequestTexts::recordsFromRows()
{
    // Empty names become the id (the families' own prefixes are tested with their lists).
    ZnTerminal amp;
    amp.fillFromRow(row("{\"terminalId\":\"7\",\"name\":\"\",\"power\":\"2\",\"input\":\"abc\"}"));
    QCOMPARE(amp.name, std::string("7"));
    QVERIFY(amp.power);
    QVERIFY(!amp.input);
    ZnCap cap;
    // Unexpected JSON never throws: a capture unit without a numeric id is refused,
    // other values of the wrong type read as empty.
    QVERIFY(!cap.fillFromRow(row("{\"terminalId\":\"x7\"}")));
    QVERIFY(!cap.fillFromRow(row("[1,2]")));
    amp.fillFromRow(row("{\"terminalId\":[1],\"broVol\":{\"a\":1},\"power\":true,\"ampTemp\":41.7}"));
    QCOMPARE(amp.id, 0);
    QCOMPARE(amp.broVol, 0);
    QVERIFY(amp.power);
    QCOMPARE(amp.ampTemp, 41);
}

QTEST_GUILESS_MAIN(TstRequestTexts)
#include "tst_requesttexts.moc"
