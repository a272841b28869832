#include "Mutate.h"
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnFixedText.h"
#include "ZnLevelList.h"
#include "ZnLevelManage.h"
#include "ZnSchemeManage.h"
#include "ZnUserManage.h"
#include "ZnXmlNesting.h"

#include <QtTest>

#include <cstring>

namespace {

const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

std::string xml(const std::string& body)
{
    return kDecl + body;
}

// A user as one line: id name lv pw assign | terminal ids.
std::string line(const ZnUser& u)
{
    std::string out = std::to_string(u.id) + ' ' + u.name + ' ' + std::to_string(u.lv) + ' ' + u.pw + ' '
                      + std::to_string(u.assign) + " |";
    for (int32_t id : u.terminalIds)
        out += ' ' + std::to_string(id);
    return out;
}

std::list<ZnUser> gotUsers;
std::list<ZnUser> gotUser;
void keepUsers(std::list<ZnUser>* users)
{
    gotUsers = *users;
}
void keepUser(ZnUser* user)
{
    gotUser.push_back(*user);
}

std::list<ZnLevel> gotLevels;
int levelCalls = 0;
void keepLevels(std::list<ZnLevel>* levels)
{
    ++levelCalls;
    gotLevels = *levels;
}

std::vector<std::pair<ZnScheme, int>> changedSchemes;
void keepChanged(ZnScheme* s, int kind)
{
    changedSchemes.push_back({*s, kind});
}

std::vector<int> gListSizes;
std::vector<ZnBroadcast> gSingle;
std::vector<ZnBroadcast> gPushed;
void onList(std::list<ZnBroadcast>* list)
{
    gListSizes.push_back(int(list->size()));
}
void onSingle(ZnBroadcast* b)
{
    gSingle.push_back(*b);
}
void onPushed(ZnBroadcast* b)
{
    gPushed.push_back(*b);
}

std::string text(const ZnBroadcast& b)
{
    std::string out = std::to_string(b.id) + "|" + b.code + "|" + b.name + "|" + std::to_string(b.level) + "|" + b.ip
                      + "|" + std::to_string(b.status) + "|" + b.mdir + "|" + std::to_string(b.esrc) + "|"
                      + std::to_string(b.em) + "|" + std::to_string(b.ev) + "|" + std::to_string(b.emm) + "|"
                      + std::to_string(b.emv) + "|" + std::to_string(b.elm) + "|" + std::to_string(b.elv) + " R";
    for (const auto& r : b.regions)
        out += " " + std::to_string(r.first) + ":" + std::to_string(r.second.regionId);
    out += " E";
    for (int e : b.externalIds)
        out += " " + std::to_string(e);
    out += " F";
    for (const auto& f : b.files)
        out += " " + std::to_string(f.id) + ":" + f.name;
    return out;
}

const std::string kFull =
    xml("<BroadcastList>"
        "<Broadcast id=\"12\" code=\"B12\" name=\"Morning\" level=\"3\" ip=\"10.1.1.2\" status=\"1\""
        " mdir=\"/media/am\" esrc=\"2\" em=\"7\" ev=\"40\" emm=\"0\" emv=\"-5\" elm=\"1\" elv=\"9x\">"
        "<Region><R key=\"2\" id=\"4\"/><R id=\"5\"/><R key=\"3\" id=\"0\"/><!-- note --><R key=\"1\"/></Region>"
        "<External><E id=\"77\"/><E/><E id=\"x\"/></External>"
        "<File><F i=\"1\" n=\"a.mp3\"/>text<F n=\"b.mp3\"/></File>"
        "</Broadcast>"
        "<Other id=\"13\"/>"
        "</BroadcastList>");

} // namespace

class TstXmlParsers : public QObject
{
    Q_OBJECT
private slots:
    void fixedTextKeepsWholeCharacters();
    void users();
    void userSetIsConsumed();
    void levelsParsedAndSorted();
    void levelSetKinds();
    void schemeSetKeepsLevelAndType();
    void broadcasts();
    void broadcastAnswersAndSets();
    void malformedBodies_data();
    void malformedBodies();
    void nestingDepth_data();
    void nestingDepth();
    void mutatedBodiesNeverCrash();
};

