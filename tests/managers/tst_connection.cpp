#include "SimSession.h"
#include "ZnManualClock.h"

#include <QtTest>

class TstConnection : public QObject
{
    Q_OBJECT

private slots:
    void loginDigestIsCheckedAndPasswordNeverSent();
    void refusedLoginGivesSixWithoutLossReport();
    void unansweredLoginIsResentAndGivesUp();
    void lateLoginAnswerCountsAfterTheResend();
    void keepAliveCadenceAndLossAfterSilence();
    void serverClosingIsALossAtOnce();
    void refusedConnectIsAFailedConnect();
    void newAttemptStartsFromAFreshState();
    void startWhileRunningIsRefused();
};

void TstConnection::loginDigestIsCheckedAndPasswordNeverSent()
{
    SimSession s;
    s.sim.addUser("night", "Wh1sper-42");
    QVERIFY(s.login("night", "Wh1sper-42"));
    QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::Accepted));

    const std::vector<ZnSimRequest> requests = s.sim.requests();
    QVERIFY(!requests.empty());
    QCOMPARE(QString::fromStdString(requests.front().method), QString("LOGIN"));
    QCOMPARE(QString::fromStdString(requests.front().packetType), QString("TalkManagerLogin"));
    QVERIFY(requests.front().body.find("\"Name\":\"night\"") != std::string::npos);
    QVERIFY(s.sim.receivedBytes().find("Wh1sper-42") == std::string::npos);
}

void TstConnection::refusedLoginGivesSixWithoutLossReport()
{
    SimSession s;
    const int losses = SimSession::losses();
    s.connect("admin", "wrong");
    QVERIFY(s.waitState(ZnNetManage::Stopped));
    QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::Refused));
    QCOMPARE(SimSession::losses().load(), losses);

    // A password too long to key the digest is refused the same way, unsent.
    const int logins = s.sim.count("LOGIN");
    s.connect("admin", std::string(65, 'p'));
    QVERIFY(s.waitState(ZnNetManage::Stopped));
    QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::Refused));
    QCOMPARE(s.sim.count("LOGIN"), logins);

    // The wrong digest never counted as a login for the simulator either.
    s.connect("admin", "admin");
    QVERIFY(s.waitState(ZnNetManage::LoggedIn));
    QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::Accepted));
}

void TstConnection::unansweredLoginIsResentAndGivesUp()
{
    ZnManualClock clock;
    SimSession s;
    const int losses = SimSession::losses();
    s.sim.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold));
    s.connect();
    // The login goes out in the first second after the connection.
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.acceptedCount() == 1; }));
    QTest::qWait(30);
    QCOMPARE(s.sim.count("LOGIN"), 0);
    clock.advance(1);
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("LOGIN") == 1; }));

    // Not again within 20 s; again once 20 s have passed.
    clock.advance(19);
    QTest::qWait(50);
    QCOMPARE(s.sim.count("LOGIN"), 1);
    clock.advance(2);
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("LOGIN") == 2; }));
    clock.advance(21);
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("LOGIN") == 3; }));
    QCOMPARE(s.centre->state(), int(ZnNetManage::Running));

    // 300 s after the start of the attempt it gives up, without a loss report.
    clock.advance(300 - 43 + 1);
    QVERIFY(s.waitState(ZnNetManage::Stopped));
    QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::NoAnswerYet));
    QCOMPARE(SimSession::losses().load(), losses);
}

void TstConnection::lateLoginAnswerCountsAfterTheResend()
{
    ZnManualClock clock;
    SimSession s;
    s.sim.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold, "", 0, 1));
    s.connect();
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.acceptedCount() == 1; }));
    QTest::qWait(30);
    clock.advance(1);
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("LOGIN") == 1; }));
    // Sent again after 20 s and answered: logged in, with the first login still pending.
    clock.advance(21);
    QVERIFY(s.waitState(ZnNetManage::LoggedIn));
    QCOMPARE(s.sim.count("LOGIN"), 2);
    QCOMPARE(s.centre->pendingCount(), 1);
    // The late answer to the first one is taken as well and frees the line.
    s.sim.releaseHeld();
    QVERIFY(ZnSimServer::waitFor([&] { return s.centre->pendingCount() == 0; }));
    QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::Accepted));
    QCOMPARE(s.centre->getTtsList(), 0);
}

