// The timer plans of the four kinds and the level list, through the list model and
// the simulated server.
#include "ServiceHub.h"
#include "SimSession.h"
#include "ZnApi.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnLevelList.h"
#include "ZnQtViewCtrl.h"
#include "ZnQtViewSignal.h"
#include "ZnSchemeList.h"
#include "ZnSchemeManage.h"
#include "ZnViewConnectRequest.h"

#include <QtTest>

#include <thread>

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
    SimSession m_s;
    ZnSchemeList* m_list = nullptr;
    SchemeView* m_view = nullptr;

    void watch(int kind)
    {
        ZnQtViewSignal* s = m_list->viewCtrl(kind)->signalObject();
        connect(s, &ZnQtViewSignal::haveTerminals, m_view, &SchemeView::onList);
        connect(s, &ZnQtViewSignal::addTerminal, m_view, &SchemeView::onAdded);
        connect(s, &ZnQtViewSignal::updateTerminal, m_view, &SchemeView::onUpdated);
        connect(s, &ZnQtViewSignal::delTerminal, m_view, &SchemeView::onRemoved);
    }
    std::vector<int> ids(int kind)
    {
        std::list<ZnScheme> held;
        m_list->requestSchemes(kind, held);
        std::vector<int> out;
        for (const ZnScheme& s : held)
            out.push_back(s.id);
        return out;
    }
    std::string sent() const { return m_s.lastBody("POST TimerPlan"); }
    bool sentHas(const char* part) const { return sent().find(part) != std::string::npos; }
    int askList(int kind) { return apiGetSchemeList(m_s.centre.get(), kind); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_s.login());
        ServiceHub::create(m_s.centre.get());
        m_list = ZnSchemeList::instance();
    }
    void init()
    {
        m_view = new SchemeView;
        watch(0);
    }
    void cleanup()
    {
        delete m_view;
        m_s.sim.clearRules();
    }

    void listArrivesOnceAndIsReplaced()
    {
        std::list<ZnScheme> out;
        QVERIFY(!m_list->requestSchemes(0, out)); // not held yet: asked for
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 1; }));
        QVERIFY(m_list->requestSchemes(0, out));
        QCOMPARE(out.front().name, std::string("Weekdays"));
        QVERIFY(!m_list->requestSchemes(4, out));

        // Answers to further list requests replace the list: no duplicates.
        QCOMPARE(askList(0), 0);
        QCOMPARE(askList(0), 0);
        QCOMPARE(ids(0), (std::vector<int>{1, 2}));
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 3; }));

        // An answer that does not read tells the page with the list as it was; an
        // empty one tells nothing (the good answer after it is the marker).
        m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/schemelist", ZnSimRule::Reply, "[{broken", 0, 1));
        QCOMPARE(askList(0), 0);
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 4; }));
        QCOMPARE(ids(0), (std::vector<int>{1, 2}));
        m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/schemelist", ZnSimRule::Reply, "", 0, 1));
        QCOMPARE(askList(0), 0);
        QCOMPARE(askList(0), 0);
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists >= 5; }));
        QCOMPARE(m_view->lists, 5);
    }

    void addModifyEnableDelete()
    {
        ZnScheme s;
        s.name = "Night";
        s.comment = "after hours";
        s.enable = 0;
        QCOMPARE(m_list->addScheme(s, 0), 0);
        QCOMPARE(sent(), std::string("{\"Action\":\"Add\",\"Comment\":\"after hours\",\"Enable\":\"1\",\"Id\":\"-1\","
                                     "\"Name\":\"Night\"}\n"));
        // The record now is the server's plan, under the id the server gave it.
        QCOMPARE(s.id, 3);
        QCOMPARE(ids(0), (std::vector<int>{1, 2, 3}));
        s.name = "Late night";
        QCOMPARE(m_list->modifyScheme(s, 0), 0);
        QVERIFY(sentHas("\"Action\":\"Mod\"") && sentHas("\"Id\":\"3\""));
        QCOMPARE(m_list->findScheme(3, 0)->name, std::string("Late night"));
        QVERIFY(SimSession::spinUntil([&] { return m_view->updated == std::vector<int>{3}; }));
        QCOMPARE(m_view->added, std::vector<int>{3});

        // The switch turns an enable of 5 (anything but 0) off and 0 on.
        s.enable = 5;
        QCOMPARE(m_list->toggleScheme(s, 0), 0);
        QVERIFY(sentHas("\"Enable\":\"0\""));
        QCOMPARE(s.enable, 0);
        QCOMPARE(m_list->toggleScheme(s, 0), 0);
        QVERIFY(sentHas("\"Enable\":\"1\""));
        QCOMPARE(m_list->findScheme(3, 0)->enable, 1);

        // Deleting removes the plan asked for, whatever was reported last (the
        // server keeps a plan that still has tasks).
        m_s.sim.withData([](ZnSimData& d) { d.table("soundsource").clear(); });
        QCOMPARE(m_list->deleteScheme(*m_list->findScheme(1, 0), 0), 0);
        QVERIFY(sentHas("\"Action\":\"Del\""));
        QVERIFY(SimSession::spinUntil([&] { return m_view->removed == std::vector<int>{1}; }));
        QVERIFY(m_s.settle());
        QCOMPARE(m_view->removed, std::vector<int>{1}); // once: from the server's report only
        QCOMPARE(askList(0), 0);
        QCOMPARE(ids(0), (std::vector<int>{2, 3}));
    }

    void refusalsChangeNothing()
    {
        const std::vector<int> before = ids(0);
        ZnScheme s = *m_list->findScheme(before.back(), 0);
        const ZnScheme original = s;
        m_s.sim.addRule(ZnSimRule::make("POST TimerPlan", ZnSimRule::Fail, "refused"));
        QCOMPARE(m_list->toggleScheme(s, 0), 1);
        QCOMPARE(s.enable, original.enable);
        s.name = "Other";
        QCOMPARE(m_list->modifyScheme(s, 0), 1);
        QCOMPARE(m_list->deleteScheme(s, 0), 1);
        ZnScheme added;
        QCOMPARE(m_list->addScheme(added, 0), 1);
        QCOMPARE(added.id, 0);

        QCOMPARE(ids(0), before);
        QCOMPARE(m_list->findScheme(original.id, 0)->name, original.name);
        QCOMPARE(m_list->findScheme(original.id, 0)->enable, original.enable);
        QVERIFY(m_s.settle());
        QVERIFY(m_view->added.empty() && m_view->updated.empty() && m_view->removed.empty());
    }

    void answeredWithoutRow()
    {
        // An add the server accepts without saying which plan it made: no plan without
        // an id shows up, and the list is fetched again instead.
        const int lists = m_s.sim.count("GET SqlConfig/schemelist");
        m_s.sim.addRule(ZnSimRule::make("POST TimerPlan", ZnSimRule::Reply, "", 0, 2));
        ZnScheme s;
        s.name = "Quiet";
        QCOMPARE(m_list->addScheme(s, 0), 0);
        QCOMPARE(s.id, 0);
        QCOMPARE(m_s.sim.count("GET SqlConfig/schemelist"), lists + 1);
        for (int id : ids(0))
            QVERIFY(id > 0);
        // A modify answered without a row shows what was sent.
        ZnScheme mod = *m_list->findScheme(ids(0).front(), 0);
        mod.comment = "kept";
        QCOMPARE(m_list->modifyScheme(mod, 0), 0);
        QCOMPARE(m_list->findScheme(mod.id, 0)->comment, std::string("kept"));
    }

    void pushesAndDeletions()
    {
        ids(0);
        m_s.sim.pushPost("SqlConfig", "timerplan",
                         R"([{"timerplanId":"2","name":"Holidays 2","enable":"1"},)"
                         R"({"timerplanId":"40","terminalId":"9","name":""}])");
        // Every scheme DELETE type removes from the play schemes; other types do not.
        m_s.sim.pushDelete("AmpSchemeData", 2);
        m_s.sim.pushDelete("SchemeDataX", 40);
        // A plan the list does not hold is announced as removed all the same.
        m_s.sim.pushDelete("SchemeData", 77);
        QVERIFY(m_s.settle());
        QCOMPARE(m_view->updated, std::vector<int>{2});
        QCOMPARE(m_view->added, std::vector<int>{40});
        QCOMPARE(m_view->removed, (std::vector<int>{2, 77}));
        QVERIFY(!m_list->findScheme(2, 0));
        // A plan pushed without a name is named after its terminal.
        QCOMPARE(m_list->findScheme(40, 0)->name, std::string("Scheme_9"));
    }

    // Plans whose "timerplanId" is no integer are neither listed nor pushed; the
    // good rows beside them are.
    void rowsWithoutIdLeftOut()
    {
        ids(0);
        QVERIFY(m_s.settle());
        m_view->lists = 0;
        Json::Value rows(Json::arrayValue);
        for (const char* id : {R"("1")", "{}", "[1]", "null", "true", "1.5", R"("one")", "", "2"}) {
            Json::Value row(Json::objectValue);
            if (*id)
                Json::Reader().parse(id, row["timerplanId"]);
            row["name"] = "ghost";
            rows.append(row);
        }
        std::vector<Json::Value> kept;
        m_s.sim.withData([&](ZnSimData& d) {
            kept = d.table("timerplan");
            d.table("timerplan").assign(rows.begin(), rows.end());
        });
        QCOMPARE(askList(0), 0);
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 1; }));
        QCOMPARE(ids(0), (std::vector<int>{1, 2}));
        m_s.sim.withData([&](ZnSimData& d) { d.table("timerplan") = kept; });

        rows[0]["timerplanId"] = "41";
        m_s.sim.pushPost("SqlConfig", "timerplan", Json::FastWriter().write(rows));
        QVERIFY(m_s.settle());
        QCOMPARE(m_view->added, std::vector<int>{41});
        QCOMPARE(m_view->updated, std::vector<int>{2});
        QCOMPARE(ids(0), (std::vector<int>{1, 2, 41}));
        QCOMPARE(askList(0), 0);
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 2; }));
    }

    void setOfEachKind_data()
    {
        QTest::addColumn<QString>("top");
        QTest::addColumn<int>("kind");
        QTest::newRow("Scheme") << "Scheme" << 0;
        QTest::newRow("AmpScheme") << "AmpScheme" << 1;
        QTest::newRow("PowerScheme") << "PowerScheme" << 2;
        QTest::newRow("VolumeScheme") << "VolumeScheme" << 3;
    }
    void setOfEachKind()
    {
        QFETCH(QString, top);
        QFETCH(int, kind);
        if (kind != 0)
            watch(kind);
        const int id = 60 + kind;
        const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + top.toStdString() + " Id=\""
                                + std::to_string(id) + "\" Status=\"1\" SchemeName=\"From set\" SchemeRemark=\"r\"/>";
        m_s.sim.pushSet("", "", xml);
        // Without an id the SET names no plan and adds none; the same plan again is an update.
        m_s.sim.pushSet("", "", "<?xml version=\"1.0\"?><" + top.toStdString() + " SchemeName=\"x\"/>");
        m_s.sim.pushSet("", "", xml);
        QVERIFY(m_s.settle());
        QCOMPARE(m_view->added, std::vector<int>{id});
        QCOMPARE(m_view->updated, std::vector<int>{id});
        QCOMPARE(m_list->findScheme(id, kind)->remark, std::string("r"));
        QVERIFY(!m_list->findScheme(0, kind));
        QCOMPARE(kind == 0, bool(m_list->findScheme(id, 0)));
    }

    void levelsPushedBySet()
    {
        SchemeView levelView;
        ZnViewConnectRequest req;
        req.kind = 0;
        req.receiver = &levelView;
        req.slot = SLOT(onList());
        req.kind = 4;
        QCOMPARE(ZnCreateViewCtrMgr::connectView(&gLevelList, req), -1);
        req.kind = 0;
        QCOMPARE(ZnCreateViewCtrMgr::connectView(&gLevelList, req), 0);
        std::string xml;
        m_s.sim.withData([&](ZnSimData& d) { xml = d.levelListXml(); });
        m_s.sim.pushSet("", "", xml);
        // Announced from the receive thread, heard on this one.
        QVERIFY(SimSession::spinUntil([&] { return levelView.lists == 1; }));
        QCOMPARE(levelView.ranOn, QThread::currentThread());
        // Ids 3, 10 and 7 come out as 10, 7, 3: the first of type 5 is 7.
        ZnLevel level;
        QCOMPARE(gLevelList.lookup(level, 5), 0);
        QCOMPARE(QByteArray(level.name), QByteArray("Supervisor"));
        QCOMPARE(gLevelList.lookup(level, 4), 0);
        QCOMPARE(level.id, uint16_t(10));
        QCOMPARE(gLevelList.lookup(level, 9), -1);
    }

    void ownListSharedWithTheReceiveThread()
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
    }

    void lockedListAndLocalRemoval()
    {
        watch(3);
        QVERIFY(!m_list->lockedSchemes(3)); // not held yet: asked for, nothing locked
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 1; }));
        QVERIFY(m_list->lockedSchemes(3));
        m_list->unlockSchemes();
        // Unlocked: the receive thread can store the next answer.
        QCOMPARE(askList(3), 0);
        QVERIFY(SimSession::spinUntil([&] { return m_view->lists == 2; }));

        const int first = m_list->lockedSchemes(0)->front().id;
        m_list->unlockSchemes();
        m_list->removeScheme(first, 0);
        m_list->removeScheme(first, 0);
        QVERIFY(!m_list->findScheme(first, 0));
        QCOMPARE(m_view->removed, (std::vector<int>{first, first})); // at once, held or not
    }
};

QTEST_GUILESS_MAIN(TstSchemes)
#include "tst_schemes.moc"