void TstXmlParsers::fixedTextKeepsWholeCharacters()
{
    // Five bytes fit: "广播" (two 3-byte characters) keeps only its first whole character.
    const std::vector<std::pair<QByteArray, QByteArray>> cases = {{"\xe5\xb9\xbf\xe6\x92\xad", "\xe5\xb9\xbf"},
                                                                  {"abcde", "abcde"},
                                                                  {"abcdef", "abcde"},
                                                                  {"ab\xc3\xa9\xc3\xa9", "ab\xc3\xa9"}};
    for (const auto& c : cases) {
        char out[6];
        ZnFixedText::copy(out, sizeof out, c.first.toStdString());
        QCOMPARE(QByteArray(out), c.second);
    }
}

void TstXmlParsers::users()
{
    const std::string text = xml(
        "<UserList>"
        "<User id=\"4\" name=\"operator\" lv=\"250\" fn=\"Op\" pw=\"secret\" m=\"note\">"
        "<TerminalList assign=\"2\"><T id=\"7\"/><T id=\"3\"/><T/><T id=\"7\"/></TerminalList>"
        "</User>"
        "<!-- a comment between users -->"
        "<Anything id=\"5\" lv=\"-3\"/>"
        "<User id=\"6\" name=\"\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98\xe5\x80\xbc\"/>"
        "</UserList>");
    std::unique_ptr<std::list<ZnUser>> users = ZnUserManage::parseUserList(text);
    QVERIFY(users);
    std::vector<std::string> lines;
    for (const ZnUser& u : *users)
        lines.push_back(line(u));
    // A level out of range is clamped; repeated terminals kept once, sorted; 21 bytes
    // of name cut to the six whole characters that fit in 19.
    QCOMPARE(lines, (std::vector<std::string>{
                        "4 operator 100 secret 2 | 3 7", "5  1  0 |",
                        "6 \xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98 1  0 |"}));

    std::unique_ptr<ZnUser> one = ZnUserManage::parseUser(xml("<User id=\"9\" lv=\"42\"/>"));
    QVERIFY(one);
    QCOMPARE(line(*one), std::string("9  42  0 |"));
}

void TstXmlParsers::userSetIsConsumed()
{
    ZnUserManage manager;
    gotUser.clear();
    manager.setCallbacks(keepUsers, keepUser);
    QVERIFY(manager.onSet(xml("<UserList><User id=\"1\"/></UserList>")));
    QVERIFY(gotUser.empty());
    QVERIFY(manager.onSet(xml("<User id=\"2\" lv=\"3\"/>")));
    QCOMPARE(gotUser.size(), size_t(1));
    QCOMPARE(gotUser.front().id, 2);
    QVERIFY(!manager.onSet(xml("<Users/>")));

    manager.onResponse(ZnUserManage::UserType2, xml("<User id=\"8\"/>"));
    QVERIFY(manager.currentUser());
    QCOMPARE(manager.currentUser()->id, 8);
    QCOMPARE(gCurrentUser.id, -1);
    QCOMPARE(gCurrentUser.lv, 1);
}

void TstXmlParsers::levelsParsedAndSorted()
{
    const std::string text = xml("<LevelList>"
                                 "<Level id=\"3\" name=\"low\" lv=\"1\" type=\"5\"/>"
                                 "text between"
                                 "<L id=\"10\" name=\"admin\" lv=\"100\" type=\"5\"/>"
                                 "<Level id=\"7\" name=\"mid\"/>"
                                 "</LevelList>");
    std::unique_ptr<std::list<ZnLevel>> levels = ZnLevelManage::parseLevelList(text);
    QVERIFY(levels);
    QCOMPARE(levels->size(), size_t(3));
    QCOMPARE(levels->back().lv, uint16_t(10));
    QCOMPARE(levels->back().type, uint16_t(1));

    // The lookup by type over a pushed list is tested over the wire; here the edges.
    ZnLevelList list;
    ZnLevel found;
    QCOMPARE(list.replace(*levels), 0);
    QCOMPARE(list.lookup(found, 1), 0);
    QCOMPARE(found.id, uint16_t(7));
    // The next list replaces the first.
    QCOMPARE(list.replace(std::list<ZnLevel>{}), 0);
    QCOMPARE(list.lookup(found, 5), -1);
    QCOMPARE(ZnLevelList::update(nullptr), -1);
}

