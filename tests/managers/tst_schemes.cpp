#include "ServiceHub.h"
#include "SimSession.h"
#include "ZnApi.h"
#include "ZnLevelList.h"
#include "ZnQtViewCtrl.h"
#include "ZnQtViewSignal.h"
#include "ZnSchemeList.h"
#include "ZnSchemeManage.h"
#include "ZnViewConnectRequest.h"

#include <QtTest>

#include <thread>
#include <vector>

namespace {

std::vector<int> ids(const std::list<ZnScheme>& list)
{
    std::vector<int> out;
    for (const ZnScheme& s : list)
        out.push_back(s.id);
    return out;
}

} // namespace

// A scheme page: hears the kind's view, queued to this thread.
class SchemeView : public QObject
{
    Q_OBJECT
public:
    int lists = 0;
    QThread* ranOn = nullptr;
    std::vector<int> added, updated, removed;
public slots:
    void onList()
    {
        ++lists;
        ranOn = QThread::currentThread();
    }
    void onAdded(int id) { added.push_back(id); }
    void onUpdated(int id) { updated.push_back(id); }
    void onRemoved(int id) { removed.push_back(id); }
};

class TstSchemes : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listArrivesOnceAndIsReplaced();
    void addModifyEnableDelete();
    void refusalsChangeNothing();
    void addAnsweredWithoutRow();
    void pushesAndDeletions();
    void setOfEachKind_data();
    void setOfEachKind();
    void levelsPushedBySet();
    void ownListSharedWithTheReceiveThread();
    void lockedListAndLocalRemoval();

private:
    void watch(int kind);
    std::list<ZnScheme> schemes(int kind);

    SimSession m_session;
    ZnSchemeList* m_list = nullptr;
    SchemeView* m_view = nullptr;
};

void TstSchemes::initTestCase()
{
    QVERIFY(m_session.login());
    ServiceHub::create(m_session.centre.get());
    m_list = ZnSchemeList::instance();
}

void TstSchemes::init()
{
    m_view = new SchemeView;
    watch(0);
}

void TstSchemes::cleanup()
{
    delete m_view;
    m_session.sim.clearRules();
}

void TstSchemes::watch(int kind)
{
    ZnQtViewSignal* s = m_list->viewCtrl(kind)->signalObject();
    connect(s, &ZnQtViewSignal::haveTerminals, m_view, &SchemeView::onList);
    connect(s, &ZnQtViewSignal::addTerminal, m_view, &SchemeView::onAdded);
    connect(s, &ZnQtViewSignal::updateTerminal, m_view, &SchemeView::onUpdated);
    connect(s, &ZnQtViewSignal::delTerminal, m_view, &SchemeView::onRemoved);
}

std::list<ZnScheme> TstSchemes::schemes(int kind)
{
    std::list<ZnScheme> out;
    m_list->requestSchemes(kind, out);
    return out;
}

void TstSchemes::listArrivesOnceAndIsReplaced()
{
    std::list<ZnScheme> out;
    QVERIFY(!m_list->requestSchemes(0, out));
    QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 1; }));
    QVERIFY(m_list->requestSchemes(0, out));
    QCOMPARE(ids(out), (std::vector<int>{1, 2}));
    QCOMPARE(out.front().name, std::string("Weekdays"));
    QCOMPARE(out.front().comment, std::string("school days"));
    QCOMPARE(out.back().enable, 0);
    QVERIFY(!m_list->requestSchemes(4, out));

    // Answers to further list requests replace the list: no duplicates.
    QCOMPARE(apiGetSchemeList(m_session.centre.get(), 0), 0);
    QCOMPARE(apiGetSchemeList(m_session.centre.get(), 0), 0);
    QCOMPARE(ids(schemes(0)), (std::vector<int>{1, 2}));
    QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 3; }));

    // An answer that does not read tells the page with the list as it was; an
    // empty one tells nothing (the good answer after it is the marker).
    m_session.sim.addRule(ZnSimRule::make("GET SqlConfig/schemelist", ZnSimRule::Reply, "[{broken", 0, 1));
    QCOMPARE(apiGetSchemeList(m_session.centre.get(), 0), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 4; }));
    QCOMPARE(ids(schemes(0)), (std::vector<int>{1, 2}));
    m_session.sim.addRule(ZnSimRule::make("GET SqlConfig/schemelist", ZnSimRule::Reply, "", 0, 1));
    QCOMPARE(apiGetSchemeList(m_session.centre.get(), 0), 0);
    QCOMPARE(apiGetSchemeList(m_session.centre.get(), 0), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_view->lists >= 5; }));
    QCOMPARE(m_view->lists, 5);
}

