#include "SimSession.h"
#include "ZnApi.h"
#include "ZnD82.h"
#include "ZnManualClock.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnTerminal.h"

#include <QTimer>
#include <QtTest>

namespace {
// Logs in with the test clock installed: the login goes out once a second has passed.
bool loginOnClock(SimSession& s, ZnManualClock& clock)
{
    s.connect();
    if (!SimSession::spinUntil([&] { return s.sim.acceptedCount() > 0; }))
        return false;
    clock.advance(1);
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
}

class TstRequestExchange : public QObject
{
    Q_OBJECT
    SimSession m_s; // shared by the cases without a session of their own

private slots:
    void initTestCase() { QVERIFY(m_s.login()); }
    void cleanup() { m_s.sim.clearRules(); }

    void answeredRequestsGiveZeroWithFreshCSeqs()
    {
        QCOMPARE(m_s.centre->getPlayTerminalList(), 0);
        QCOMPARE(m_s.centre->getD82List(), 0);
        ZnMic mic;
        mic.id = 50001;
        QCOMPARE(apiGetD72ButtonCalls(m_s.centre.get(), &mic), 0);

        std::vector<int> cseqs;
        for (const ZnSimRequest& r : m_s.sim.requests()) {
            if (r.method == "GET")
                cseqs.push_back(r.cseq);
        }
        QCOMPARE(int(cseqs.size()), 3);
        // The play-terminal list takes a number of its own like every other request.
        QVERIFY(cseqs[0] < cseqs[1] && cseqs[1] < cseqs[2]);
        QCOMPARE(m_s.centre->pendingCount(), 0);
    }

    void refusalGivesOne()
    {
        m_s.sim.addRule(ZnSimRule::make("POST ModTalkTerminal", ZnSimRule::Fail, "no such terminal", 0, 1));
        ZnD82 device;
        device.id = 80001;
        QCOMPARE(m_s.centre->modifyD82(device), 1);
        QCOMPARE(m_s.centre->modifyD82(device), 0);
        // The simulator refuses a change of a terminal it does not have.
        device.id = 99;
        QCOMPARE(m_s.centre->modifyD82(device), 1);
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

    void stoppedConnectionGivesFour()
    {
        // Before any connection there is no socket to send on.
        QCOMPARE(ZnManageCenter().getD82List(), 4);

        SimSession s;
        QVERIFY(s.login());
        // A request waiting when the server closes mid-message: a loss, and every later request 4.
        const int losses = SimSession::losses();
        s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::CloseMidMessage));
        QCOMPARE(s.centre->getD82List(), 4);
        QVERIFY(s.waitState(ZnNetManage::Stopped));
        QVERIFY(SimSession::spinUntil([&] { return SimSession::losses() == losses + 1; }));
        QCOMPARE(s.centre->getTtsList(), 4);
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
        QTest::newRow("unknown") << QStringLiteral("D83") << 31;
        QTest::newRow("empty") << QStringLiteral("") << 32;
    }

    void typeCodesMatchWholeAndExactly()
    {
        QFETCH(QString, code);
        QTEST(terminalTypeIndex(code.toStdString()), "index");
    }
};

QTEST_GUILESS_MAIN(TstRequestExchange)
#include "tst_requestexchange.moc"
