#include "ZnFileFailure.h"
#include "ZnNewFile.h"

#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <cerrno>

// What the operator reads for each cause of a file failure, in Chinese as the
// console's translation gives it: every page that tells a file failure reads it
// from here.
class TestFileFailure : public QObject
{
    Q_OBJECT

    QTranslator zh;
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        QVERIFY(zh.load(QStringLiteral("./translate/zh.qm")));
        QCoreApplication::installTranslator(&zh);
        QVERIFY(dir.isValid());
    }

    void reasons_data()
    {
        QTest::addColumn<QString>("how"); // "write", "read", or a new file's target below the folder
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("told"); // empty: no failure
        QTest::addColumn<bool>("named");
        QTest::newRow("none") << "write" << 0 << QString() << false;
        QTest::newRow("disk full") << "write" << ENOSPC << QStringLiteral("磁盘空间不足") << true;
        QTest::newRow("quota") << "write" << EDQUOT << QStringLiteral("超出磁盘配额") << true;
        QTest::newRow("read-only disk") << "write" << EROFS << QStringLiteral("磁盘只读") << true;
        QTest::newRow("no write permission") << "write" << EACCES << QStringLiteral("没有写入权限") << true;
        QTest::newRow("write not permitted") << "write" << EPERM << QStringLiteral("没有写入权限") << true;
        QTest::newRow("no read permission") << "read" << EACCES << QStringLiteral("没有读取权限") << true;
        QTest::newRow("no such folder") << "write" << ENOENT << QStringLiteral("目录不存在") << true;
        QTest::newRow("path too long") << "write" << ENAMETOOLONG << QStringLiteral("文件路径超长") << true;
        QTest::newRow("disk error writing") << "write" << EIO << QStringLiteral("磁盘读写出错") << true;
        QTest::newRow("disk error reading") << "read" << EIO << QStringLiteral("磁盘读写出错") << true;
        QTest::newRow("a loop of links") << "write" << ELOOP << QStringLiteral("符号链接循环或层数过多") << true;
        QTest::newRow("a folder at the name") << "write" << EISDIR << QStringLiteral("该名称是一个文件夹") << true;
        // Anything else in the system's own words.
        QTest::newRow("other, written") << "write" << ETXTBSY << QStringLiteral("Text file busy") << false;
        QTest::newRow("other, read") << "read" << ENOENT << QStringLiteral("No such file or directory") << false;
        // A new file: its folder and its name as they fail.
        QTest::newRow("a new file in a folder that does not exist")
            << "missing/a.csv" << ENOENT << QStringLiteral("目录不存在") << true;
        QTest::newRow("a new file below a file") << "file/a.csv" << ENOTDIR << QStringLiteral("目录不存在") << true;
        QTest::newRow("a new file's name of 256 bytes")
            << QString(256, QLatin1Char('n')) << 0 << QStringLiteral("文件名称超长") << true;
    }
    void reasons()
    {
        QFETCH(QString, how);
        QFETCH(int, error);
        QFETCH(bool, named);
        ZnFileFailure failure;
        if (how == QLatin1String("write")) {
            failure = ZnFileFailure::ofWrite(error);
        } else if (how == QLatin1String("read")) {
            failure = ZnFileFailure::ofRead(error);
        } else {
            QFile file(dir.filePath(QStringLiteral("file")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            ZnNewFile made(QFile::encodeName(dir.filePath(how)).toStdString());
            QVERIFY(!made.open());
            failure = ZnFileFailure::of(made);
            if (error)
                QCOMPARE(failure.error(), error);
        }
        QTEST(failure.text(), "told");
        QCOMPARE(failure.named(), named);
        QCOMPARE(failure.failed(), error != 0 || named);
    }
};

QTEST_GUILESS_MAIN(TestFileFailure)
#include "tst_filefailure.moc"
