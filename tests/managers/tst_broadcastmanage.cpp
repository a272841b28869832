#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnXmlNesting.h"

#include <QtTest>

#include <list>
#include <string>
#include <vector>

namespace {
std::vector<int> g_listSizes;
std::vector<ZnBroadcast> g_single;
std::vector<ZnBroadcast> g_pushed;

void onList(std::list<ZnBroadcast>* list) { g_listSizes.push_back(int(list->size())); }
void onSingle(ZnBroadcast* b) { g_single.push_back(*b); }
void onPushed(ZnBroadcast* b) { g_pushed.push_back(*b); }

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

const std::string kFull = kDecl +
    "<BroadcastList>"
    "<Broadcast id=\"12\" code=\"B12\" name=\"Morning\" level=\"3\" ip=\"10.1.1.2\" status=\"1\""
    " mdir=\"/media/am\" esrc=\"2\" em=\"7\" ev=\"40\" emm=\"0\" emv=\"-5\" elm=\"1\" elv=\"9x\">"
    "<Region><R key=\"2\" id=\"4\"/><R id=\"5\"/><R key=\"3\" id=\"0\"/><!-- note --><R key=\"1\"/></Region>"
    "<External><E id=\"77\"/><E/><E id=\"x\"/></External>"
    "<File><F i=\"1\" n=\"a.mp3\"/>text<F n=\"b.mp3\"/></File>"
    "</Broadcast>"
    "<Other id=\"13\"/>"
    "</BroadcastList>";
}

class TstBroadcastManage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_listSizes.clear();
        g_single.clear();
        g_pushed.clear();
    }
    void fullBroadcast();
    void answersByType();
    void malformedBodies_data();
    void malformedBodies();
    void setMessages();
    void nestingDepth_data();
    void nestingDepth();
};

void TstBroadcastManage::fullBroadcast()
{
    std::list<ZnBroadcast> list;
    QVERIFY(ZnBroadcastManage::parseList(kFull, list));
    QCOMPARE(int(list.size()), 2); // every child element, whatever its name
    const ZnBroadcast& b = list.front();
    QCOMPARE(b.id, 12);
    QCOMPARE(b.code, std::string("B12"));
    QCOMPARE(b.name, std::string("Morning"));
    QCOMPARE(b.level, 3);
    QCOMPARE(b.ip, std::string("10.1.1.2"));
    QCOMPARE(b.status, 1);
    QCOMPARE(b.mdir, std::string("/media/am"));
    QCOMPARE(b.esrc, 2);
    QVERIFY(b.em); // 7 is not 0
    QCOMPARE(b.ev, 40);
    QVERIFY(!b.emm);
    QCOMPARE(b.emv, -5);
    QVERIFY(b.elm);
    QCOMPARE(b.elv, 9);

    std::vector<std::pair<int, int>> regions;
    for (const auto& r : b.regions)
        regions.emplace_back(r.first, r.second.regionId);
    QCOMPARE(regions, (std::vector<std::pair<int, int>>{{2, 4}, {0, 5}}));
    QCOMPARE(b.externalIds, (std::list<int>{77, 0}));
    QCOMPARE(int(b.files.size()), 2);
    QCOMPARE(b.files.front().id, 1);
    QCOMPARE(b.files.front().name, std::string("a.mp3"));
    QCOMPARE(b.files.back().id, 0);

    const ZnBroadcast& other = list.back();
    QCOMPARE(other.id, 13);
    QVERIFY(other.name.empty());
    QVERIFY(!other.em);
    QVERIFY(other.regions.empty());
}

void TstBroadcastManage::answersByType()
{
    ZnBroadcastManage m;
    m.onResponse(95, kFull); // nothing registered: parsed and dropped
    m.setCallbacks(onList, onSingle, onPushed);
    m.onResponse(95, kFull);
    m.onResponse(95, kDecl + "<BroadcastList/>");
    m.onResponse(96, kFull);
    m.onResponse(97, kFull);
    m.onResponse(98, kFull);
    m.onResponse(99, kFull);
    m.onResponse(96, kDecl + "<BroadcastList/>");
    QCOMPARE(g_listSizes, (std::vector<int>{2, 0}));
    QCOMPARE(int(g_single.size()), 2);
    QCOMPARE(g_single[0].id, 12);
    QVERIFY(g_pushed.empty());
}

void TstBroadcastManage::malformedBodies_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("json") << QByteArray("[{\"id\":\"1\"}]");
    QTest::newRow("other top element") << QByteArray((kDecl + "<TaskList><Broadcast id=\"1\"/></TaskList>").c_str());
    QTest::newRow("unclosed") << QByteArray((kDecl + "<BroadcastList><Broadcast id=\"1\">").c_str());
    QTest::newRow("mismatched") << QByteArray((kDecl + "<BroadcastList><B id=\"1\"></C></BroadcastList>").c_str());
    QTest::newRow("truncated declaration") << QByteArray("<?xml version=");
    QTest::newRow("binary") << QByteArray("<\x01\xff<\xfe>\x00<", 8);
    std::string deep = kDecl + "<BroadcastList>";
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    QTest::newRow("deep nesting") << QByteArray(deep.c_str());
}

void TstBroadcastManage::malformedBodies()
{
    QFETCH(QByteArray, body);
    const std::string text(body.constData(), size_t(body.size()));
    ZnBroadcastManage m;
    m.setCallbacks(onList, onSingle, onPushed);
    m.onResponse(95, text);
    m.onResponse(96, text);
    QVERIFY(!m.onSet(text));
    QVERIFY(g_listSizes.empty());
    QVERIFY(g_single.empty());
    QVERIFY(g_pushed.empty());
}

void TstBroadcastManage::setMessages()
{
    ZnBroadcastManage m;
    m.setCallbacks(onList, onSingle, onPushed);
    QVERIFY(m.onSet(kFull));
    QVERIFY(!m.onSet(kDecl + "<Broadcast id=\"3\"/>"));
    QVERIFY(!m.onSet(kDecl + "<BroadcastList/>")); // nothing to hand on
    // A BroadcastList that is not the top element is another kind of message.
    QVERIFY(!m.onSet(kDecl + "<Wrap><BroadcastList><B id=\"3\"/></BroadcastList></Wrap>"));
    QCOMPARE(int(g_pushed.size()), 1);
    QCOMPARE(g_pushed[0].id, 12);
    QVERIFY(!m.onPost("SqlConfig_broadcast", "[]"));
}

void TstBroadcastManage::nestingDepth_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("depth");
    QTest::newRow("none") << QByteArray("plain text") << 0;
    QTest::newRow("declaration only") << QByteArray("<?xml version=\"1.0\"?>") << 0;
    QTest::newRow("siblings") << QByteArray("<a><b/><c></c></a>") << 2;
    QTest::newRow("quoted markup") << QByteArray("<a x=\"/>\" y='<b>'><c/></a>") << 2;
    QTest::newRow("comment and cdata") << QByteArray("<a><!-- <b><b> --><![CDATA[<c><c>]]></a>") << 1;
    QTest::newRow("unclosed") << QByteArray("<a><b><c") << 3;
    QTest::newRow("closing without opening") << QByteArray("</a></b><c/>") << 1;
}

void TstBroadcastManage::nestingDepth()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, depth);
    QCOMPARE(ZnXmlNesting::depth(xml.toStdString()), depth);
}

QTEST_GUILESS_MAIN(TstBroadcastManage)
#include "tst_broadcastmanage.moc"
