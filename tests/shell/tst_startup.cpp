#include "IniFile.h"
#include "LoginDialog.h"
#include "ZnModalHelper.h"
#include "LoginSettings.h"
#include "ZnGlobals.h"
#include "ZnStartup.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// Each case runs in a fresh working folder, where config.ini lives.
class tst_startup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir *dir = nullptr;
    QString oldDir;

    static void args(std::vector<const char *> a)
    {
        static std::vector<std::string> keep;
        static std::vector<char *> argv;
        keep.assign(a.begin(), a.end());
        argv.clear();
        for (std::string &s : keep)
            argv.push_back(&s[0]);
        saveArgs(int(argv.size()), argv.data());
    }
    static QString readFile()
    {
        QFile f("config.ini");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static void writeFile(const QByteArray &text)
    {
        QFile f("config.ini");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private slots:
    void init()
    {
        oldDir = QDir::currentPath();
        dir = new QTemporaryDir;
        QDir::setCurrent(dir->path());
        gMySqlPort = 8999;
        gMediaBasePath = "/";
    }
    void cleanup()
    {
        QDir::setCurrent(oldDir);
        delete dir;
    }

    void options()
    {
        args({"prog", "-serverip", "10.0.0.1", "-user", "admin", "-password"});
        QCOMPARE(QString(getOption("-serverip")), QString("10.0.0.1"));
        QCOMPARE(QString(getOption("-user")), QString("admin"));
        QVERIFY(getOption("-password") && QString(getOption("-password")).isEmpty());
        QVERIFY(!getOption("-max"));
        QVERIFY(!getOption("-User"));
        QVERIFY(!getOption("--user"));
        QVERIFY(!getOption(nullptr));
        QCOMPARE(QString(getOption("prog")), QString());

        args({"prog", "-user", "-password", "x", "-max", "0"});
        QCOMPARE(QString(getOption("-user")), QString(""));
        QCOMPARE(QString(getOption("-password")), QString("x"));
        QCOMPARE(QString(getOption("-max")), QString("0"));
        args({"prog", "-user=admin"});
        QVERIFY(!getOption("-user"));
    }

    void missingConfigGetsDefaults()
    {
        loadStartupSettings();
        QCOMPARE(QString::fromStdString(gMediaBasePath), QString("D:/TalkServerData/mp3"));
        QCOMPARE(gMySqlPort, 8999);
        QSettings s("config.ini", QSettings::IniFormat);
        QCOMPARE(s.value("Setting/BoardType").toInt(), 0);
        QCOMPARE(s.value("Setting/MediaPath").toString(), QString("D:/TalkServerData/mp3"));
    }

    void boardTypes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("media");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("storedPort");
        QTest::newRow("3 without port") << QByteArray("[Setting]\nBoardType=3\n") << "/media/Mp3Root/BroadMedia" << 8999 << "8999";
        QTest::newRow("4 with port") << QByteArray("[Setting]\nBoardType=4\nMySqlPort=3306\n") << "/media/mp3" << 3306 << "3306";
        QTest::newRow("other ignores port") << QByteArray("[Setting]\nBoardType=2\nMySqlPort=3306\nMediaPath=E:/media files\n") << "E:/media files" << 8999 << "3306";
        QTest::newRow("negative") << QByteArray("[Setting]\nBoardType=-4\n") << "D:/TalkServerData/mp3" << 8999 << "";
    }
    void boardTypes()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, media);
        QFETCH(int, port);
        QFETCH(QString, storedPort);
        writeFile(file);
        loadStartupSettings();
        QCOMPARE(QString::fromStdString(gMediaBasePath), media);
        QCOMPARE(gMySqlPort, port);
        QSettings s("config.ini", QSettings::IniFormat);
        QCOMPARE(s.value("Setting/MySqlPort").toString(), storedPort);
        QVERIFY(s.value("Setting/BoardType").toInt() >= 0);
    }

    // --- login settings and config.ini --------------------------------------

    void freshInstallWritesTheLogin()
    {
        LoginSettings s("config.ini");
        QCOMPARE(s.ServerPort, 0);
        s.ServerIp = "192.168.1.10";
        s.User = "admin";
        s.Passwd = "secret";
        s.ServerPort = 8999;
        s.save();
        const QString text = readFile();
        QVERIFY(text.contains("ServerIp=192.168.1.10"));
        QVERIFY(text.contains("User=admin"));
        QVERIFY(text.contains("ServerPort=8999"));
        QVERIFY(!text.contains("secret"));
    }

    void whenTheFileIsRewritten()
    {
        writeFile("[Setting]\nServerIp=10.0.0.1\nServerPort=8999\nUser=op\nPasswd=old\n");
        LoginSettings s("config.ini");
        QCOMPARE(s.ServerIp, std::string("10.0.0.1"));
        QCOMPARE(s.Passwd, std::string("old"));
        QCOMPARE(s.ServerPort, 8999);

        writeFile("[Setting]\nServerIp=10.0.0.1\nServerPort=8999\nUser=op\nPasswd=old\n# untouched\n");
        s.save();
        QVERIFY(readFile().contains("# untouched"));

        s.ServerPort = 9001;
        s.save();
        QVERIFY(readFile().contains("ServerPort=9001"));

        s.User = "other";
        s.save();
        QVERIFY(readFile().contains("User=other"));
        QVERIFY(readFile().contains("Passwd=old"));
    }

    // No port in the file: the hidden port field stays empty and the login uses
    // its placeholder port, not port 0.
    void portZeroMeansDefault()
    {
        writeFile("[Setting]\nServerIp=10.0.0.1\nServerPort=0\nUser=op\n");
        LoginDialog dlg("pw");
        dlg.fillFields();
        QVERIFY(dlg.form().connect_port_edit->text().isEmpty());
        QCOMPARE(dlg.form().connect_port_edit->placeholderText(), QString("8999"));
        QCOMPARE(dlg.form().fPassLineEdit->text(), QString("pw"));
        dlg.on_login_clicked();
        QCOMPARE(LoginSettings::instance()->ServerPort, 8999);
        QVERIFY(readFile().contains("ServerPort=8999"));
        QVERIFY(!dlg.loginSucceeded());
    }

    void loginFieldsRefuseBadInput()
    {
        LoginDialog dlg("");
        QTest::keyClicks(dlg.form().connect_ip_edit, "10.0.0.255");
        QCOMPARE(dlg.form().connect_ip_edit->text(), QString("10.0.0.25"));
        QVERIFY(LoginDialog::isValidServerIp("255.255.255.254"));
        QVERIFY(!LoginDialog::isValidServerIp("1.2.3.255"));
        QVERIFY(!LoginDialog::isValidServerIp("1.2.3"));
        QTest::keyClicks(dlg.form().fPassLineEdit, "ab-c" + QString(30, 'x'));
        QCOMPARE(dlg.form().fPassLineEdit->text(), "abc" + QString(17, 'x'));

        // Enter in a field starts the login: empty user gives the empty-field message.
        dlg.show();
        ZnModalHelper modal;
        modal.clickButton("ConfirmButton", &dlg);
        QTest::keyClick(dlg.form().nameLineEdit, Qt::Key_Return);
        QVERIFY(modal.handled());
        QVERIFY(modal.seenTexts().join("").contains("用户名或者密码不能为空，请重新输入!"));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
    }

    void bothWritersKeepEachOthersKeys()
    {
        {
            QSettings q("config.ini", QSettings::IniFormat);
            q.setValue("Setting/Title", QString("一号 广播 中心"));
            q.setValue("Setting/MediaPath", "D:/my media/mp3");
            q.setValue("MediaLastFilePath", "/home/op/some folder");
        }
        LoginSettings s("config.ini");
        {
            // QSettings writes after the login settings were read.
            QSettings q("config.ini", QSettings::IniFormat);
            q.setValue("Setting/BoardType", 3);
        }
        s.ServerIp = "10.1.1.1";
        s.User = "admin";
        s.ServerPort = 8999;
        s.save();

        QSettings q("config.ini", QSettings::IniFormat);
        QCOMPARE(q.value("Setting/Title").toString(), QString("一号 广播 中心"));
        QCOMPARE(q.value("Setting/MediaPath").toString(), QString("D:/my media/mp3"));
        QCOMPARE(q.value("Setting/BoardType").toInt(), 3);
        QCOMPARE(q.value("MediaLastFilePath").toString(), QString("/home/op/some folder"));
        QCOMPARE(q.value("Setting/ServerIp").toString(), QString("10.1.1.1"));

        q.setValue("Setting/Title", QString("新标题"));
        q.sync();
        LoginSettings again("config.ini");
        QCOMPARE(again.ServerIp, std::string("10.1.1.1"));
        QCOMPARE(again.User, std::string("admin"));
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
