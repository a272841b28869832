#include "BaseMessageDialog.h"
#include "LoginDialog.h"
#include "LoginSettings.h"
#include "ZnAsUser.h"
#include "ZnConfigNotice.h"
#include "ZnConfigSettings.h"
#include "ZnFifoTrap.h"
#include "ZnGlobals.h"
#include "ZnIniFile.h"
#include "ZnModalGuard.h"
#include "ZnModalHelper.h"
#include "ZnServerText.h"
#include "ZnSmallDisk.h"
#include "ZnStartup.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextDocument>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// What the code under test says on standard error while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        if (!file.open())
            return;
        std::fflush(stderr);
        saved = ::dup(2);
        ::dup2(file.handle(), 2);
    }
    ~StderrCapture() { text(); }
    QString text()
    {
        if (saved >= 0) {
            std::fflush(stderr);
            ::dup2(saved, 2);
            ::close(saved);
            saved = -1;
            file.seek(0);
            said = QString::fromLocal8Bit(file.readAll());
        }
        return said;
    }

private:
    QTemporaryFile file;
    int saved = -1;
    QString said;
};

// What can be told of a file without reading a pipe or a device: kind, link,
// size, time and, for a small regular file, its bytes.
QString fileState(const QString &path)
{
    const QFileInfo info(path);
    QString state = QStringLiteral("%1 %2 %3 %4 %5")
                        .arg(info.exists())
                        .arg(info.isSymLink() ? info.symLinkTarget() : QString())
                        .arg(info.isDir()    ? QStringLiteral("dir")
                             : info.isFile() ? QStringLiteral("file")
                                             : QString())
                        .arg(info.size())
                        .arg(info.lastModified().toMSecsSinceEpoch());
    QFile f(path);
    if (info.isFile() && !info.isSymLink() && info.size() < (16 << 20) && f.open(QIODevice::ReadOnly))
        state += QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
    return state;
}

// Makes a folder take no new file while the files in it stay writable: no write
// permission on it or, for root (whom permissions do not stop), the immutable
// attribute. refuses() is false where neither can be arranged; why() says so.
class RefusingFolder
{
public:
    explicit RefusingFolder(const QString &path) : folder(path)
    {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
        if (takesNewFiles()) {
            fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            int flags = 0;
            if (fd < 0 || ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
                reason = QStringLiteral("no file attributes here: ") + QString::fromLocal8Bit(std::strerror(errno));
            } else {
                flags |= FS_IMMUTABLE_FL;
                if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0)
                    immutable = true;
                else
                    reason = QStringLiteral("the immutable attribute cannot be set here: ")
                             + QString::fromLocal8Bit(std::strerror(errno));
            }
        }
        refusing = !takesNewFiles();
        if (!refusing && reason.isEmpty())
            reason = QStringLiteral("the folder takes new files whatever is done to it");
    }
    ~RefusingFolder()
    {
        int flags = 0;
        if (immutable && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            ::close(fd);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                                          | QFile::WriteUser | QFile::ExeUser);
    }
    bool refuses() const { return refusing; }
    QString why() const { return reason; }

private:
    bool takesNewFiles() const
    {
        QFile probe(folder + QStringLiteral("/probe"));
        if (!probe.open(QIODevice::WriteOnly))
            return false;
        probe.remove();
        return true;
    }

    QString folder;
    QString reason;
    int fd = -1;
    bool immutable = false;
    bool refusing = false;
};

