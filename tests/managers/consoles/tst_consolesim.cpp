#include "../SimSession.h"
#include "BookEntry.h"
#include "BookRequest.h"
#include "ServiceHub.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicListMgr.h"

#include <QSignalSpy>
#include <QtTest>

#include <json/json.h>

// The three console models against the simulated server, through one centre that
// lives as long as the models do.
namespace {

Json::Value bodyOf(const ZnSimRequest& r)
{
    Json::Value v;
    Json::Reader().parse(r.body, v);
    return v;
}

// The last request the server got under that label.
ZnSimRequest last(const ZnSimServer& sim, const std::string& label)
{
    ZnSimRequest found;
    for (const ZnSimRequest& r : sim.requests()) {
        if (r.label() == label)
            found = r;
    }
    return found;
}

std::vector<int> idsOf(const std::list<ZnMic>& list)
{
    std::vector<int> ids;
    for (const ZnMic& m : list)
        ids.push_back(m.id);
    return ids;
}

ZnMicBtnCall btn(int terminalId, const char* start, const char* stop, int dsk81, int group)
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

class TstConsoleSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { m_session->sim.clearRules(); }

    void d72ListAndChanges();
    void d72ButtonCallsRoundTrip();
    void d74ListLedAndButtonCall();
    void consolePushesAndDeletions();
    void dsk81ListKeepsRealCaptureVolume();
    void dsk81OneConsoleAndRefusals();
    void dsk81BooksPerConsole();

private:
    SimSession* m_session = nullptr;   // outlives the models, never freed
};

void TstConsoleSim::initTestCase()
{
    m_session = new SimSession;
    QVERIFY(m_session->login());
    ServiceHub::create(m_session->centre.get());
}

void TstConsoleSim::cleanupTestCase()
{
    // The models keep the centre: stop its thread, keep the object.
    m_session->centre->stopReceiveThread();
    m_session->sim.stop();
}

void TstConsoleSim::d72ListAndChanges()
{
    ZnSimServer& sim = m_session->sim;
    ZnD72ListMgr* model = ZnD72ListMgr::instance();
    QCOMPARE(idsOf(model->micList()), std::vector<int>({50001, 50002}));
    ZnMic mic;
    QVERIFY(model->findD72(50002, mic));
    QCOMPARE(mic.name, std::string("D72_50002"));
    QCOMPARE(mic.capVol, 40);
    QCOMPARE(mic.aec, 1);

    QSignalSpy changed(model, SIGNAL(d72Changed(int)));
    mic.name = "Side gate";
    mic.callVol = 33;
    QCOMPARE(model->modifyD72(mic), 0);
    QCOMPARE(changed.count(), 1);
    const Json::Value body = bodyOf(last(sim, "POST ModTalkTerminal"));
    QCOMPARE(body["Id"].asString(), std::string("50002"));
    QCOMPARE(body["Name"].asString(), std::string("Side gate"));
    QCOMPARE(body["CapVol"].asString(), std::string("40"));
    QCOMPARE(body["CallVol"].asString(), std::string("33"));

    // A refused change leaves the copy as it was and says so.
    sim.addRule(ZnSimRule::make("POST ModTalkTerminal", ZnSimRule::Fail, "", 0, 1));
    ZnMic refused = mic;
    refused.name = "Never";
    QCOMPARE(model->modifyD72(refused), 1);
    QVERIFY(model->findD72(50002, mic));
    QCOMPARE(mic.name, std::string("Side gate"));
    QCOMPARE(changed.count(), 1);

    sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "", 0, 1));
    QSignalSpy deleted(model, SIGNAL(d72Deleted(int)));
    QCOMPARE(model->removeD72(mic), 1);
    QVERIFY(model->findD72(50002, mic));
    QCOMPARE(deleted.count(), 0);
}

