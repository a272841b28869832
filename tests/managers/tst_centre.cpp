// The centre against the simulated server: the outcome of each request, and how
// what the server sends is handed on (answers and failures to every manager in
// slot order, pushes to the slots in order until one takes the key).
#include "ProbeManage.h"
#include "SimSession.h"
#include "ZnApi.h"
#include "ZnD82.h"
#include "ZnManualClock.h"
#include "ZnMgrMsg.h"
#include "ZnMicBtnCall.h"
#include "ZnTerminal.h"

#include <QTimer>
#include <QtTest>

namespace {
// Logs in with the test clock installed, which stays at the second of the login.
bool loginOnClock(SimSession& s, ZnManualClock&)
{
    s.connect();
    return s.waitState(ZnNetManage::LoggedIn);
}

// Moves the test clock once, from inside the GUI thread's wait for the answer: the
// first pass of that wait after the server has the request (its start time is taken).
void advanceInWait(SimSession& s, ZnManualClock& clock, int64_t seconds, const std::string& label)
{
    auto* mover = new QTimer;
    const int before = s.sim.count(label);
    QObject::connect(mover, &QTimer::timeout, [=, &s, &clock] {
        if (s.sim.count(label) > before) {
            clock.advance(seconds);
            mover->deleteLater();
            mover->stop();
        }
    });
    mover->start(0);
}

// What the conflict and region callbacks were handed (on the receive thread).
std::mutex gMutex;
std::vector<std::string> gCalls;
void called(const std::string& call)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gCalls.push_back(call);
}
std::vector<std::string> calls()
{
    std::lock_guard<std::mutex> lock(gMutex);
    return gCalls;
}
} // namespace

class TstCentre : public QObject
{
    Q_OBJECT
    // The shared session runs on a clock that stays at the second of its login: on
    // the system clock its first keep-alive went out about a second after the login,
    // somewhere in the cases below (its answer is handed to every manager, and its
    // entry pends), and a stall of the machine could time out a request at 3 s.
    ZnManualClock m_clock;
    SimSession m_s; // shared by the cases without a session of their own

private slots:
    void initTestCase() { QVERIFY(m_s.login()); }
    void cleanup() { m_s.sim.clearRules(); }

    void answersGiveZeroAndRefusalsOne()
    {
        QCOMPARE(m_s.centre->getPlayTerminalList(), 0);
        QCOMPARE(m_s.centre->getD82List(), 0);
        // The play-terminal list takes a number of its own like every other request.
        const std::vector<ZnSimRequest> asked = m_s.requests("GET");
        QCOMPARE(int(asked.size()), 2);
        QVERIFY(asked[0].cseq < asked[1].cseq);
        QCOMPARE(m_s.centre->pendingCount(), 0);

        m_s.sim.addRule(ZnSimRule::make("POST ModTalkTerminal", ZnSimRule::Fail, "no such terminal", 0, 1));
        ZnD82 device;
        device.id = 80001;
        QCOMPARE(m_s.centre->modifyD82(device), 1);
        QCOMPARE(m_s.centre->modifyD82(device), 0);
    }

    void missingCentreOrManagerGivesMinusOne()
    {
        QCOMPARE(apiGetD82List(nullptr), -1);
        QCOMPARE(apiGetPlayTerminal(m_s.centre.get(), nullptr), -1);
        const int asked = m_s.sim.count("GET SqlConfig/D82List");
        ZnBaseMgr* d82 = m_s.centre->swapSlot(ZnManageCenter::D82Slot, nullptr);
        QCOMPARE(apiGetD82List(m_s.centre.get()), -1);
        QCOMPARE(m_s.sim.count("GET SqlConfig/D82List"), asked);
        m_s.centre->swapSlot(ZnManageCenter::D82Slot, d82);
        // Arguments that make no request: an operation outside the table, no button calls.
        QCOMPARE(apiSaveRegion(m_s.centre.get(), nullptr, 4), -1);
        std::vector<ZnMicBtnCall> none;
        QCOMPARE(apiSetD72ButtonCall(m_s.centre.get(), &none), -1);
        QCOMPARE(apiGetD82List(m_s.centre.get()), 0);
    }

