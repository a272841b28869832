#include "BookEntry.h"
#include "ZnD72Manage.h"
#include "ZnD74Manage.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicManage.h"

#include <QtTest>

#include <json/json.h>

#include <list>
#include <string>
#include <vector>

namespace {

// What the managers handed to their list model, copied during the callback.
struct Seen
{
    std::vector<int> codes;
    std::vector<std::list<ZnMic>> lists;
    std::vector<ZnMic> records;
    std::vector<int> ids;
    std::vector<std::list<ZnMicBtnCall>> calls;
    std::vector<std::list<BookEntry>> books;
};
Seen g_seen;

void recordMicEvent(int code, void* data)
{
    g_seen.codes.push_back(code);
    switch (code) {
    case 228: case 238: case 262: case 267: case 269:
        g_seen.lists.push_back(*static_cast<std::list<ZnMic>*>(data));
        break;
    case 231: case 241: case 263:
        g_seen.records.push_back(*static_cast<ZnMic*>(data));
        break;
    case 232: case 242: case 265:
        g_seen.ids.push_back(*static_cast<int*>(data));
        break;
    case 233: case 243:
        g_seen.calls.push_back(*static_cast<std::list<ZnMicBtnCall>*>(data));
        break;
    default:
        g_seen.books.push_back(*static_cast<std::list<BookEntry>*>(data));
        break;
    }
}

std::vector<int> idsOf(const std::list<ZnMic>& list)
{
    std::vector<int> ids;
    for (const ZnMic& m : list)
        ids.push_back(m.id);
    return ids;
}

std::string headerOf(const std::string& text)
{
    return text.substr(0, text.find("\r\n\r\n"));
}

Json::Value bodyOf(const std::string& text)
{
    size_t at = text.find("\r\n\r\n");
    Json::Value v;
    if (at != std::string::npos)
        Json::Reader().parse(text.substr(at + 4), v);
    return v;
}

ZnMicBtnCall call(int terminalId, const char* start, const char* stop, int dsk81, int group)
{
    ZnMicBtnCall c;
    c.terminalId = terminalId;
    c.startCall = start;
    c.stopCall = stop;
    c.dsk81Id = dsk81;
    c.groupId = group;
    return c;
}

} // namespace

class TstConsoleManagers : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_seen = Seen(); }

    void d72RowsTakeDefaultsPerRow();
    void d72ListAndPushes();
    void d74NamesFromExtension_data();
    void d74NamesFromExtension();
    void d74RowsAndLed();
    void dsk81RowsReadLowerCaseCapVolAndKeepPttApart();
    void dsk81ListIsSortedAndPushesFollowIt();
    void dsk81ConsoleFromXml();
    void deletePushes();
    void buttonCallRows();
    void d72ButtonCallBodyCarriesEveryEntryOnce_data();
    void d72ButtonCallBodyCarriesEveryEntryOnce();
    void booksAndDirectories();
    void badBodiesReportNothing();
};

void TstConsoleManagers::d72RowsTakeDefaultsPerRow()
{
    ZnD72Manage m;
    m.setCallback(recordMicEvent);
    // The second row names no volumes: it must not inherit the first row's.
    m.onResponse(228, R"([{"terminalId":"12","name":"","ip":"10.0.0.12","type":"2","status":"1",
        "ver":"1.2","exten":"8012","ppt":"1","aec":"2","broVol":"10","capVol":"20","bellVol":"30","callVol":"40"},
        {"terminalId":"13","name":"Hall"}])");
    QCOMPARE(g_seen.codes, std::vector<int>({228}));
    const std::list<ZnMic>& list = g_seen.lists.at(0);
    QCOMPARE(int(list.size()), 2);
    const ZnMic& a = list.front();
    QCOMPARE(a.id, 12);
    QCOMPARE(a.name, std::string("D72_12"));
    QCOMPARE(a.ip, std::string("10.0.0.12"));
    QCOMPARE(a.type, std::string("2"));
    QCOMPARE(a.status, 1);
    QCOMPARE(a.ver, std::string("1.2"));
    QCOMPARE(a.exten, std::string("8012"));
    QCOMPARE(a.ppt, 1);
    QCOMPARE(a.aec, 2);
    QCOMPARE(a.broVol, 10);
    QCOMPARE(a.capVol, 20);
    QCOMPARE(a.bellVol, 30);
    QCOMPARE(a.callVol, 40);
    const ZnMic& b = list.back();
    QCOMPARE(b.name, std::string("Hall"));
    QCOMPARE(b.ppt, 0);
    QCOMPARE(b.capVol, 0);
    QCOMPARE(b.broVol, 80);
    QCOMPARE(b.bellVol, 80);
    QCOMPARE(b.callVol, 80);
    QCOMPARE(b.exten, std::string());
}

