#include "ZnConfigSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// config.ini is read and written as QSettings has it, one line at a time.
class tst_configsettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    int files = 0;

    QString newFile(const QByteArray &text = QByteArray())
    {
        const QString path = dir.filePath(QStringLiteral("config%1.ini").arg(++files));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

private slots:
    // Files of earlier versions were written by QSettings: what it wrote reads back
    // the same, and what is written here QSettings reads as written.
    void sameTextsAsQSettings_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("Chinese with blanks") << "Setting/Title" << QStringLiteral("管理中心 东区  A");
        QTest::newRow("blanks at both ends") << "Setting/Title" << QStringLiteral("  both ends  ");
        QTest::newRow("separators quoted") << "LogLastFilePath" << QStringLiteral("/tmp/a=b;c, d");
        QTest::newRow("quotes and backslashes") << "Setting/Title" << QStringLiteral("say \"hi\" C:\\dir\\");
        QTest::newRow("at sign first") << "Setting/Title" << QStringLiteral("@Invalid()");
        QTest::newRow("control characters and digits")
            << "Setting/Title"
            << QStringLiteral("tab\there\nline\r") + QChar(1) + QStringLiteral("1") + QChar(0) + QStringLiteral("7f");
        QTest::newRow("empty") << "Setting/MediaPath" << QString();
        QTest::newRow("number") << "Setting/BoardType" << QStringLiteral("3");
    }
    void sameTextsAsQSettings()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString byQt = newFile();
        {
            QSettings qs(byQt, QSettings::IniFormat);
            qs.setIniCodec("UTF-8");
            qs.setValue(key, value);
        }
        QCOMPARE(ZnConfigSettings(byQt).value(key).toString(), value);

        const QString byUs = newFile();
        QVERIFY(ZnConfigSettings(byUs).setValue(key, value));
        QCOMPARE(read(byUs), read(byQt));
        QSettings qs(byUs, QSettings::IniFormat);
        qs.setIniCodec("UTF-8");
        QCOMPARE(qs.value(key).toString(), value);
    }

    // A write changes its key's line, or adds one to the end of its section (a new
    // section at the end of the file); every other byte stays.
    void writesOneLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("value replaced, its comment kept")
            << QByteArray("; top\n[Setting]\nTitle = old ; note\nUser=op\n") << "Setting/Title"
            << QByteArray("; top\n[Setting]\nTitle = new ; note\nUser=op\n");
        QTest::newRow("added after the section's last key")
            << QByteArray("[Setting]\r\nUser=op\r\n\r\n[Other]\r\nk=v") << "Setting/Title"
            << QByteArray("[Setting]\r\nUser=op\r\nTitle=new\r\n\r\n[Other]\r\nk=v");
        QTest::newRow("new section after a last line without a break")
            << QByteArray("\xEF\xBB\xBF[Other]\nk=v") << "Setting/Title"
            << QByteArray("\xEF\xBB\xBF[Other]\nk=v\n\n[Setting]\nTitle=new\n");
        QTest::newRow("a key of no group goes to General")
            << QByteArray("[General]\nMediaLastFilePath=/m\n[Setting]\nUser=op\n") << "LogLastFilePath"
            << QByteArray("[General]\nMediaLastFilePath=/m\nLogLastFilePath=new\n[Setting]\nUser=op\n");
        QTest::newRow("a key twice: the last one counts")
            << QByteArray("[Setting]\nTitle=first\n[Setting]\nTitle=second\n") << "Setting/Title"
            << QByteArray("[Setting]\nTitle=first\n[Setting]\nTitle=new\n");
        QTest::newRow("a new line in a file of lone CRs ends in a CR")
            << QByteArray("[Setting]\rUser=op\r") << "Setting/Title" << QByteArray("[Setting]\rUser=op\rTitle=new\r");
    }
    void writesOneLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        const QString path = newFile(file);
        ZnConfigSettings config(path);
        QVERIFY(config.setValue(key, QStringLiteral("new")));
        QTEST(read(path), "after");
        QCOMPARE(config.value(key).toString(), QStringLiteral("new"));
    }

    // Texts QSettings' own UTF-8 writing and reading would change read back whole.
    void readsBackWhatQSettingsLoses_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("beyond U+FFFF") << QStringLiteral("楼 \U00020BB7 A");
        QTest::newRow("byte-order mark after an escape") << QStringLiteral("a\t\uFEFFbc");
    }
    void readsBackWhatQSettingsLoses()
    {
        QFETCH(QString, value);
        ZnConfigSettings config(newFile());
        QVERIFY(config.setValue(QStringLiteral("Setting/Title"), value));
        QCOMPARE(config.value(QStringLiteral("Setting/Title")).toString(), value);
    }

    // Where QSettings reads a value on across lines (a quote left open), the line
    // of the key's name lies inside that value: the key goes to a new section at
    // the end, or, where the value runs to the end, the write is refused.
    void keyInsideAnotherValue_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("user");
        QTest::newRow("quote closed further down")
            << QByteArray("[Setting]\nUser=\"op\nTitle=old\n\"\n")
            << QByteArray("[Setting]\nUser=\"op\nTitle=old\n\"\n\n[Setting]\nTitle=new\n") << "op\nTitle=old\n";
        QTest::newRow("the same text inside")
            << QByteArray("[Setting]\nUser=\"op\nTitle=new\n\"\n")
            << QByteArray("[Setting]\nUser=\"op\nTitle=new\n\"\n\n[Setting]\nTitle=new\n") << "op\nTitle=new\n";
        QTest::newRow("quote open to the end: refused")
            << QByteArray("[Setting]\nUser=\"op\nTitle=old\n") << QByteArray() << "op\nTitle=old\n";
    }
    void keyInsideAnotherValue()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, after);
        const QString path = newFile(file);
        ZnConfigSettings config(path);
        QCOMPARE(config.setValue(QStringLiteral("Setting/Title"), QStringLiteral("new")), !after.isEmpty());
        QCOMPARE(read(path), after.isEmpty() ? file : after);
        QTEST(config.value(QStringLiteral("Setting/User")).toString(), "user");
        QCOMPARE(config.value(QStringLiteral("Setting/Title")).isValid(), !after.isEmpty());
    }

    // A rewrite of the same size and time stamp (a quick one, or a file system
    // that keeps whole seconds) is read anew: QSettings alone trusts what it read.
    void sameSizeRewriteReadAnew()
    {
        const QString path = newFile("[Setting]\nTitle=a\n");
        const QDateTime stamp = QFileInfo(path).lastModified();
        ZnConfigSettings config(path);
        QCOMPARE(config.value(QStringLiteral("Setting/Title")).toString(), QStringLiteral("a"));
        QVERIFY(config.setValue(QStringLiteral("Setting/Title"), QStringLiteral("b")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(stamp, QFileDevice::FileModificationTime));
        QCOMPARE(config.value(QStringLiteral("Setting/Title")).toString(), QStringLiteral("b"));
    }
};

QTEST_MAIN(tst_configsettings)
#include "tst_configsettings.moc"