void TstConsoleSim::d72ButtonCallsRoundTrip()
{
    ZnSimServer& sim = m_session->sim;
    ZnD72ListMgr* model = ZnD72ListMgr::instance();
    ZnMic gate;
    QVERIFY(model->findD72(50001, gate));
    QCOMPARE(model->requestBtnCalls(gate), 0);
    std::list<ZnMicBtnCall> calls;
    QVERIFY(model->btnCalls(50001, calls));
    QCOMPARE(int(calls.size()), 2);
    QCOMPARE(calls.front().dsk81Id, 70001);
    QCOMPARE(calls.back().groupId, 1);
    // Another console's dialog gets nothing of these.
    QVERIFY(!model->btnCalls(50002, calls));

    const std::vector<ZnMicBtnCall> sent = {
        btn(50001, "ButtonPopUp", "ButtonPushDown", 70001, 0),
        btn(50001, "AlarmShortPress", "AlarmLongPress", 0, 2),
        btn(50001, "Alarm2ShortPress", "Alarm2LongPress", 70002, 0),
        btn(50001, "BackupShortPress", "BackupLongPress", 0, 0),
    };
    QCOMPARE(model->setBtnCalls(sent), 0);
    const Json::Value body = bodyOf(last(sim, "POST D72ButtonCall"));
    QCOMPARE(body["Id"].asString(), std::string("50001"));
    QCOMPARE(int(body["ButtonCalls"].size()), 3);
    QCOMPARE(body["AlarmCall"].asString(), std::string("BackupShortPress BackupLongPress"));

    // Read back, the console has exactly the four entries it was given.
    QCOMPARE(model->requestBtnCalls(gate), 0);
    QVERIFY(model->btnCalls(50001, calls));
    std::vector<std::string> starts;
    for (const ZnMicBtnCall& c : calls)
        starts.push_back(c.startCall);
    QCOMPARE(starts, std::vector<std::string>({"ButtonPopUp", "AlarmShortPress", "Alarm2ShortPress",
                                                "BackupShortPress"}));
    QCOMPARE(std::next(calls.begin(), 2)->dsk81Id, 70002);

    // Nothing is sent for an empty list or a list mixing two consoles.
    const int posts = sim.count("POST D72ButtonCall");
    QCOMPARE(model->setBtnCalls({}), -1);
    QCOMPARE(model->setBtnCalls({btn(50001, "a", "b", 1, 0), btn(50002, "c", "d", 1, 0)}), -1);
    QCOMPARE(sim.count("POST D72ButtonCall"), posts);
}

void TstConsoleSim::d74ListLedAndButtonCall()
{
    ZnSimServer& sim = m_session->sim;
    ZnD74ListMgr* model = ZnD74ListMgr::instance();
    QCOMPARE(idsOf(model->micList()), std::vector<int>({60001, 60002}));
    ZnMic lobby;
    QVERIFY(model->findD74(60002, lobby));
    QCOMPARE(lobby.name, std::string("D74_60002"));
    QCOMPARE(lobby.ledColor, 28);
    QCOMPARE(lobby.displayTime, 9);

    lobby.ledTxt = "EXIT";
    lobby.ledColor = 3;
    QCOMPARE(model->modifyD74(lobby, ZnD74ListMgr::LedSettings), 0);
    const ZnSimRequest led = last(sim, "POST ModD74Led");
    QCOMPARE(bodyOf(led)["LedTxt"].asString(), std::string("EXIT"));
    QVERIFY(model->findD74(60002, lobby));
    QCOMPARE(lobby.ledColor, 3);

    lobby.bellVol = 21;
    QCOMPARE(model->modifyD74(lobby, ZnD74ListMgr::TalkSettings), 0);
    QCOMPARE(bodyOf(last(sim, "POST ModTalkTerminal"))["BellVol"].asString(), std::string("21"));

    lobby.broVol = 12;
    QCOMPARE(model->modifyD74(lobby, ZnD74ListMgr::NameAndVolume), 0);
    QCOMPARE(bodyOf(last(sim, "POST IpAmpSet"))["BroVol"].asString(), std::string("12"));
    sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Fail, "", 0, 1));
    ZnMic louder = lobby;
    louder.broVol = 99;
    QCOMPARE(model->modifyD74(louder, ZnD74ListMgr::NameAndVolume), 1);
    QVERIFY(model->findD74(60002, lobby));
    QCOMPARE(lobby.broVol, 12);

    QCOMPARE(model->setBtnCalls(btn(60002, "ButtonPushDown", "ButtonLongPress", 0, 2)), 0);
    QCOMPARE(model->requestBtnCalls(lobby), 0);
    std::list<ZnMicBtnCall> calls;
    QVERIFY(model->btnCalls(60002, calls));
    QCOMPARE(int(calls.size()), 1);
    QCOMPARE(calls.front().groupId, 2);
    QVERIFY(!model->btnCalls(60001, calls));
}