void TstConsoleManagers::d72ListAndPushes()
{
    ZnD72Manage m;
    m.onResponse(228, R"([{"terminalId":"1"}])"); // no callback yet: dropped quietly
    m.setCallback(recordMicEvent);
    m.onResponse(228, "[]");
    QVERIFY(g_seen.codes.empty());

    QVERIFY(m.onPost("SqlConfig_dsk72", R"([{"terminalId":"5"},{"terminalId":"2"},{"terminalId":"9"}])"));
    QCOMPARE(g_seen.codes, std::vector<int>({231, 231, 231}));
    QCOMPARE(g_seen.records.at(0).id, 5);
    QCOMPARE(g_seen.records.at(1).id, 2);
    QCOMPARE(g_seen.records.at(2).id, 9);

    QVERIFY(!m.onPost("SqlConfig_dsk72x", "[]"));
    QVERIFY(!m.onPost("SqlConfig_dsk74", "[]"));
    QVERIFY(m.onPost("SqlConfig_dsk72", "not json")); // taken, though nothing comes of it
    QCOMPARE(int(g_seen.codes.size()), 3);
}

void TstConsoleManagers::d74NamesFromExtension_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("name");
    QTest::newRow("dashes") << R"({"terminalId":"9","name":"","exten":"--"})" << "D74_9";
    QTest::newRow("one dash") << R"({"terminalId":"9","name":"","exten":"-"})" << "-_9";
    QTest::newRow("extension") << R"({"terminalId":"7","exten":"8001"})" << "8001_7";
    QTest::newRow("no extension") << R"({"terminalId":"7"})" << "D74_7";
    QTest::newRow("named") << R"({"terminalId":"7","exten":"8001","name":"Gate"})" << "Gate";
}

void TstConsoleManagers::d74NamesFromExtension()
{
    QFETCH(QString, row);
    QFETCH(QString, name);
    ZnD74Manage m;
    m.setCallback(recordMicEvent);
    m.onResponse(238, "[" + row.toStdString() + "]");
    QCOMPARE(g_seen.lists.size(), size_t(1));
    QCOMPARE(QString::fromStdString(g_seen.lists[0].front().name), name);
}

void TstConsoleManagers::d74RowsAndLed()
{
    ZnD74Manage m;
    m.setCallback(recordMicEvent);
    QVERIFY(m.onPost("SqlConfig_dsk74", R"([{"terminalId":"3","work":"idle","ledColor":"12","switchMode":"2",
        "displayTime":"9","ledTxt":"EXIT","ppt":"1","capVol":"33"},{"terminalId":"4"}])"));
    QCOMPARE(g_seen.codes, std::vector<int>({241, 241}));
    const ZnMic& a = g_seen.records[0];
    QCOMPARE(a.work, std::string("idle"));
    QCOMPARE(a.ledColor, 12);
    QCOMPARE(a.switchMode, 2);
    QCOMPARE(a.displayTime, 9);
    QCOMPARE(a.ledTxt, std::string("EXIT"));
    QCOMPARE(a.ppt, 0); // not a D74 column
    QCOMPARE(a.capVol, 33);
    const ZnMic& b = g_seen.records[1];
    QCOMPARE(b.ledColor, 224);
    QCOMPARE(b.switchMode, 1);
    QCOMPARE(b.displayTime, 5);
    QCOMPARE(b.ledTxt, std::string());
    QVERIFY(!m.onPost("SqlConfig_dsk72", "[]"));
}

