#include "ZnCommon.h"

#include <QtTest>

#include <cstring>
#include <ctime>

namespace {
// "中文广播，测试" in GBK.
const char kGbk[] = "\xD6\xD0\xCE\xC4\xB9\xE3\xB2\xA5\xA3\xAC\xB2\xE2\xCA\xD4";
const char kUtf8[] = "中文广播，测试";
}

class TestZnCommon : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { qputenv("TZ", "UTC"); }

    void gbkRoundTrip()
    {
        char gbk[64], utf8[64];
        QCOMPARE(ZnCommon::utf8ToGbk(kUtf8, std::strlen(kUtf8), gbk, sizeof gbk), int(sizeof kGbk - 1));
        QCOMPARE(QByteArray(gbk), QByteArray(kGbk));
        QCOMPARE(ZnCommon::gbkToUtf8(gbk, sizeof kGbk - 1, utf8, sizeof utf8), int(std::strlen(kUtf8)));
        QCOMPARE(QByteArray(utf8), QByteArray(kUtf8));
        QCOMPARE(ZnCommon::gbkToUtf8("", 0, utf8, sizeof utf8), 0);
        QCOMPARE(utf8[0], '\0');
        QCOMPARE(ZnCommon::utf8ToGbk(kUtf8, 3, nullptr, 8), -1);
        QCOMPARE(ZnCommon::utf8ToGbk(nullptr, 3, gbk, 8), -1);
    }

    // Out of room or bad input: -1, whole characters only, a terminating zero and
    // never a byte past the buffer.
    void shortBuffersAndBadInput_data()
    {
        QTest::addColumn<bool>("toGbk");
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("out");
        const QByteArray gbk(kGbk), utf8(kUtf8);
        QTest::newRow("room for one character") << false << gbk << 5 << QByteArray("中\0\0", 5);
        QTest::newRow("no room for the zero") << false << gbk.left(4) << 6 << QByteArray("中\0\0\0", 6);
        QTest::newRow("GBK room for one") << true << utf8 << 4 << QByteArray("\xD6\xD0\0\0", 4);
        QTest::newRow("invalid UTF-8") << true
                                       << QByteArray("ab\xFF"
                                                     "cd")
                                       << 32 << QByteArray("ab\0", 3);
        QTest::newRow("UTF-8 cut inside a character") << true << utf8.left(4) << 32 << QByteArray("\xD6\xD0\0", 3);
        QTest::newRow("GBK lead byte alone") << false << gbk.left(3) << 32 << QByteArray("中\0", 4);
        QTest::newRow("no such character in GBK")
            << true << QByteArray("\xF0\x9F\x98\x80") << 32 << QByteArray("\0", 1);
        QTest::newRow("no room at all") << true << utf8 << 0 << QByteArray();
    }
    void shortBuffersAndBadInput()
    {
        QFETCH(bool, toGbk);
        QFETCH(QByteArray, in);
        QFETCH(int, size);
        QFETCH(QByteArray, out);
        QByteArray buf(40, 'X');
        const auto convert = toGbk ? ZnCommon::utf8ToGbk : ZnCommon::gbkToUtf8;
        QCOMPARE(convert(in.constData(), size_t(in.size()), buf.data(), size_t(size)), -1);
        QCOMPARE(buf.left(out.size()), out);
        QCOMPARE(buf.at(size), 'X');
    }

    void formats()
    {
        qputenv("TZ", "UTC");
        tzset();
        QCOMPARE(ZnCommon::formatTime(-1), std::string("1969/12/31 23:59:59"));
        QCOMPARE(ZnCommon::formatTime(1700000000), std::string("2023/11/14 22:13:20"));
        qputenv("TZ", "CST-8");
        tzset();
        QCOMPARE(ZnCommon::formatTime(1700000000), std::string("2023/11/15 6:13:20"));

        QCOMPARE(ZnCommon::formatSizeMB(5ull << 40), std::string("5242880.00MB"));
        QCOMPARE(ZnCommon::formatDuration(3725), std::string("01:02:05"));
        // Long durations keep their hours.
        QCOMPARE(ZnCommon::formatDuration(256 * 3600 + 61), std::string("256:01:01"));
        QCOMPARE(ZnCommon::formatDuration(UINT32_MAX), std::string("1193046:28:15"));
    }

    void splitting()
    {
        using V = std::vector<std::string>;
        V out;
        ZnCommon::splitString(",a,,b,", out, ",");
        ZnCommon::splitString("", out, ",");
        ZnCommon::splitString("x::y", out, "::");
        // An empty separator takes the text whole instead of looping for ever.
        ZnCommon::splitString("a b", out, "");
        QCOMPARE(out, V({"", "a", "", "b", "x", "y", "a b"}));

        std::vector<int> ids;
        ZnCommon::parseIntList("7,,-3,x,99999999999,12ab,", ids, ",");
        QCOMPARE(ids, std::vector<int>({7, 0, -3, 0, INT_MAX, 12}));
    }

    void namesAndPaths()
    {
        QVERIFY(ZnCommon::isValidName("大厅 1"));
        for (const char* bad : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b", "a'b", "Tom&Jerry"})
            QVERIFY2(!ZnCommon::isValidName(bad), bad);
        QCOMPARE(ZnCommon::fileNameFromPath("/mp3/bell/ring.mp3"), std::string("ring.mp3"));
        QCOMPARE(ZnCommon::fileNameFromPath("/mp3/"), std::string());
    }
};

QTEST_GUILESS_MAIN(TestZnCommon)
#include "tst_common.moc"