void TstSchemes::addModifyEnableDelete()
{
    ZnScheme s;
    s.name = "Night";
    s.comment = "after hours";
    s.enable = 0;
    QCOMPARE(m_list->addScheme(s, 0), 0);
    QCOMPARE(
        QString::fromStdString(m_session.lastBody("POST TimerPlan")),
        QStringLiteral(
            "{\"Action\":\"Add\",\"Comment\":\"after hours\",\"Enable\":\"1\",\"Id\":\"-1\",\"Name\":\"Night\"}\n"));
    // The record now is the server's plan, under the id the server gave it.
    QCOMPARE(s.id, 3);
    QCOMPARE(s.enable, 1);
    QCOMPARE(ids(schemes(0)), (std::vector<int>{1, 2, 3}));
    QVERIFY(SimSession::spinUntil([&] { return m_view->added == std::vector<int>{3}; }));

    s.name = "Late night";
    QCOMPARE(m_list->modifyScheme(s, 0), 0);
    QCOMPARE(QString::fromStdString(m_session.lastBody("POST TimerPlan")),
             QStringLiteral("{\"Action\":\"Mod\",\"Comment\":\"after "
                            "hours\",\"Enable\":\"1\",\"Id\":\"3\",\"Name\":\"Late night\"}\n"));
    ZnScheme found;
    QVERIFY(m_list->findScheme(3, 0, found));
    QCOMPARE(found.name, std::string("Late night"));
    QVERIFY(SimSession::spinUntil([&] { return m_view->updated == std::vector<int>{3}; }));

    // The switch turns an enable of 5 (anything but 0) off and 0 on.
    s.enable = 5;
    QCOMPARE(m_list->toggleScheme(s, 0), 0);
    QVERIFY(m_session.lastBody("POST TimerPlan").find("\"Enable\":\"0\"") != std::string::npos);
    QCOMPARE(s.enable, 0);
    QCOMPARE(m_list->toggleScheme(s, 0), 0);
    QVERIFY(m_session.lastBody("POST TimerPlan").find("\"Enable\":\"1\"") != std::string::npos);
    QCOMPARE(s.enable, 1);
    QVERIFY(m_list->findScheme(3, 0, found));
    QCOMPARE(found.enable, 1);

    // Deleting removes the plan asked for, whatever was reported last (the
    // server keeps a plan that still has tasks).
    m_session.sim.withData([](ZnSimData& d) { d.table("soundsource").clear(); });
    ZnScheme first;
    QVERIFY(m_list->findScheme(1, 0, first));
    QCOMPARE(m_list->deleteScheme(first, 0), 0);
    QVERIFY(m_session.lastBody("POST TimerPlan").find("\"Action\":\"Del\"") != std::string::npos);
    QCOMPARE(ids(schemes(0)), (std::vector<int>{2, 3}));
    QVERIFY(SimSession::spinUntil([&] { return m_view->removed == std::vector<int>{1}; }));
    QCOMPARE(apiGetSchemeList(m_session.centre.get(), 0), 0);
    QCOMPARE(ids(schemes(0)), (std::vector<int>{2, 3}));
}

void TstSchemes::refusalsChangeNothing()
{
    const std::list<ZnScheme> before = schemes(0);
    ZnScheme s = before.back();
    const ZnScheme original = s;
    m_session.sim.addRule(ZnSimRule::make("POST TimerPlan", ZnSimRule::Fail, "refused"));
    QCOMPARE(m_list->toggleScheme(s, 0), 1);
    QCOMPARE(s.enable, original.enable);
    s.name = "Other";
    QCOMPARE(m_list->modifyScheme(s, 0), 1);
    QCOMPARE(m_list->deleteScheme(s, 0), 1);
    ZnScheme added;
    added.name = "New";
    QCOMPARE(m_list->addScheme(added, 0), 1);
    QCOMPARE(added.id, 0);

    QCOMPARE(ids(schemes(0)), ids(before));
    ZnScheme found;
    QVERIFY(m_list->findScheme(original.id, 0, found));
    QCOMPARE(found.name, original.name);
    QCOMPARE(found.enable, original.enable);
    QCoreApplication::processEvents();
    QVERIFY(m_view->added.empty() && m_view->updated.empty() && m_view->removed.empty());
}

