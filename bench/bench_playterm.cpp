// The play-terminal model with 10,000 amplifiers: a list answer from the wire to
// gotPlayTermList(), one pushed change, and the pages' readers. Peak memory is
// reported as the counter peak_rss_MB.
#include "ServiceHub.h"
#include "ZnBenchLogin.h"
#include "ZnBenchMain.h"
#include "ZnManageCenter.h"
#include "ZnPlayTermListMgr.h"
#include "ZnSimServer.h"
#include "ZnTerminalManage.h"

#include <QCoreApplication>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>

namespace {

const int kTerminals = 10000;
const int kFirstId = 100000;

std::atomic<int> gLists{0};

double peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// One simulated server with 10,000 amplifiers and a centre logged in to it.
struct Setup
{
    ZnSimServer sim;
    ZnManageCenter centre;
    bool ok = false;

    Setup()
    {
        sim.withData([](ZnSimData& d) { d.addTerminals("ipamp", kFirstId, kTerminals); });
        ok = znBenchLogin(sim, centre);
        if (!ok)
            return;
        ServiceHub::create(&centre);
        QObject::connect(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList, [] { ++gLists; });
        ok = ok && ZnPlayTermListMgr::instance()->requestPlayTermList() == 0;
    }
    ~Setup()
    {
        centre.stopReceiveThread();
        sim.stop();
    }
};

Setup& setup()
{
    static Setup s;
    return s;
}

void BM_ListFromWire(benchmark::State& state)
{
    Setup& s = setup();
    if (!s.ok) {
        state.SkipWithError("no simulated server");
        return;
    }
    ZnPlayTermListMgr* model = ZnPlayTermListMgr::instance();
    for (auto _ : state) {
        // The answer is parsed, handed to the model and gotPlayTermList() emitted
        // before the request returns.
        const int before = gLists.load();
        if (model->requestPlayTermList() != 0 || gLists.load() == before) {
            state.SkipWithError("list not delivered");
            break;
        }
    }
    state.counters["terminals"] = double(model->copyList().size());
    state.counters["peak_rss_MB"] = peakRssMB();
}
BENCHMARK(BM_ListFromWire)->Unit(benchmark::kMillisecond)->UseRealTime();

// The client's share of the above: the answer body parsed by the manager, sorted,
// copied into the model and announced.
void BM_ListAnswerParsed(benchmark::State& state)
{
    Setup& s = setup();
    if (!s.ok) {
        state.SkipWithError("no simulated server");
        return;
    }
    std::string body;
    s.sim.withData([&](ZnSimData& d) {
        Json::Value rows;
        d.query("select * from ipamp", rows);
        body = ZnSimData::json(rows);
    });
    ZnTerminalManage* manager = s.centre.terminalManage();
    for (auto _ : state) {
        const int before = gLists.load();
        manager->onResponse(ZnTerminalManage::ListType, body);
        if (gLists.load() == before) {
            state.SkipWithError("list not delivered");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(body.size()) * state.iterations());
    state.counters["peak_rss_MB"] = peakRssMB();
}
BENCHMARK(BM_ListAnswerParsed)->Unit(benchmark::kMillisecond);

// The simulated server's own share of BM_ListFromWire (query and JSON text), for
// telling the console's time apart from the server's.
void BM_SimulatorAnswer(benchmark::State& state)
{
    Setup& s = setup();
    for (auto _ : state) {
        s.sim.withData([&](ZnSimData& d) {
            Json::Value rows;
            d.query("select * from ipamp", rows);
            benchmark::DoNotOptimize(ZnSimData::json(rows).size());
        });
    }
}
BENCHMARK(BM_SimulatorAnswer)->Unit(benchmark::kMillisecond);

void BM_OnePush(benchmark::State& state)
{
    Setup& s = setup();
    if (!s.ok) {
        state.SkipWithError("no simulated server");
        return;
    }
    // One changed row, as the server pushes it, through the manager to the model.
    ZnTerminalManage* manager = s.centre.terminalManage();
    int n = 0;
    for (auto _ : state) {
        const int id = kFirstId + (n * 7919) % kTerminals;
        const std::string body = "[{\"terminalId\":\"" + std::to_string(id) + "\",\"name\":\"Speaker "
                                 + std::to_string(n) + "\",\"broVol\":\"40\",\"power\":\"1\"}]";
        manager->onPost(ZnTerminalManage::kPostKey, body);
        ++n;
    }
    ZnTerminal t;
    if (!ZnPlayTermListMgr::instance()->hasTerminal(kFirstId, t) || t.broVol != 40)
        state.SkipWithError("push not applied");
    state.counters["peak_rss_MB"] = peakRssMB();
}
BENCHMARK(BM_OnePush)->Unit(benchmark::kMicrosecond);

void BM_CopyList(benchmark::State& state)
{
    if (!setup().ok) {
        state.SkipWithError("no simulated server");
        return;
    }
    ZnPlayTermListMgr* model = ZnPlayTermListMgr::instance();
    for (auto _ : state) {
        std::list<ZnTerminal> copy = model->copyList();
        benchmark::DoNotOptimize(copy.size());
    }
    state.counters["peak_rss_MB"] = peakRssMB();
}
BENCHMARK(BM_CopyList)->Unit(benchmark::kMicrosecond);

void BM_GetById(benchmark::State& state)
{
    if (!setup().ok) {
        state.SkipWithError("no simulated server");
        return;
    }
    ZnPlayTermListMgr* model = ZnPlayTermListMgr::instance();
    int n = 0;
    ZnTerminal t;
    for (auto _ : state) {
        const int id = kFirstId + (n++ * 7919) % kTerminals;
        benchmark::DoNotOptimize(model->hasTerminal(id, t));
    }
}
BENCHMARK(BM_GetById)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return znBenchMain<QCoreApplication>(argc, argv);
}
