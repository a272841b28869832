#include "SimSession.h"
#include "ZnManualClock.h"
#include "ZnSimClosedPort.h"

#include <QtTest>

namespace {
// Starts an attempt on the test clock.
bool connectOnClock(SimSession& s)
{
    s.connect();
    return SimSession::spinUntil([&] { return s.sim.acceptedCount() == 1; });
}

// The second marker is read in a later pass of the receive loop than the first, so the
// loop has looked at the moved clock at least once when this returns.
bool ticked(SimSession& s)
{
    return s.settle() && s.settle();
}
}

class TstConnection : public QObject
{
    Q_OBJECT

private slots:
    void loginDigestIsCheckedAndPasswordNeverSent()
    {
        SimSession s;
        s.sim.addUser("night", "Wh1sper-42");
        const int losses = SimSession::losses();
        // A refused login stops the attempt without a loss report.
        s.connect("night", "wrong");
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
        QVERIFY(s.login("night", "Wh1sper-42"));
        QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::Accepted));
        QCOMPARE(s.sim.count("LOGIN TalkManagerLogin"), 2);
        QVERIFY(s.sim.receivedBytes().find("Wh1sper-42") == std::string::npos);
        QCOMPARE(s.centre->startReceiveThread(), -1);
        QCOMPARE(s.sim.acceptedCount(), 3);
    }

    void unansweredLoginIsResentAndGivesUp()
    {
        ZnManualClock clock;
        SimSession s;
        const int losses = SimSession::losses();
        s.sim.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold));
        // The login goes out as soon as the connection is up, before the clock moves.
        QVERIFY(connectOnClock(s));
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("LOGIN") == 1; }));

        // Not again within 20 s; again once 20 s have passed.
        clock.advance(20);
        QVERIFY(ticked(s));
        QCOMPARE(s.sim.count("LOGIN"), 1);
        clock.advance(1);
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("LOGIN") == 2; }));
        clock.advance(21);
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("LOGIN") == 3; }));
        QCOMPARE(s.centre->state(), int(ZnNetManage::Running));

        // 300 s after the start of the attempt it gives up, without a loss report.
        clock.advance(300 - 42 + 1);
        QVERIFY(s.waitState(ZnNetManage::Stopped));
        QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::NoAnswerYet));
        QCOMPARE(SimSession::losses().load(), losses);
    }

    // Only the resent login is answered: the earlier one must not hold the line for
    // the rest of the session (every request would end busy).
    void answeredLoginFreesTheLineOfEarlierOnes()
    {
        ZnManualClock clock;
        SimSession s;
        s.sim.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold, "", 0, 2));
        QVERIFY(connectOnClock(s));
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("LOGIN") == 1; }));
        clock.advance(21);
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("LOGIN") == 2; }));
        clock.advance(21);
        QVERIFY(s.waitState(ZnNetManage::LoggedIn));
        QCOMPARE(s.sim.count("LOGIN"), 3);
        QCOMPARE(s.centre->pendingCount(), 0);
        QCOMPARE(s.centre->getTtsList(), 0);

        // Late answers to the earlier logins change nothing.
        s.sim.releaseHeld();
        QVERIFY(s.settle());
        QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::Accepted));
        QCOMPARE(s.centre->getD82List(), 0);

        // Far past 300 s since the login, with every keep-alive answered: the line stays.
        const int online = s.sim.count("ONLINE");
        for (int i = 1; i <= 15; ++i) {
            clock.advance(21);
            QVERIFY(SimSession::spinUntil([&] { return s.sim.count("ONLINE") == online + i; }));
        }
        QVERIFY(SimSession::spinUntil([&] { return s.centre->pendingCount() == 0; }));
        QCOMPARE(s.centre->state(), int(ZnNetManage::LoggedIn));
    }

    void keepAliveCadenceAndLossAfterSilence()
    {
        ZnManualClock clock;
        SimSession s;
        const int losses = SimSession::losses();
        // No keep-alive is answered: the last sign of the server is the login.
        s.sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold));
        QVERIFY(connectOnClock(s));
        QVERIFY(s.waitState(ZnNetManage::LoggedIn));
        QVERIFY(ticked(s));
        QCOMPARE(s.sim.count("ONLINE"), 0);

        // The first keep-alive follows the login within a second, then one every 20 s.
        clock.advance(1);
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("ONLINE") == 1; }));
        clock.advance(19);
        QVERIFY(ticked(s));
        QCOMPARE(s.sim.count("ONLINE"), 1);
        clock.advance(2);
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("ONLINE") == 2; }));
        QVERIFY(s.sim.requests().back().raw.find("ONLINE DBP/1.0\r\nCSeq: ") == 0);

        // Each keep-alive seen proves a tick that did not give up: 295 s of silence
        // keep the line, 301 s lose it.
        for (int i = 0; i < 13; ++i) {
            clock.advance(21);
            QVERIFY(SimSession::spinUntil([&] { return s.sim.count("ONLINE") == 3 + i; }));
        }
        QCOMPARE(s.centre->state(), int(ZnNetManage::LoggedIn));
        clock.advance(6);
        QVERIFY(s.waitState(ZnNetManage::Stopped));
        QVERIFY(SimSession::spinUntil([&] { return SimSession::losses() == losses + 1; }));
    }

    void closedOrRefusedConnectionIsALossAtOnce()
    {
        // Before any connection there is no socket to send on.
        QCOMPARE(ZnManageCenter().getD82List(), int(ZnNetManage::ResultStopped));
        SimSession s;
        int losses = SimSession::losses();
        QVERIFY(s.login());
        // The server closes in the middle of the answer the GUI waits for: noticed at the
        // close, not by the 300 s rule (the real clock hardly moves); later requests get 4.
        s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::CloseMidMessage));
        QCOMPARE(s.centre->getD82List(), int(ZnNetManage::ResultStopped));
        QVERIFY(s.waitState(ZnNetManage::Stopped, 20000));
        QVERIFY(SimSession::spinUntil([&] { return SimSession::losses() == losses + 1; }, 20000));
        QCOMPARE(s.centre->getTtsList(), int(ZnNetManage::ResultStopped));

        // A refused connect ends the attempt as well; no login was answered.
        ZnSimClosedPort closed;
        QVERIFY(closed.port() > 0);
        losses = SimSession::losses();
        s.connect("admin", "admin", closed.port());
        QVERIFY(s.waitState(ZnNetManage::Stopped, 20000));
        QVERIFY(SimSession::spinUntil([&] { return SimSession::losses() == losses + 1; }, 20000));
        QCOMPARE(s.centre->loginResult(), int(ZnLoginNetHandle::NoAnswerYet));
    }

    void newAttemptStartsFromAFreshState()
    {
        SimSession s;
        // The first attempt leaves a login entry pending and half a message buffered.
        s.sim.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold));
        s.connect();
        QVERIFY(SimSession::spinUntil([&] { return s.sim.count("LOGIN") == 1; }));
        QVERIFY(s.settle());
        s.sim.pushRaw("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nContent-Length:50\r\n\r\n[{\"ter");
        s.sim.closeClients();
        QVERIFY(s.waitState(ZnNetManage::Stopped));

        s.sim.clearRules();
        QVERIFY(s.login());
        QCOMPARE(s.centre->getD82List(), int(ZnNetManage::ResultOk));
        QCOMPARE(s.centre->pendingCount(), 0);
    }

    // A length that cannot be trusted cannot be framed past: the connection ends at
    // once and is reported lost, rather than staying up while answers are swallowed.
    void untrustedLengthEndsTheConnection_data()
    {
        QTest::addColumn<QByteArray>("lengths");
        QTest::addColumn<bool>("kept");
        QTest::newRow("negative length ends it") << QByteArray("Content-Length:-5\r\n") << false;
        QTest::newRow("length without digits ends it") << QByteArray("Content-Length:two\r\n") << false;
        QTest::newRow("two lengths that differ end it")
            << QByteArray("Content-Length:2\r\nContent-Length:67108864\r\n") << false;
        QTest::newRow("length above the limit ends it") << QByteArray("Content-Length:67108865\r\n") << false;
        QTest::newRow("the same length twice keeps it")
            << QByteArray("Content-Length:2\r\nContent-Length: 2\r\n") << true;
    }
    void untrustedLengthEndsTheConnection()
    {
        QFETCH(QByteArray, lengths);
        QFETCH(bool, kept);
        SimSession s;
        QVERIFY(s.login());
        const int losses = SimSession::losses();
        s.sim.pushRaw("POST DBP/1.0\r\nPacket-Type:SqlConfig\r\nPacket-Subtype:x\r\n" + lengths.toStdString()
                      + "\r\n[]");
        if (kept) {
            QVERIFY(s.settle());
            QCOMPARE(s.centre->state(), int(ZnNetManage::LoggedIn));
            QCOMPARE(s.centre->getTtsList(), int(ZnNetManage::ResultOk));
            return;
        }
        QVERIFY(s.waitState(ZnNetManage::Stopped));
        QTRY_COMPARE(SimSession::losses().load(), losses + 1);
    }
};

QTEST_GUILESS_MAIN(TstConnection)
#include "tst_connection.moc"
