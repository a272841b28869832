#include "ZnFixedText.h"
#include "ZnLevelList.h"
#include "ZnLevelManage.h"
#include "ZnSchemeManage.h"
#include "ZnUserManage.h"

#include <QtTest>

#include <cstring>

namespace {

const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

std::string xml(const std::string& body)
{
    return kDecl + body;
}

std::list<ZnUser> gotUsers;
std::list<ZnUser> gotUser;
void keepUsers(std::list<ZnUser>* users) { gotUsers = *users; }
void keepUser(ZnUser* user) { gotUser.push_back(*user); }

std::list<ZnLevel> gotLevels;
int levelCalls = 0;
void keepLevels(std::list<ZnLevel>* levels)
{
    ++levelCalls;
    gotLevels = *levels;
}

std::vector<std::pair<ZnScheme, int>> changedSchemes;
void keepChanged(ZnScheme* s, int kind) { changedSchemes.push_back({*s, kind}); }

} // namespace

class TstXmlParsers : public QObject
{
    Q_OBJECT
private slots:
    void fixedTextKeepsWholeCharacters();
    void users();
    void usersMalformed_data();
    void usersMalformed();
    void userSetIsConsumed();
    void levelsParsedAndSorted();
    void levelSetKinds();
    void schemeSetOfEachKind_data();
    void schemeSetOfEachKind();
    void schemeSetKeepsLevelAndType();
    void deepNestingIsRefused();
    void mutatedBodiesNeverCrash();
};

void TstXmlParsers::fixedTextKeepsWholeCharacters()
{
    char out[6];
    // "广播" is two 3-byte characters: only the first fits in 5 bytes.
    ZnFixedText::copy(out, sizeof out, "\xe5\xb9\xbf\xe6\x92\xad");
    QCOMPARE(QByteArray(out), QByteArray("\xe5\xb9\xbf"));
    ZnFixedText::copy(out, sizeof out, "abcde");
    QCOMPARE(QByteArray(out), QByteArray("abcde"));
    ZnFixedText::copy(out, sizeof out, "abcdef");
    QCOMPARE(QByteArray(out), QByteArray("abcde"));
    ZnFixedText::copy(out, sizeof out, "ab\xc3\xa9\xc3\xa9");
    QCOMPARE(QByteArray(out), QByteArray("ab\xc3\xa9"));

    // A level name of 40 bytes, the 32-byte limit falling inside a character.
    ZnLevel level;
    std::string name(31, 'x');
    name += "\xe4\xb8\xad\xe6\x96\x87";
    ZnFixedText::copy(level.name, sizeof level.name, name);
    QCOMPARE(std::strlen(level.name), size_t(31));
    QVERIFY(QString::fromUtf8(level.name).size() == 31);
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
    QCOMPARE(users->size(), size_t(3));
    auto it = users->begin();
    QCOMPARE(it->id, 4);
    QCOMPARE(QByteArray(it->name), QByteArray("operator"));
    QCOMPARE(it->lv, 100);
    QCOMPARE(QByteArray(it->pw), QByteArray("secret"));
    QCOMPARE(it->assign, 2);
    QCOMPARE(it->terminalIds, (std::list<int32_t>{3, 7}));
    ++it;
    QCOMPARE(it->id, 5);
    QCOMPARE(it->lv, 1);
    QCOMPARE(it->assign, 0);
    QVERIFY(it->terminalIds.empty());
    ++it;
    // 21 bytes of name: cut to the six whole characters that fit in 19.
    QCOMPARE(QString::fromUtf8(it->name), QString::fromUtf8("\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98\xe5\x80\xbc\xe7\x8f\xad\xe5\x91\x98"));
    QCOMPARE(it->lv, 1);

    std::unique_ptr<ZnUser> one = ZnUserManage::parseUser(xml("<User id=\"9\" lv=\"42\"/>"));
    QVERIFY(one);
    QCOMPARE(one->id, 9);
    QCOMPARE(one->lv, 42);
}

void TstXmlParsers::usersMalformed_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("not xml") << QByteArray("{\"id\":1}");
    QTest::newRow("unclosed") << QByteArray("<?xml version=\"1.0\"?><UserList><User id=\"1\">");
    QTest::newRow("other top") << QByteArray("<?xml version=\"1.0\"?><Users><User id=\"1\"/></Users>");
    QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\"?><UserList><User id=\"1\" na");
}