void TstSchemes::addAnsweredWithoutRow()
{
    // A server that accepts without saying which plan it made: no plan without
    // an id shows up, and the list is fetched again instead.
    const int listsBefore = m_session.sim.count("GET SqlConfig/schemelist");
    m_session.sim.addRule(ZnSimRule::make("POST TimerPlan", ZnSimRule::Reply, "", 0, 1));
    ZnScheme s;
    s.name = "Quiet";
    QCOMPARE(m_list->addScheme(s, 0), 0);
    QCOMPARE(s.id, 0);
    QCOMPARE(m_session.sim.count("GET SqlConfig/schemelist"), listsBefore + 1);
    for (const ZnScheme& held : schemes(0))
        QVERIFY(held.id > 0);

    // A modify answered without a row shows what was sent.
    ZnScheme mod = schemes(0).front();
    mod.comment = "kept";
    m_session.sim.addRule(ZnSimRule::make("POST TimerPlan", ZnSimRule::Reply, "", 0, 1));
    QCOMPARE(m_list->modifyScheme(mod, 0), 0);
    ZnScheme found;
    QVERIFY(m_list->findScheme(mod.id, 0, found));
    QCOMPARE(found.comment, std::string("kept"));
}

void TstSchemes::pushesAndDeletions()
{
    schemes(0);
    m_session.sim.pushPost("SqlConfig", "timerplan",
                           R"([{"timerplanId":"2","name":"Holidays 2","enable":"1"},)"
                           R"({"timerplanId":"40","terminalId":"9","name":""}])");
    QVERIFY(SimSession::spinUntil([&] { return m_view->added.size() == 1 && m_view->updated.size() == 1; }));
    QCOMPARE(m_view->updated.front(), 2);
    QCOMPARE(m_view->added.front(), 40);
    ZnScheme found;
    QVERIFY(m_list->findScheme(40, 0, found));
    QCOMPARE(found.name, std::string("Scheme_9"));

    // Every scheme DELETE type removes from the play schemes.
    m_session.sim.pushDelete("AmpSchemeData", 40);
    m_session.sim.pushDelete("SchemeDataX", 2);
    QVERIFY(SimSession::spinUntil([&] { return m_view->removed.size() == 1; }));
    QCOMPARE(m_view->removed.front(), 40);
    QVERIFY(!m_list->findScheme(40, 0, found));
    QVERIFY(m_list->findScheme(2, 0, found));
}

void TstSchemes::setOfEachKind_data()
{
    QTest::addColumn<QString>("top");
    QTest::addColumn<int>("kind");
    QTest::newRow("Scheme") << "Scheme" << 0;
    QTest::newRow("AmpScheme") << "AmpScheme" << 1;
    QTest::newRow("PowerScheme") << "PowerScheme" << 2;
    QTest::newRow("VolumeScheme") << "VolumeScheme" << 3;
}

void TstSchemes::setOfEachKind()
{
    QFETCH(QString, top);
    QFETCH(int, kind);
    if (kind != 0)
        watch(kind);
    const std::string id = std::to_string(60 + kind);
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + top.toStdString() + " Id=\"" + id
                            + "\" Status=\"1\" SchemeName=\"From set\" SchemeRemark=\"r\"/>";
    m_session.sim.pushSet("", "", xml);
    QVERIFY(SimSession::spinUntil([&] { return m_view->added.size() == 1; }));
    QCOMPARE(m_view->added.front(), 60 + kind);
    ZnScheme found;
    QVERIFY(m_list->findScheme(60 + kind, kind, found));
    QCOMPARE(found.name, std::string("From set"));
    QCOMPARE(found.remark, std::string("r"));
    if (kind != 0)
        QVERIFY(!m_list->findScheme(60 + kind, 0, found));

    // Without an id the SET names no plan and adds none.
    m_session.sim.pushSet("", "", "<?xml version=\"1.0\"?><" + top.toStdString() + " SchemeName=\"x\"/>");
    m_session.sim.pushSet("", "", xml);
    QVERIFY(SimSession::spinUntil([&] { return m_view->updated.size() == 1; }));
    QCOMPARE(m_view->added.size(), size_t(1));
    QVERIFY(!m_list->findScheme(0, kind, found));
}

