// The row reader's two parsers: simdjson where it can, jsoncpp behind it. Every
// body must read as jsoncpp alone reads it, whichever parser took it.
#include "../fuzz/RowReaders.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmManage.h"
#include "ZnSsTask.h"
#include "ZnSsTaskManage.h"
#include "ZnTerminal.h"
#include "ZnTerminalManage.h"

#include <algorithm>

#include <json/json.h>

#include <QtTest>

namespace {
// Filler rows enough to take the body past the size below which jsoncpp reads alone.
std::string large(const std::string& firstRow)
{
    std::string body = "[" + firstRow;
    while (body.size() < 2 * ZnRow::kSmallBody)
        body += ",{\"name\":\"filler\",\"terminalId\":\"1\"}";
    return body + "]";
}

// The deep row comes second, so that the fast reader has handed on a row before it gives up.
std::string nested(int depth)
{
    return "[{\"name\":\"deep\"},{\"a\":" + std::string(static_cast<size_t>(depth), '[')
           + std::string(static_cast<size_t>(depth), ']') + "}]";
}
}

class TstRowReaders : public QObject
{
    Q_OBJECT
private slots:
    void bothParsers_data();
    void bothParsers();
    void usableIds_data();
    void usableIds();
    void numbersAsSent_data();
    void numbersAsSent();
    void triggerBits_data();
    void triggerBits();
    void badRowsLoggedOnce();
};

void TstRowReaders::bothParsers_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("fast"); // simdjson reads it itself
    QTest::addColumn<bool>("reads");
    QTest::addColumn<QByteArray>("name"); // "name" of the first object row as read

    auto row = [](const char* name, const std::string& body, bool fast, bool reads, const char* first) {
        QTest::newRow(name) << QByteArray::fromStdString(body) << fast << reads << QByteArray(first);
    };
    row("typed values",
        R"([{"a":1,"b":-2,"c":18446744073709551615,"d":1e3,"e":-0,"f":-2.9,"g":true,"h":null,"i":[1,{"x":2}],)"
        R"("j":{"k":"v"},"l":"  42abc","m":9.3e18,"name":"\u00e9\ud83d\ude00\n"}])",
        true, true, "\xc3\xa9\xf0\x9f\x98\x80\n");
    row("repeated key keeps the last", R"([{"name":"first","name":"last"}])", true, true, "last");
    row("rows that are no objects", R"([1,"x",[],null,{"name":"b"}])", true, true, "b");
    row("no array", R"({"name":"x"})", false, true, "");
    row("comment", R"([/* c */{"name":"x"}])", false, true, "x");
    row("number with a leading zero", R"([{"name":01}])", false, true, "01");
    row("number beyond 64 bits", R"([{"name":123456789012345678901234567890}])", false, true,
        "123456789012345678901234567890");
    row("decimal longer than a double", R"([{"name":4.000000000000000000000000025744}])", true, true,
        "4.000000000000000000000000025744");
    row("lone low surrogate", R"([{"name":"\udc00"}])", false, true, "\xed\xb0\x80");
    row("invalid UTF-8 in a name", large("{\"name\":\"Hall \xff\xfe\"}"), false, true, "Hall \xff\xfe");
    // The row's array sits at level 3 of the answer: "a" opens ones from 3 on.
    row("nested to the fast reader's limit", nested(ZnRow::kMaxDepth - 3), true, true, "deep");
    row("nested one past the fast reader's limit", nested(ZnRow::kMaxDepth - 2), false, true, "deep");
    row("nested past the fast reader", nested(ZnRow::kMaxDepth + 5), false, true, "deep");
    row("nested past jsoncpp", nested(1100), false, false, "");
    row("missing comma", large(R"({"name":"x" "b":1})"), false, false, "");
    row("bad value deep in a row", R"([{"name":"x","a":[1,{"b":tru}]}])", false, false, "");
}

void TstRowReaders::bothParsers()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, fast);
    QFETCH(bool, reads);
    QFETCH(QByteArray, name);
    const std::string_view text(body.constData(), static_cast<size_t>(body.size()));

    ZnRows simd;
    ZnRows any;
    QCOMPARE(ZnRow::parseArray(text, simd, ZnRow::Reader::Fast), fast);
    // Both parsers, kept rows and rows handed on one at a time all read alike.
    QCOMPARE(rowreaders::check(text), reads);
    // A body with room past its end is read in place, whatever that room holds.
    std::string inPlace(text);
    inPlace.append(64, '"');
    inPlace.resize(text.size());
    ZnRows simdInPlace;
    QCOMPARE(ZnRow::parseArray(inPlace, simdInPlace, ZnRow::Reader::Fast), fast);
    QVERIFY(rowreaders::sameRows(simdInPlace, simd));
    ZnRow::parseArray(text, any);
    std::size_t first = 0;
    while (first < any.size() && !any.isObject(first))
        ++first;
    if (first < any.size())
        QCOMPARE(QByteArray::fromStdString(ZnRow::text(any[first], "name")), name);
}

