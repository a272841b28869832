#include "LoginSettings.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The console started as a subprocess (through the harness, which reports what
// the operator would see and confirms each message box) against the simulator.
class tst_console : public QObject
{
    Q_OBJECT

    ZnSimServer server;
    QTemporaryDir dir;

    QProcess *start(const QStringList &args)
    {
        QFile f(dir.filePath("config.ini"));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(QString("[Setting]\nServerIp=127.0.0.1\nServerPort=%1\nUser=admin\n").arg(server.port()).toUtf8());
        f.close();
        auto *p = new QProcess(this);
        p->setWorkingDirectory(dir.path());
        p->start(QCoreApplication::applicationDirPath() + "/zn_console_harness", args);
        return p;
    }

    // Waits for the exit; returns the exit code, out gets what was shown.
    static int finish(QProcess *p, QString &out)
    {
        if (!p->waitForFinished(30000))
            p->kill(), p->waitForFinished(3000);
        out += QString::fromUtf8(p->readAllStandardOutput());
        if (p->readAllStandardError().contains("connectSlotsByName"))
            out += "auto-connection warning\n";
        const int code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        delete p;
        return code;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start(0));
        QVERIFY(dir.isValid());
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // Every way a direct login fails ends with exit 1; only fewer than three
    // options bring up the dialog.
    void loginFailsWithOne_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("connects");
        const QStringList base{"-serverip", "127.0.0.1", "-user", "admin", "-password"};
        QTest::newRow("refused") << base + QStringList{"wrong"} << "用户名或者密码错误，请重新输入!" << true;
        QTest::newRow("empty password") << base << "用户名或者密码不能为空，请重新输入!" << false;
        QTest::newRow("invalid address")
            << QStringList{"-serverip", "127.0.0.255", "-user", "admin", "-password", "admin"}
            << "用户名或者密码不能为空，请重新输入!" << false;
        QTest::newRow("two options") << QStringList(base.mid(0, 4)) << "login dialog" << false;
    }
    void loginFailsWithOne()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, shown);
        QFETCH(bool, connects);
        const int accepted = server.acceptedCount();
        QString out;
        QCOMPARE(finish(start(args), out), 1);
        // One box or the dialog, then the exit line; no loss report, no window.
        QCOMPARE(out.count('\n'), 2);
        QVERIFY2(out.contains(shown), qPrintable(out));
        QCOMPARE(server.acceptedCount() > accepted, connects);
    }

    void acceptedLoginThenLostConnection()
    {
        QProcess *p = start({"-serverip", "127.0.0.1", "-user", "admin", "-password", "admin"});
        QString out;
        auto shows = [&](const char *text, int ms) {
            return ZnSimServer::waitFor(
                [&] {
                    p->waitForReadyRead(50);
                    out += QString::fromUtf8(p->readAllStandardOutput());
                    return out.contains(text);
                },
                ms);
        };
        QVERIFY(shows("main window", 20000));
        QVERIFY(ZnSimServer::waitFor([&] { return server.count("GET GetSystemTime") > 0; }, 5000));

        // A conflict body that is no list shows nothing, a list is shown.
        server.pushPost("TerminalConflict", "", "{not json");
        server.pushPost("TerminalConflict", "", R"([{"terminalId":"7","name":"","ip":"10.0.0.7"}])");
        QVERIFY(shows("ID:7 Name:7 IP:10.0.0.7", 10000));

        server.closeClients();
        QCOMPARE(finish(p, out), 0);
        QCOMPARE(out.count("message:"), 2);
        QCOMPARE(out.count("设备ID冲突"), 1);
        QCOMPARE(out.count("连接超时，请重新登陆!"), 1);
        QVERIFY(!out.contains("auto-connection warning"));
    }

    // In this process: a quick second attempt after a refusal never reads the
    // refusal of the first.
    void retryAfterRefusal()
    {
        ZnManageCenter *centre = ZnManageCenter::create();
        ServiceHub::create(centre);
        LoginSettings s(nullptr);
        s.ServerIp = "127.0.0.1";
        s.ServerPort = server.port();
        s.User = "admin";
        s.Passwd = "wrong";
        QCOMPARE(s.connectAndLogin(), -1);
        QVERIFY(s.isRejected());
        s.Passwd = "admin";
        QCOMPARE(s.connectAndLogin(), 0);
        QVERIFY(!s.isRejected());
        QCOMPARE(apiGetNetState(centre), 2);
    }
};

QTEST_MAIN(tst_console)
#include "tst_console.moc"
