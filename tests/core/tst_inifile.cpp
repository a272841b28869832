#include "ZnIniFile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestZnIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QByteArray path(const char* name) const { return QFile::encodeName(m_dir.filePath(name)); }

    QByteArray write(const char* name, const QByteArray& text) const
    {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
            qFatal("cannot write %s", name);
        return path(name);
    }

    static QByteArray read(const QByteArray& p)
    {
        QFile f(QFile::decodeName(p));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    static QByteArray str(const char* s) { return s ? QByteArray(s) : QByteArray("<null>"); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void readsLinesAsWritten()
    {
        const QByteArray p = write("read.ini",
                                   "# comment\r\n"
                                   "; other comment\n"
                                   "\n"
                                   "   [ Setting ]   trailing text\r\n"
                                   "  ServerIp = 192.168.1.100  \r\n"
                                   "User=admin\n"
                                   "Empty=\n"
                                   "Eq=a=b\n"
                                   "Title = Main  hall east \t\n"
                                   "\t\n"
                                   "[Other]\n"
                                   "user=lower\n");
        ZnIniFile ini;
        int line = 0;
        QCOMPARE(ini.load(p.constData(), &line), 0);
        QCOMPARE(line, 12);
        QCOMPARE(int(ini.sections().size()), 2);
        QCOMPARE(str(ini.value("Setting", "ServerIp", "x")), QByteArray("192.168.1.100"));
        QCOMPARE(str(ini.value("Setting", "User", "x")), QByteArray("admin"));
        QCOMPARE(str(ini.value("Setting", "Empty", "x")), QByteArray(""));
        QCOMPARE(str(ini.value("Setting", "Eq", "x")), QByteArray("a=b"));
        // Inner blanks belong to the value; only the blanks around it go.
        QCOMPARE(str(ini.value("Setting", "Title", "x")), QByteArray("Main  hall east"));
        QCOMPARE(str(ini.value("Other", "user", "x")), QByteArray("lower"));
        QCOMPARE(str(ini.value("Other", "User", "x")), QByteArray("<null>"));

        // A missing key of an existing section is null, a missing section the default.
        QCOMPARE(str(ini.value("Setting", "Missing", "x")), QByteArray("<null>"));
        QCOMPARE(str(ini.value("setting", "User", "x")), QByteArray("x"));
        QCOMPARE(str(ini.value(nullptr, "User", "x")), QByteArray("<null>"));
        QCOMPARE(str(ini.value("Setting", nullptr, "x")), QByteArray("<null>"));
    }

    void repeatedSectionTakesItsOwnKeys()
    {
        const QByteArray p = write("repeat.ini", "[A]\na=1\n[B]\nb=1\n[A]\nc=2\na=3\n");
        ZnIniFile ini;
        QCOMPARE(ini.load(p.constData(), nullptr), 0);
        QCOMPARE(int(ini.sections().size()), 2);
        QCOMPARE(str(ini.value("A", "a", nullptr)), QByteArray("3"));
        QCOMPARE(str(ini.value("A", "c", nullptr)), QByteArray("2"));
        QCOMPARE(str(ini.value("B", "c", nullptr)), QByteArray("<null>"));
        QCOMPARE(int(ini.findSection("A")->keys().size()), 2);
    }

    void badLines_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("badLine");
        QTest::newRow("key before any section") << QByteArray("# c\n\nk=v\n[S]\n") << 3;
        QTest::newRow("header without ]") << QByteArray("[S]\nk=v\n[T\n") << 3;
        QTest::newRow("blank inside header") << QByteArray("[S]\n[a b]\n") << 2;
        QTest::newRow("key without =") << QByteArray("[S]\nk=v\njustakey\n") << 3;
        QTest::newRow("blank inside key") << QByteArray("[S]\nmy key=v\n") << 2;
    }

    void badLines()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, badLine);
        const QByteArray p = write("bad.ini", text);
        ZnIniFile ini;
        int line = 0;
        QCOMPARE(ini.load(p.constData(), &line), -1);
        QCOMPARE(line, badLine);
    }

    void missingFiles()
    {
        ZnIniFile ini;
        QCOMPARE(ini.setValue("Keep", "k", "v"), 0);
        int line = 0;
        QCOMPARE(ini.load(path("no-such.ini").constData(), &line), -1);
        QCOMPARE(line, -1);
        QCOMPARE(ini.load(QFile::encodeName(m_dir.path()).constData(), &line), -1);
        QCOMPARE(ini.load(nullptr, &line), -1);
        // A file that cannot be opened leaves the model alone.
        QCOMPARE(str(ini.value("Keep", "k", nullptr)), QByteArray("v"));
        QCOMPARE(ini.save(nullptr), -1);
        QCOMPARE(ini.save(path("no-such-dir/x.ini").constData()), -1);
    }

    // A file with a line we cannot read must not lose what follows it when the
    // program later saves its own keys.
    void badLineKeepsTheRestOfTheFile()
    {
        const QByteArray p = write("keep.ini",
                                   "[Setting]\n"
                                   "ServerIp=10.0.0.1\n"
                                   "garbage line\n"
                                   "User=admin\n"
                                   "[General]\n"
                                   "MediaLastFilePath=/home/op/media\n");
        ZnIniFile ini;
        int line = 0;
        QCOMPARE(ini.load(p.constData(), &line), -1);
        QCOMPARE(line, 3);
        QCOMPARE(str(ini.value("Setting", "User", nullptr)), QByteArray("admin"));
        QCOMPARE(str(ini.value("General", "MediaLastFilePath", nullptr)),
                 QByteArray("/home/op/media"));

        QCOMPARE(ini.setValue("Setting", "ServerIp", "10.0.0.2"), 0);
        QCOMPARE(ini.save(p.constData()), 0);
        ZnIniFile again;
        QCOMPARE(again.load(p.constData(), &line), -1);
        QCOMPARE(str(again.value("Setting", "ServerIp", nullptr)), QByteArray("10.0.0.2"));
        QCOMPARE(str(again.value("Setting", "User", nullptr)), QByteArray("admin"));
        QCOMPARE(str(again.value("General", "MediaLastFilePath", nullptr)),
                 QByteArray("/home/op/media"));
        QVERIFY(read(p).contains("\ngarbage line\n"));
    }

    // Keys under a header we cannot read belong to no known section: they must not
    // slip into the section before it, and they are written back as they were.
    void keysUnderBadHeaderStayPut()
    {
        const QByteArray p = write("orphan.ini", "[A]\na=1\n[B x]\nb=2\n[C]\nc=3\n");
        ZnIniFile ini;
        int line = 0;
        QCOMPARE(ini.load(p.constData(), &line), -1);
        QCOMPARE(line, 3);
        QCOMPARE(str(ini.value("A", "b", nullptr)), QByteArray("<null>"));
        QCOMPARE(str(ini.value("C", "c", nullptr)), QByteArray("3"));
        QCOMPARE(ini.save(p.constData()), 0);
        QCOMPARE(read(p), QByteArray("[A]\na=1\n[B x]\nb=2\n\n[C]\nc=3\n\n"));
    }

    void savesCanonicalTextAndRoundTrips()
    {
        const QByteArray p = write("round.ini", "; gone after save\n[Setting]\n  User = op \n");
        ZnIniFile ini;
        QCOMPARE(ini.load(p.constData(), nullptr), 0);
        QCOMPARE(ini.setValue("Setting", "Title", "East wing  PA  console"), 0);
        QCOMPARE(ini.setIntValue("Setting", "ServerPort", 8002), 0);
        QCOMPARE(ini.setIntValue("Setting", "Neg", -5), 0);
        QCOMPARE(ini.setValue("Setting", "User", "op2"), 0);
        QCOMPARE(ini.setValue("Net", "Long", std::string(10000, 'x').c_str()), 0);
        QCOMPARE(ini.setValue("Setting", "Name", "广播 中心"), 0);
        QCOMPARE(ini.save(p.constData()), 0);
        QCOMPARE(read(p),
                 QByteArray("[Setting]\nUser=op2\nTitle=East wing  PA  console\nServerPort=8002\n"
                            "Neg=-5\nName=广播 中心\n\n[Net]\nLong=")
                     + QByteArray(10000, 'x') + "\n\n");

        ZnIniFile again;
        int line = 0;
        QCOMPARE(again.load(p.constData(), &line), 0);
        QCOMPARE(line, 10);
        QCOMPARE(int(again.sections().size()), 2);
        QCOMPARE(str(again.value("Setting", "Title", nullptr)), QByteArray("East wing  PA  console"));
        QCOMPARE(str(again.value("Setting", "ServerPort", nullptr)), QByteArray("8002"));
        QCOMPARE(str(again.value("Setting", "Name", nullptr)), QByteArray("广播 中心"));
        QCOMPARE(str(again.value("Net", "Long", nullptr)).size(), 10000);

        // Loading replaces the whole model.
        const QByteArray other = write("other.ini", "[Only]\nk=v\n");
        QCOMPARE(again.load(other.constData(), nullptr), 0);
        QCOMPARE(int(again.sections().size()), 1);
        QCOMPARE(str(again.value("Setting", "Title", "gone")), QByteArray("gone"));
    }

    // Texts the file could not hold as given are refused instead of corrupting it.
    void refusesTextsASaveWouldBreak()
    {
        ZnIniFile ini;
        const char* const bad[][3] = {{"S", "k", "two\nlines"}, {"S", "k", "cr\r"}, {"S x", "k", "v"},
                                      {"S]", "k", "v"},          {"S", "a=b", "v"},  {"S", "a b", "v"},
                                      {"S", "#k", "v"},          {"S", "[k", "v"},   {nullptr, "k", "v"},
                                      {"S", nullptr, "v"},       {"S", "k", nullptr}};
        for (const auto& b : bad)
            QCOMPARE(ini.setValue(b[0], b[1], b[2]), -1);
        QVERIFY(ini.sections().empty());
    }

    // config.ini is written by QSettings too: its values, blanks and all, must come
    // through a rewrite by this model unchanged.
    void sharesTheFileWithQSettings()
    {
        const QString file = m_dir.filePath("config.ini");
        const QVariantMap values{{"Setting/Title", QString::fromUtf8("管理中心 东区  A")},
                                 {"Setting/MediaPath", "D:/Talk Server/mp3"},
                                 {"Setting/BoardType", 3},
                                 {"Setting/Padded", "  both ends  "},
                                 {"MediaLastFilePath", "/home/op/my media"},
                                 {"LogLastFilePath", "/tmp/a=b;c, d"}};
        {
            QSettings qs(file, QSettings::IniFormat);
            for (auto it = values.begin(); it != values.end(); ++it)
                qs.setValue(it.key(), it.value());
        }
        const QByteArray p = QFile::encodeName(file);
        ZnIniFile ini;
        QCOMPARE(ini.load(p.constData(), nullptr), 0);
        QCOMPARE(ini.setValue("Setting", "ServerIp", "10.1.1.1"), 0);
        QCOMPARE(ini.setIntValue("Setting", "ServerPort", 8999), 0);
        QCOMPARE(ini.save(p.constData()), 0);

        QSettings qs(file, QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            QCOMPARE(qs.value(it.key()).toString(), it.value().toString());
        QCOMPARE(qs.value("Setting/ServerIp").toString(), QString("10.1.1.1"));
        QCOMPARE(qs.value("Setting/ServerPort").toInt(), 8999);
    }

    // The old file is replaced whole, never rewritten in place.
    void saveReplacesTheFileWhole()
    {
        QTemporaryDir dir;
        const QByteArray p = QFile::encodeName(dir.filePath("config.ini"));
        {
            QFile f(dir.filePath("config.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Setting]\nTitle=" + QByteArray(5000, 't') + "\n");
        }
        ZnIniFile ini;
        QCOMPARE(ini.setValue("Setting", "User", "u"), 0);
        QCOMPARE(ini.save(p.constData()), 0);
        QCOMPARE(read(p), QByteArray("[Setting]\nUser=u\n\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.ini"});

        // Saving over a path that is a folder fails and leaves it alone.
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QCOMPARE(ini.save(QFile::encodeName(dir.filePath("sub")).constData()), -1);
        QVERIFY(QFileInfo(dir.filePath("sub")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestZnIniFile)
#include "tst_inifile.moc"
