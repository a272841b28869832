// A storm of new play terminals: the simulated server holds 10,000 of them and
// then pushes 20,000 new ones, one message each, spread evenly over 2 s, to the
// console logged in on loopback with the player page shown. The figure is the
// time from the last push until the page has painted itself holding every
// terminal. Runs offscreen unless a platform is set.
#include "ServiceHub.h"
#include "ZnBenchLogin.h"
#include "ZnBenchMain.h"
#include "ZnManageCenter.h"
#include "ZnPlayTermListMgr.h"
#include "ZnPlayerInfoForm.h"
#include "ZnSimServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTableWidget>
#include <QTest>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const int kListed = 10000;
const int kPushes = 20000;
const int kSpreadMs = 2000;
const int kGiveUpMs = 600000;

// Notes the first paint of the table's viewport once the table holds every row
// it should.
class PaintWatch : public QObject
{
public:
    QTableWidget* table = nullptr;
    int expected = -1;
    bool seen = false;
    Clock::time_point at;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen && table->rowCount() == expected) {
            at = Clock::now();
            seen = true;
        }
        return false;
    }
};

struct Session
{
    ZnSimServer sim;
    ZnManageCenter centre;
    bool ok = false;

    Session()
    {
        sim.withData([](ZnSimData& d) { d.addTerminals("ipamp", 100000, kListed); });
        ok = znBenchLogin(sim, centre);
        if (!ok)
            return;
        ServiceHub::create(&centre);
    }
    ~Session()
    {
        centre.stopReceiveThread();
        sim.stop();
    }
};

std::string row(int id)
{
    return "[{\"terminalId\":\"" + std::to_string(id)
           + "\",\"type\":\"IP\",\"exten\":\"IP\",\"status\":\"1\","
             "\"name\":\"Storm "
           + std::to_string(id) + "\",\"ip\":\"10.9." + std::to_string(id / 250 % 250) + "." + std::to_string(id % 250)
           + "\",\"broVol\":\"50\"}]";
}

void BM_NewTerminalStorm(benchmark::State& state)
{
    static Session s;
    if (!s.ok) {
        state.SkipWithError("no simulated server");
        return;
    }
    static ZnPlayerInfoForm* page = [] {
        auto* p = new ZnPlayerInfoForm;
        p->resize(1000, 700);
        p->show();
        return p;
    }();
    QTableWidget* table = page->tableWidget();
    if (!QTest::qWaitFor([&] { return table->rowCount() >= kListed; }, 20000)) {
        state.SkipWithError("the first list did not arrive");
        return;
    }
    PaintWatch watch;
    watch.table = table;
    table->viewport()->installEventFilter(&watch);
    int nextId = 200000;
    for (auto _ : state) {
        const int expected = table->rowCount() + kPushes;
        watch.expected = expected;
        watch.seen = false;
        const int first = nextId;
        nextId += kPushes;
        std::atomic<bool> pushed{false};
        Clock::time_point lastPush;
        std::thread pusher([&] {
            const Clock::time_point start = Clock::now();
            for (int i = 0; i < kPushes; ++i) {
                std::this_thread::sleep_until(start
                                              + std::chrono::microseconds(int64_t(i) * kSpreadMs * 1000 / kPushes));
                s.sim.pushPost("SqlConfig", "ipamp", row(first + i));
            }
            lastPush = Clock::now();
            pushed = true;
        });
        QElapsedTimer limit;
        limit.start();
        while (!(pushed && watch.seen) && limit.elapsed() < kGiveUpMs)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        const bool done = pushed && watch.seen;
        pusher.join();
        if (!done) {
            state.SkipWithError("the page did not show every terminal in time");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(watch.at - lastPush).count());
    }
    table->viewport()->removeEventFilter(&watch);
    state.counters["rows"] = table->rowCount();
}
BENCHMARK(BM_NewTerminalStorm)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    znBenchOffscreen();
    return znBenchMain<QApplication>(argc, argv);
}