// What a record's id may be: an integer within int, as a number or as text.
void TstRowReaders::usableIds_data()
{
    QTest::addColumn<QByteArray>("value"); // as the answer carries it; empty: no such key
    QTest::addColumn<bool>("usable");
    QTest::addColumn<int>("id");

    QTest::newRow("text") << QByteArray(R"("12")") << true << 12;
    QTest::newRow("number") << QByteArray("12") << true << 12;
    QTest::newRow("text with blanks and a sign") << QByteArray(R"(" +7 ")") << true << 7;
    QTest::newRow("negative") << QByteArray(R"("-5")") << true << -5;
    QTest::newRow("zero") << QByteArray("0") << true << 0;
    QTest::newRow("largest int") << QByteArray(R"("2147483647")") << true << 2147483647;
    QTest::newRow("smallest int") << QByteArray("-2147483648") << true << int(-2147483647 - 1);
    QTest::newRow("whole fraction") << QByteArray("7.0") << true << 7;
    QTest::newRow("missing") << QByteArray() << false << 0;
    QTest::newRow("object") << QByteArray(R"({"id":"3"})") << false << 0;
    QTest::newRow("array") << QByteArray("[3]") << false << 0;
    QTest::newRow("null") << QByteArray("null") << false << 0;
    QTest::newRow("true") << QByteArray("true") << false << 0;
    QTest::newRow("false") << QByteArray("false") << false << 0;
    QTest::newRow("fraction") << QByteArray("1.5") << false << 0;
    QTest::newRow("fraction as text") << QByteArray(R"("1.5")") << false << 0;
    QTest::newRow("empty text") << QByteArray(R"("")") << false << 0;
    QTest::newRow("no digits") << QByteArray(R"("abc")") << false << 0;
    QTest::newRow("digits then letters") << QByteArray(R"("12abc")") << false << 0;
    QTest::newRow("sign alone") << QByteArray(R"("-")") << false << 0;
    QTest::newRow("past int as text") << QByteArray(R"("2147483648")") << false << 0;
    QTest::newRow("past int as number") << QByteArray("3000000000") << false << 0;
    QTest::newRow("below int as number") << QByteArray("-2147483649") << false << 0;
}

void TstRowReaders::usableIds()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, usable);
    QFETCH(int, id);
    const std::string row =
        value.isEmpty() ? std::string(R"({"name":"x"})") : R"({"name":"x","terminalId":)" + value.toStdString() + "}";
    // Both parsers, and jsoncpp's own values, read the same id.
    for (ZnRow::Reader reader : {ZnRow::Reader::Fast, ZnRow::Reader::Plain}) {
        ZnRows rows;
        QVERIFY(ZnRow::parseArray("[" + row + "]", rows, reader));
        int got = -99;
        QCOMPARE(ZnRow::id(rows[0], "terminalId", got), usable);
        QCOMPARE(got, usable ? id : -99);
    }
    Json::Value parsed;
    QVERIFY(ZnRow::parse(row, parsed));
    int got = -99;
    QCOMPARE(ZnRow::id(parsed, "terminalId", got), usable);
    QCOMPARE(got, usable ? id : -99);
    // An XML attribute holds the text of a JSON string.
    if (value.startsWith('"')) {
        got = -99;
        QCOMPARE(ZnRow::id(parsed["terminalId"].asCString(), got), usable);
        QCOMPARE(got, usable ? id : -99);
    }
}

// A number or boolean read as text keeps the text it was sent as; read as a
// number it gives its value, as it always did.
void TstRowReaders::numbersAsSent_data()
{
    QTest::addColumn<QByteArray>("value"); // as the answer carries it
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("number");

    auto row = [](const char* name, const char* value, const char* text, int number) {
        QTest::newRow(name) << QByteArray(value) << QByteArray(text) << number;
    };
    row("fraction", "1.25", "1.25", 1);
    row("trailing zero", "1.250", "1.250", 1);
    row("exponent", "1e3", "1e3", 1000);
    row("negative zero", "-0", "-0", 0);
    row("negative fraction", "-2.9", "-2.9", -2);
    row("whole number", "12", "12", 12);
    row("blanks after the number", "1.25 \n\t", "1.25", 1);
    row("true", "true", "true", 1);
    row("false", "false", "false", 0);
    row("text", R"("1.25")", "1.25", 1);
    row("null", "null", "", 0);
}