void TstXmlParsers::levelSetKinds()
{
    ZnLevelManage manager;
    manager.setCallbacks(keepLevels, nullptr, nullptr);
    levelCalls = 0;
    QVERIFY(manager.onSet(xml("<LevelList><Level id=\"2\" type=\"4\"/></LevelList>")));
    QCOMPARE(levelCalls, 1);
    QCOMPARE(gotLevels.front().type, uint16_t(4));
    // "Level" is taken but holds no list.
    QVERIFY(manager.onSet(xml("<Level id=\"2\"/>")));
    QCOMPARE(levelCalls, 1);
    QVERIFY(!manager.onSet(xml("<UserList/>")));
    // Answers: only the list type, only a real list.
    manager.onResponse(145, xml("<LevelList/>"));
    manager.onResponse(ZnLevelManage::ListType, "<LevelList><Level");
    QCOMPARE(levelCalls, 1);
    manager.onResponse(ZnLevelManage::ListType, xml("<LevelList/>"));
    QCOMPARE(levelCalls, 2);
    QVERIFY(gotLevels.empty());
}

void TstXmlParsers::schemeSetKeepsLevelAndType()
{
    ZnSchemeManage manager;
    manager.setCallbacks(nullptr, nullptr, keepChanged, nullptr);
    changedSchemes.clear();
    QVERIFY(manager.onSet(xml("<Scheme Id=\"4\" Status=\"1\" level=\"8\" type=\"6\" SchemeName=\"A\"/>")));
    QVERIFY(manager.onSet(xml("<Scheme Id=\"5\"/>")));
    QCOMPARE(changedSchemes.size(), size_t(2));
    const ZnScheme& s = changedSchemes[1].first;
    QCOMPARE(s.id, 5);
    QCOMPARE(s.enable, 0);
    QCOMPARE(s.level, 8);
    QCOMPARE(s.type, 6);
    QVERIFY(s.name.empty());
    // Broken XML of a scheme kind is taken and dropped.
    QVERIFY(manager.onSet(xml("<Scheme Id=\"5\"")));
    QCOMPARE(changedSchemes.size(), size_t(2));
}

void TstXmlParsers::broadcasts()
{
    std::list<ZnBroadcast> list;
    QVERIFY(ZnBroadcastManage::parseList(kFull, list));
    // Every child element is a broadcast, whatever its name; regions without an id are dropped.
    QCOMPARE(int(list.size()), 2);
    QCOMPARE(text(list.front()),
             std::string("12|B12|Morning|3|10.1.1.2|1|/media/am|2|1|40|0|-5|1|9 R 2:4 0:5 E 77 0 F 1:a.mp3 0:b.mp3"));
    QCOMPARE(text(list.back()), std::string("13|||0||0||0|0|0|0|0|0|0 R E F"));
}

void TstXmlParsers::broadcastAnswersAndSets()
{
    gListSizes.clear();
    gSingle.clear();
    gPushed.clear();
    ZnBroadcastManage m;
    m.onResponse(95, kFull); // nothing registered: parsed and dropped
    m.setCallbacks(onList, onSingle, onPushed);
    for (int type : {95, 96, 97, 98, 99})
        m.onResponse(type, kFull);
    m.onResponse(95, xml("<BroadcastList/>"));
    m.onResponse(96, xml("<BroadcastList/>"));
    QCOMPARE(gListSizes, (std::vector<int>{2, 0}));
    QCOMPARE(int(gSingle.size()), 2);
    QCOMPARE(gSingle[0].id, 12);

    // A SET hands on its first broadcast; a BroadcastList that is not the top is another message.
    QVERIFY(m.onSet(kFull));
    QVERIFY(!m.onSet(xml("<Broadcast id=\"3\"/>")));
    QVERIFY(!m.onSet(xml("<BroadcastList/>")));
    QVERIFY(!m.onSet(xml("<Wrap><BroadcastList><B id=\"3\"/></BroadcastList></Wrap>")));
    QVERIFY(!m.onPost("SqlConfig_broadcast", "[]"));
    QCOMPARE(int(gPushed.size()), 1);
    QCOMPARE(gPushed[0].id, 12);
}

void TstXmlParsers::malformedBodies_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("json") << QByteArray("[{\"id\":\"1\"}]");
    QTest::newRow("other top") << QByteArray(xml("<TaskList><User id=\"1\"/><Broadcast id=\"1\"/></TaskList>").c_str());
    for (const char* top : {"UserList", "LevelList", "BroadcastList"}) {
        const std::string open = std::string("<") + top + ">";
        QTest::newRow((open + " unclosed").c_str()) << QByteArray(xml(open + "<X id=\"1\">").c_str());
        QTest::newRow((open + " mismatched").c_str())
            << QByteArray(xml(open + "<B id=\"1\"></C>" + "</" + top + ">").c_str());
        QTest::newRow((open + " truncated").c_str()) << QByteArray(xml(open + "<X id=\"1\" na").c_str());
        // Deep enough to overflow the receive thread's stack if it were parsed.
        std::string deep = xml(open);
        for (int i = 0; i < 200000; ++i)
            deep += "<a>";
        QTest::newRow((open + " deep").c_str()) << QByteArray::fromStdString(deep);
    }
    QTest::newRow("truncated declaration") << QByteArray("<?xml version=");
    QTest::newRow("binary") << QByteArray("<\x01\xff<\xfe>\x00<", 8);
}