void TstConsoleSim::consolePushesAndDeletions()
{
    ZnSimServer& sim = m_session->sim;
    ZnD72ListMgr* d72 = ZnD72ListMgr::instance();
    ZnD74ListMgr* d74 = ZnD74ListMgr::instance();
    ZnMicListMgr* dsk81 = ZnMicListMgr::instance();
    QCOMPARE(dsk81->requestMicList(), 0);
    QSignalSpy d72Changed(d72, SIGNAL(d72Changed(int)));
    QSignalSpy d72Deleted(d72, SIGNAL(d72Deleted(int)));
    QSignalSpy d74Deleted(d74, SIGNAL(d74Deleted(int)));
    QSignalSpy micChanged(dsk81, SIGNAL(micChanged(int)));

    sim.pushPost("SqlConfig", "dsk72",
                 R"([{"terminalId":"50003","name":"New"},{"terminalId":"50001","name":"Gate","capVol":"5"}])");
    sim.pushPost("SqlConfig", "dsk81", R"([{"terminalId":"70002","capvol":"9"},{"terminalId":"70009"}])");
    QVERIFY(SimSession::spinUntil([&] { return d72Changed.count() == 2 && micChanged.count() == 2; }));
    QCOMPARE(d72Changed.at(0).at(0).toInt(), 50003);
    QCOMPARE(idsOf(d72->micList()), std::vector<int>({50001, 50002, 50003}));
    ZnMic mic;
    QVERIFY(d72->findD72(50001, mic));
    QCOMPARE(mic.capVol, 5);
    QCOMPARE(micChanged.at(0).at(0).toInt(), 70009);
    QCOMPARE(idsOf(dsk81->micList()), std::vector<int>({70001, 70009, 70002}));
    QVERIFY(dsk81->getMic(70002, mic));
    QCOMPARE(mic.capVol, 9);

    sim.pushDelete("D72", 50003);
    sim.pushDelete("D74", 60001);
    sim.pushDelete("d72", 50001);
    QVERIFY(SimSession::spinUntil([&] { return d72Deleted.count() == 1 && d74Deleted.count() == 1; }));
    QTest::qWait(50);
    QCOMPARE(d72Deleted.count(), 1);
    QCOMPARE(idsOf(d72->micList()), std::vector<int>({50001, 50002}));
    QCOMPARE(idsOf(d74->micList()), std::vector<int>({60002}));
}

void TstConsoleSim::dsk81ListKeepsRealCaptureVolume()
{
    ZnSimServer& sim = m_session->sim;
    ZnMicListMgr* model = ZnMicListMgr::instance();
    QCOMPARE(model->requestMicList(), 0);
    QVERIFY(last(sim, "GET SqlConfig/MicList").body.find("capvol") != std::string::npos);
    QCOMPARE(idsOf(model->micList()), std::vector<int>({70002, 70001}));
    ZnMic desk;
    QVERIFY(model->getMic(70001, desk));
    QCOMPARE(desk.capVol, 65);
    QCOMPARE(desk.pttMode, 1);
    ZnMic other;
    QVERIFY(model->getMic(70002, other));
    QCOMPARE(other.name, std::string("D81_70002"));
    QCOMPARE(other.pttMode, -1); // the row before it had one; this row has none

    // A rename sends the console's own volumes back and no PTT mode it never had.
    other.name = "Back office";
    QCOMPARE(model->modifyMic(other), 0);
    const Json::Value body = bodyOf(last(sim, "POST ModTalkTerminal"));
    QCOMPARE(body["CapVol"].asString(), std::string("45"));
    QVERIFY(!body.isMember("PttMode"));
    desk.pttMode = 0;
    QCOMPARE(model->modifyMic(desk), 0);
    QCOMPARE(bodyOf(last(sim, "POST ModTalkTerminal"))["PttMode"].asString(), std::string("0"));

    QCOMPARE(model->requestMicList(), 0);
    QVERIFY(model->getMic(70002, other));
    QCOMPARE(other.name, std::string("Back office"));
    QCOMPARE(other.capVol, 45);
    QVERIFY(model->getMic(70001, desk));
    QCOMPARE(desk.pttMode, 0);
}

