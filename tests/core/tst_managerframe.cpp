#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"

#include <QtTest>

#include <string>
#include <vector>

namespace {
std::vector<int> g_callbackIds;

class FakeMgr : public ZnBaseMgr
{
public:
    void onResponse(int, const std::string &) override {}
    bool onSet(const std::string &body) override
    {
        setBodies.push_back(body);
        return takeSet;
    }
    void onDeleted(int id) override { deleted.push_back(id); }

    bool takeSet = false;
    std::vector<std::string> setBodies;
    std::vector<int> deleted;
};
}

class TstManagerFrame : public QObject
{
    Q_OBJECT

private slots:
    // A POST goes to the set hook; only a type equal to the manager's name deletes,
    // the callback after the hook; commands count only up to their count.
    void dispatch()
    {
        FakeMgr m;
        QVERIFY(!m.onPost("SqlConfig_d82", "rows"));
        m.takeSet = true;
        QVERIFY(m.onPost("SqlConfig_d82", "more"));
        QCOMPARE(m.setBodies, (std::vector<std::string>{"rows", "more"}));

        m.setName("D72");
        int id = 0;
        for (const char *type : {"D72", "D7", "D72x", "d72", ""})
            m.onDelete(type, ++id);
        m.setDeleteCallback([](int id) { g_callbackIds.push_back(id); });
        m.onDelete("D72", 6);
        QCOMPARE(m.deleted, (std::vector<int>{1, 6}));
        QCOMPARE(g_callbackIds, std::vector<int>{6});

        static const int types[] = {278, 279, 280};
        m.setCommands(types, 2);
        QCOMPARE(m.isCommandRegistered(279), 0);
        QCOMPARE(m.isCommandRegistered(280), -1);
    }

    void replyType_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("kind");
        const QByteArray decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
        QTest::newRow("user list") << decl + "<UserList><User/></UserList>" << 31;
        QTest::newRow("attributes stop the name") << decl + "<User id=\"3\">x</User>" << 32;
        QTest::newRow("self-closing") << decl + "<MicGroup/>" << 51;
        QTest::newRow("first entry of the table") << decl + "<BroadcastList>" << 0;
        QTest::newRow("one letter more") << decl + "<UserX/>" << 52;
        QTest::newRow("case matters") << decl + "<userlist>" << 52;
        QTest::newRow("one < only") << QByteArray("<UserList>") << 52;
        QTest::newRow("no declaration: second element") << QByteArray("<A><Level>") << 38;
        QTest::newRow("name up to the end") << decl + "<PlanTask" << 48;
        QTest::newRow("NUL ends the name") << decl + QByteArray("<Task\0List>", 11) << 11;
    }
    void replyType()
    {
        QFETCH(QByteArray, xml);
        QTEST(ZnMsgCheck().replyType(xml.toStdString()), "kind");
    }
};

QTEST_GUILESS_MAIN(TstManagerFrame)
#include "tst_managerframe.moc"