void TstSchemes::levelsPushedBySet()
{
    ZnLevel level;
    QCOMPARE(gLevelList.lookup(level, 5), -1);
    SchemeView levelView;
    ZnViewConnectRequest req;
    req.kind = 0;
    req.receiver = &levelView;
    req.slot = SLOT(onList());
    QCOMPARE(gLevelList.view()->connectView(req), 0);

    std::string xml;
    m_session.sim.withData([&](ZnSimData& d) { xml = d.levelListXml(); });
    m_session.sim.pushSet("", "", xml);
    QVERIFY(SimSession::spinUntil([&] { return levelView.lists == 1; }));
    // Announced from the receive thread, heard on this one.
    QCOMPARE(levelView.ranOn, QThread::currentThread());
    // Ids 3, 10 and 7 come out as 10, 7, 3: the first of type 5 is 7.
    QCOMPARE(gLevelList.lookup(level, 5), 0);
    QCOMPARE(level.id, uint16_t(7));
    QCOMPARE(QByteArray(level.name), QByteArray("Supervisor"));
    QCOMPARE(gLevelList.lookup(level, 4), 0);
    QCOMPARE(level.id, uint16_t(10));
    QCOMPARE(gLevelList.lookup(level, 9), -1);
}

void TstSchemes::ownListSharedWithTheReceiveThread()
{
    // Pushes add to the manager's own list on one thread while deletes drop from it
    // on this one; the comment a SET takes from the list shows what it holds.
    static std::string lastComment;
    ZnSchemeManage m;
    m.setCallbacks(
        nullptr, nullptr, [](ZnScheme* s, int) { lastComment = s->comment; }, nullptr);
    std::thread receive([&m] {
        for (int i = 0; i < 2000; ++i)
            m.onPost(ZnSchemeManage::kPostKey,
                     "[{\"timerplanId\":\"" + std::to_string(i % 50) + "\",\"comment\":\"c\"}]");
    });
    std::string out;
    ZnScheme gone;
    for (int i = 0; i < 2000; ++i) {
        gone.id = i % 50;
        m.buildDeleteScheme(out, i, gone);
    }
    receive.join();
    const std::string set = "<?xml version=\"1.0\"?><Scheme Id=\"7\"/>";
    m.onPost(ZnSchemeManage::kPostKey, "[{\"timerplanId\":\"7\",\"comment\":\"kept\"}]");
    QVERIFY(m.onSet(set));
    QCOMPARE(lastComment, std::string("kept"));
    gone.id = 7;
    m.buildDeleteScheme(out, 1, gone);
    QVERIFY(m.onSet(set));
    QCOMPARE(lastComment, std::string());
    // Rows nested past the JSON reader's limit are bad input, not an exception.
    std::list<ZnScheme> rows;
    QVERIFY(!ZnSchemeManage::parseRows(std::string(5000, '['), rows));
}

void TstSchemes::lockedListAndLocalRemoval()
{
    watch(3);
    QVERIFY(!m_list->lockedSchemes(3)); // not held yet: asked for, nothing locked
    QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 1; }));
    QVERIFY(m_list->lockedSchemes(3));
    m_list->unlockSchemes();
    // Unlocked: the receive thread can store the next answer.
    QCOMPARE(apiGetSchemeList(m_session.centre.get(), 3), 0);
    QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 2; }));
    QVERIFY(!m_list->lockedSchemes(4));

    const std::list<ZnScheme>* plays = m_list->lockedSchemes(0);
    QVERIFY(plays);
    const int first = plays->front().id;
    m_list->unlockSchemes();
    m_list->removeScheme(first, 0);
    m_list->removeScheme(first, 0);
    QVERIFY(!m_list->findScheme(first, 0));
    QCOMPARE(m_view->removed, std::vector<int>{first}); // announced once, at once
}

QTEST_GUILESS_MAIN(TstSchemes)
#include "tst_schemes.moc"
