#include "ZnCommon.h"

#include <QtTest>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// "中文广播，测试" in GBK.
const char kGbk[] = "\xD6\xD0\xCE\xC4\xB9\xE3\xB2\xA5\xA3\xAC\xB2\xE2\xCA\xD4";
const char kUtf8[] = "中文广播，测试";

void setZone(const char* tz)
{
    qputenv("TZ", tz);
    tzset();
}

} // namespace

class TestZnCommon : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { setZone("UTC"); }

    void gbkRoundTrip()
    {
        char gbk[64];
        const int n = ZnCommon::utf8ToGbk(kUtf8, std::strlen(kUtf8), gbk, sizeof gbk);
        QCOMPARE(n, int(sizeof kGbk - 1));
        QCOMPARE(QByteArray(gbk), QByteArray(kGbk));

        char utf8[64];
        const int m = ZnCommon::gbkToUtf8(gbk, size_t(n), utf8, sizeof utf8);
        QCOMPARE(m, int(std::strlen(kUtf8)));
        QCOMPARE(QString::fromUtf8(utf8), QString::fromUtf8(kUtf8));

        // Mixed with ASCII, and empty input.
        const char mixed[] = "Zone 3 区域";
        QCOMPARE(ZnCommon::utf8ToGbk(mixed, std::strlen(mixed), gbk, sizeof gbk), 11);
        QCOMPARE(ZnCommon::gbkToUtf8(gbk, 11, utf8, sizeof utf8), int(std::strlen(mixed)));
        QCOMPARE(QByteArray(utf8), QByteArray(mixed));
        QCOMPARE(ZnCommon::gbkToUtf8("", 0, utf8, sizeof utf8), 0);
        QCOMPARE(utf8[0], '\0');
    }

    // A short buffer gets whole characters and a terminating zero, never more.
    void shortBuffers()
    {
        char out[16];
        std::memset(out, 'X', sizeof out);
        // Room for one three-byte character, its zero and one byte more.
        QCOMPARE(ZnCommon::gbkToUtf8(kGbk, sizeof kGbk - 1, out, 5), -1);
        QCOMPARE(QByteArray(out, 5), QByteArray("中\0\0", 5));
        QCOMPARE(out[5], 'X');

        // Exactly the text's size leaves no room for the zero.
        std::memset(out, 'X', sizeof out);
        QCOMPARE(ZnCommon::gbkToUtf8(kGbk, 4, out, 6), -1);
        QCOMPARE(QByteArray(out), QByteArray("中"));
        QCOMPARE(ZnCommon::gbkToUtf8(kGbk, 4, out, 7), 6);
        QCOMPARE(QByteArray(out), QByteArray("中文"));

        std::memset(out, 'X', sizeof out);
        QCOMPARE(ZnCommon::utf8ToGbk(kUtf8, std::strlen(kUtf8), out, 4), -1);
        QCOMPARE(QByteArray(out, 4), QByteArray("\xD6\xD0\0\0", 4));
        QCOMPARE(out[4], 'X');

        QCOMPARE(ZnCommon::utf8ToGbk(kUtf8, 3, out, 0), -1);
        QCOMPARE(ZnCommon::utf8ToGbk(kUtf8, 3, nullptr, 8), -1);
        QCOMPARE(ZnCommon::utf8ToGbk(nullptr, 3, out, 8), -1);
    }

    void badInput()
    {
        char out[32];
        // Invalid UTF-8, and a UTF-8 text cut inside a character.
        QCOMPARE(ZnCommon::utf8ToGbk("ab\xFF" "cd", 5, out, sizeof out), -1);
        QCOMPARE(QByteArray(out), QByteArray("ab"));
        QCOMPARE(ZnCommon::utf8ToGbk(kUtf8, 4, out, sizeof out), -1);
        QCOMPARE(QByteArray(out), QByteArray("\xD6\xD0"));
        // A GBK lead byte with nothing after it.
        QCOMPARE(ZnCommon::gbkToUtf8(kGbk, 3, out, sizeof out), -1);
        QCOMPARE(QByteArray(out), QByteArray("中"));
        // Characters GBK does not have.
        QCOMPARE(ZnCommon::utf8ToGbk("\xF0\x9F\x98\x80", 4, out, sizeof out), -1);
    }

    void formatTime()
    {
        setZone("UTC");
        QCOMPARE(ZnCommon::formatTime(0), std::string("1970/1/1 0:00:00"));
        QCOMPARE(ZnCommon::formatTime(-1), std::string("1969/12/31 23:59:59"));
        QCOMPARE(ZnCommon::formatTime(INT32_MAX), std::string("2038/1/19 3:14:07"));
        QCOMPARE(ZnCommon::formatTime(1700000000), std::string("2023/11/14 22:13:20"));
        setZone("CST-8");
        QCOMPARE(ZnCommon::formatTime(0), std::string("1970/1/1 8:00:00"));
        QCOMPARE(ZnCommon::formatTime(1700000000), std::string("2023/11/15 6:13:20"));
    }

    void formatSizeAndDuration()
    {
        QCOMPARE(ZnCommon::formatSizeMB(0), std::string("0.00MB"));
        QCOMPARE(ZnCommon::formatSizeMB(1048576), std::string("1.00MB"));
        QCOMPARE(ZnCommon::formatSizeMB(1572864), std::string("1.50MB"));
        QCOMPARE(ZnCommon::formatSizeMB(5ull << 40), std::string("5242880.00MB"));

        QCOMPARE(ZnCommon::formatDuration(0), std::string("00:00:00"));
        QCOMPARE(ZnCommon::formatDuration(3725), std::string("01:02:05"));
        QCOMPARE(ZnCommon::formatDuration(86399), std::string("23:59:59"));
        // Long durations keep their hours.
        QCOMPARE(ZnCommon::formatDuration(256 * 3600 + 61), std::string("256:01:01"));
        QCOMPARE(ZnCommon::formatDuration(UINT32_MAX), std::string("1193046:28:15"));
    }

    void splitting()
    {
        using V = std::vector<std::string>;
        V out;
        ZnCommon::splitString("a,,b", out, ",");
        QVERIFY(out == V({"a", "", "b"}));
        out.clear();
        ZnCommon::splitString(",a,b,", out, ",");
        QVERIFY(out == V({"", "a", "b"}));
        out.clear();
        ZnCommon::splitString("", out, ",");
        QVERIFY(out.empty());
        ZnCommon::splitString("one", out, ",");
        ZnCommon::splitString("x::y", out, "::");
        QVERIFY(out == V({"one", "x", "y"}));
        out.clear();
        ZnCommon::splitString("a b", out, "");
        QVERIFY(out == V({"a b"}));

        std::vector<int> ids;
        ZnCommon::parseIntList("1,,2", ids, ",");
        QVERIFY(ids == std::vector<int>({1, 0, 2}));
        ids.clear();
        ZnCommon::parseIntList("1,2,", ids, ",");
        QVERIFY(ids == std::vector<int>({1, 2}));
        ids.clear();
        ZnCommon::parseIntList("7 -3 x 99999999999 12ab", ids, " ");
        QVERIFY(ids == std::vector<int>({7, -3, 0, INT_MAX, 12}));
    }

    void namesAndPaths()
    {
        QVERIFY(ZnCommon::isValidName("Lobby"));
        QVERIFY(ZnCommon::isValidName("大厅 1"));
        for (const char* bad : {"a/b", "a\\b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b",
                                "a'b", "Tom&Jerry"})
            QVERIFY2(!ZnCommon::isValidName(bad), bad);

        QCOMPARE(ZnCommon::fileNameFromPath("/mp3/bell/ring.mp3"), std::string("ring.mp3"));
        QCOMPARE(ZnCommon::fileNameFromPath("ring.mp3"), std::string("ring.mp3"));
        QCOMPARE(ZnCommon::fileNameFromPath("dir\\ring.mp3"), std::string("dir\\ring.mp3"));
        QCOMPARE(ZnCommon::fileNameFromPath("/mp3/"), std::string());
    }
};

QTEST_GUILESS_MAIN(TestZnCommon)
#include "tst_common.moc"
