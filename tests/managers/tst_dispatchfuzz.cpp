#include "SimSession.h"

#include <QtTest>

#include <random>

namespace {
// Keys the managers take, and the top elements their XML readers know.
const char* const kKeys[][2] = {
    {"SqlConfig", "ipamp"}, {"SqlConfig", "capd73"}, {"SqlConfig", "firealarm"}, {"SqlConfig", "tts71"},
    {"SqlConfig", "dsk72"}, {"SqlConfig", "dsk74"}, {"SqlConfig", "dsk81"}, {"SqlConfig", "d82"},
    {"SqlConfig", "soundsource"}, {"SqlConfig", "timerplan"}, {"Task", ""}, {"PlanTask", ""}, {"", ""}};
const char* const kDeleteTypes[] = {"D72", "D74", "Region", "MicGroup", "Tts", "CAP", "FAlarm", "Task",
                                    "PlanTask", "SchemeData", "AmpSchemeData", "User", "01", ""};
const char* const kBodies[] = {
    "[{\"terminalId\":\"5\",\"name\":\"\",\"type\":\"6\",\"status\":\"1\",\"broVol\":\"60\"}]",
    "[{\"terminalId\":5,\"name\":null,\"broVol\":[1],\"pttMode\":{\"a\":1},\"power\":true}]",
    "[{\"sourceId\":\"3\",\"terminalId\":\"1  2 x\",\"executeTime\":\"a#$%1!!!#$%!!!b#$%c#$%d\"}]",
    "[{\"timerplanId\":\"-7\",\"enable\":\"99999999999999999999\",\"name\":\"\"}]",
    "{\"terminalId\":\"1\"}", "[1,2,3]", "[[]]", "\"text\"", "[", "", "null", "[{}]",
    "<?xml version=\"1.0\"?><TaskList><Task id=\"1\"><exec><e i=\"5\" n=\"x\"/></exec><files><f n=\"/a/\"/></files>"
    "<terminals vol=\"70000\"><t i=\"0\" vol=\"3\"/></terminals></Task></TaskList>",
    "<?xml version=\"1.0\"?><Task id=\"2\"/>", "<?xml version=\"1.0\"?><LevelList><Level id=\"70000\" lv=\"-1\"/></LevelList>",
    "<?xml version=\"1.0\"?><Scheme Id=\"x\" Status=\"9\" SchemeName=\"s\"/>",
    "<?xml version=\"1.0\"?><MicList><Mic/></MicList>", "<?xml version=\"1.0\"?><UserList><User lv=\"250\"/>",
    "<?xml version=\"1.0\"?><BroadcastList><Broadcast id=\"1\"><Region><r id=\"4\"/></Region></Broadcast></BroadcastList>",
    "<<<<>>>>", "<?xml?><CapList><Cap/></CapList>"};

std::string mutate(std::string body, std::mt19937& rng)
{
    const int edits = static_cast<int>(rng() % 4);
    for (int i = 0; i < edits && !body.empty(); ++i) {
        const size_t at = rng() % body.size();
        switch (rng() % 3) {
        case 0:
            body[at] = static_cast<char>(rng() % 256);
            break;
        case 1:
            body.erase(at, 1 + rng() % 4);
            break;
        default:
            body.insert(at, 1, "{}[]<>\",:\\0"[rng() % 11]);
            break;
        }
    }
    return body;
}
}

// Random pushes of every kind through the real managers: the receive loop and the
// connection must survive all of them.
class TstDispatchFuzz : public QObject
{
    Q_OBJECT

private slots:
    void randomPushesNeverEndTheConnection();
};

void TstDispatchFuzz::randomPushesNeverEndTheConnection()
{
    SimSession s;
    QVERIFY(s.login());
    std::mt19937 rng(20261206);
    const int kBodyCount = sizeof(kBodies) / sizeof(kBodies[0]);
    const int kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);
    const int kTypeCount = sizeof(kDeleteTypes) / sizeof(kDeleteTypes[0]);
    for (int round = 0; round < 10; ++round) {
        std::string burst;
        for (int i = 0; i < 60; ++i) {
            const std::string body = mutate(kBodies[rng() % kBodyCount], rng);
            const auto& key = kKeys[rng() % kKeyCount];
            switch (rng() % 5) {
            case 0:
            case 1:
                burst += ZnSimServer::message("POST DBP/1.0", key[0], key[1], body);
                break;
            case 2:
                burst += ZnSimServer::message("SET DBP/1.0", key[0], key[1], body);
                break;
            case 3:
                burst += "DELETE DBP/1.0\r\nPacket-Type:" + std::string(kDeleteTypes[rng() % kTypeCount])
                         + "\r\nId: " + std::to_string(static_cast<int>(rng() % 200) - 20) + "\r\n\r\n";
                break;
            default:
                // Answers nobody waits for, with any CSeq.
                burst += ZnSimServer::answer(rng() % 2, 100000 + static_cast<int>(rng() % 50), body);
                break;
            }
        }
        s.sim.pushRaw(burst);
        QCOMPARE(s.centre->getTtsList(), 0);
        QCOMPARE(s.centre->state(), int(ZnNetManage::LoggedIn));
    }
}

QTEST_GUILESS_MAIN(TstDispatchFuzz)
#include "tst_dispatchfuzz.moc"