    void requestStartedWithinAWaitKeepsBothOutcomes()
    {
        // While the GUI waits for a refusal that comes late, a timer of the GUI starts
        // another request; it waits for the line, then gets its own answer.
        m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::Withhold, "", 0, 1));
        int inner = -9;
        // The refusal is sent from inside the inner request's wait.
        auto refuse = [this] {
            QVERIFY(SimSession::spinUntil([&] { return m_s.sim.count("GET SqlConfig/D82List") > 0; }));
            for (const ZnSimRequest& r : m_s.sim.requests()) {
                if (r.label() == "GET SqlConfig/D82List")
                    m_s.sim.pushRaw(ZnSimServer::answer(false, r.cseq, "busy"));
            }
        };
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, refuse);
            inner = m_s.centre->getTtsList();
        });
        QCOMPARE(m_s.centre->getD82List(), 1);
        QCOMPARE(inner, 0);
    }

    void serverTimeIsTakenFromItsOwnAnswer()
    {
        QCOMPARE(m_s.centre->systemTime(), std::string("."));
        m_s.sim.setSystemTime("2026-12-06 21:00:05");
        QCOMPARE(apiGetSystemTime(m_s.centre.get()), 0);
        QVERIFY(SimSession::spinUntil([&] { return m_s.centre->systemTime() == "2026-12-06 21:00:05"; }));
        QVERIFY(m_s.sim.requests().back().raw.find("GET DBP/1.0\r\nCSeq:") == 0);

        // Another stray answer carrying a time does not set it.
        m_s.sim.pushRaw(ZnSimServer::answer(true, 9999, "{\"SystemTime\":\"1999-01-01 00:00:00\"}\n"));
        QVERIFY(m_s.settle());
        QCOMPARE(m_s.centre->systemTime(), std::string("2026-12-06 21:00:05"));

        m_s.sim.setSystemTime("");
        apiGetSystemTime(m_s.centre.get());
        QVERIFY(SimSession::spinUntil([&] { return m_s.centre->systemTime() == "----"; }));
        QCOMPARE(m_s.centre->pendingCount(), 0);
    }

    void handedOnInSlotOrder()
    {
        ZnManageCenter& centre = *m_s.centre;
        const auto conflictSeen = [](int code, const char* body) {
            SimSession::onConflict(code, body); // keeps settle() working
            if (std::string(body).compare(0, 7, "marker ") != 0)
                called("conflict " + std::to_string(code) + ":" + body);
        };
        QCOMPARE(apiSetConflictCallback(&centre, conflictSeen, 0), 0);
        const auto regionSeen = [](int code, void* id) {
            called("region " + std::to_string(code) + " " + std::to_string(*static_cast<int*>(id)));
        };
        QCOMPARE(apiSetRegionCallback(&centre, regionSeen), 0);
        Probes probes(centre);
        probes.at(ZnManageCenter::TerminalSlot);
        ProbeManage& log = probes.at(ZnManageCenter::LogSlot);
        probes.at(ZnManageCenter::TtsSlot).acceptKey = "SqlConfig_tts71";
        ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
        ProbeManage& last = probes.at(ZnManageCenter::SchemeSlot);
        d82.acceptKey = last.acceptKey = "SqlConfig_d82";

        // Answers and failures reach every manager.
        QCOMPARE(centre.getD82List(), 0);
        m_s.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Fail, "table locked", 0, 1));
        QCOMPARE(centre.getLogPage(5, 0), 1);
        // A push goes to the slots until one takes its key; a blank after the colon is
        // part of the value, so that key matches no manager. A SET with a key is a push
        // under that key (one without goes to the SET hooks).
        m_s.sim.pushPost("SqlConfig", "d82", "[]");
        m_s.sim.pushRaw("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype: d82\r\nContent-Length:2\r\n\r\n[]");
        m_s.sim.pushSet("SqlConfig", "tts71", "[]");
        // A conflict goes to its callback only; a deletion to every manager, and the
        // region manager acts on its own type alone.
        const std::string conflict = "[{\"terminalId\":\"7\",\"name\":\"A\",\"ip\":\"1.2.3.4\"}]";
        m_s.sim.pushPost("TerminalConflict", "", conflict);
        m_s.sim.pushDelete("Region", 12);
        m_s.sim.pushDelete("region", 13);
        QVERIFY(m_s.settle());
        // Each reaches the probes in slot order; a push stops at the one that takes its key.
        std::vector<std::string> want;
        for (const char* call : {"answer 278", "failed 132", "post SqlConfig_d82", "post SqlConfig_ d82",
                                 "post SqlConfig_tts71", "delete Region 12", "delete region 13"}) {
            for (const char* slot : {"slot1", "slot8", "slot11", "slot17", "slot19"}) {
                want.push_back(std::string(slot) + ": " + call);
                if ((std::string(call) == "post SqlConfig_d82" && std::string(slot) == "slot17")
                    || (std::string(call) == "post SqlConfig_tts71" && std::string(slot) == "slot11"))
                    break;
            }
        }
        // Said whole on a mismatch, so a rare reordering can be read from the log.
        const std::vector<std::string> got = probes.journal();
        std::string gotText;
        for (const std::string& line : got)
            gotText += line + "\n";
        QVERIFY2(got == want, gotText.c_str());
        QCOMPARE(calls(), (std::vector<std::string>{"conflict 0:" + conflict, "region 143 12"}));
        QVERIFY(last.bodiesOf("answer 278").back().find("\"terminalId\":\"80001\"") != std::string::npos);
        QCOMPARE(log.bodiesOf("failed 132"), std::vector<std::string>{"table locked"});
    }

    void everyByteOnItsOwn()
    {
        Probes probes(*m_s.centre);
        ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
        d82.acceptKey = "SqlConfig_d82";

        // Requests still complete and pushes arrive whole (cutting is the framer's
        // and fuzzed; this is the receive loop feeding it).
        m_s.sim.setSplit(1, 0);
        QCOMPARE(m_s.centre->getD82List(), 0);
        m_s.sim.pushPost("SqlConfig", "d82", "[{\"name\":\"split\"}]");
        QVERIFY(SimSession::spinUntil([&] { return d82.saw("post SqlConfig_d82"); }));
        m_s.sim.setSplit(0);
        QCOMPARE(d82.bodiesOf("post"), std::vector<std::string>{"[{\"name\":\"split\"}]"});
    }

    void badInputNeverEndsTheConnection()
    {
        Probes probes(*m_s.centre);
        ProbeManage& first = probes.at(ZnManageCenter::TerminalSlot);
        ProbeManage& d82 = probes.at(ZnManageCenter::D82Slot);
        first.throwOnPost = true;
        d82.acceptKey = "SqlConfig_d82";

        m_s.sim.pushPost("SqlConfig", "d82", "{not json");
        m_s.sim.pushRaw("HELLO DBP/9.9\r\nContent-Length:3\r\n\r\nxyz");
        m_s.sim.pushPost("SqlConfig", "dsk72", "[1,2,{\"terminalId\":[]}]");
        m_s.sim.pushDelete("D72", -5);
        m_s.sim.pushRaw(ZnSimServer::answer(true, 100007, "[{\"terminalId\":\"5\"}]")); // nobody waits for it
        m_s.sim.pushPost("SqlConfig", "d82", "[]");
        // A manager that throws is passed by; the later ones are still offered each push
        // (the D72 manager in slot 12 takes "SqlConfig_dsk72" before slot 17 sees it).
        QVERIFY(SimSession::spinUntil([&] { return d82.bodiesOf("post").size() == 2; }));
        QCOMPARE(d82.bodiesOf("post SqlConfig_d82"), (std::vector<std::string>{"{not json", "[]"}));
        QCOMPARE(m_s.centre->state(), int(ZnNetManage::LoggedIn));
        QCOMPARE(m_s.centre->getTtsList(), 0);
    }

    void noAnswerGivesThreeAndTheLateAnswerIsDropped()
    {
        ZnManualClock clock;
        SimSession s;
        QVERIFY(loginOnClock(s, clock));
        // Two whole seconds are not enough for a time-out; three are.
        s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::Delay, "", 300, 1));
        advanceInWait(s, clock, 2, "GET SqlConfig/D82List");
        QCOMPARE(s.centre->getD82List(), 0);
        s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::Withhold, "", 0, 1));
        advanceInWait(s, clock, 3, "GET SqlConfig/D82List");
        QCOMPARE(s.centre->getD82List(), 3);
        QCOMPARE(s.centre->pendingCount(), 0);

        // The late answer finds no entry; the next request gets its own outcome.
        s.sim.releaseHeld();
        s.sim.addRule(ZnSimRule::make("GET SqlConfig/TtsList", ZnSimRule::Fail, "", 0, 1));
        QCOMPARE(s.centre->getTtsList(), 1);
        QCOMPARE(s.centre->getTtsList(), 0);
    }

    // A box the answer opens runs inside the GUI thread's wait for as long as the
    // operator reads it; the answer that came meanwhile is the outcome, however
    // far the clock moved. Only a request still unanswered times out.
    void answerOutlastsABoxOpenInTheWait_data()
    {
        QTest::addColumn<int>("rule");  // -1: answered "200 OK"
        QTest::addColumn<bool>("line"); // an unanswered keep-alive holds the line first
        QTest::addColumn<int>("result");
        QTest::newRow("refusal read past the time-out: 1") << int(ZnSimRule::Fail) << false << 1;
        QTest::newRow("answer read past the time-out: 0") << -1 << false << 0;
        QTest::newRow("no answer, a box open past the time-out: 3") << int(ZnSimRule::Withhold) << false << 3;
        QTest::newRow("line freed while a box is open past its wait: sent, 0") << -1 << true << 0;
    }
    void answerOutlastsABoxOpenInTheWait()
    {
        QFETCH(int, rule);
        QFETCH(bool, line);
        ZnManualClock clock;
        SimSession s;
        QVERIFY(loginOnClock(s, clock));
        const std::string label = "GET SqlConfig/D82List";
        if (rule >= 0)
            s.sim.addRule(ZnSimRule::make(label, ZnSimRule::Action(rule), "busy", 0, 1));
        if (line) {
            s.sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold, "", 0, 1));
            clock.advance(21);
            QVERIFY(SimSession::spinUntil([&] { return s.centre->pendingCount() == 1; }));
        }
        const int before = s.sim.count(label);
        // The box: opened from the wait, closed once what it waits for is in and
        // five seconds have passed.
        QTimer::singleShot(0, [&] {
            if (line) {
                s.sim.releaseHeld();
                QVERIFY(SimSession::spinUntil([&] { return s.centre->pendingCount() == 0; }));
            } else if (rule == ZnSimRule::Withhold) {
                QVERIFY(SimSession::spinUntil([&] { return s.sim.count(label) > before; }));
            } else {
                QVERIFY(SimSession::spinUntil([] { return ZnMgrMsg::instance()->done(); }));
            }
            clock.advance(5);
        });
        QTEST(s.centre->getD82List(), "result");
        QCOMPARE(s.sim.count(label), before + 1);
    }

    void keepAliveAnswerCannotTurnARefusalIntoSuccess()
    {
        ZnManualClock clock;
        SimSession s;
        QVERIFY(loginOnClock(s, clock));
        // While the GUI waits, a keep-alive goes out and is answered at once; the
        // refusal of the GUI's own request comes after it.
        s.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Withhold, "", 0, 1));
        const int onlineBefore = s.sim.count("ONLINE");
        // The keep-alive falls due in the wait; the refusal follows its answer on the wire.
        advanceInWait(s, clock, 1, "POST IpAmpSet");
        int postCSeq = -1;
        s.sim.setRequestHook([&](const ZnSimRequest& r) {
            if (r.method == "POST")
                postCSeq = r.cseq;
            return r.method == "ONLINE" ? ZnSimServer::answer(false, postCSeq, "refused") : std::string();
        });
        ZnTerminal terminal;
        terminal.id = 10001;
        QCOMPARE(s.centre->modifyPlayTerminal(terminal), 1);
        QCOMPARE(s.sim.count("ONLINE"), onlineBefore + 1);
    }

    void typeCodesMatchWholeAndExactly_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("index");
        QTest::newRow("first") << QStringLiteral("01") << 0;
        QTest::newRow("mixed case entry") << QStringLiteral("Dsk81") << 6;
        QTest::newRow("other case") << QStringLiteral("DSK81") << 31;
        QTest::newRow("prefix of a longer code") << QStringLiteral("NDX") << 19;
        QTest::newRow("longer than an entry") << QStringLiteral("IP ") << 31;
        QTest::newRow("last named") << QStringLiteral("CL") << 30;
        QTest::newRow("placeholder") << QStringLiteral("--") << 31;
        QTest::newRow("empty") << QStringLiteral("") << 32;
    }

    void typeCodesMatchWholeAndExactly()
    {
        QFETCH(QString, code);
        QTEST(terminalTypeIndex(code.toStdString()), "index");
    }
};

QTEST_GUILESS_MAIN(TstCentre)
#include "tst_centre.moc"