void TstRowReaders::numbersAsSent()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, text);
    QFETCH(int, number);
    const std::string v = value.toStdString();
    const std::string row = R"({"terminalId":"4","ver":)" + v + R"(,"broVol":)" + v + "}";
    for (ZnRow::Reader reader : {ZnRow::Reader::Fast, ZnRow::Reader::Plain}) {
        ZnRows rows;
        QVERIFY(ZnRow::parseArray("[" + row + "]", rows, reader));
        QCOMPARE(QByteArray::fromStdString(ZnRow::text(rows[0], "ver")), text);
        QCOMPARE(ZnRow::toInt(rows[0], "ver"), number);
    }
    // Records from a small answer (jsoncpp) and a large one (simdjson): a text
    // field as sent, an int field by value.
    for (const std::string& body : {"[" + row + "]", large(row)}) {
        QVERIFY(rowreaders::check(body));
        std::list<ZnTerminal> amps;
        QVERIFY(ZnTerminalManage::parseRows(body, amps));
        const auto amp = std::find_if(amps.begin(), amps.end(), [](const ZnTerminal& t) { return t.id == 4; });
        QVERIFY(amp != amps.end());
        QCOMPARE(QByteArray::fromStdString(amp->ver), text);
        QCOMPARE(amp->broVol, number);
    }
    std::list<ZnSsTask> tasks;
    QVERIFY(ZnSsTaskManage::parseRows(R"([{"sourceId":"1","sourceContent":)" + v + R"(,"playVol":)" + v + "}]", tasks));
    QCOMPARE(QByteArray::fromStdString(tasks.front().SourceContent), text);
    QCOMPARE(tasks.front().PlayVol, number);
}

// A fire-alarm interface's trigger bits are a 32-bit pattern, however the server
// writes the number; bad values read as other integer fields read them.
void TstRowReaders::triggerBits_data()
{
    QTest::addColumn<QByteArray>("value"); // as the answer carries it
    QTest::addColumn<uint>("bits");

    auto row = [](const char* name, const char* value, uint bits) { QTest::newRow(name) << QByteArray(value) << bits; };
    row("signed text", R"("5")", 5u);
    row("unsigned text with the top bit", R"("2147483649")", 0x80000001u);
    row("unsigned number with the top bit", "2147483649", 0x80000001u);
    row("every bit as unsigned text", R"("4294967295")", 0xffffffffu);
    row("every bit as unsigned number", "4294967295", 0xffffffffu);
    row("every bit as -1 text", R"("-1")", 0xffffffffu);
    row("every bit as -1 number", "-1", 0xffffffffu);
    row("top bit alone as signed text", R"("-2147483648")", 0x80000000u);
    row("largest int stays itself", R"("2147483647")", 0x7fffffffu);
    row("past 2^32-1 as text clamps to every bit", R"("4294967296")", 0xffffffffu);
    row("far past 2^32-1 as number clamps to every bit", "99999999999", 0xffffffffu);
    row("past 64 bits clamps to every bit", R"("99999999999999999999999")", 0xffffffffu);
    row("below -2^31 clamps to the top bit alone", R"("-2147483649")", 0x80000000u);
    row("far below -2^31 as number clamps to the top bit", "-99999999999", 0x80000000u);
    row("fraction drops its part after the point", "4294967295.9", 0xffffffffu);
    row("blanks, sign and leading digits", R"(" +6 channels")", 6u);
    row("no digits is none", R"("abc")", 0u);
    row("empty text is none", R"("")", 0u);
    row("null is none", "null", 0u);
    row("true is bit 0", "true", 1u);
}

void TstRowReaders::triggerBits()
{
    QFETCH(QByteArray, value);
    QFETCH(uint, bits);
    const std::string row = R"({"terminalId":"4","shortCircuit":)" + value.toStdString() + "}";
    for (ZnRow::Reader reader : {ZnRow::Reader::Fast, ZnRow::Reader::Plain}) {
        ZnRows rows;
        QVERIFY(ZnRow::parseArray("[" + row + "]", rows, reader));
        QCOMPARE(uint(ZnRow::toBits32(rows[0], "shortCircuit")), bits);
    }
    // A small answer (jsoncpp) and a large one (simdjson) give the record the same bits.
    for (const std::string& body : {"[" + row + "]", large(row)}) {
        QVERIFY(rowreaders::check(body));
        std::list<ZnFAlarm> alarms;
        QVERIFY(ZnFAlarmManage::parseRows(body, alarms));
        const auto alarm = std::find_if(alarms.begin(), alarms.end(), [](const ZnFAlarm& a) { return a.id == 4; });
        QVERIFY(alarm != alarms.end());
        QCOMPARE(uint(alarm->shortCircuit), bits);
    }
}

// However many rows an answer leaves out, one line tells of them.
void TstRowReaders::badRowsLoggedOnce()
{
    std::list<ZnTerminal> amps;
    QTest::ignoreMessage(QtWarningMsg, R"(ipamp: 3 bad rows left out, no usable "terminalId" (the first is row 1))");
    QVERIFY(ZnTerminalManage::parseRows(R"([{"terminalId":"4"},{"terminalId":null},7,{"name":"x"},{"terminalId":"5"}])",
                                        amps));
    QCOMPARE(amps.size(), std::size_t(2));
}

QTEST_GUILESS_MAIN(TstRowReaders)
#include "tst_rowreaders.moc"
