#include "ZnIniFile.h"
#include "ZnSmallDisk.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <unistd.h>

class TestZnIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QByteArray path(const char *name) const { return QFile::encodeName(m_dir.filePath(QString::fromUtf8(name))); }
    QByteArray write(const char *name, const QByteArray &text) const
    {
        QFile f(m_dir.filePath(QString::fromUtf8(name)));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
            qFatal("cannot write %s", name);
        return path(name);
    }
    static QByteArray read(const QByteArray &p)
    {
        QFile f(QFile::decodeName(p));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static QByteArray str(const char *s) { return s ? QByteArray(s) : QByteArray("<null>"); }

private slots:
    // Inner blanks belong to a value, only the blanks around it go; keys after a
    // repeated header join that section; a save changes the lines of the values
    // set and adds the new ones (in the line break of the file's first line).
    void readsEditsAndSaves()
    {
        const QByteArray text = "# comment\r\n; other\n\n   [ Setting ]   trailing\r\n"
                                "  ServerIp = 192.168.1.100  \r\nEmpty=\nEq=a=b\n"
                                "Title = Main  hall east \t\n\t\n[Other]\nuser=lower\n"
                                "[Setting]\nUser=admin\n";
        const QByteArray p = write("read.ini", text);
        ZnIniFile ini;
        int line = 0;
        QCOMPARE(ini.load(p.constData(), &line), 0);
        QCOMPARE(line, 13);
        QCOMPARE(ini.setValue("Setting", "User", "op2"), 0);
        QCOMPARE(ini.setIntValue("Setting", "Neg", -5), 0);
        QCOMPARE(ini.setValue("Net", "Name", "广播 中心"), 0);
        QCOMPARE(ini.save(p.constData()), 0);
        QCOMPARE(read(p),
                 QByteArray(text).replace("User=admin\n", "User=op2\nNeg=-5\r\n") + "\r\n[Net]\r\nName=广播 中心\r\n");
        // A missing key of an existing section is null, a missing section the default.
        QCOMPARE(str(ini.value("Other", "User", "x")), QByteArray("<null>"));
        QCOMPARE(str(ini.value("setting", "User", "x")), QByteArray("x"));
    }

    // A save changes the line of each value set, or adds one; every other byte of
    // the file stays: comments, spacing, line breaks, lines that do not parse.
    void saveKeepsUnchangedLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char *name, const QByteArray &file, const char *key, const char *value,
                            const QByteArray &after) {
            const QList<QByteArray> sk = QByteArray(key).split('/');
            QTest::newRow(name) << file << sk[0] << sk[1] << QByteArray(value) << after;
        };
        row("comment and spacing kept", "; my note\n[Setting]\n  spaced = x  \nUser=op\n", "Setting/User", "other",
            "; my note\n[Setting]\n  spaced = x  \nUser=other\n");
        row("value replaced between its blanks", "[Setting]\r\n\tUser =  op \t\r\n", "Setting/User", "new",
            "[Setting]\r\n\tUser =  new \t\r\n");
        row("new key after the section's last key", "[Setting]\r\nUser=op\r\n\r\n; next\r\n[Other]\r\nk=v\r\n",
            "Setting/ServerIp", "1.2.3.4",
            "[Setting]\r\nUser=op\r\nServerIp=1.2.3.4\r\n\r\n; next\r\n[Other]\r\nk=v\r\n");
        row("new key after a last line without a break", "[Setting]\nUser=op", "Setting/ServerIp", "1.2.3.4",
            "[Setting]\nUser=op\nServerIp=1.2.3.4\n");
        row("new section at the end", "; only a note", "Setting/User", "u", "; only a note\n\n[Setting]\nUser=u\n");
        row("a key twice: the one read changes", "[S]\nk=1\n; c\nk=2\n", "S/k", "new", "[S]\nk=1\n; c\nk=new\n");
        row("repeated header: after its last block", "[S]\na=1\n[T]\nb=2\n[S]\nc=3\n\n; end\n", "S/d", "4",
            "[S]\na=1\n[T]\nb=2\n[S]\nc=3\nd=4\n\n; end\n");
        row("lines that do not parse stay", "junk\n[S]\nbad line\na=1\n[broken\na=9\n", "S/a", "2",
            "junk\n[S]\nbad line\na=2\n[broken\na=9\n");
        row("other encodings kept", "[Setting]\nTitle=\xd2\xbb \xba\xc5\nUser=op\n", "Setting/User", "\xe5\xbc\xa0",
            "[Setting]\nTitle=\xd2\xbb \xba\xc5\nUser=\xe5\xbc\xa0\n");
        row("the same value: not a byte changed", "[S]\n a = 1 \n", "S/a", "1", "[S]\n a = 1 \n");
        // Notepad saves so: the mark is no part of the first header, and stays.
        row("byte-order mark: its section found and the mark kept",
            "\xEF\xBB\xBF[Setting]\r\nServerIp=10.0.0.1\r\nUser=op\r\n", "Setting/User", "other",
            "\xEF\xBB\xBF[Setting]\r\nServerIp=10.0.0.1\r\nUser=other\r\n");
        row("lone CRs end lines", "[Setting]\rServerIp=10.0.0.1\rUser=op\r; end", "Setting/User", "other",
            "[Setting]\rServerIp=10.0.0.1\rUser=other\r; end");
        row("a new line in a file of lone CRs ends in a CR", "[Setting]\rUser=op", "Setting/ServerIp", "1.2.3.4",
            "[Setting]\rUser=op\rServerIp=1.2.3.4\r");
    }
    void saveKeepsUnchangedLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        const QByteArray p = write("kept.ini", file);
        ZnIniFile ini;
        ini.load(p.constData(), nullptr);
        QCOMPARE(ini.setValue(section.constData(), key.constData(), value.constData()), 0);
        QCOMPARE(ini.save(p.constData()), 0);
        QTEST(read(p), "after");
        ZnIniFile again;
        again.load(p.constData(), nullptr);
        QCOMPARE(str(again.value(section.constData(), key.constData(), nullptr)), value);
    }

    // A bad line no longer stops the load: it is reported, kept and written back
    // verbatim, and keys under a bad header do not slip into the section before it.
    void badLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("badLine");
        QTest::newRow("key before any section") << QByteArray("k=v\n[S]\na=1\n") << 1;
        QTest::newRow("header without ]") << QByteArray("[S]\na=1\n[T\nc=3\n") << 3;
        QTest::newRow("blank inside header") << QByteArray("[S]\n[a b]\nc=3\n") << 2;
        QTest::newRow("key without =") << QByteArray("[S]\na=1\njustakey\nb=2\n") << 3;
        QTest::newRow("blank inside key") << QByteArray("[S]\nmy key=v\n") << 2;
    }
    void badLines()
    {
        QFETCH(QByteArray, text);
        const QByteArray p = write("bad.ini", text);
        ZnIniFile ini;
        int line = 0;
        QCOMPARE(ini.load(p.constData(), &line), -1);
        QTEST(line, "badLine");
        QCOMPARE(str(ini.value("S", "c", nullptr)), QByteArray("<null>"));
        QCOMPARE(ini.save(p.constData()), 0);
        const QByteArray saved = read(p);
        for (const QByteArray &l : text.split('\n'))
            QVERIFY2(saved.contains(l), l.constData());
    }

    // Texts the file could not hold as given are refused instead of corrupting it.
    void refusesTextsASaveWouldBreak()
    {
        ZnIniFile ini;
        const char *const bad[][3] = {{"S", "k", "two\nlines"}, {"S", "k", "cr\r"},   {"S x", "k", "v"},
                                      {"S]", "k", "v"},         {"S", "a=b", "v"},    {"S", "a b", "v"},
                                      {"S", "#k", "v"},         {"S", "[k", "v"},     {nullptr, "k", "v"},
                                      {"S", "k", " lead"},      {"S", "k", "trail\t"}};
        for (const auto &b : bad)
            QCOMPARE(ini.setValue(b[0], b[1], b[2]), -1);
        QVERIFY(ini.sections().empty());
    }

    // config.ini is written by QSettings too: its values, blanks and all, must come
    // through a rewrite by this model unchanged.
    void sharesTheFileWithQSettings()
    {
        const QString file = m_dir.filePath(QStringLiteral("config.ini"));
        const QVariantMap values{{QStringLiteral("Setting/Title"), QString::fromUtf8("管理中心 东区  A")},
                                 {QStringLiteral("Setting/MediaPath"), QStringLiteral("D:/Talk Server/mp3")},
                                 {QStringLiteral("Setting/Padded"), QStringLiteral("  both ends  ")},
                                 {QStringLiteral("LogLastFilePath"), QStringLiteral("/tmp/a=b;c, d")}};
        {
            QSettings qs(file, QSettings::IniFormat);
            for (auto it = values.begin(); it != values.end(); ++it)
                qs.setValue(it.key(), it.value());
        }
        const QByteArray p = QFile::encodeName(file);
        ZnIniFile ini;
        QCOMPARE(ini.load(p.constData(), nullptr), 0);
        QCOMPARE(ini.setIntValue("Setting", "ServerPort", 8999), 0);
        QCOMPARE(ini.save(p.constData()), 0);

        QSettings qs(file, QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            QCOMPARE(qs.value(it.key()).toString(), it.value().toString());
        QCOMPARE(qs.value(QStringLiteral("Setting/ServerPort")).toInt(), 8999);
    }

    // A file its lines cannot be found in (UTF-16 as Notepad's "Unicode" saves it,
    // NUL bytes) is refused unread, and a save never writes over it; one in UTF-8
    // with its mark, or with lone CRs, is read and written.
    void noTextNeverWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("form");
        const QByteArray lines = "[Setting]\r\nServerIp=10.0.0.1\r\nServerPort=9001\r\nUser=op\r\n";
        const auto utf16 = [&lines](bool little) {
            QByteArray out = little ? "\xFF\xFE" : "\xFE\xFF";
            for (char c : lines)
                out += little ? QByteArray(1, c) + '\0' : '\0' + QByteArray(1, c);
            return out;
        };
        QTest::newRow("UTF-16 LE with its mark") << utf16(true) << int(ZnTextForm::Utf16LittleEndian);
        QTest::newRow("UTF-16 BE with its mark") << utf16(false) << int(ZnTextForm::Utf16BigEndian);
        QTest::newRow("UTF-16 mark before plain lines") << "\xFF\xFE" + lines << int(ZnTextForm::Utf16LittleEndian);
        QTest::newRow("a NUL byte in a value")
            << QByteArray(lines).replace("op", QByteArray("o\0p", 3)) << int(ZnTextForm::NulBytes);
        QTest::newRow("UTF-8 with its mark: read") << "\xEF\xBB\xBF" + lines << int(ZnTextForm::Text);
        QTest::newRow("lone CRs: read") << QByteArray(lines).replace("\r\n", "\r") << int(ZnTextForm::Text);
    }
    void noTextNeverWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, form);
        const QByteArray p = write("notext.ini", file);
        ZnIniFile ini;
        int line = 0;
        const bool text = form == ZnTextForm::Text;
        QCOMPARE(ini.load(p.constData(), &line), text ? 0 : -1);
        QCOMPARE(line, text ? 4 : -1);
        QCOMPARE(int(ini.refusedForm()), form);
        QCOMPARE(str(ini.value("Setting", "ServerPort", nullptr)), text ? QByteArray("9001") : QByteArray("<null>"));
        QCOMPARE(ini.setValue("Setting", "User", "other"), 0);
        int error = -1;
        QCOMPARE(ini.save(p.constData(), &error), text ? 0 : -1);
        QCOMPARE(error, 0);
        QCOMPARE(read(p) == file, !text);
    }

    // A save that meets a full disk leaves the file as it was, whole, and no other
    // file beside it; the errno says why. The new file is written past Qt's buffer
    // (whose failed flush QSaveFile took for success: the file came out empty or
    // cut).
    // Also where the file is a link to one in another folder, or has a second hard
    // link (written in place then, the room reserved first).
    void fullDiskKeepsTheFile_data()
    {
        QTest::addColumn<int>("fileBytes");
        QTest::addColumn<int>("freeBytes");
        QTest::addColumn<QString>("layout"); // plain, link or hard link
        QTest::newRow("full disk, a 2.5 KB file") << 2575 << 0 << "plain";
        QTest::newRow("8 KiB free, an 11 KB file") << 11000 << 8192 << "plain";
        QTest::newRow("8 KiB free, the longest file read") << ZnIniFile::kMaxFileBytes - 100 << 8192 << "plain";
        QTest::newRow("full disk, a link to a file in another folder") << 2575 << 0 << "link";
        QTest::newRow("full disk, a file with a second hard link, past its last block") << 12270 << 0 << "hard link";
    }
    void fullDiskKeepsTheFile()
    {
        QFETCH(int, fileBytes);
        QFETCH(int, freeBytes);
        QFETCH(QString, layout);
        ZnSmallDisk disk(3 << 20);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        const QDir folder(disk.path() + QStringLiteral("/work"));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        QByteArray file = "; settings\n[Setting]\nServerIp=10.0.0.1\nUser=op\n";
        for (int i = 0; file.size() < fileBytes; ++i)
            file += "Key" + QByteArray::number(i) + "=value of line " + QByteArray::number(i) + '\n';
        file.truncate(fileBytes - 1);
        file += '\n';
        const QString path = folder.filePath(QStringLiteral("config.ini"));
        const QDir shared(disk.path() + QStringLiteral("/shared"));
        const QString real = layout == QLatin1String("link") ? shared.filePath(QStringLiteral("config.ini")) : path;
        QVERIFY(shared.mkpath(QStringLiteral(".")));
        {
            QFile f(real);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        }
        if (layout == QLatin1String("link"))
            QVERIFY(QFile::link(QStringLiteral("../shared/config.ini"), path));
        if (layout == QLatin1String("hard link"))
            QCOMPARE(::link(QFile::encodeName(path).constData(),
                            QFile::encodeName(shared.filePath(QStringLiteral("config.ini"))).constData()),
                     0);
        const QStringList sharedBefore = shared.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QVERIFY(disk.leaveFree(freeBytes));

        ZnIniFile ini;
        QCOMPARE(ini.load(QFile::encodeName(path).constData(), nullptr), 0);
        QCOMPARE(ini.setValue("Setting", "Title", "A new title, so that the file grows"), 0);
        int error = 0;
        QCOMPARE(ini.save(QFile::encodeName(path).constData(), &error), -1);
        QCOMPARE(error, ENOSPC);
        QCOMPARE(read(QFile::encodeName(path)), file);
        QCOMPARE(folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("config.ini")});
        QCOMPARE(shared.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), sharedBefore);

        // With room again the same save goes through, the link or the second name kept.
        disk.unfill();
        QCOMPARE(ini.save(QFile::encodeName(path).constData(), &error), 0);
        QVERIFY(read(QFile::encodeName(path)).contains("Title=A new title"));
        QCOMPARE(QFileInfo(path).isSymLink(), layout == QLatin1String("link"));
        if (layout != QLatin1String("plain"))
            QCOMPARE(read(QFile::encodeName(shared.filePath(QStringLiteral("config.ini")))),
                     read(QFile::encodeName(path)));
    }

    // The old file is replaced whole, never rewritten in place; what cannot be read
    // or written leaves the model and the disk alone.
    void filesReplacedWholeOrNotAtAll()
    {
        const QDir dir(m_dir.filePath(QStringLiteral("whole")));
        QVERIFY(dir.mkpath(QStringLiteral("sub")));
        const QByteArray p = write("whole/config.ini", "[Setting]\nTitle=" + QByteArray(5000, 't') + "\n");
        // A file the operator made private stays so.
        const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QVERIFY(QFile::setPermissions(QFile::decodeName(p), owner));
        ZnIniFile ini;
        QCOMPARE(ini.setValue("Setting", "User", "u"), 0);
        QCOMPARE(ini.save(p.constData()), 0);
        QCOMPARE(read(p), QByteArray("[Setting]\nUser=u\n"));
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("config.ini")});
        QCOMPARE(QFile::permissions(QFile::decodeName(p)) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), owner);

        const QByteArray sub = QFile::encodeName(dir.filePath(QStringLiteral("sub")));
        QCOMPARE(ini.save(sub.constData()), -1);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("sub"))).isDir());
        QCOMPARE(ini.load(sub.constData(), nullptr), -1);
        QCOMPARE(str(ini.value("Setting", "User", nullptr)), QByteArray("u"));
    }
};

QTEST_GUILESS_MAIN(TestZnIniFile)
#include "tst_inifile.moc"
