#include "FamilySim.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnPlayTermListMgr.h"
#include "ZnTts.h"
#include "ZnTtsListMgr.h"

#include <QSignalSpy>
#include <QtTest>

#include <json/json.h>

#include <list>
#include <memory>
#include <vector>

class TstTtsSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { m_s->sim.clearRules(); }
    void firstListInServerOrder();
    void renameOnlyOnAcceptance();
    void pushedRowsAndDeletions();
    void removalOnlyOnAcceptance();
    void commitFlag();

private:
    std::vector<int> ids() const
    {
        std::list<ZnTts> list;
        m_model->copyList(list);
        std::vector<int> out;
        for (const ZnTts& t : list)
            out.push_back(t.id);
        return out;
    }
    std::unique_ptr<FamilySim> m_s;
    ZnTtsListMgr* m_model = nullptr;
};

void TstTtsSim::initTestCase()
{
    m_s.reset(new FamilySim);
    m_s->sim.withData([](ZnSimData& d) {
        d.table("tts71").clear();
        for (const char* id : {"8", "3", "5"}) {
            Json::Value r(Json::objectValue);
            r["terminalId"] = id;
            r["type"] = "TTS71";
            r["status"] = "0";
            r["name"] = std::string(id) == "5" ? "" : "Voice";
            r["ver"] = "1.0";
            d.addRow("tts71", r);
        }
    });
    QVERIFY(m_s->login());
    ServiceHub::create(&m_s->centre);
    m_model = ZnTtsListMgr::instance(); // waits for the first list
}

void TstTtsSim::cleanupTestCase()
{
    m_s.reset();
}

void TstTtsSim::firstListInServerOrder()
{
    QCOMPARE(ids(), (std::vector<int>{8, 3, 5}));
    ZnTts tts;
    QVERIFY(m_model->getTts(5, tts));
    QCOMPARE(tts.name, std::string("5"));
    QCOMPARE(tts.type, std::string("TTS71"));
    QVERIFY(!m_model->getTts(6, tts));
    QCOMPARE(int(m_s->requests("GET SqlConfig/TtsList").size()), 1);
    QVERIFY(ZnTtsListMgr::instance() == m_model);
    QCOMPARE(int(m_s->requests("GET SqlConfig/TtsList").size()), 1);
}

void TstTtsSim::renameOnlyOnAcceptance()
{
    QSignalSpy changed(m_model, &ZnTtsListMgr::TTsChanged);
    ZnTts tts;
    QVERIFY(m_model->getTts(3, tts));
    tts.name = "Lobby";
    QCOMPARE(m_model->updateTts(tts), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 3);
    QCOMPARE(ids(), (std::vector<int>{8, 3, 5})); // renamed in place
    QVERIFY(m_model->getTts(3, tts));
    QCOMPARE(tts.name, std::string("Lobby"));
    QCOMPARE(m_s->requests("POST TTs71Name").back().body, std::string(R"({"Id":"3","Name":"Lobby"})" "\n"));

    // A refusal reaches the page as its code and leaves the name alone.
    m_s->sim.addRule(ZnSimRule::make("POST TTs71Name", ZnSimRule::Fail, "name taken"));
    tts.name = "Taken";
    QCOMPARE(m_model->updateTts(tts), 1);
    QVERIFY(m_model->getTts(3, tts));
    QCOMPARE(tts.name, std::string("Lobby"));
    QCOMPARE(changed.count(), 1);
}

void TstTtsSim::pushedRowsAndDeletions()
{
    QSignalSpy changed(m_model, &ZnTtsListMgr::TTsChanged);
    QSignalSpy deleted(m_model, &ZnTtsListMgr::TTsDeleted);
    m_s->sim.pushPost("SqlConfig", "tts71", R"([{"terminalId":"11","name":"Hall"},{"terminalId":"8","name":"Re"}])");
    QVERIFY(FamilySim::spinUntil([&] { return changed.count() == 2; }));
    QCOMPARE(ids(), (std::vector<int>{8, 3, 5, 11})); // new at the end, known in place
    ZnTts tts;
    QVERIFY(m_model->getTts(8, tts));
    QCOMPARE(tts.name, std::string("Re"));

    m_s->sim.pushDelete("TTS", 3);  // not this family's type name
    m_s->sim.pushDelete("Tts", 404); // unknown id
    m_s->sim.pushDelete("Tts", 3);
    QVERIFY(FamilySim::spinUntil([&] { return deleted.count() == 1; }));
    QTest::qWait(50);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toInt(), 3);
    QCOMPARE(ids(), (std::vector<int>{8, 5, 11}));

    // A list answer that does not parse leaves the list alone.
    m_s->sim.addRule(ZnSimRule::make("GET SqlConfig/TtsList", ZnSimRule::Reply, "[{broken"));
    QCOMPARE(apiGetTtsList(&m_s->centre), 0);
    QCOMPARE(ids(), (std::vector<int>{8, 5, 11}));
}

void TstTtsSim::removalOnlyOnAcceptance()
{
    QSignalSpy deleted(m_model, &ZnTtsListMgr::TTsDeleted);
    QSignalSpy otherFamily(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::delTermError);
    ZnTts tts;
    QVERIFY(m_model->getTts(5, tts));
    m_s->sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "unit busy", 0, 1));
    QCOMPARE(m_model->deleteTts(tts), 1);
    QVERIFY(m_model->getTts(5, tts));
    QCOMPARE(deleted.count(), 0);
    QTest::qWait(50);
    QCOMPARE(otherFamily.count(), 0);

    QCOMPARE(m_model->deleteTts(tts), 0);
    QVERIFY(!m_model->getTts(5, tts));
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(m_s->requests("POST RemoveDevice").back().body, std::string(R"({"Id":"5","Type":"TTS71"})" "\n"));
}

void TstTtsSim::commitFlag()
{
    QSignalSpy commit(m_model, &ZnTtsListMgr::buildTTsPlayTaskCommit);
    char yes = 1;
    char no = 0;
    ZnTtsListMgr::onNotify(ZnTtsListMgr::CommitCode, &yes);
    ZnTtsListMgr::onNotify(ZnTtsListMgr::CommitCode2, &no);
    ZnTtsListMgr::onNotify(ZnTtsListMgr::CommitCode, nullptr);
    QCOMPARE(commit.count(), 2);
    QCOMPARE(commit.at(0).at(0).toBool(), true);
    QCOMPARE(commit.at(1).at(0).toBool(), false);
    // A null list empties the copy without a list signal.
    QSignalSpy got(m_model, &ZnTtsListMgr::gotTTsList);
    ZnTtsListMgr::onNotify(ZnTtsListMgr::ListCode, nullptr);
    QVERIFY(ids().empty());
    QCOMPARE(got.count(), 0);
}

QTEST_MAIN(TstTtsSim)
#include "tst_ttssim.moc"