void TstXmlParsers::malformedBodies()
{
    QFETCH(QByteArray, body);
    const std::string text = body.toStdString();
    QVERIFY(!ZnUserManage::parseUserList(text));
    QVERIFY(!ZnUserManage::parseUser(text));
    QVERIFY(!ZnLevelManage::parseLevelList(text));
    std::list<ZnBroadcast> list;
    QVERIFY(!ZnBroadcastManage::parseList(text, list));
    ZnScheme s;
    QVERIFY(!ZnSchemeManage::parseSet("<Scheme>" + text, s));

    gotUsers.clear();
    gotUser.clear();
    gListSizes.clear();
    gSingle.clear();
    gPushed.clear();
    ZnUserManage users;
    users.setCallbacks(keepUsers, keepUser);
    users.onResponse(ZnUserManage::ListType, text);
    users.onResponse(ZnUserManage::UserType, text);
    ZnBroadcastManage broadcasts;
    broadcasts.setCallbacks(onList, onSingle, onPushed);
    broadcasts.onResponse(95, text);
    broadcasts.onResponse(96, text);
    QVERIFY(!broadcasts.onSet(text));
    QVERIFY(gotUsers.empty() && gotUser.empty() && !users.currentUser());
    QVERIFY(gListSizes.empty() && gSingle.empty() && gPushed.empty());
}

void TstXmlParsers::nestingDepth_data()
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

void TstXmlParsers::nestingDepth()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, depth);
    QCOMPARE(ZnXmlNesting::depth(xml.toStdString()), depth);
}

void TstXmlParsers::mutatedBodiesNeverCrash()
{
    // A small bounded fuzzer: flips, cuts and splices bytes of good bodies and
    // feeds them to every XML reader and to the managers' hooks.
    const std::vector<std::string> seeds = {
        xml("<UserList><User id=\"4\" name=\"op\" lv=\"5\"><TerminalList assign=\"1\"><T id=\"7\"/></TerminalList>"
            "</User></UserList>"),
        xml("<User id=\"4\" name=\"\xe5\x80\xbc\" fn=\"a\" pw=\"b\" m=\"c\"/>"),
        xml("<LevelList><Level id=\"3\" name=\"low\" lv=\"1\" type=\"5\"/><!-- c --><L id=\"9\"/></LevelList>"),
        xml("<AmpScheme Id=\"12\" Status=\"1\" level=\"3\" type=\"2\" SchemeName=\"M\" SchemeRemark=\"r\"/>"),
        "[{\"timerplanId\":\"1\",\"name\":\"A\",\"enable\":\"1\",\"comment\":\"c\"}]",
    };
    // The row reader reports every broken body; thousands of lines say nothing here.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    ZnUserManage users;
    ZnLevelManage levels;
    ZnSchemeManage schemes;
    users.setCallbacks(keepUsers, keepUser);
    levels.setCallbacks(keepLevels, nullptr, nullptr);
    schemes.setCallbacks(nullptr, nullptr, keepChanged, nullptr);
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        const std::string body = mutate(seeds[rng() % seeds.size()], rng);
        ZnUserManage::parseUser(body);
        ZnUserManage::parseUserList(body);
        ZnLevelManage::parseLevelList(body);
        users.onSet(body);
        users.onResponse(ZnUserManage::ListType, body);
        users.onResponse(ZnUserManage::UserType, body);
        levels.onSet(body);
        levels.onResponse(ZnLevelManage::ListType, body);
        schemes.onSet(body);
        schemes.onPost(ZnSchemeManage::kPostKey, body);
        schemes.onResponse(79, body);
        schemes.onResponse(84, body);
    }
    qInstallMessageHandler(previous);
    for (const auto& c : changedSchemes)
        QVERIFY(c.second >= 0 && c.second < 4);
}

QTEST_GUILESS_MAIN(TstXmlParsers)
#include "tst_xmlparsers.moc"