void TstConsoleSim::dsk81OneConsoleAndRefusals()
{
    ZnSimServer& sim = m_session->sim;
    ZnMicListMgr* model = ZnMicListMgr::instance();
    QCOMPARE(model->requestMicList(), 0);
    sim.withData([](ZnSimData& d) {
        for (Json::Value& r : d.table("dsk81")) {
            if (r["terminalId"].asString() == "70001")
                r["name"] = "Desk & <co>";
        }
    });
    QSignalSpy changed(model, SIGNAL(micChanged(int)));
    QCOMPARE(model->requestMic(m_session->centre.get(), 70001), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 70001);
    ZnMic desk;
    QVERIFY(model->getMic(70001, desk));
    QCOMPARE(desk.name, std::string("Desk & <co>"));
    QCOMPARE(desk.capVol, 65);
    const int asked = sim.count("GET");
    QCOMPARE(model->requestMic(m_session->centre.get(), 4242), -1);
    QCOMPARE(sim.count("GET"), asked);

    sim.addRule(ZnSimRule::make("POST ModTalkTerminal", ZnSimRule::Fail, "", 0, 1));
    ZnMic renamed = desk;
    renamed.name = "Never";
    QCOMPARE(model->modifyMic(renamed), 1);
    QVERIFY(model->getMic(70001, desk));
    QCOMPARE(desk.name, std::string("Desk & <co>"));

    sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "", 0, 1));
    QCOMPARE(model->deleteMic(desk), 1);
    QVERIFY(model->getMic(70001, desk));
    QCOMPARE(model->deleteMic(desk), 0);
    QVERIFY(!model->getMic(70001, desk));
    QCOMPARE(bodyOf(last(sim, "POST RemoveDevice"))["Type"].asString(), std::string("3"));
}

void TstConsoleSim::dsk81BooksPerConsole()
{
    ZnSimServer& sim = m_session->sim;
    ZnMicListMgr* model = ZnMicListMgr::instance();
    sim.withData([](ZnSimData& d) {
        Json::Value r(Json::objectValue);
        r["terminalId"] = "70002";
        r["monitorId"] = "60001";
        r["monitorType"] = "4";
        r["orderId"] = "1";
        d.addRow("d81monitor", r);
    });
    BookRequest request;
    request.requestType = 272;
    request.terminalId = 70001;
    QCOMPARE(model->requestMicBooks(&request), 0);
    std::list<BookEntry> book;
    QVERIFY(model->monitorList(70001, book));
    QCOMPARE(int(book.size()), 1);
    QCOMPARE(book.front().itemId, 10001);
    QCOMPARE(book.front().itemType, 6);

    // The dialog of 70001 writes its region book; 70002's answer arrives in between.
    BookRequest change;
    change.requestType = 277;
    change.terminalId = 70001;
    change.text = "2 1";
    QCOMPARE(model->setMicBooks(&change), 0);
    QCOMPARE(bodyOf(last(sim, "POST D81BroadBook"))["RegionId"].asString(), std::string("2 1"));
    request.terminalId = 70002;
    QCOMPARE(model->requestMicBooks(&request), 0);
    QVERIFY(!model->monitorList(70001, book));
    QVERIFY(book.empty());
    QVERIFY(model->monitorList(70002, book));
    QCOMPARE(book.front().itemId, 60001);

    request.requestType = 276;
    request.terminalId = 70001;
    QCOMPARE(model->requestMicBooks(&request), 0);
    QVERIFY(model->regionList(70001, book));
    std::vector<int> regions;
    for (const BookEntry& e : book)
        regions.push_back(e.itemId);
    QCOMPARE(regions, std::vector<int>({2, 1}));

    change.requestType = 273;
    change.text = "Dsk72_50001 IpAmp_10001";
    QCOMPARE(model->setMicBooks(&change), 0);
    const Json::Value monitors = bodyOf(last(sim, "POST D81MonitorBook"));
    QCOMPARE(monitors["Monitor"].asString(), change.text);
    QCOMPARE(monitors["Action"].asString(), std::string("Mod"));

    change.requestType = 275;
    change.text = "3";
    QCOMPARE(model->setMicBooks(&change), 0);
    request.requestType = 274;
    QCOMPARE(model->requestMicBooks(&request), 0);
    QVERIFY(model->sourceList(70001, book));
    QCOMPARE(book.front().itemId, 3);
    QCOMPARE(book.front().itemType, 0);

    request.requestType = 269;
    QCOMPARE(model->requestMicBooks(&request), 0);
    const std::list<ZnMic> players = model->playTermList();
    QVERIFY(!players.empty());
    QVERIFY(std::is_sorted(players.begin(), players.end(),
                           [](const ZnMic& a, const ZnMic& b) { return a.id < b.id; }));
    // The nameless amplifier is named after its extension.
    QVERIFY(std::any_of(players.begin(), players.end(), [](const ZnMic& m) { return m.name == "810003_10003"; }));

    // A refused change is reported as such and sent once.
    sim.addRule(ZnSimRule::make("POST D81SoundSource", ZnSimRule::Fail, "", 0, 1));
    const int posts = sim.count("POST D81SoundSource");
    QCOMPARE(model->setMicBooks(&change), 1);
    QCOMPARE(sim.count("POST D81SoundSource"), posts + 1);
}

QTEST_MAIN(TstConsoleSim)
#include "tst_consolesim.moc"
