#include "LoginSettings.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QDir>
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

    struct Run
    {
        int exitCode = -1;
        QStringList lines;
        int count(const QString &part) const
        {
            int n = 0;
            for (const QString &l : lines)
                n += l.contains(part) ? 1 : 0;
            return n;
        }
    };

    void writeConfig()
    {
        QFile f(dir.filePath("config.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QString("[Setting]\nServerIp=127.0.0.1\nServerPort=%1\nUser=admin\n").arg(server.port()).toUtf8());
    }

    QProcess *start(const QStringList &args)
    {
        auto *p = new QProcess(this);
        p->setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationDirPath() + "/zn_console_harness", args);
        return p;
    }

    static Run finish(QProcess *p, int timeoutMs = 30000)
    {
        Run r;
        if (!p->waitForFinished(timeoutMs))
            p->kill(), p->waitForFinished(3000);
        r.exitCode = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        r.lines = QString::fromUtf8(p->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        delete p;
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start(0));
        QVERIFY(dir.isValid());
    }

    void init() { writeConfig(); }

    void refusedLoginExitsWithOne()
    {
        const Run r = finish(start({"-serverip", "127.0.0.1", "-user", "admin", "-password", "wrong"}));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.count("用户名或者密码错误，请重新输入!"), 1);
        QCOMPARE(r.count("login dialog"), 0);
        QCOMPARE(r.count("main window"), 0);
        QCOMPARE(r.count("连接超时"), 0);
    }

    void emptyPasswordExitsWithOne()
    {
        const int logins = server.count("LOGIN");
        const Run r = finish(start({"-serverip", "127.0.0.1", "-user", "admin", "-password"}));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.count("用户名或者密码不能为空，请重新输入!"), 1);
        QCOMPARE(r.count("login dialog"), 0);
        QCOMPARE(server.count("LOGIN"), logins);
    }

    void badServerAddressNeverConnects()
    {
        const int accepted = server.acceptedCount();
        const Run r = finish(start({"-serverip", "127.0.0.255", "-user", "admin", "-password", "admin"}));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.count("用户名或者密码不能为空，请重新输入!"), 1);
        QCOMPARE(server.acceptedCount(), accepted);
    }

    void withoutAllThreeTheDialogShows()
    {
        const Run r = finish(start({"-serverip", "127.0.0.1", "-user", "admin"}));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.count("login dialog"), 1);
    }

    void acceptedLoginThenLostConnection()
    {
        QProcess *p = start({"-serverip", "127.0.0.1", "-user", "admin", "-password", "admin"});
        QByteArray out;
        QVERIFY(ZnSimServer::waitFor(
            [&] {
                p->waitForReadyRead(50);
                out += p->readAllStandardOutput();
                return out.contains("main window");
            },
            20000));
        QVERIFY(!out.contains("message:"));
        QVERIFY(ZnSimServer::waitFor([&] { return server.count("GET GetSystemTime") > 0; }, 5000));

        // Conflict pushes: a body that is no list shows nothing, a list is shown.
        server.pushPost("TerminalConflict", "", "{not json");
        server.pushPost("TerminalConflict", "", R"([{"terminalId":"7","name":"","ip":"10.0.0.7"}])");
        QVERIFY(ZnSimServer::waitFor(
            [&] {
                p->waitForReadyRead(50);
                out += p->readAllStandardOutput();
                return out.contains("ID:7 Name:7 IP:10.0.0.7");
            },
            10000));

        server.closeClients();
        Run r = finish(p);
        r.lines.prepend(QString::fromUtf8(out));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.count("连接超时，请重新登陆!"), 1);
        QCOMPARE(QString::fromUtf8(out).count("设备ID冲突"), 1);
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
