#include "../logs/LogTestDb.h"
#include "LoginDialog.h"
#include "LoginSettings.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnManageCenter.h"
#include "ZnModalHelper.h"
#include "ZnNetLosssHandle.h"
#include "ZnSimClosedPort.h"
#include "ZnSimFileService.h"
#include "ZnSimServer.h"
#include "ZnSmallDisk.h"

#include <QAbstractButton>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Once armed, counts the paints of the widget it watches and calls onPaint on each.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(std::function<void()> f) : onPaint(std::move(f)) {}
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (armed && e->type() == QEvent::Paint)
            ++count, onPaint();
        return false;
    }
    std::function<void()> onPaint;
    bool armed = false;
    int count = 0;
};

// The console started as a subprocess (through the harness, which reports what
// the operator would see and confirms each message box) against the simulator.
class tst_console : public QObject
{
    Q_OBJECT

    ZnSimServer server;
    // The console's media page dials a file service on the server's address: this
    // one, never whatever listens on 8906 there.
    ZnSimFileService files;
    QTemporaryDir dir;

    // The same installation on another loopback address, which the tests write
    // with zero-padded parts; read as octal it would be 127.63.8.2.
    ZnSimServer padded;
    ZnSimFileService paddedFiles;
    static constexpr const char *kPaddedAddress = "127.077.010.002";

    // A port on 127.0.0.1 where nothing listens, nor can while the test runs.
    ZnSimClosedPort nowhere;
    int closedPort() const { return nowhere.port(); }

