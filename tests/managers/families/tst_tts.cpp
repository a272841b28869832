#include "FamilyFixture.h"
#include "ZnApi.h"
#include "ZnTts.h"
#include "ZnTtsListMgr.h"

#include <QSignalSpy>
#include <QtTest>

class TstTts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ttsListAndChanges();

private:
    std::vector<int> ttsIds();

    SimSession m_s;
    ZnTtsListMgr* m_tts = nullptr;
};

std::vector<int> TstTts::ttsIds()
{
    std::list<ZnTts> list;
    m_tts->copyList(list);
    return idsOf(list);
}

void TstTts::initTestCase()
{
    m_s.sim.withData([](ZnSimData& d) { fill(d, "tts71", {"8", "3", "5"}, R"({"type":"TTS71","name":""})"); });
    QVERIFY(startHub(m_s));
    m_tts = ZnTtsListMgr::instance(); // waits for the first list
}

void TstTts::ttsListAndChanges()
{
    // The first list in server order; asking again sends nothing.
    QCOMPARE(ttsIds(), (std::vector<int>{8, 3, 5}));
    ZnTts tts;
    QVERIFY(m_tts->getTts(5, tts));
    QCOMPARE(tts.name, std::string("5"));
    ZnTtsListMgr::instance();
    QCOMPARE(m_s.sim.count("GET SqlConfig/TtsList"), 1);

    QSignalSpy changed(m_tts, &ZnTtsListMgr::TTsChanged);
    QSignalSpy deleted(m_tts, &ZnTtsListMgr::TTsDeleted);
    QVERIFY(m_tts->getTts(3, tts));
    tts.name = "Lobby";
    QCOMPARE(m_tts->updateTts(tts), 0);
    QCOMPARE(m_s.lastBody("POST TTs71Name"), std::string(R"({"Id":"3","Name":"Lobby"})"
                                                         "\n"));
    m_s.sim.addRule(ZnSimRule::make("POST TTs71Name", ZnSimRule::Fail, "name taken"));
    tts.name = "Taken";
    QCOMPARE(m_tts->updateTts(tts), 1);
    QVERIFY(m_tts->getTts(3, tts));
    QCOMPARE(tts.name, std::string("Lobby"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(ttsIds(), (std::vector<int>{8, 3, 5})); // renamed in place

    // Pushed rows: new at the end, known in place. Deletions by this family's type name.
    m_s.sim.pushPost("SqlConfig", "tts71", R"([{"terminalId":"11","name":"Hall"},{"terminalId":"8","name":"Re"}])");
    m_s.sim.pushDelete("TTS", 3);
    m_s.sim.pushDelete("Tts", 404);
    m_s.sim.pushDelete("Tts", 3);
    m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/TtsList", ZnSimRule::Reply, "[{broken"));
    QCOMPARE(apiGetTtsList(m_s.centre.get()), 0); // answered after the pushes; does not parse
    QCOMPARE(ttsIds(), (std::vector<int>{8, 5, 11}));
    QVERIFY(SimSession::spinUntil([&] { return deleted.count() == 1; }));
    QCOMPARE(deleted.at(0).at(0).toInt(), 3);

    // A removal only once accepted.
    QVERIFY(m_tts->getTts(5, tts));
    m_s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "unit busy", 0, 1));
    QCOMPARE(m_tts->deleteTts(tts), 1);
    QVERIFY(m_tts->getTts(5, tts));
    QCOMPARE(m_tts->deleteTts(tts), 0);
    QVERIFY(!m_tts->getTts(5, tts));
    QCOMPARE(deleted.count(), 2);
    QCOMPARE(m_s.lastBody("POST RemoveDevice"), std::string(R"({"Id":"5","Type":"TTS71"})"
                                                            "\n"));

    // Notices without data are dropped; a null list empties the copy without a list signal.
    QSignalSpy commit(m_tts, &ZnTtsListMgr::buildTTsPlayTaskCommit);
    QSignalSpy got(m_tts, &ZnTtsListMgr::gotTTsList);
    char yes = 1;
    ZnTtsListMgr::onNotify(ZnTtsListMgr::CommitCode, &yes);
    ZnTtsListMgr::onNotify(ZnTtsListMgr::CommitCode, nullptr);
    QCOMPARE(commit.count(), 1);
    ZnTtsListMgr::onNotify(ZnTtsListMgr::ListCode, nullptr);
    QVERIFY(ttsIds().empty());
    QCOMPARE(got.count(), 0);
}

QTEST_GUILESS_MAIN(TstTts)
#include "tst_tts.moc"