void TstConnection::keepAliveCadenceAndLossAfterSilence()
{
    ZnManualClock clock;
    SimSession s;
    const int losses = SimSession::losses();
    s.connect();
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.acceptedCount() == 1; }));
    QTest::qWait(30);
    clock.advance(1);
    QVERIFY(s.waitState(ZnNetManage::LoggedIn));
    QTest::qWait(50);
    QCOMPARE(s.sim.count("ONLINE"), 0);

    // The first keep-alive follows the login within a second, then one every 20 s.
    clock.advance(1);
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("ONLINE") == 1; }));
    clock.advance(19);
    QTest::qWait(50);
    QCOMPARE(s.sim.count("ONLINE"), 1);
    clock.advance(2);
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("ONLINE") == 2; }));
    const std::string raw = s.sim.requests().back().raw;
    QVERIFY(raw.find("ONLINE DBP/1.0\r\nCSeq: ") == 0);

    // Answered keep-alives keep the line; 300 s of silence lose it.
    s.sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold));
    for (int i = 0; i < 14; ++i) {
        clock.advance(21);
        QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("ONLINE") == 3 + i; }));
    }
    QCOMPARE(s.centre->state(), int(ZnNetManage::LoggedIn));
    clock.advance(21);
    QVERIFY(s.waitState(ZnNetManage::Stopped));
    QVERIFY(ZnSimServer::waitFor([&] { return SimSession::losses() == losses + 1; }));
}

void TstConnection::serverClosingIsALossAtOnce()
{
    SimSession s;
    const int losses = SimSession::losses();
    QVERIFY(s.login());
    s.sim.closeClients();
    // Noticed at the close, not by the 300 s rule (the test clock never moves).
    QVERIFY(s.waitState(ZnNetManage::Stopped, 2000));
    QVERIFY(ZnSimServer::waitFor([&] { return SimSession::losses() == losses + 1; }));
    QCOMPARE(s.centre->getD82List(), int(ZnNetManage::ResultStopped));
}

void TstConnection::refusedConnectIsAFailedConnect()
{
    SimSession s;
    const int port = s.sim.port();
    s.sim.stop();
    const int losses = SimSession::losses();
    s.connect("admin", "admin", port);
    // A refusal ends the attempt; it is not taken for a connection that then
    // waits out the 300 s rule.
    QVERIFY(s.waitState(ZnNetManage::Stopped, 2000));
    QVERIFY(ZnSimServer::waitFor([&] { return SimSession::losses() == losses + 1; }));
    QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::NoAnswerYet));
}

void TstConnection::newAttemptStartsFromAFreshState()
{
    SimSession s;
    // The first attempt leaves a login entry pending and half a message buffered.
    s.sim.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold));
    s.connect();
    QVERIFY(ZnSimServer::waitFor([&] { return s.sim.count("LOGIN") == 1; }));
    s.sim.pushRaw("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nContent-Length:50\r\n\r\n[{\"ter");
    QTest::qWait(50);
    s.sim.closeClients();
    QVERIFY(s.waitState(ZnNetManage::Stopped));

    s.sim.clearRules();
    QVERIFY(s.login());
    QCOMPARE(s.centre->getD82List(), int(ZnNetManage::ResultOk));
    QCOMPARE(s.centre->pendingCount(), 0);
}

void TstConnection::startWhileRunningIsRefused()
{
    SimSession s;
    QVERIFY(s.login());
    QCOMPARE(s.centre->startReceiveThread(), -1);
    QCOMPARE(s.sim.acceptedCount(), 1);
    QCOMPARE(s.centre->getTtsList(), int(ZnNetManage::ResultOk));
}

QTEST_GUILESS_MAIN(TstConnection)
#include "tst_connection.moc"