void TstConsoleManagers::dsk81RowsReadLowerCaseCapVolAndKeepPttApart()
{
    ZnMicManage m;
    m.setCallback(recordMicEvent);
    // Columns as the database names them for the list query.
    m.onResponse(262, R"([{"terminalId":"8","type":"3","status":"1","work":"busy","name":"","ip":"10.0.0.8",
        "capvol":"66","callVol":"51","bellVol":"52","broVol":"53","pttMode":"2"},
        {"terminalId":"4","name":"Desk","capvol":"7"}])");
    QCOMPARE(g_seen.codes, std::vector<int>({262}));
    const std::list<ZnMic>& list = g_seen.lists[0];
    QCOMPARE(idsOf(list), std::vector<int>({8, 4}));
    const ZnMic& a = list.front();
    QCOMPARE(a.name, std::string("D81_8"));
    QCOMPARE(a.capVol, 66);
    QCOMPARE(a.callVol, 51);
    QCOMPARE(a.bellVol, 52);
    QCOMPARE(a.broVol, 53);
    QCOMPARE(a.pttMode, 2);
    QCOMPARE(a.work, std::string("busy"));
    const ZnMic& b = list.back();
    QCOMPARE(b.capVol, 7);
    QCOMPARE(b.pttMode, -1);
    QCOMPARE(b.callVol, 80);

    // The camel-case key, should a server send it, is taken too.
    init();
    m.onResponse(262, R"([{"terminalId":"1","capVol":"44"}])");
    QCOMPARE(g_seen.lists[0].front().capVol, 44);
}

void TstConsoleManagers::dsk81ListIsSortedAndPushesFollowIt()
{
    ZnMicManage m;
    m.setCallback(recordMicEvent);
    m.onResponse(262, R"([{"terminalId":"3"},{"terminalId":"9"},{"terminalId":"5"}])");
    QCOMPARE(idsOf(g_seen.lists[0]), std::vector<int>({9, 5, 3}));

    init();
    m.onResponse(262, "[]");
    QCOMPARE(g_seen.codes, std::vector<int>({262}));
    QVERIFY(g_seen.lists[0].empty());

    init();
    m.onResponse(262, R"({"rows":1})");
    QCOMPARE(g_seen.codes, std::vector<int>({262}));
    QVERIFY(g_seen.lists[0].empty());

    init();
    QVERIFY(m.onPost("SqlConfig_dsk81", R"([{"terminalId":"4"},{"terminalId":"7"}])"));
    QCOMPARE(g_seen.codes, std::vector<int>({263, 263}));
    QCOMPARE(g_seen.records[0].id, 7);
    QCOMPARE(g_seen.records[1].id, 4);
    QVERIFY(!m.onPost("SqlConfig_dsk811", "[]"));
    QVERIFY(!m.onPost("SqlConfig_d82", "[]"));
}

void TstConsoleManagers::dsk81ConsoleFromXml()
{
    ZnMicManage m;
    m.setCallback(recordMicEvent);
    const std::string one = R"(<?xml version="1.0" encoding="UTF-8"?><MicList><Mic terminalId="21" name="" )"
                            R"(type="3" capvol="17" pttMode="1" ip="10.1.1.21"/></MicList>)";
    m.onResponse(263, one);
    QCOMPARE(g_seen.codes, std::vector<int>({263}));
    QCOMPARE(g_seen.records[0].id, 21);
    QCOMPARE(g_seen.records[0].name, std::string("D81_21"));
    QCOMPARE(g_seen.records[0].capVol, 17);
    QCOMPARE(g_seen.records[0].pttMode, 1);
    QCOMPARE(g_seen.records[0].ip, std::string("10.1.1.21"));

    // A console without its id cannot be placed: nothing is reported.
    init();
    m.onResponse(263, R"(<?xml version="1.0"?><MicList><Mic name="x"/></MicList>)");
    m.onResponse(263, R"(<?xml version="1.0"?><MicList></MicList>)");
    m.onResponse(263, R"(<?xml version="1.0"?><Other><Mic terminalId="2"/></Other>)");
    m.onResponse(263, "<MicList><Mic terminalId=");
    QVERIFY(g_seen.codes.empty());

    // A pushed setting with the same form.
    QVERIFY(m.onSet(R"(<?xml version="1.0"?><MicList><Mic terminalId="2"/><Mic terminalId="6"/></MicList>)"));
    QCOMPARE(g_seen.codes, std::vector<int>({263, 263}));
    QCOMPARE(g_seen.records[0].id, 6);
    QVERIFY(!m.onSet(R"(<?xml version="1.0"?><Mic terminalId="2"/>)"));
}

void TstConsoleManagers::deletePushes()
{
    ZnD72Manage d72;
    ZnD74Manage d74;
    ZnMicManage mic;
    d72.setCallback(recordMicEvent);
    d74.setCallback(recordMicEvent);
    mic.setCallback(recordMicEvent);
    for (ZnBaseMgr* m : std::vector<ZnBaseMgr*>{&d72, &d74, &mic}) {
        m->onDelete("D72", 5);
        m->onDelete("d72", 6);
        m->onDelete("D74", 7);
        m->onDelete("D7", 8);
        m->onDelete("MIC", 9);
    }
    QCOMPARE(g_seen.codes, std::vector<int>({232, 242, 265}));
    QCOMPARE(g_seen.ids, std::vector<int>({5, 7, 9}));
}