// Each case runs in a fresh working folder, where config.ini lives (a new
// path, so no cached QSettings file is reused).
class tst_startup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

    static QString readFile()
    {
        QFile f(QStringLiteral("config.ini"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static QByteArray fileBytes()
    {
        QFile f(QStringLiteral("config.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeFile(const QByteArray &text)
    {
        QFile f(QStringLiteral("config.ini"));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(text);
    }
    static QString setting(const char *key) { return ZnConfigSettings().value(QLatin1String(key)).toString(); }

    static QStringList entries()
    {
        return QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    // The one box the operator was shown: its title and its text.
    static void checkBox(const ZnModalHelper &modal, const QString &text)
    {
        QVERIFY(modal.handled());
        const QStringList seen = modal.seenTexts();
        QVERIFY2(seen.contains(QStringLiteral("提示"))
                     && std::any_of(seen.begin(), seen.end(), [&](const QString &t) { return t.simplified() == text; }),
                 qPrintable(seen.join(QStringLiteral(" | "))));
    }
    // A folder on a disk of its own, made the working folder; the disk is filled
    // once config.ini is written there.
    static QString workOn(const ZnSmallDisk &disk)
    {
        const QString work = disk.path() + QStringLiteral("/work");
        return QDir().mkpath(work) && QDir::setCurrent(work) ? work : QString();
    }

private slots:
    void initTestCase()
    {
        // A second notice would be refused, failing the case that brought it.
        ZnModalGuard::install();
        // The notices are read as the operator reads them, in Chinese, with the
        // translation loaded as the console loads it.
        QVERIFY(QTranslator().load(QStringLiteral("./translate/zh.qm")));
        installTranslator();
        // The reader config.ini's reads share lives as long as the process: made by
        // the user nobody, it is his as well as root's, as the operator's own
        // console's is his (the cases run as him give its memory file new times).
        {
            ZnAsUser user;
            ZnConfigSettings(QStringLiteral("/nonexistent/config.ini")).value(QStringLiteral("Setting/Title"));
        }
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(dir->path()));
        gMySqlPort = 8999;
        gMediaBasePath = "/";
        ZnConfigNotice::reset();
    }

    // Options match whole; one without a value reads as empty.
    void options()
    {
        const char *argv[] = {"prog", "-serverip", "10.0.0.1", "-user", "-password", "-x=y"};
        saveArgs(6, const_cast<char **>(argv));
        QCOMPARE(QString::fromUtf8(getOption("-serverip")), QStringLiteral("10.0.0.1"));
        QVERIFY(getOption("-user") && !*getOption("-user") && getOption("-password") && !*getOption("-password"));
        for (const char *absent : {"-max", "-User", "--user", "-x", static_cast<const char *>(nullptr)})
            QVERIFY(!getOption(absent));
    }

    void boardTypes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("media");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("storedPort");
        QTest::newRow("no file") << QByteArray() << "D:/TalkServerData/mp3" << 8999 << "";
        QTest::newRow("3 without port") << QByteArray("[Setting]\nBoardType=3\n") << "/media/Mp3Root/BroadMedia" << 8999
                                        << "8999";
        QTest::newRow("4 with port") << QByteArray("[Setting]\nBoardType=4\nMySqlPort=3306\n") << "/media/mp3" << 3306
                                     << "3306";
        QTest::newRow("other ignores port")
            << QByteArray("[Setting]\nBoardType=2\nMySqlPort=3306\nMediaPath=E:/media files\n") << "E:/media files"
            << 8999 << "3306";
    }
    void boardTypes()
    {
        QFETCH(QByteArray, file);
        if (!file.isEmpty())
            writeFile(file);
        loadStartupSettings();
        QTEST(QString::fromStdString(gMediaBasePath), "media");
        QTEST(gMySqlPort, "port");
        QTEST(setting("Setting/MySqlPort"), "storedPort");
        QVERIFY(setting("Setting/BoardType").toInt() >= 0);
    }

    // A fresh install, and a change of port or user alone, write the file; the
    // password never goes there; keys QSettings wrote after the login settings
    // were read survive their save.
    void whenTheFileIsWritten()
    {
        LoginSettings fresh("config.ini");
        QCOMPARE(fresh.ServerPort, 0);
        fresh.ServerIp = "10.0.0.1";
        fresh.Passwd = "secret";
        fresh.ServerPort = 8999;
        fresh.save();
        QVERIFY(readFile().contains(QStringLiteral("ServerPort=8999"))
                && !readFile().contains(QStringLiteral("secret")));

        writeFile("[Setting]\nServerIp=10.0.0.1\nServerPort=8999\nUser=op\nPasswd=old\n# untouched\n");
        LoginSettings s("config.ini");
        QCOMPARE(s.Passwd, std::string("old"));
        s.save();
        QVERIFY(readFile().contains(QStringLiteral("# untouched")));
        ZnConfigSettings().setValue(QStringLiteral("Setting/BoardType"), 3);
        s.ServerPort = 9001;
        s.save();
        QVERIFY(readFile().contains(QStringLiteral("ServerPort=9001"))
                && readFile().contains(QStringLiteral("BoardType=3")));
        s.User = "other";
        s.save();
        QVERIFY(readFile().contains(QStringLiteral("User=other")) && readFile().contains(QStringLiteral("Passwd=old")));
    }

    // Keys the console does not write keep their bytes, whichever writer saves the
    // file: texts in GBK and bytes that are no UTF-8, in [Setting] and outside it.
    // Each writer changes its own line and leaves every other one as it was.
    void foreignBytesKept_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("wholeLines");
        QTest::newRow("start-up keys") << "startup" << true;
        QTest::newRow("title from the server") << "title" << true;
        QTest::newRow("export folder") << "folder" << true;
        QTest::newRow("login settings") << "login" << true;
    }
    void foreignBytesKept()
    {
        QFETCH(QString, writer);
        QFETCH(bool, wholeLines);
        const QByteArray file = "; written by hand\n"
                                "Lead\xd6\xd0=\xce\xc4\n"
                                "[Setting]\n"
                                "ServerIp=10.0.0.1\n"
                                "User=op\n"
                                "Title=\xd2\xbb\xba\xc5\xc2\xa5\n"
                                "Gbk = \xd6\xd0\xce\xc4 \xb9\xe3\xb2\xa5\n"
                                "Name\xb9\xe3\xb2\xa5=\xc0\x80\xf5\xff\n"
                                "\n"
                                "[Other\xd6\xd0]\n"
                                "Path=C:\\\xce\xc4\xbc\xfe\n"
                                "Bad=\xed\xa0\x80\xfe\n"
                                "[General]\n"
                                "MediaLastFilePath=/\xb8\xe8\n";
        writeFile(file);
        QByteArray changedLine;
        if (writer == QLatin1String("startup")) {
            loadStartupSettings();
            QCOMPARE(setting("Setting/MediaPath"), QStringLiteral("D:/TalkServerData/mp3"));
        } else if (writer == QLatin1String("title")) {
            changedLine = "Title=\xd2\xbb\xba\xc5\xc2\xa5";
            QVERIFY(ZnConfigSettings().setValue(QStringLiteral("Setting/Title"), QStringLiteral("二号楼")));
            QCOMPARE(setting("Setting/Title"), QStringLiteral("二号楼"));
        } else if (writer == QLatin1String("folder")) {
            QVERIFY(ZnConfigSettings().setValue(QStringLiteral("LogLastFilePath"), QStringLiteral("/tmp/导出")));
            QCOMPARE(setting("LogLastFilePath"), QStringLiteral("/tmp/导出"));
        } else {
            changedLine = "User=op";
            LoginSettings s("config.ini");
            s.User = "other";
            s.save();
        }
        QFile f(QStringLiteral("config.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray after = f.readAll();
        QVERIFY(after != file);

        ZnIniFile ini;
        ini.load("config.ini", nullptr);
        const char *const kept[][3] = {{"Setting", "ServerIp", "10.0.0.1"},
                                       {"Setting", "Gbk", "\xd6\xd0\xce\xc4 \xb9\xe3\xb2\xa5"},
                                       {"Setting", "Name\xb9\xe3\xb2\xa5", "\xc0\x80\xf5\xff"},
                                       {"Other\xd6\xd0", "Path", "C:\\\xce\xc4\xbc\xfe"},
                                       {"Other\xd6\xd0", "Bad", "\xed\xa0\x80\xfe"},
                                       {"General", "MediaLastFilePath", "/\xb8\xe8"}};
        for (const auto &k : kept) {
            const char *v = ini.value(k[0], k[1], nullptr);
            QVERIFY2(v && QByteArray(v) == QByteArray(k[2]), k[1]);
        }
        QVERIFY(after.split('\n').contains("Lead\xd6\xd0=\xce\xc4"));
        if (writer != QLatin1String("title"))
            QCOMPARE(QByteArray(ini.value("Setting", "Title", nullptr)), QByteArray("\xd2\xbb\xba\xc5\xc2\xa5"));
        if (!wholeLines)
            return;
        // Every line but the one changed, in its order.
        const QList<QByteArray> lines = after.split('\n');
        int at = 0;
        for (const QByteArray &line : file.split('\n')) {
            if (line == changedLine)
                continue;
            while (at < lines.size() && lines[at] != line)
                ++at;
            QVERIFY2(at < lines.size(), line.constData());
            ++at;
        }
    }

    // A config.ini that is no regular file, or larger than any settings file, is
    // neither read nor written: the start goes on with the defaults (the login
    // settings, the title, the media folder) and says why. A pipe is never opened
    // for reading (no writer would come); a file at the limit is still read.
    // A file saved as UTF-16 (Notepad's "Unicode") or holding NUL bytes is no text
    // the readers can take: read and written as it stood, the dialog came up empty
    // and the start put UTF-8 lines into it. Such a file is refused like the
    // others. Whatever the file, the operator is told over the dialog why (he saw
    // the defaults without a word).
    void unusableFileStartsWithDefaults_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("told");
        const QString utf16 =
            QStringLiteral("设置未能读取：config.ini 以 UTF-16 编码保存，请另存为 UTF-8 编码。本次使用默认设置。");
        const QString notAFile = QStringLiteral("设置未能读取：config.ini 不是普通文件。本次使用默认设置。");
        const QString tooLarge = QStringLiteral("设置未能读取：config.ini 大于 1 MiB。本次使用默认设置。");
        QTest::newRow("named pipe") << "pipe" << false << notAFile;
        QTest::newRow("link to /dev/zero") << "zero" << false << notAFile;
        QTest::newRow("folder") << "folder" << false
                                << QStringLiteral(
                                       "设置未能读取：config.ini 是文件夹，不是普通文件。本次使用默认设置。");
        QTest::newRow("one byte past the limit") << "oversized" << false << tooLarge;
        QTest::newRow("sparse 4 GiB") << "sparse" << false << tooLarge;
        QTest::newRow("at the limit") << "limit" << true << QString();
        QTest::newRow("UTF-16 LE with its mark") << "utf16le" << false << utf16;
        QTest::newRow("UTF-16 BE with its mark") << "utf16be" << false << utf16;
        QTest::newRow("NUL bytes")
            << "nul" << false
            << QStringLiteral("设置未能读取：config.ini 含有空字符（NUL），不是文本文件。本次使用默认设置。");
        // In the operator's folder, a file only root may read.
        QTest::newRow("no read permission")
            << "unreadable" << false
            << QStringLiteral("设置未能读取：config.ini 无法读取（没有读取权限）。本次使用默认设置。");
        // Told in Chinese as any other cause, not in the system's English.
        QTest::newRow("a loop of links")
            << "loop" << false
            << QStringLiteral("设置未能读取：config.ini 无法读取（符号链接循环或层数过多）。本次使用默认设置。");
    }
    void unusableFileStartsWithDefaults()
    {
        QFETCH(QString, kind);
        QFETCH(bool, read);
        QFETCH(QString, told);
        const QByteArray keys = "[Setting]\r\nBoardType=3\r\nMySqlPort=3306\r\nServerIp=10.0.0.1\r\nServerPort="
                                "9001\r\nUser=op\r\nTitle=T\r\n";
        const QString path = QStringLiteral("config.ini");
        std::unique_ptr<ZnFifoTrap> trap;
        if (kind == QLatin1String("pipe")) {
            trap = std::make_unique<ZnFifoTrap>(QDir::currentPath(), path);
            QVERIFY(trap->isValid());
        } else if (kind == QLatin1String("zero")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("loop")) {
            QVERIFY(QFile::link(QStringLiteral("loop"), path) && QFile::link(path, QStringLiteral("loop")));
        } else if (kind.startsWith(QLatin1String("utf16"))) {
            const bool little = kind.endsWith(QLatin1String("le"));
            QByteArray bytes = little ? "\xFF\xFE" : "\xFE\xFF";
            for (char c : keys)
                bytes += little ? QByteArray(1, c) + '\0' : '\0' + QByteArray(1, c);
            writeFile(bytes);
        } else if (kind == QLatin1String("nul")) {
            writeFile(QByteArray(keys).replace("User=op", QByteArray("User=o\0p", 8)));
        } else if (kind == QLatin1String("unreadable")) {
            writeFile(keys);
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner)
                    && ZnAsUser::giveTo(QDir::currentPath()));
        } else {
            const int size = ZnIniFile::kMaxFileBytes + (kind == QLatin1String("oversized") ? 1 : 0);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            // The keys, then a comment up to the size.
            QVERIFY(f.write(keys + ';' + QByteArray(size - keys.size() - 2, 'x') + '\n') == size);
            if (kind == QLatin1String("sparse"))
                QVERIFY(f.resize(qint64(4) << 30));
        }
        const QString before = fileState(path);
        const QStringList entries = QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        std::unique_ptr<ZnAsUser> asOperator;
        if (kind == QLatin1String("unreadable")) {
            asOperator = std::make_unique<ZnAsUser>();
            if (!asOperator->active())
                QSKIP(qPrintable(asOperator->why()));
        }

        StderrCapture err;
        loadStartupSettings();
        LoginDialog dlg{QString()};
        dlg.fillFields();
        QCOMPARE(QString::fromStdString(gMediaBasePath),
                 read ? QStringLiteral("/media/Mp3Root/BroadMedia") : QStringLiteral("D:/TalkServerData/mp3"));
        QCOMPARE(gMySqlPort, read ? 3306 : 8999);
        QCOMPARE(dlg.windowTitle(), read ? QStringLiteral("T") : QStringLiteral("管理中心"));
        QCOMPARE(dlg.form().connect_ip_edit->text(), read ? QStringLiteral("10.0.0.1") : QString());
        // No stored port: the login dials the default one.
        QCOMPARE(dlg.form().connect_port_edit->text(), read ? QStringLiteral("9001") : QString());
        ZnModalHelper modal;
        if (!told.isEmpty())
            modal.answer(QStringLiteral("ConfirmButton"), &dlg);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        if (!told.isEmpty()) {
            QTRY_VERIFY(modal.handled());
            checkBox(modal, told);
        }
        if (!read) {
            // Each writer leaves the file alone.
            LoginSettings::instance()->ServerIp = "10.0.0.2";
            LoginSettings::instance()->User = "other";
            LoginSettings::instance()->save();
            QVERIFY(!ZnConfigSettings().setValue(QStringLiteral("Setting/Title"), QStringLiteral("new")));
            QVERIFY(!ZnConfigSettings().setValue(QStringLiteral("LogLastFilePath"), QStringLiteral("/tmp")));
            dlg.form().connect_ip_edit->setText(QStringLiteral("10.0.0.3"));
            dlg.form().nameLineEdit->setText(QStringLiteral("op3"));
            dlg.form().fPassLineEdit->setText(QStringLiteral("pw"));
            dlg.on_login_clicked();
            QCOMPARE(LoginSettings::instance()->ServerPort, 8999);
            // Nothing more is told (a box would be refused).
            QCoreApplication::processEvents();
        }
        asOperator.reset();
        const QString said = err.text();
        QCOMPARE(said.contains(QStringLiteral("config.ini: ")), !read);
        QCOMPARE(said.contains(QStringLiteral("default settings")), !read);
        QCOMPARE(fileState(path), before);
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System), entries);
        if (trap)
            QVERIFY(trap->stillUnopened());
    }

    // Notepad saves config.ini with a byte-order mark, older editors with lone CRs:
    // both readers find the same lines (the login fields and the stored port among
    // them), and a login that changes the user rewrites that line and nothing else.
    void lineFormsReadAlike_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QByteArray>("lineEnd");
        const QByteArray bom = "\xEF\xBB\xBF";
        QTest::newRow("line feeds") << QByteArray() << QByteArray("\n");
        QTest::newRow("byte-order mark") << bom << QByteArray("\r\n");
        QTest::newRow("lone CRs") << QByteArray() << QByteArray("\r");
        QTest::newRow("byte-order mark and lone CRs") << bom << QByteArray("\r");
    }
    void lineFormsReadAlike()
    {
        QFETCH(QByteArray, mark);
        QFETCH(QByteArray, lineEnd);
        const QList<QByteArray> lines{"[Setting]", "ServerIp=10.0.0.7", "ServerPort=9001", "User=op",
                                      "Title=T",   "BoardType=3",       "MySqlPort=3306"};
        const QByteArray file = mark + lines.join(lineEnd) + lineEnd;
        writeFile(file);
        loadStartupSettings();
        QCOMPARE(gMySqlPort, 3306);
        LoginDialog dlg(QStringLiteral("pw"));
        dlg.fillFields();
        QCOMPARE(dlg.windowTitle(), QStringLiteral("T"));
        QCOMPARE(dlg.form().connect_ip_edit->text(), QStringLiteral("10.0.0.7"));
        QCOMPARE(dlg.form().nameLineEdit->text(), QStringLiteral("op"));
        QCOMPARE(dlg.form().connect_port_edit->text(), QStringLiteral("9001"));

        dlg.form().nameLineEdit->setText(QStringLiteral("other"));
        dlg.on_login_clicked();
        QCOMPARE(LoginSettings::instance()->ServerPort, 9001);
        QCOMPARE(fileBytes(), QByteArray(file).replace("User=op", "User=other"));
        QCOMPARE(setting("Setting/User"), QStringLiteral("other"));
    }

    // config.ini in a folder that takes no new file (a program folder the operator
    // may not write): the file cannot be replaced by a new one, and is written in
    // place; the next start reads what was saved. On a full disk a write that
    // makes the file reach into a block it has not got is refused before a byte
    // is overwritten (it was cut mid-line); one within its last block goes through.
    void savedInAFolderThatRefusesNewFiles_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<int>("fullDiskFileBytes"); // 0: an ordinary disk
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("linked"); // config.ini a link into that folder, from one that takes new files
        QTest::newRow("login settings") << "login" << 0 << true << false;
        QTest::newRow("title") << "title" << 0 << true << false;
        QTest::newRow("full disk, login past the last block: kept") << "login" << 4090 << false << false;
        QTest::newRow("full disk, title past the last block: kept") << "title" << 4090 << false << false;
        QTest::newRow("full disk, login within the last block: written") << "login" << 3000 << true << false;
        QTest::newRow("full disk, title within the last block: written") << "title" << 3000 << true << false;
        // A link stays a link: the file it names is written (a new file renamed
        // over the link made it a plain file, the shared one never written again).
        QTest::newRow("login, through a link") << "login" << 0 << true << true;
        QTest::newRow("title, through a link") << "title" << 0 << true << true;
        QTest::newRow("full disk, title through a link, past the last block: kept") << "title" << 4090 << false << true;
    }
    void savedInAFolderThatRefusesNewFiles()
    {
        QFETCH(QString, writer);
        QFETCH(int, fullDiskFileBytes);
        QFETCH(bool, saved);
        QFETCH(bool, linked);
        std::unique_ptr<ZnSmallDisk> disk;
        QByteArray file = "; kept\n[Setting]\nServerIp=10.0.0.1\nServerPort=8999\nUser=op\nTitle=old\n";
        if (fullDiskFileBytes > 0) {
            disk = std::make_unique<ZnSmallDisk>(64 << 10);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->why()));
            QVERIFY(!workOn(*disk).isEmpty());
            file += ';' + QByteArray(fullDiskFileBytes - file.size() - 2, 'x') + '\n';
        }
        const QString work = QDir::currentPath();
        if (linked) {
            QVERIFY(QDir().mkdir(QStringLiteral("shared")) && QDir::setCurrent(QStringLiteral("shared")));
            writeFile(file);
            QVERIFY(QDir::setCurrent(work)
                    && QFile::link(QStringLiteral("shared/config.ini"), QStringLiteral("config.ini")));
        } else {
            writeFile(file);
        }
        RefusingFolder folder(linked ? work + QStringLiteral("/shared") : work);
        if (!folder.refuses())
            QSKIP(qPrintable(folder.why()));
        if (disk)
            QVERIFY(disk->leaveFree(0));
        StderrCapture err;
        if (writer == QLatin1String("login")) {
            LoginSettings s("config.ini");
            s.ServerIp = "10.0.0.2";
            s.User = "other operator";
            QCOMPARE(s.save(), saved);
            LoginSettings next("config.ini");
            QCOMPARE(next.ServerIp, std::string(saved ? "10.0.0.2" : "10.0.0.1"));
            QCOMPARE(next.User, std::string(saved ? "other operator" : "op"));
        } else {
            QCOMPARE(ZnConfigSettings().setValue(QStringLiteral("Setting/Title"), QStringLiteral("a new title")),
                     saved);
            QCOMPARE(setting("Setting/Title"), saved ? QStringLiteral("a new title") : QStringLiteral("old"));
        }
        QVERIFY(fileBytes().startsWith("; kept\n[Setting]\n"));
        if (!saved)
            QCOMPARE(fileBytes(), file);
        QCOMPARE(err.text().contains(QStringLiteral("config.ini: not saved (No space left on device)")), !saved);
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 linked ? QStringList({QStringLiteral("config.ini"), QStringLiteral("shared")})
                        : QStringList{QStringLiteral("config.ini")});
        QCOMPARE(QFileInfo(QStringLiteral("config.ini")).isSymLink(), linked);
        if (linked)
            QCOMPARE(QDir(QStringLiteral("shared")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{QStringLiteral("config.ini")});
    }

    // A full or nearly full disk: every save leaves config.ini as it was, whole,
    // and no other file beside it (a start cut it to its two new lines, a login to
    // nothing, QSaveFile having taken a failed flush for success). The operator is
    // told once, over the first window up; a later failure of the run tells nothing
    // more, nor one while the box is still being read. So is a save refused because
    // the file would pass 1 MiB (a title of that size from the server), or because
    // the changed file would not read the value back (a quote left open before it):
    // both were refused without a word.
    void fullDiskKeepsTheFile_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("everyKey");
        QTest::addColumn<int>("freeBytes");
        QTest::addColumn<QString>("cause"); // full: on a small disk, filled
        QTest::newRow("start, then the login dialog") << "dialog" << false << 0 << "full";
        QTest::newRow("direct login, without the start's keys") << "direct" << false << 0 << "full";
        QTest::newRow("direct login, every key there") << "direct" << true << 0 << "full";
        QTest::newRow("start on a nearly full disk, an 11 KB file") << "start" << false << 8192 << "full";
        QTest::newRow("title, then a folder: told once") << "title" << true << 0 << "full";
        QTest::newRow("a save while the box is read: told once") << "slow" << true << 0 << "full";
        QTest::newRow("title of 1 MiB: told too large") << "title" << true << 0 << "large";
        QTest::newRow("direct login past 1 MiB: told too large") << "direct" << true << 0 << "large";
        QTest::newRow("title after a quote left open: told the file's form") << "title" << true << 0 << "form";
        // QSettings writes the key's line in the temporary folder first.
        QTest::newRow("title with the temporary folder's disk full: told the disk is full")
            << "title" << true << 0 << "tmp";
        // The operator (not root) made his config.ini read-only in a folder he may
        // write: it was replaced, its mode still 0444, and nothing told.
        QTest::newRow("start, then the login dialog, a file of mode 0444: told no permission")
            << "dialog" << false << 0 << "readonly";
        QTest::newRow("direct login, a file of mode 0444: told no permission") << "direct" << false << 0 << "readonly";
        QTest::newRow("direct login, every key there, a file of mode 0444") << "direct" << true << 0 << "readonly";
        QTest::newRow("title, a file of mode 0444: told no permission") << "title" << true << 0 << "readonly";
    }
    void fullDiskKeepsTheFile()
    {
        QFETCH(QString, writer);
        QFETCH(bool, everyKey);
        QFETCH(int, freeBytes);
        QFETCH(QString, cause);
        std::unique_ptr<ZnSmallDisk> disk;
        if (cause == QLatin1String("full")) {
            disk = std::make_unique<ZnSmallDisk>(1 << 20);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->why()));
            QVERIFY(!workOn(*disk).isEmpty());
        }
        std::unique_ptr<ZnSmallDisk> tmp;
        const QByteArray tmpdir = qgetenv("TMPDIR");
        const auto restoreTmp = qScopeGuard([&tmpdir] {
            if (tmpdir.isNull())
                qunsetenv("TMPDIR");
            else
                qputenv("TMPDIR", tmpdir);
        });
        if (cause == QLatin1String("tmp")) {
            tmp = std::make_unique<ZnSmallDisk>(64 << 10);
            if (!tmp->mounted())
                QSKIP(qPrintable(tmp->why()));
            QVERIFY(tmp->leaveFree(0));
        }
        QByteArray file = "\xEF\xBB\xBF; 广播中心\r\n[Setting]\r\nServerIp=10.0.0.1\r\nServerPort=9001\r\nUser=op\r\n"
                          "Title=一号楼\r\n";
        if (cause == QLatin1String("form"))
            file.replace("User=op", "User=\"op");
        if (everyKey)
            file += "BoardType=0\r\nMediaPath=D:/TalkServerData/mp3\r\n";
        // Large: two bytes short of the limit, so that every save makes it longer.
        const int size = cause == QLatin1String("large") ? ZnIniFile::kMaxFileBytes - 2 : freeBytes > 0 ? 11000 : 2575;
        for (int i = 0; file.size() < size; ++i)
            file += "; line " + QByteArray::number(i) + ' ' + QByteArray(40, 'x') + "\r\n";
        if (cause == QLatin1String("large"))
            file = file.left(size - 2) + "\r\n";
        writeFile(file);
        if (disk)
            QVERIFY(disk->leaveFree(freeBytes));
        const QMap<QString, QPair<QString, QString>> reasons{
            {QStringLiteral("full"), {QStringLiteral("磁盘空间不足"), QStringLiteral("No space left on device")}},
            {QStringLiteral("tmp"), {QStringLiteral("磁盘空间不足"), QStringLiteral("No space left on device")}},
            {QStringLiteral("readonly"), {QStringLiteral("没有写入权限"), QStringLiteral("Permission denied")}},
            {QStringLiteral("large"), {QStringLiteral("文件过大"), QStringLiteral("File too large")}},
            {QStringLiteral("form"),
             {QStringLiteral("文件格式有误"),
              QStringLiteral("a quote left open or a line continued there would not read the value back")}}};
        const QString told = QStringLiteral("设置未能保存：config.ini 无法写入（%1）。").arg(reasons[cause].first);
        const QString said = QStringLiteral("config.ini: not saved (%1)").arg(reasons[cause].second);
        const QString title =
            cause == QLatin1String("large") ? QString(1 << 20, QLatin1Char('W')) : QStringLiteral("二号楼");

        std::unique_ptr<ZnAsUser> user;
        if (cause == QLatin1String("readonly")) {
            QVERIFY(QFile::setPermissions(QStringLiteral("config.ini"),
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            QVERIFY(ZnAsUser::giveTo(QStringLiteral("config.ini")) && ZnAsUser::giveTo(QDir::currentPath()));
            user = std::make_unique<ZnAsUser>();
            if (!user->active())
                QSKIP(qPrintable(user->why()));
        }
        StderrCapture err;
        if (tmp)
            qputenv("TMPDIR", QFile::encodeName(tmp->path()));
        ZnModalHelper modal;
        // The window the operator sees after a direct login or a start.
        QWidget window;
        if (writer == QLatin1String("dialog")) {
            loadStartupSettings();
            LoginDialog dlg{QString()};
            dlg.fillFields();
            modal.answer(QStringLiteral("ConfirmButton"), &dlg);
            dlg.show();
            QTRY_VERIFY(modal.handled());
            checkBox(modal, told);
            QCOMPARE(dlg.windowTitle(), QStringLiteral("一号楼"));
            QCOMPARE(dlg.form().connect_ip_edit->text(), QStringLiteral("10.0.0.1"));
            QCOMPARE(dlg.form().nameLineEdit->text(), QStringLiteral("op"));
            QCOMPARE(dlg.form().connect_port_edit->text(), QStringLiteral("9001"));
            // The login's own save fails too: nothing more is told.
            dlg.form().nameLineEdit->setText(QStringLiteral("other"));
            dlg.form().fPassLineEdit->setText(QStringLiteral("pw"));
            dlg.on_login_clicked();
        } else if (writer == QLatin1String("direct") || writer == QLatin1String("start")) {
            loadStartupSettings();
            if (writer == QLatin1String("direct")) {
                const char *argv[] = {"prog", "-serverip", "10.0.0.9", "-user", "other", "-password", "pw"};
                saveArgs(7, const_cast<char **>(argv));
                int maxFlag = 1;
                QCOMPARE(runLogin(&maxFlag), -1);
                QCOMPARE(LoginSettings::instance()->ServerIp, std::string("10.0.0.9"));
            }
            // Nothing shown before the window is up; then the notice waiting.
            QCoreApplication::processEvents();
            ZnConfigNotice::watch(&window);
            modal.answer(QStringLiteral("ConfirmButton"), &window);
            window.show();
            QTRY_VERIFY(modal.handled());
            checkBox(modal, told);
        } else {
            ZnConfigNotice::watch(&window);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            bool refusedMeanwhile = writer != QLatin1String("slow");
            if (!refusedMeanwhile) {
                modal.onModal(
                    [&refusedMeanwhile](QWidget *box) {
                        refusedMeanwhile =
                            !ZnConfigSettings().setValue(QStringLiteral("MediaLastFilePath"), QStringLiteral("/tmp"));
                        QCoreApplication::processEvents();
                        QTest::mouseClick(ZnModalHelper::findButton(box, QStringLiteral("ConfirmButton")),
                                          Qt::LeftButton);
                    },
                    &window);
            } else {
                modal.answer(QStringLiteral("ConfirmButton"), &window);
            }
            QVERIFY(!ZnConfigSettings().setValue(QStringLiteral("Setting/Title"), title));
            QTRY_VERIFY(modal.handled());
            checkBox(modal, told);
            QVERIFY(refusedMeanwhile);
            QVERIFY(!ZnConfigSettings().setValue(QStringLiteral("LogLastFilePath"), QStringLiteral("/tmp/导出")));
        }
        // A second box would be refused here.
        QCoreApplication::processEvents();
        QCOMPARE(fileBytes(), file);
        QCOMPARE(entries(), QStringList{QStringLiteral("config.ini")});
        QVERIFY2(err.text().contains(said), qPrintable(err.text()));
        struct stat st;
        if (user)
            QVERIFY(::stat("config.ini", &st) == 0 && (st.st_mode & 07777) == 0444);
    }

    // No port in the file: the hidden port field stays empty and the login uses
    // its placeholder port, not port 0.
    void portZeroMeansDefault()
    {
        writeFile("[Setting]\nServerIp=10.0.0.1\nServerPort=0\nUser=op\n");
        LoginDialog dlg(QStringLiteral("pw"));
        dlg.fillFields();
        QVERIFY(dlg.form().connect_port_edit->text().isEmpty());
        QCOMPARE(dlg.form().fPassLineEdit->text(), QStringLiteral("pw"));
        dlg.on_login_clicked();
        QCOMPARE(LoginSettings::instance()->ServerPort, 8999);
        QVERIFY(readFile().contains(QStringLiteral("ServerPort=8999")));
        QVERIFY(!dlg.loginSucceeded());
    }

    void loginFieldsRefuseBadInput()
    {
        LoginDialog dlg{QString()};
        QTest::keyClicks(dlg.form().fPassLineEdit, QStringLiteral("ab-c") + QString(30, QLatin1Char('x')));
        QCOMPARE(dlg.form().fPassLineEdit->text(), QStringLiteral("abc") + QString(17, QLatin1Char('x')));

        // Enter in a field starts the login: empty user gives the empty-field
        // message; Escape does not close the dialog.
        dlg.show();
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"), &dlg);
        QTest::keyClick(dlg.form().nameLineEdit, Qt::Key_Return);
        QVERIFY(modal.handled());
        QVERIFY(modal.seenTexts().join(QString()).contains(QStringLiteral("用户名或者密码不能为空，请重新输入!")));
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
    }

    // The address field takes only what can still become four numbers, 0 to 255 and
    // the last at most 254; the login takes the field as it stands, with no check or
    // message of its own (an address that is no address fails at the connect).
    void addressFieldTakesFourNumbers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *typed, const char *shown) {
            QTest::newRow(name) << QString::fromLatin1(typed) << QString::fromLatin1(shown);
        };
        row("highest numbers", "255.255.255.254", "255.255.255.254");
        row("zeros", "0.0.0.0", "0.0.0.0");
        row("last number 255 stops at 25", "10.0.0.255", "10.0.0.25");
        row("numbers above 255 lose their last digit", "999.300.1.1", "99.30.1.1");
        row("letters never enter", "1a0.0.0.1", "10.0.0.1");
        row("no empty number", "10..0.1", "10.0.1");
        row("no fifth number", "10.0.0.1.2", "10.0.0.12");
        row("three numbers stay", "10.0.1", "10.0.1");
    }
    void addressFieldTakesFourNumbers()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        writeFile("[Setting]\nServerIp=10.1.1.1\nServerPort=8999\nUser=op\n");
        LoginDialog dlg(QStringLiteral("pw"));
        dlg.fillFields();
        dlg.form().connect_ip_edit->clear();
        QTest::keyClicks(dlg.form().connect_ip_edit, typed);
        QCOMPARE(dlg.form().connect_ip_edit->text(), shown);
        dlg.show();
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"), &dlg);
        dlg.on_login_clicked();
        QVERIFY2(modal.seenTexts().isEmpty(), qPrintable(modal.seenTexts().join(QLatin1Char(' '))));
        QCOMPARE(QString::fromStdString(LoginSettings::instance()->ServerIp), shown);
        QVERIFY(readFile().contains(QStringLiteral("ServerIp=") + shown + QLatin1Char('\n')));
    }

    // Whatever a start writes back, the title's bytes stay as typed. The title was
    // the server's: the dialog shows it as written, and a picture it names (a FIFO
    // in the working folder) is never opened.
    void titleSurvivesAStart_data()
    {
        QTest::addColumn<QByteArray>("title");
        QTest::newRow("Chinese") << QByteArray("一号楼广播中心");
        QTest::newRow("with blanks") << QByteArray("一号 广播 中心");
        QTest::newRow("markup shown as written") << QByteArray("<b>x</b>");
    }
    void titleSurvivesAStart()
    {
        QFETCH(QByteArray, title);
        const QByteArray line = "Title=" + title + "\n";
        writeFile("[Setting]\n" + line + "ServerIp=10.0.0.1\nUser=op\n");
        loadStartupSettings();
        LoginDialog dlg{QString()};
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8(title));
        QCOMPARE(dlg.form().login_title_edit->text(), QString::fromUtf8(title));
        QCOMPARE(dlg.form().login_title_edit->textFormat(), Qt::PlainText);
        LoginSettings::instance()->User = "other";
        LoginSettings::instance()->save();
        const QString after = readFile();
        QVERIFY2(after.contains(QString::fromUtf8(line)), qPrintable(after));
        QVERIFY(after.contains(QStringLiteral("MediaPath=D:/TalkServerData/mp3"))
                && after.contains(QStringLiteral("User=other")));
    }

    // A title of any length (the server's system name, kept in config.ini) leaves
    // the dialog its own size: the title is cut, the tip holds it, and the buttons
    // are on a small screen and work.
    void longTitleKeepsTheDialog_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("45,000 letters") << QString(45000, QLatin1Char('W'));
        QTest::newRow("300 Chinese characters") << QString(300, QChar(0x5E7F));
        QTest::newRow("45,000 with blanks") << QStringLiteral("广播 中心 ").repeated(7500);
    }
    void longTitleKeepsTheDialog()
    {
        QFETCH(QString, title);
        writeFile("[Setting]\nTitle=" + title.toUtf8() + "\nServerIp=10.0.0.1\nUser=op\n");
        LoginDialog dlg{QString()};
        dlg.fillFields();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QRect screen(0, 0, 1366, 768);
        QVERIFY2(dlg.width() <= screen.width() && dlg.height() <= screen.height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(dlg.width()).arg(dlg.height())));
        auto &ui = dlg.form();
        for (QWidget *w : std::initializer_list<QWidget *>{ui.ok_btn, ui.cancel_btn, ui.dialogCloseBtn}) {
            const QRect r(w->mapToGlobal(QPoint(0, 0)), w->size());
            QVERIFY2(screen.contains(r) && w->isVisible(), qPrintable(w->objectName()));
        }
        QVERIFY(dlg.windowTitle().size() <= ZnServerText::kMaxShown + 1);
        QTextDocument tip;
        tip.setHtml(ui.login_title_edit->toolTip());
        const QString tipText = tip.toPlainText().remove(QChar(0x200B));
        QVERIFY(title.startsWith(tipText.left(ZnServerText::kMaxTipShown)));
        QVERIFY(tipText.size() >= qMin(title.size(), ZnServerText::kMaxTipShown));

        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"), &dlg);
        QTest::mouseClick(ui.ok_btn, Qt::LeftButton);
        QVERIFY(modal.handled());
        QCOMPARE(dlg.outcome(), LoginDialog::EmptyField);
        QTest::mouseClick(ui.cancel_btn, Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    // A stored title naming a picture (a FIFO in the working folder): the painted
    // dialog never opens it.
    void storedTitleOpensNothing()
    {
        ZnFifoTrap trap(QDir::currentPath());
        QVERIFY(trap.isValid());
        writeFile("[Setting]\nTitle=<img src=trap>\n");
        loadStartupSettings();
        LoginDialog dlg{QString()};
        QCOMPARE(dlg.form().login_title_edit->text(), QStringLiteral("<img src=trap>"));
        dlg.grab();
        QVERIFY(trap.stillUnopened());
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
