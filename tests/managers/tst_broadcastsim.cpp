#include "FamilySim.h"
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"

#include <QtTest>

#include <memory>
#include <mutex>
#include <vector>

namespace {
std::mutex g_mutex;
std::vector<ZnBroadcast> g_pushed;
void onPushed(ZnBroadcast* b)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_pushed.push_back(*b);
}
size_t pushedCount()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_pushed.size();
}
}

// Broadcast XML as the server pushes it, through the centre's dispatch.
class TstBroadcastSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_s.reset(); }
    void pushedBroadcastReachesItsManager();
    void malformedXmlIsLeftToTheOthers();

private:
    std::unique_ptr<FamilySim> m_s;
};

void TstBroadcastSim::initTestCase()
{
    m_s.reset(new FamilySim);
    QVERIFY(m_s->login());
    m_s->centre.broadcastManage()->setCallbacks(nullptr, nullptr, &onPushed);
}

void TstBroadcastSim::pushedBroadcastReachesItsManager()
{
    m_s->sim.pushSet("", "",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><BroadcastList>"
                     "<Broadcast id=\"21\" name=\"\xe6\x97\xa9\" em=\"1\"><Region><R key=\"1\" id=\"4\"/></Region>"
                     "<File><F i=\"9\" n=\"bell.mp3\"/></File></Broadcast><Broadcast id=\"22\"/></BroadcastList>");
    QVERIFY(ZnSimServer::waitFor([] { return pushedCount() == 1; }));
    std::lock_guard<std::mutex> lock(g_mutex);
    const ZnBroadcast& b = g_pushed.front(); // the first broadcast only
    QCOMPARE(b.id, 21);
    QCOMPARE(b.name, std::string("\xe6\x97\xa9"));
    QVERIFY(b.em);
    QCOMPARE(int(b.regions.size()), 1);
    QCOMPARE(b.regions.front().second.regionId, 4);
    QCOMPARE(b.files.front().name, std::string("bell.mp3"));
}

void TstBroadcastSim::malformedXmlIsLeftToTheOthers()
{
    SpyManager spy;
    SlotSwap swap(m_s->centre, ZnManageCenter::SchemeSlot, &spy);
    const size_t before = pushedCount();
    const std::string broken = "<?xml version=\"1.0\"?><BroadcastList><Broadcast id=\"5\"></BroadcastList>";
    m_s->sim.pushSet("", "", broken);
    std::string deep = "<?xml version=\"1.0\"?><BroadcastList>";
    for (int i = 0; i < 50000; ++i)
        deep += "<b>";
    m_s->sim.pushSet("", "", deep);
    QVERIFY(ZnSimServer::waitFor([&] { return spy.sets().size() == 2; }));
    QCOMPARE(spy.sets().front(), broken);
    QCOMPARE(pushedCount(), before);
    QCOMPARE(m_s->centre.state(), int(ZnNetManage::LoggedIn));
}

QTEST_MAIN(TstBroadcastSim)
#include "tst_broadcastsim.moc"