void TstConsoleManagers::buttonCallRows()
{
    ZnD72Manage d72;
    d72.setCallback(recordMicEvent);
    d72.onResponse(233, R"([{"terminalId":"4","startCall":"ButtonPopUp","stopCall":"ButtonPushDown","dsk81Id":"30"},
        {"terminalId":"4","startCall":"AlarmShortPress","groupId":"2"}])");
    d72.onResponse(233, "[]");
    QCOMPARE(g_seen.codes, std::vector<int>({233, 233}));
    const std::list<ZnMicBtnCall>& calls = g_seen.calls[0];
    QCOMPARE(int(calls.size()), 2);
    QCOMPARE(calls.front().terminalId, 4);
    QCOMPARE(calls.front().startCall, std::string("ButtonPopUp"));
    QCOMPARE(calls.front().stopCall, std::string("ButtonPushDown"));
    QCOMPARE(calls.front().dsk81Id, 30);
    QCOMPARE(calls.front().groupId, 0);
    QCOMPARE(calls.back().dsk81Id, 0); // not taken over from the row before
    QCOMPARE(calls.back().groupId, 2);
    QCOMPARE(calls.back().stopCall, std::string());
    QVERIFY(g_seen.calls[1].empty());

    ZnD74Manage d74;
    d74.setCallback(recordMicEvent);
    d74.onResponse(243, R"([{"terminalId":"6","startCall":"ButtonPushDown","dsk81Id":"31"}])");
    QCOMPARE(g_seen.codes.back(), 243);
    QCOMPARE(g_seen.calls.back().front().dsk81Id, 31);
}

void TstConsoleManagers::d72ButtonCallBodyCarriesEveryEntryOnce_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("alarm");
    QTest::newRow("one") << 1 << 1 << false;
    QTest::newRow("three") << 3 << 3 << false;
    QTest::newRow("four") << 4 << 3 << true;
    QTest::newRow("five") << 5 << 4 << true;
}

void TstConsoleManagers::d72ButtonCallBodyCarriesEveryEntryOnce()
{
    QFETCH(int, entries);
    QFETCH(int, buttons);
    QFETCH(bool, alarm);
    std::vector<ZnMicBtnCall> calls;
    for (int i = 0; i < entries; ++i)
        calls.push_back(call(12, ("Start" + std::to_string(i)).c_str(), ("Stop" + std::to_string(i)).c_str(),
                             100 + i, 200 + i));
    ZnD72Manage m;
    std::string text;
    m.buildSetD72ButtonCall(text, 41, calls);
    QVERIFY(headerOf(text).find("POST DBP/1.0\r\nCSeq: 41\r\nPacket-Type:D72ButtonCall") == 0);
    const Json::Value body = bodyOf(text);
    QCOMPARE(body["Action"].asString(), std::string("Mod"));
    QCOMPARE(body["Id"].asString(), std::string("12"));
    const Json::Value& list = body["ButtonCalls"];
    QVERIFY(list.isArray());
    QCOMPARE(int(list.size()), buttons);
    std::vector<std::string> sent;
    for (const Json::Value& b : list) {
        sent.push_back(b["StartCall"].asString());
        const int i = sent.back().back() - '0';
        QCOMPARE(b["StopCall"].asString(), "Stop" + std::to_string(i));
        QCOMPARE(b["Dsk81"].asString(), std::to_string(100 + i));
        QCOMPARE(b["CallServiceGroup"].asString(), std::to_string(200 + i));
    }
    QCOMPARE(body.isMember("AlarmCall"), alarm);
    if (alarm) {
        QCOMPARE(body["AlarmCall"].asString(), std::string("Start3 Stop3"));
        sent.push_back("Start3");
    }
    std::sort(sent.begin(), sent.end());
    QCOMPARE(int(std::unique(sent.begin(), sent.end()) - sent.begin()), entries);
}

