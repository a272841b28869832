#include "ZnCap.h"
#include "ZnCapManage.h"

#include <QtTest>

#include <list>
#include <string>
#include <vector>

namespace {
std::vector<std::vector<int>> g_lists;
std::vector<ZnCap> g_changed;
std::vector<int> g_removed;

void onList(std::list<ZnCap>* list)
{
    std::vector<int> ids;
    for (const ZnCap& c : *list)
        ids.push_back(c.id);
    g_lists.push_back(ids);
}
void onChanged(ZnCap* cap) { g_changed.push_back(*cap); }
void onRemoved(int id) { g_removed.push_back(id); }

const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
}

class TstCapManage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_lists.clear();
        g_changed.clear();
        g_removed.clear();
    }
    void rowsAndDefaults();
    void listIsSortedAndBadIdsSkipped();
    void listIgnoresOtherTypesAndBadBodies();
    void postTakesOnlyItsKey();
    void setTakesOnlyWhatItCanRead();
    void deleteOfTypeCap();
    void callbacksKeepEarlierOnNull();
    void modifyBody();
};

void TstCapManage::rowsAndDefaults()
{
    std::list<ZnCap> caps;
    QVERIFY(ZnCapManage::parseRows(
        R"([{"terminalId":"7","name":"","ip":"10.0.0.7","type":"9","status":"1","exten":"801",)"
        R"("ver":"1.2","capVol":"55","capSamplerate":"24000"},{"terminalId":" 8","name":"Hall","capVol":"x"}])",
        caps));
    QCOMPARE(int(caps.size()), 2);
    const ZnCap& a = caps.front();
    QCOMPARE(a.id, 7);
    QCOMPARE(a.name, std::string("Cap_7"));
    QCOMPARE(a.ip, std::string("10.0.0.7"));
    QCOMPARE(a.type, std::string("9"));
    QCOMPARE(a.status, 1);
    QCOMPARE(a.exten, std::string("801"));
    QCOMPARE(a.ver, std::string("1.2"));
    QCOMPARE(a.capVol, 55);
    QCOMPARE(a.capSamplerate, 24000);
    const ZnCap& b = caps.back();
    QCOMPARE(b.id, 8); // leading blanks are allowed in a strict id
    QCOMPARE(b.name, std::string("Hall"));
    QCOMPARE(b.capVol, 0);
}

void TstCapManage::listIsSortedAndBadIdsSkipped()
{
    ZnCapManage m;
    m.setCallbacks(onList, nullptr, nullptr);
    m.onResponse(ZnCapManage::ListType,
                 R"([{"terminalId":"9"},{"terminalId":"abc"},{"terminalId":"3"},{"terminalId":""},)"
                 R"({"terminalId":"99999999999999"},{"terminalId":"5"},{"terminalId":"3","name":"second 3"}])");
    QCOMPARE(g_lists, (std::vector<std::vector<int>>{{3, 3, 5, 9}}));

    m.onResponse(ZnCapManage::ListType, "[]");
    QCOMPARE(g_lists.size(), size_t(2));
    QVERIFY(g_lists.back().empty());
}

void TstCapManage::listIgnoresOtherTypesAndBadBodies()
{
    ZnCapManage m;
    m.setCallbacks(onList, nullptr, nullptr);
    m.onResponse(76, "[{\"terminalId\":\"1\"}]");
    m.onResponse(ZnCapManage::ModifyType, "[{\"terminalId\":\"1\"}]");
    m.onResponse(ZnCapManage::ListType, "not json");
    m.onResponse(ZnCapManage::ListType, "");
    QVERIFY(g_lists.empty());
    // A JSON value that is no array is an empty list, not a crash.
    m.onResponse(ZnCapManage::ListType, "{\"terminalId\":\"1\"}");
    QCOMPARE(g_lists.size(), size_t(1));
}

void TstCapManage::postTakesOnlyItsKey()
{
    ZnCapManage m;
    m.setCallbacks(nullptr, nullptr, onChanged);
    QVERIFY(!m.onPost("SqlConfig_capd73x", "[{\"terminalId\":\"1\"}]"));
    QVERIFY(!m.onPost("SqlConfig_capd7", "[{\"terminalId\":\"1\"}]"));
    QVERIFY(g_changed.empty());
    QVERIFY(m.onPost("SqlConfig_capd73", "no json here"));
    QVERIFY(g_changed.empty());
    QVERIFY(m.onPost("SqlConfig_capd73", R"([{"terminalId":"4","name":"B"},{"terminalId":"2"},{"terminalId":"?"}])"));
    QCOMPARE(int(g_changed.size()), 2);
    QCOMPARE(g_changed[0].id, 4); // row order, not sorted
    QCOMPARE(g_changed[1].name, std::string("Cap_2"));
}

void TstCapManage::setTakesOnlyWhatItCanRead()
{
    ZnCapManage m;
    m.setCallbacks(nullptr, nullptr, onChanged);
    // XML under the capture list's top element is not this manager's to swallow.
    const std::string xml = std::string(kDecl) + "<CapList><Cap id=\"3\"/></CapList>";
    QVERIFY(!m.onSet(xml));
    QVERIFY(!m.onPost("", xml)); // an empty key falls back to the SET hook
    QVERIFY(!m.onSet(std::string(kDecl) + "<MicList/>"));
    QVERIFY(g_changed.empty());
    // Rows it can read are taken, even when they sit behind such a top element.
    QVERIFY(m.onSet(R"([{"terminalId":"6","name":"<x><CapList>"}])"));
    QCOMPARE(int(g_changed.size()), 1);
    QCOMPARE(g_changed[0].id, 6);
}

void TstCapManage::deleteOfTypeCap()
{
    ZnCapManage m;
    m.onDelete("CAP", 1); // no callback yet
    m.setCallbacks(nullptr, onRemoved, nullptr);
    m.onDelete("CAP", 12);
    m.onDelete("Cap", 13);
    m.onDelete("CAPS", 14);
    QCOMPARE(g_removed, std::vector<int>{12});
}

void TstCapManage::callbacksKeepEarlierOnNull()
{
    ZnCapManage m;
    m.setCallbacks(onList, onRemoved, onChanged);
    m.setCallbacks(nullptr, nullptr, nullptr);
    m.onResponse(ZnCapManage::ListType, "[{\"terminalId\":\"1\"}]");
    m.onPost(ZnCapManage::kPostKey, "[{\"terminalId\":\"1\"}]");
    m.onDelete("CAP", 1);
    QCOMPARE(g_lists.size(), size_t(1));
    QCOMPARE(g_changed.size(), size_t(1));
    QCOMPARE(g_removed.size(), size_t(1));
}

void TstCapManage::modifyBody()
{
    ZnCapManage m;
    ZnCap cap;
    cap.id = 12;
    cap.name = "Hall";
    cap.capVol = 60;
    cap.capSamplerate = 32000;
    std::string text;
    m.buildModifyCap(text, 5, cap);
    QVERIFY(text.rfind("POST DBP/1.0\r\n", 0) == 0);
    QVERIFY(text.find("Packet-Type:CapD73Set\r\n") != std::string::npos);
    const std::string body = R"({"CapSamplerate":"32000","CapVol":"60","Id":"12","Name":"Hall"})" "\n";
    QVERIFY(text.size() > body.size());
    QCOMPARE(text.substr(text.size() - body.size()), body);
}

QTEST_GUILESS_MAIN(TstCapManage)
#include "tst_capmanage.moc"