void TstXmlParsers::usersMalformed()
{
    QFETCH(QByteArray, text);
    QVERIFY(!ZnUserManage::parseUserList(text.toStdString()));
    QVERIFY(!ZnUserManage::parseUser(text.toStdString()));

    ZnUserManage manager;
    gotUsers.clear();
    gotUser.clear();
    manager.setCallbacks(keepUsers, keepUser);
    manager.onResponse(ZnUserManage::ListType, text.toStdString());
    manager.onResponse(ZnUserManage::UserType, text.toStdString());
    QVERIFY(gotUsers.empty());
    QVERIFY(gotUser.empty());
    QVERIFY(!manager.currentUser());

    // Numbers that are no numbers read as 0, an "lv" of 0 becomes 1.
    std::unique_ptr<ZnUser> u = ZnUserManage::parseUser(xml("<User id=\"abc\" lv=\"x\"/>"));
    QVERIFY(u);
    QCOMPARE(u->id, 0);
    QCOMPARE(u->lv, 1);
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
    const std::string text = xml(
        "<LevelList>"
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

    ZnLevelList list;
    ZnLevel found;
    QCOMPARE(list.lookup(found, 5), -1);
    QCOMPARE(list.replace(*levels), 0);
    QCOMPARE(list.lookup(found, 5), 0);
    QCOMPARE(found.id, uint16_t(10));
    QCOMPARE(QByteArray(found.name), QByteArray("admin"));
    QCOMPARE(list.lookup(found, 1), 0);
    QCOMPARE(found.id, uint16_t(7));
    QCOMPARE(list.lookup(found, 4), -1);

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

void TstXmlParsers::schemeSetOfEachKind_data()
{
    QTest::addColumn<QString>("top");
    QTest::addColumn<int>("kind");
    QTest::newRow("Scheme") << "Scheme" << 0;
    QTest::newRow("AmpScheme") << "AmpScheme" << 1;
    QTest::newRow("PowerScheme") << "PowerScheme" << 2;
    QTest::newRow("VolumeScheme") << "VolumeScheme" << 3;
}

void TstXmlParsers::schemeSetOfEachKind()
{
    QFETCH(QString, top);
    QFETCH(int, kind);
    ZnSchemeManage manager;
    manager.setCallbacks(nullptr, nullptr, keepChanged, nullptr);
    changedSchemes.clear();
    const std::string body = xml("<" + top.toStdString()
                                 + " Id=\"12\" Status=\"1\" level=\"3\" type=\"2\" SchemeName=\"Morning\""
                                   " SchemeRemark=\"r\"/>");
    QVERIFY(manager.onSet(body));
    QCOMPARE(changedSchemes.size(), size_t(1));
    const ZnScheme& s = changedSchemes[0].first;
    QCOMPARE(changedSchemes[0].second, kind);
    QCOMPARE(s.id, 12);
    QCOMPARE(s.enable, 1);
    QCOMPARE(s.level, 3);
    QCOMPARE(s.type, 2);
    QCOMPARE(s.name, std::string("Morning"));
    QCOMPARE(s.remark, std::string("r"));

    // The list forms are not single schemes.
    QVERIFY(!manager.onSet(xml("<" + top.toStdString() + "List/>")));
    QCOMPARE(changedSchemes.size(), size_t(1));
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

void TstXmlParsers::deepNestingIsRefused()
{
    // Deep enough to overflow the receive thread's stack if it were parsed.
    std::string deep = kDecl;
    deep += "<UserList>";
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    QVERIFY(!ZnUserManage::parseUserList(deep));
    QVERIFY(!ZnLevelManage::parseLevelList("<LevelList>" + deep.substr(std::strlen(kDecl) + 10)));
    ZnScheme s;
    QVERIFY(!ZnSchemeManage::parseSet("<Scheme>" + deep, s));
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
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    ZnUserManage users;
    ZnLevelManage levels;
    ZnSchemeManage schemes;
    users.setCallbacks(keepUsers, keepUser);
    levels.setCallbacks(keepLevels, nullptr, nullptr);
    schemes.setCallbacks(nullptr, nullptr, keepChanged, nullptr);
    const char pool[] = "<>/=\"'!?-[]& \x00\xe5\xff";
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xffffff;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string body = seeds[next() % seeds.size()];
        const int edits = 1 + next() % 6;
        for (int e = 0; e < edits && !body.empty(); ++e) {
            const size_t at = next() % body.size();
            switch (next() % 4) {
            case 0:
                body[at] = pool[next() % (sizeof pool - 1)];
                break;
            case 1:
                body.erase(at, 1 + next() % 8);
                break;
            case 2:
                body.insert(at, 1, pool[next() % (sizeof pool - 1)]);
                break;
            default:
                body.resize(at);
                break;
            }
        }
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