void TstConsoleManagers::booksAndDirectories()
{
    ZnMicManage m;
    m.setCallback(recordMicEvent);
    m.onResponse(274, R"([{"terminalId":"5","sourceId":"31","orderId":"2"}])");
    m.onResponse(272, R"([{"terminalId":"5","monitorId":"40","monitorType":"6","orderId":"1"},
        {"terminalId":"5","monitorId":"41","orderId":"2"}])");
    m.onResponse(266, R"([{"terminalId":"5","contactId":"7","contactType":"2","orderId":"3"}])");
    m.onResponse(270, R"([{"terminalId":"5","transferId":"8","transferType":"3","orderId":"4"}])");
    m.onResponse(276, "[]");
    QCOMPARE(g_seen.codes, std::vector<int>({274, 272, 266, 270, 276}));
    auto entry = [](const BookEntry& e) { return std::vector<int>{e.terminalId, e.itemId, e.orderId, e.itemType}; };
    QCOMPARE(entry(g_seen.books[0].front()), std::vector<int>({5, 31, 2, 0}));
    QCOMPARE(entry(g_seen.books[1].front()), std::vector<int>({5, 40, 1, 6}));
    QCOMPARE(entry(g_seen.books[1].back()), std::vector<int>({5, 41, 2, 0}));
    QCOMPARE(entry(g_seen.books[2].front()), std::vector<int>({5, 7, 3, 2}));
    QCOMPARE(entry(g_seen.books[3].front()), std::vector<int>({5, 8, 4, 3}));
    QVERIFY(g_seen.books[4].empty());

    init();
    m.onResponse(267, R"([{"terminalId":"30","name":"","type":"2"},{"terminalId":"31","name":"Desk","type":"3"}])");
    m.onResponse(269, R"([{"terminalId":"40","name":"","type":"2","exten":"8001"},
        {"terminalId":"41","name":"","type":"6","exten":"--"},{"terminalId":"42","name":"Hall","type":"6"}])");
    QCOMPARE(g_seen.codes, std::vector<int>({267, 269}));
    QCOMPARE(g_seen.lists[0].front().name, std::string("2_30"));
    QCOMPARE(g_seen.lists[0].back().name, std::string("Desk"));
    std::vector<std::string> names;
    for (const ZnMic& t : g_seen.lists[1])
        names.push_back(t.name);
    QCOMPARE(names, std::vector<std::string>({"8001_40", "6_41", "Hall"}));
    QCOMPARE(idsOf(g_seen.lists[1]), std::vector<int>({40, 41, 42})); // server order, not sorted

    // Changes and the types the manager does not own are not looked at.
    init();
    for (int type : {264, 265, 268, 271, 273, 275, 277, 278})
        m.onResponse(type, R"([{"terminalId":"5"}])");
    QVERIFY(g_seen.codes.empty());
}

void TstConsoleManagers::badBodiesReportNothing()
{
    ZnD72Manage d72;
    ZnD74Manage d74;
    ZnMicManage mic;
    d72.setCallback(recordMicEvent);
    d74.setCallback(recordMicEvent);
    mic.setCallback(recordMicEvent);
    for (const char* body : {"", "{", "[{\"terminalId\":", "\xff\xfe", "<MicList/>"}) {
        d72.onResponse(228, body);
        d72.onResponse(233, body);
        d74.onResponse(238, body);
        d74.onResponse(243, body);
        mic.onResponse(262, body);
        mic.onResponse(263, body);
        mic.onResponse(267, body);
        mic.onResponse(274, body);
    }
    QVERIFY(g_seen.codes.empty());

    // Nesting deep enough to exhaust the stack of a recursive parser is refused.
    std::string deep = "<?xml version=\"1.0\"?><MicList>";
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    mic.onResponse(263, deep);
    mic.onSet(deep + "<Mic terminalId=\"1\"/>");
    QVERIFY(g_seen.codes.empty());

    // Rows of odd shapes read as empty values, never as a crash.
    mic.onResponse(262, R"([1, "x", null, [2], {"terminalId":{"a":1},"name":7,"pttMode":true},
        {"terminalId":7e300,"capvol":-7e300,"callVol":12.9}])");
    QCOMPARE(g_seen.codes, std::vector<int>({262}));
    QCOMPARE(int(g_seen.lists[0].size()), 6);
    const ZnMic& huge = g_seen.lists[0].front();
    QCOMPARE(huge.id, INT_MAX);
    QCOMPARE(huge.capVol, INT_MIN);
    QCOMPARE(huge.callVol, 12);
}

QTEST_GUILESS_MAIN(TstConsoleManagers)
#include "tst_consolemanagers.moc"