    // The console under the harness, or the program itself with program set.
    // padTo (when given) lengthens config.ini with a comment to that many bytes.
    QProcess *start(const QStringList &args, int port = 0, const QString &program = QString(),
                    const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(), int padTo = 0)
    {
        QFile f(dir.filePath(QStringLiteral("config.ini")));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        QByteArray settings = QStringLiteral("[Setting]\nServerIp=127.0.0.1\nServerPort=%1\nUser=admin\nPasswd=admin\n")
                                  .arg(port ? port : server.port())
                                  .toUtf8();
        if (padTo > 0) {
            // With the start's keys, so that only the login writes.
            settings += "BoardType=0\nMediaPath=D:/TalkServerData/mp3\n;";
            settings += QByteArray(padTo - settings.size() - 1, 'x') + '\n';
        }
        f.write(settings);
        f.close();
        auto *p = new QProcess(this);
        p->setWorkingDirectory(dir.path());
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationDirPath() + QLatin1Char('/')
                     + (program.isEmpty() ? QStringLiteral("zn_console_harness") : program),
                 args);
        return p;
    }

    // The console runs in a folder with its translation beside it, as in the
    // program's own folder, so that what it shows reads as the operator reads it.
    static bool withTranslation(const QString &folder)
    {
        const QString link = folder + QStringLiteral("/translate");
        return QFileInfo(link).isDir()
               || QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/translate"), link);
    }

    // Waits for the exit; returns the exit code, out gets what was shown and err
    // what was said on standard error.
    static int finish(QProcess *p, QString &out, QString *err = nullptr)
    {
        if (!p->waitForFinished(30000))
            p->kill(), p->waitForFinished(3000);
        out += QString::fromUtf8(p->readAllStandardOutput());
        const QString errors = QString::fromUtf8(p->readAllStandardError());
        if (err)
            *err = errors;
        if (errors.contains(QStringLiteral("connectSlotsByName")))
            out += QStringLiteral("auto-connection warning\n");
        const int code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        delete p;
        return code;
    }

    // A private X server on a display number free on this machine (it picks one and
    // says which), reached by its local socket only; display gets ":N" or why not.
    static bool startXServer(QProcess &xserver, QString *display)
    {
        xserver.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("1280x800x24")});
        const bool told =
            QTest::qWaitFor([&] { return xserver.canReadLine() || xserver.state() == QProcess::NotRunning; }, 20000);
        if (!told || !xserver.canReadLine()) {
            *display = QStringLiteral("Xvfb did not start: ") + xserver.errorString()
                       + QString::fromLocal8Bit(xserver.readAllStandardError());
            return false;
        }
        *display = QLatin1Char(':') + QString::fromLatin1(xserver.readLine().trimmed());
        return true;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start(0));
        QVERIFY(files.start(0));
        QVERIFY(padded.start(0, "127.77.10.2"));
        QVERIFY(paddedFiles.start(0, "127.77.10.2"));
        QVERIFY(dir.isValid() && withTranslation(dir.path()));
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("ZN_HARNESS_FILE_PORT", QByteArray::number(files.port()));
    }

    // Every way a login fails ends with exit 1 and says why on standard error; the
    // direct login shows what the dialog would show; only fewer than three options
    // bring up the dialog. A config.ini not read, or a save that failed, is told
    // after the login's message (no window came to tell it over: it went untold).
    void loginFailsWithOne_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("why");
        QTest::addColumn<bool>("connects");
        QTest::addColumn<int>("padTo"); // config.ini's size; 0: as short as written
        QTest::addColumn<QString>("told");
        const auto row = [](const char *name, const char *args, bool reachable, const char *shown, const char *why,
                            bool connects, int padTo = 0, const char *told = "") {
            QTest::newRow(name) << QString::fromUtf8(args).split(QLatin1Char(' ')) << reachable
                                << QString::fromUtf8(shown) << QString::fromUtf8(why) << connects << padTo
                                << QString::fromUtf8(told);
        };
        row("refused", "-serverip 127.0.0.1 -user admin -password wrong", true, "用户名或者密码错误，请重新输入!",
            "refused the user name or password", true);
        // The stored password is never taken for an empty one.
        row("empty password", "-serverip 127.0.0.1 -user admin -password", true, "用户名或者密码不能为空，请重新输入!",
            "password is empty", false);
        // The option is taken as given: an address that is none fails at the connect.
        row("invalid address", "-serverip 127.0.0.256 -user admin -password admin", true, "连接超时，请重新登陆!",
            "cannot connect to the server 127.0.0.256:", false);
        row("address with letters", "-serverip localhost -user admin -password admin", true, "连接超时，请重新登陆!",
            "cannot connect to the server localhost:", false);
        row("unreachable", "-serverip 127.0.0.1 -user admin -password admin", false, "连接超时，请重新登陆!",
            "cannot connect to the server 127.0.0.1:", false);
        row("dialog cancelled", "-serverip 127.0.0.1 -user admin", true, "login dialog", "login cancelled", false);
        row("empty password, config.ini past 1 MiB: told after the message",
            "-serverip 127.0.0.1 -user admin -password", true, "用户名或者密码不能为空，请重新输入!",
            "password is empty", false, (1 << 20) + 1, "设置未能读取：config.ini 大于 1 MiB。本次使用默认设置。");
        // The new user would make the file longer than 1 MiB.
        row("refused, the login's save past 1 MiB: told after the message",
            "-serverip 127.0.0.1 -user operator -password wrong", true, "用户名或者密码错误，请重新输入!",
            "refused the user name or password", true, (1 << 20) - 2,
            "设置未能保存：config.ini 无法写入（文件过大）。");
    }
    void loginFailsWithOne()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, reachable);
        QFETCH(QString, shown);
        QFETCH(QString, why);
        QFETCH(bool, connects);
        QFETCH(int, padTo);
        QFETCH(QString, told);
        const int accepted = server.acceptedCount();
        QString out, err;
        QCOMPARE(finish(start(args, reachable ? 0 : closedPort(), QString(), QProcessEnvironment::systemEnvironment(),
                              padTo),
                        out, &err),
                 1);
        // At most one box or the dialog, the notice after it, then the exit line; no window.
        QCOMPARE(out.count(QLatin1Char('\n')), 1 + !shown.isEmpty() + !told.isEmpty());
        QVERIFY2(out.contains(shown), qPrintable(out));
        if (!told.isEmpty())
            QVERIFY2(out.indexOf(QStringLiteral("message: 提示 | ") + told) > out.indexOf(shown), qPrintable(out));
        QVERIFY2(err.contains(QStringLiteral("login failed: ")) && err.contains(why), qPrintable(err));
        QCOMPARE(server.acceptedCount() > accepted, connects);
    }

    // A direct login on a full disk: config.ini stays as it was, and the operator
    // is told once, over the main window, that the settings could not be saved: a
    // start's write that failed before any window was up, or the main window's
    // own write of the title (the file was left empty, or with the title alone).
    void fullDiskToldOverTheMainWindow_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::newRow("without the start's keys") << QByteArray("Title=管理中心\r\n");
        QTest::newRow("every key there, another title")
            << QByteArray("Title=一号楼\r\nBoardType=0\r\nMediaPath=D:/TalkServerData/mp3\r\n");
    }
    void fullDiskToldOverTheMainWindow()
    {
        QFETCH(QByteArray, keys);
        ZnSmallDisk disk(1 << 20);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        const QString work = disk.path() + QStringLiteral("/work");
        QVERIFY(QDir().mkpath(work) && withTranslation(work));
        QByteArray file = "\xEF\xBB\xBF; 广播中心\r\n[Setting]\r\nServerIp=127.0.0.1\r\nServerPort="
                          + QByteArray::number(server.port()) + "\r\nUser=admin\r\n" + keys;
        for (int i = 0; file.size() < 2575; ++i)
            file += "; line " + QByteArray::number(i) + ' ' + QByteArray(40, 'x') + "\r\n";
        {
            QFile f(work + QStringLiteral("/config.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        }
        QVERIFY(disk.leaveFree(0));
        auto *p = new QProcess(this);
        p->setWorkingDirectory(work);
        p->start(QCoreApplication::applicationDirPath() + QStringLiteral("/zn_console_harness"),
                 {QStringLiteral("-serverip"), QStringLiteral("127.0.0.1"), QStringLiteral("-user"),
                  QStringLiteral("admin"), QStringLiteral("-password"), QStringLiteral("admin")});
        const QString told = QStringLiteral("message: 提示 | 设置未能保存：config.ini 无法写入（磁盘空间不足）。");
        QString out;
        const bool shown = QTest::qWaitFor(
            [&] {
                out += QString::fromUtf8(p->readAllStandardOutput());
                return (out.contains(QStringLiteral("main window")) && out.contains(told))
                       || p->state() == QProcess::NotRunning;
            },
            20000);
        server.closeClients();
        QString err;
        QCOMPARE(finish(p, out, &err), 0);
        QVERIFY2(shown, qPrintable(out));
        QCOMPARE(out.count(told), 1);
        QVERIFY2(err.contains(QStringLiteral("config.ini: not saved (No space left on device)")), qPrintable(err));
        QFile f(work + QStringLiteral("/config.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), file);
        // No new file beside it (the media page's transfer note aside).
        QCOMPARE(QDir(work).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(QStringLiteral("config")),
                 QStringList{QStringLiteral("config.ini")});
    }

    void acceptedLoginThenLostConnection()
    {
        QProcess *p = start({QStringLiteral("-serverip"), QStringLiteral("127.0.0.1"), QStringLiteral("-user"),
                             QStringLiteral("admin"), QStringLiteral("-password"), QStringLiteral("admin")});
        QString out;
        auto shows = [&](const char *text, int ms) {
            return QTest::qWaitFor(
                [&] {
                    out += QString::fromUtf8(p->readAllStandardOutput());
                    return out.contains(QString::fromUtf8(text));
                },
                ms);
        };
        QVERIFY(shows("main window", 20000));
        QTRY_VERIFY_WITH_TIMEOUT(server.count("GET GetSystemTime") > 0, 5000);
        const auto askedForRoot = [this] {
            for (const std::string &r : files.requests()) {
                if (r.find("\"GetFileRoot\"") != std::string::npos)
                    return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(askedForRoot(), 10000);

        // A conflict body that is no list shows nothing, a list is shown.
        server.pushPost("TerminalConflict", "", "{not json");
        server.pushPost("TerminalConflict", "", R"([{"terminalId":"7","name":"","ip":"10.0.0.7"}])");
        QVERIFY(shows("ID:7 Name:7 IP:10.0.0.7", 10000));

        server.closeClients();
        QCOMPARE(finish(p, out), 0);
        QCOMPARE(out.count(QStringLiteral("message:")), 2);
        QCOMPARE(out.count(QStringLiteral("设备ID冲突")), 1);
        QCOMPARE(out.count(QStringLiteral("连接超时，请重新登陆!")), 1);
        QVERIFY(!out.contains(QStringLiteral("auto-connection warning")));
    }

    // -serverip with zero-padded parts reaches the server on the decimal address,
    // and the media page then dials the file service there too.
    void zeroPaddedServerIpConnects()
    {
        qputenv("ZN_HARNESS_FILE_PORT", QByteArray::number(paddedFiles.port()));
        QProcess *p = start({QStringLiteral("-serverip"), QString::fromLatin1(kPaddedAddress), QStringLiteral("-user"),
                             QStringLiteral("admin"), QStringLiteral("-password"), QStringLiteral("admin")},
                            padded.port());
        qputenv("ZN_HARNESS_FILE_PORT", QByteArray::number(files.port()));
        const auto askedForRoot = [this] {
            for (const std::string &r : paddedFiles.requests()) {
                if (r.find("\"GetFileRoot\"") != std::string::npos)
                    return true;
            }
            return false;
        };
        QString out;
        const bool shown = QTest::qWaitFor(
            [&] {
                out += QString::fromUtf8(p->readAllStandardOutput());
                return out.contains(QStringLiteral("main window")) || p->state() == QProcess::NotRunning;
            },
            20000);
        const bool asked = shown && QTest::qWaitFor(askedForRoot, 10000);
        padded.closeClients();
        QCOMPARE(finish(p, out), out.contains(QStringLiteral("main window")) ? 0 : 1);
        QVERIFY2(out.contains(QStringLiteral("main window")), qPrintable(out));
        QVERIFY(asked);
    }

    // In this process: the dialog's address field takes zero-padded parts, and
    // the login reaches the server on the decimal address.
    void zeroPaddedAddressTypedLogsIn()
    {
        ZnManageCenter *centre = ZnManageCenter::create();
        ServiceHub::create(centre);
        QVERIFY(QDir::setCurrent(dir.path()));
        LoginDialog dlg(QStringLiteral("admin"));
        dlg.form().connect_ip_edit->clear();
        QTest::keyClicks(dlg.form().connect_ip_edit, QString::fromLatin1(kPaddedAddress));
        QCOMPARE(dlg.form().connect_ip_edit->text(), QString::fromLatin1(kPaddedAddress));
        dlg.form().connect_port_edit->setText(QString::number(padded.port()));
        dlg.form().nameLineEdit->setText(QStringLiteral("admin"));
        dlg.form().fPassLineEdit->setText(QStringLiteral("admin"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const int accepted = padded.acceptedCount();
        dlg.on_login_clicked();
        QCOMPARE(dlg.outcome(), LoginDialog::LoggedIn);
        QVERIFY(padded.acceptedCount() > accepted);
        centre->stopReceiveThread();
    }

    // The console ended from outside once it has read config.ini (Ctrl-C, a
    // supervisor's SIGTERM, a SIGKILL that no handler sees) leaves nothing in the
    // temporary folder.
    void endedConsoleLeavesNoFiles_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl-C") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGKILL") << int(SIGKILL);
    }
    void endedConsoleLeavesNoFiles()
    {
        QFETCH(int, signal);
        QTemporaryDir tmp;
        QTemporaryDir runtime;
        QVERIFY(tmp.isValid() && runtime.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp.path());
        // As in a desktop session: without it Qt makes a folder of the user's own
        // in TMPDIR for every Qt program (and keeps it for the next one).
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        // The login is held back: by then config.ini is read, and the console goes
        // no further (nor to a file service).
        server.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold));
        QProcess *p = nullptr;
        // Whatever fails below, the next row and test log in again.
        const auto undo = qScopeGuard([&] {
            delete p;
            server.clearRules();
        });
        const int logins = server.count("LOGIN");
        p = start({QStringLiteral("-serverip"), QStringLiteral("127.0.0.1"), QStringLiteral("-user"),
                   QStringLiteral("admin"), QStringLiteral("-password"), QStringLiteral("admin")},
                  0, QStringLiteral("talkback_console"), env);
        QVERIFY(p->waitForStarted(10000));
        const bool loggingIn = QTest::qWaitFor([&] { return server.count("LOGIN") > logins; }, 20000);
        ::kill(static_cast<pid_t>(p->processId()), signal);
        const bool ended = p->waitForFinished(10000);
        if (!ended)
            p->kill(), p->waitForFinished(3000);
        QVERIFY(loggingIn);
        QVERIFY(ended);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // A console ended by SIGTERM, SIGINT or SIGHUP while it writes an export, a
    // download or an upload's conversion leaves nothing behind: no hidden .part
    // file of megabytes in the operator's folder, no MP3 of lame's, no lame still
    // running, the earlier file of the export's or download's name as it was; and
    // it ends as the signal ends it. So does a console whose display goes away
    // (Qt then calls exit(1)) or that another exit() ends, from whatever thread:
    // it ends with that exit's code, and no object a worker still uses is
    // destroyed under it. Each write is held mid-way: the export's read waits for
    // a table the test holds locked, the file service falls silent mid-file, lame
    // waits for more of its source.
    void endedMidWriteLeavesNothing_data()
    {
        QTest::addColumn<QString>("work");   // export, download or upload
        QTest::addColumn<int>("signal");     // sent to the console; 0: it ends otherwise
        QTest::addColumn<QString>("ending"); // otherwise: its X server dies, or exit(3) from a thread
        QTest::addColumn<int>("exitCode");   // of that exit
        QTest::newRow("export, SIGTERM") << "export" << int(SIGTERM) << QString() << 0;
        QTest::newRow("export, Ctrl-C") << "export" << int(SIGINT) << QString() << 0;
        QTest::newRow("download, SIGHUP") << "download" << int(SIGHUP) << QString() << 0;
        QTest::newRow("download, SIGTERM") << "download" << int(SIGTERM) << QString() << 0;
        QTest::newRow("conversion, SIGTERM") << "upload" << int(SIGTERM) << QString() << 0;
        QTest::newRow("export, display lost") << "export" << 0 << "display" << 1;
        QTest::newRow("download, display lost") << "download" << 0 << "display" << 1;
        QTest::newRow("conversion, display lost") << "upload" << 0 << "display" << 1;
        QTest::newRow("export, exit() from a thread") << "export" << 0 << "exit" << 3;
        QTest::newRow("download, exit() from a thread") << "download" << 0 << "exit" << 3;
        QTest::newRow("conversion, exit() from a thread") << "upload" << 0 << "exit" << 3;
        // Over a file with a second hard link: the bytes gathered for it go, the file stays.
        QTest::newRow("download in place, SIGTERM") << "download in place" << int(SIGTERM) << QString() << 0;
    }
    void endedMidWriteLeavesNothing()
    {
        QFETCH(QString, work);
        QFETCH(int, signal);
        QFETCH(QString, ending);
        QFETCH(int, exitCode);
        QTemporaryDir run;
        QTemporaryDir out;
        QVERIFY(run.isValid() && out.isValid());
        QVERIFY(writeFile(run.filePath(QStringLiteral("config.ini")),
                          QStringLiteral("[Setting]\nServerIp=127.0.0.1\nServerPort=%1\nUser=admin\nBoardType=4\n"
                                         "MySqlPort=%2\nMediaPath=/data/mp3\n")
                              .arg(server.port())
                              .arg(testDbPort())
                              .toUtf8()));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString target = out.filePath(work == QLatin1String("export") ? QStringLiteral("zn_user_log.csv")
                                                                            : QStringLiteral("big.mp3"));
        const qint64 cut = 1 << 20;
        // What the operator had at that name stays his.
        const QByteArray earlier = work == QLatin1String("upload") ? QByteArray() : "earlier";
        if (!earlier.isEmpty())
            QVERIFY(writeFile(target, earlier));
        const QString source = run.filePath(QStringLiteral("source.wav"));
        int fifo = -1;
        const auto prior = std::signal(SIGPIPE, SIG_IGN);
        const auto undo = qScopeGuard([&] {
            if (work == QLatin1String("export"))
                sql(QStringLiteral("unlock tables"));
            files.setFaults({});
            if (fifo >= 0)
                ::close(fifo);
            std::signal(SIGPIPE, prior);
        });
        if (work == QLatin1String("export")) {
            QVERIFY(connectTestDb() && sql(QStringLiteral("lock tables userlog write")));
            env.insert(QStringLiteral("ZN_HARNESS_EXPORT"), target);
        } else if (work.startsWith(QLatin1String("download"))) {
            QVERIFY(writeFile(QString::fromStdString(files.folder()) + QStringLiteral("/big.mp3"),
                              QByteArray(4 * cut, 'm')));
            ZnSimFileService::Faults faults;
            faults.cutGetFileAt = cut;
            faults.stallAtCut = true;
            files.setFaults(faults);
            env.insert(QStringLiteral("ZN_HARNESS_DOWNLOAD"), QStringLiteral("/data/mp3/big.mp3"));
            env.insert(QStringLiteral("ZN_HARNESS_DOWNLOAD_TO"), target);
        } else {
            QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
            env.insert(QStringLiteral("ZN_HARNESS_UPLOAD"), source);
        }
        const bool inPlace = work.endsWith(QLatin1String("in place"));
        const QString other = out.filePath(QStringLiteral("other.mp3"));
        if (inPlace)
            QVERIFY(::link(QFile::encodeName(target).constData(), QFile::encodeName(other).constData()) == 0);
        QProcess xserver;
        // Ended by its own signal, it leaves no lock or socket behind.
        const auto stopXServer = qScopeGuard([&] {
            xserver.terminate();
            xserver.waitForFinished(10000);
        });
        if (ending == QLatin1String("display")) {
            QString display;
            QVERIFY2(startXServer(xserver, &display), qPrintable(display));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            env.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
            env.insert(QStringLiteral("DISPLAY"), display);
        } else if (ending == QLatin1String("exit")) {
            env.insert(QStringLiteral("ZN_HARNESS_EXIT"), QString::number(exitCode));
        }
        auto *p = new QProcess(this);
        p->setWorkingDirectory(run.path());
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationDirPath() + QStringLiteral("/zn_console_harness"),
                 {QStringLiteral("-serverip"), QStringLiteral("127.0.0.1"), QStringLiteral("-user"),
                  QStringLiteral("admin"), QStringLiteral("-password"), QStringLiteral("admin")});
        // A WAV header that promises far more than comes: lame has made its MP3
        // and waits for the rest.
        QByteArray wav = "RIFF" + QByteArray(4, '\xff') + "WAVEfmt "
                         + QByteArray::fromHex("1000000001000100401f0000803e000002001000") + "data"
                         + QByteArray(4, '\x7f') + QByteArray(1 << 16, '\0');
        const auto held = [&] {
            // Gathered under no name: one of the console's open files has what came so far.
            const QDir fds(QStringLiteral("/proc/%1/fd").arg(p->processId()));
            for (const QFileInfo &fd : inPlace ? fds.entryInfoList(QDir::System | QDir::Files) : QFileInfoList()) {
                struct stat st;
                if (::stat(QFile::encodeName(fd.filePath()).constData(), &st) == 0 && st.st_size == cut)
                    return true;
            }
            if (inPlace)
                return false;
            if (work != QLatin1String("upload")) {
                const QFileInfoList left =
                    QDir(out.path()).entryInfoList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
                return left.size() == 1 && (work == QLatin1String("export") || left[0].size() == cut);
            }
            if (fifo < 0)
                fifo = ::open(QFile::encodeName(source).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fifo >= 0 && !wav.isEmpty()) {
                const ssize_t n = ::write(fifo, wav.constData(), size_t(wav.size()));
                wav.remove(0, n > 0 ? int(n) : 0);
            }
            QDirIterator mp3(run.filePath(QStringLiteral("temp_mp3")), {QStringLiteral("*.mp3")}, QDir::Files,
                             QDirIterator::Subdirectories);
            return wav.isEmpty() && mp3.hasNext();
        };
        const bool writing = QTest::qWaitFor(held, 30000);
        if (signal)
            ::kill(pid_t(p->processId()), signal);
        else if (ending == QLatin1String("display"))
            xserver.terminate();
        else
            p->write("\n");
        const bool ended = p->waitForFinished(10000);
        if (!ended)
            p->kill(), p->waitForFinished(3000);
        const QProcess::ExitStatus status = p->exitStatus();
        const int code = p->exitCode();
        const QString said = QString::fromUtf8(p->readAllStandardError());
        delete p;
        QVERIFY(writing);
        QVERIFY(ended);
        QVERIFY2(status == (signal ? QProcess::CrashExit : QProcess::NormalExit), qPrintable(said));
        QVERIFY2(code == (signal ? signal : exitCode), qPrintable(QString::number(code) + QLatin1Char(' ') + said));
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 work == QLatin1String("upload") ? QStringList()
                 : inPlace                       ? QStringList({QStringLiteral("big.mp3"), QStringLiteral("other.mp3")})
                                                 : QStringList{QFileInfo(target).fileName()});
        if (!earlier.isEmpty())
            QCOMPARE(bytesOf(target), earlier);
        if (inPlace)
            QCOMPARE(bytesOf(other), earlier);
        if (work == QLatin1String("upload")) {
            QCOMPARE(QDir(run.filePath(QStringLiteral("temp_mp3")))
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                     QStringList());
            // No reader is left on the source: lame is gone.
            QCOMPARE(::write(fifo, "x", 1), ssize_t(-1));
            QCOMPARE(errno, EPIPE);
        }
    }

    // In this process: while the login waits for a server that does not answer, the
    // dialog keeps painting (a paint asked for once the server has the login ends the
    // wait); when the server drops the line, the dialog stays open.
    void loginWaitKeepsPainting()
    {
        ServiceHub::create(ZnManageCenter::create());
        QVERIFY(QDir::setCurrent(dir.path()));
        LoginDialog dlg(QStringLiteral("admin"));
        dlg.form().connect_ip_edit->setText(QStringLiteral("127.0.0.1"));
        dlg.form().connect_port_edit->setText(QString::number(server.port()));
        dlg.form().nameLineEdit->setText(QStringLiteral("admin"));
        dlg.form().fPassLineEdit->setText(QStringLiteral("admin"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        PaintWatch paints([this] { server.closeClients(); });
        dlg.installEventFilter(&paints);
        // The queued call runs only if the wait processes events.
        server.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold));
        server.setRequestHook([&](const ZnSimRequest &r) {
            if (r.method == "LOGIN")
                QMetaObject::invokeMethod(
                    &paints, [&] { paints.armed = true, dlg.update(); }, Qt::QueuedConnection);
            return std::string();
        });
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"), &dlg);
        // A window that froze again would never run it: end its wait anyway.
        std::promise<void> ended;
        std::thread bound([this, done = ended.get_future()] {
            if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout)
                server.closeClients();
        });
        dlg.on_login_clicked();
        ended.set_value();
        bound.join();
        server.setRequestHook(nullptr);
        server.clearRules();
        QVERIFY(paints.count > 0);
        QCOMPARE(dlg.outcome(), LoginDialog::NotLoggedIn);
        QVERIFY(dlg.isVisible() && !dlg.loginSucceeded());
    }

    // In this process: while the server holds the login back, keys typed into the
    // dialog are dropped, and its cancel or close button ends the attempt at once;
    // the dialog stays, and a second try logs in.
    void cancelEndsAWaitingLogin_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("cancel") << QStringLiteral("cancel_btn");
        QTest::newRow("close") << QStringLiteral("dialogCloseBtn");
    }
    void cancelEndsAWaitingLogin()
    {
        QFETCH(QString, button);
        ZnManageCenter *centre = ZnManageCenter::create();
        ServiceHub::create(centre);
        QVERIFY(QDir::setCurrent(dir.path()));
        LoginDialog dlg(QStringLiteral("admin"));
        dlg.form().connect_ip_edit->setText(QStringLiteral("127.0.0.1"));
        dlg.form().connect_port_edit->setText(QString::number(server.port()));
        dlg.form().nameLineEdit->setText(QStringLiteral("admin"));
        dlg.form().fPassLineEdit->setText(QStringLiteral("admin"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const int logins = server.count("LOGIN");
        server.addRule(ZnSimRule::make("LOGIN", ZnSimRule::Withhold));
        QPointer<QAbstractButton> target = dlg.findChild<QAbstractButton *>(button);
        QVERIFY(target);
        server.setRequestHook([&](const ZnSimRequest &r) {
            if (r.method == "LOGIN")
                QMetaObject::invokeMethod(
                    &dlg,
                    [&] {
                        QTest::keyClicks(dlg.form().nameLineEdit, QStringLiteral("xyz"));
                        QTest::mouseClick(target, Qt::LeftButton);
                    },
                    Qt::QueuedConnection);
            return std::string();
        });
        // A dialog that kept waiting would be freed only by the line closing.
        std::atomic<bool> freedByClose{false};
        std::promise<void> ended;
        std::thread bound([&, done = ended.get_future()] {
            if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout)
                freedByClose = true, server.closeClients();
        });
        dlg.on_login_clicked();
        ended.set_value();
        bound.join();
        server.setRequestHook(nullptr);
        server.clearRules();
        QVERIFY(!freedByClose);
        QCOMPARE(dlg.outcome(), LoginDialog::Cancelled);
        QVERIFY(dlg.isVisible() && !dlg.loginSucceeded());
        QCOMPARE(dlg.form().nameLineEdit->text(), QStringLiteral("admin"));
        QCOMPARE(server.count("LOGIN"), logins + 1);

        dlg.on_login_clicked();
        QCOMPARE(dlg.outcome(), LoginDialog::LoggedIn);
        QVERIFY(dlg.loginSucceeded());
        centre->stopReceiveThread();
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

    // In this process, last (it installs the loss report): a server that refuses
    // the connection during the dialog's wait brings the loss message, which
    // closes the dialog rather than counting as the operator's cancel.
    void refusedConnectClosesTheDialog()
    {
        ZnManageCenter *centre = ZnManageCenter::create();
        ServiceHub::create(centre);
        centre->stopReceiveThread(); // the session an earlier case left
        ZnNetLosssHandle::create(centre);
        QVERIFY(QDir::setCurrent(dir.path()));
        LoginDialog dlg(QStringLiteral("admin"));
        dlg.form().connect_ip_edit->setText(QStringLiteral("127.0.0.1"));
        dlg.form().connect_port_edit->setText(QString::number(closedPort()));
        dlg.form().nameLineEdit->setText(QStringLiteral("admin"));
        dlg.form().fPassLineEdit->setText(QStringLiteral("admin"));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"), &dlg);
        dlg.on_login_clicked();
        QTRY_VERIFY(modal.handled());
        QVERIFY(modal.seenTexts().join(QString()).contains(QStringLiteral("连接超时，请重新登陆!")));
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(dlg.outcome(), LoginDialog::NotLoggedIn);
    }
};

QTEST_MAIN(tst_console)
#include "tst_console.moc"
