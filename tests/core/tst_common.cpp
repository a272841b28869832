#include "ZnCommon.h"

#include <QtTest>

#include <cstring>
#include <ctime>
#include <limits>

namespace {
// "中文广播，测试" in GBK.
const QByteArray kGbk("\xD6\xD0\xCE\xC4\xB9\xE3\xB2\xA5\xA3\xAC\xB2\xE2\xCA\xD4");
const QByteArray kUtf8("中文广播，测试");
}

class TestZnCommon : public QObject
{
    Q_OBJECT

private slots:
    // Whole texts convert both ways; out of room or bad input gives -1, whole
    // characters only, a terminating zero and never a byte past the buffer.
    void conversions_data()
    {
        QTest::addColumn<bool>("toGbk");
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("out"); // with its zero; empty: -1 and nothing written
        QTest::addColumn<int>("result");
        QTest::newRow("to GBK") << true << kUtf8 << 64 << kGbk + '\0' << kGbk.size();
        QTest::newRow("from GBK") << false << kGbk << 64 << kUtf8 + '\0' << kUtf8.size();
        QTest::newRow("room for one character") << false << kGbk << 5 << QByteArray("中\0\0", 5) << -1;
        QTest::newRow("no room for the zero") << false << kGbk.left(4) << 6 << QByteArray("中\0\0\0", 6) << -1;
        QTest::newRow("invalid UTF-8") << true << QByteArray("ab\xFF") + "cd" << 32 << QByteArray("ab\0", 3) << -1;
        QTest::newRow("UTF-8 cut inside a character")
            << true << kUtf8.left(4) << 32 << QByteArray("\xD6\xD0\0", 3) << -1;
        QTest::newRow("no room at all") << true << kUtf8 << 0 << QByteArray() << -1;
    }
    void conversions()
    {
        QFETCH(bool, toGbk);
        QFETCH(QByteArray, in);
        QFETCH(int, size);
        QFETCH(QByteArray, out);
        QByteArray buf(80, 'X');
        const auto convert = toGbk ? ZnCommon::utf8ToGbk : ZnCommon::gbkToUtf8;
        QTEST(convert(in.constData(), size_t(in.size()), buf.data(), size_t(size)), "result");
        QCOMPARE(buf.left(out.size()), out);
        QCOMPARE(buf.at(size), 'X');
    }

    // Progress bars: whole percent, never past 100, and right for lengths a peer
    // may announce, where done * 100 no longer fits 64 bits.
    void percentOf_data()
    {
        QTest::addColumn<qint64>("done");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("percent");
        const qint64 huge = 999999999999999999LL; // the longest FileLen a download takes
        QTest::newRow("half") << qint64(500) << qint64(1000) << 50;
        QTest::newRow("rounded down") << qint64(999) << qint64(1000) << 99;
        QTest::newRow("all") << qint64(1000) << qint64(1000) << 100;
        QTest::newRow("more than all stays 100") << qint64(1001) << qint64(1000) << 100;
        QTest::newRow("nothing of nothing") << qint64(0) << qint64(0) << 0;
        QTest::newRow("negative done") << qint64(-5) << qint64(1000) << 0;
        QTest::newRow("500 KB of 10^18-1 is nothing") << qint64(512000) << huge << 0;
        QTest::newRow("a tenth of 10^18-1") << huge / 10 << huge << 9;
        QTest::newRow("one byte short of 10^18-1") << huge - 1 << huge << 99;
        QTest::newRow("a third of the largest length")
            << std::numeric_limits<qint64>::max() / 3 << std::numeric_limits<qint64>::max() << 33;
        QTest::newRow("one short of the largest length")
            << std::numeric_limits<qint64>::max() - 1 << std::numeric_limits<qint64>::max() << 99;
    }
    void percentOf()
    {
        QFETCH(qint64, done);
        QFETCH(qint64, total);
        QTEST(ZnCommon::percentOf(done, total), "percent");
    }

    void texts()
    {
        qputenv("TZ", "CST-8");
        tzset();
        QCOMPARE(ZnCommon::formatTime(1700000000), std::string("2023/11/15 6:13:20"));
        QCOMPARE(ZnCommon::formatSizeMB(5ull << 40), std::string("5242880.00MB"));
        // Long durations keep their hours.
        QCOMPARE(ZnCommon::formatDuration(3725), std::string("01:02:05"));
        QCOMPARE(ZnCommon::formatDuration(UINT32_MAX), std::string("1193046:28:15"));

        using V = std::vector<std::string>;
        V out;
        ZnCommon::splitString(",a,,b,", out, ",");
        ZnCommon::splitString("x::y", out, "::");
        // An empty separator takes the text whole instead of looping for ever.
        ZnCommon::splitString("a b", out, "");
        QCOMPARE(out, V({"", "a", "", "b", "x", "y", "a b"}));
        std::vector<int> ids;
        ZnCommon::parseIntList("7,,-3,x,99999999999,12ab,", ids, ",");
        QCOMPARE(ids, std::vector<int>({7, 0, -3, 0, INT_MAX, 12}));

        QVERIFY(ZnCommon::isValidName("大厅 1"));
        for (const char *bad : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a'b", "Tom&Jerry"})
            QVERIFY2(!ZnCommon::isValidName(bad), bad);
        QCOMPARE(ZnCommon::fileNameFromPath("/mp3/bell/ring.mp3"), std::string("ring.mp3"));
    }
};

QTEST_GUILESS_MAIN(TestZnCommon)
#include "tst_common.moc"
