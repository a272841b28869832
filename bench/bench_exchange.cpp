// Requests through the manage centre against the simulated server on loopback:
// the median round trip of a small request through the flat call interface, and a 10,000-row list answer
// (about 2 MB) from the simulator's first byte to the manager's callback: the
// answer is rendered once beforehand, so the server's own query time is left out.
#include "ZnApi.h"
#include "ZnBenchLogin.h"
#include "ZnManageCenter.h"
#include "ZnSimServer.h"
#include "ZnTerminal.h"

#include <QTest>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <vector>

namespace {
std::atomic<size_t> gRows{0};
std::atomic<int64_t> gCallbackAt{0};

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void onTerminals(int code, void* data)
{
    if (code == 3 && data) {
        gRows = static_cast<std::list<ZnTerminal>*>(data)->size();
        gCallbackAt = nowNs();
    }
}

// One simulator and one logged-in centre for the whole program.
struct Session
{
    ZnSimServer sim;
    ZnManageCenter centre;
    bool ok = false;

    Session()
    {
        sim.withData([](ZnSimData& d) {
            d.table("ipamp").clear();
            d.addTerminals("ipamp", 100000, 10000);
        });
        apiSetPlayTerminalCallback(&centre, &onTerminals);
        ok = znBenchLogin(sim, centre);
    }
    ~Session() { centre.stopReceiveThread(); }
};

Session& session()
{
    static Session s;
    return s;
}

// The median round trip of a small request through the flat call interface,
// from the call to its return (answer dispatched, its signals delivered).
void BM_RoundTrip(benchmark::State& state)
{
    Session& s = session();
    if (!s.ok) {
        state.SkipWithError("no session");
        return;
    }
    const int kTrips = 101;
    std::vector<int64_t> trips(kTrips);
    for (auto _ : state) {
        for (int64_t& t : trips) {
            const int64_t start = nowNs();
            if (apiGetD82List(&s.centre) != 0) {
                state.SkipWithError("request failed");
                return;
            }
            t = nowNs() - start;
        }
        std::nth_element(trips.begin(), trips.begin() + kTrips / 2, trips.end());
        state.SetIterationTime(static_cast<double>(trips[kTrips / 2]) / 1e9);
    }
    state.SetItemsProcessed(state.iterations() * kTrips);
}
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_TenThousandRowList(benchmark::State& state)
{
    Session& s = session();
    if (!s.ok) {
        state.SkipWithError("no session");
        return;
    }
    std::string answer;
    s.sim.withData([&answer](ZnSimData& d) {
        Json::Value rows;
        d.query("select * from ipamp", rows);
        answer = ZnSimData::json(rows);
    });
    s.sim.addRule(ZnSimRule::make("GET SqlConfig/TerminalList", ZnSimRule::Reply, answer));
    state.counters["bytes"] = static_cast<double>(answer.size());
    for (auto _ : state) {
        gRows = 0;
        const int64_t start = nowNs();
        if (s.centre.getPlayTerminalList() != 0) {
            state.SkipWithError("request failed");
            break;
        }
        // Up to the list model's callback; the polling of the waiting caller is not counted.
        state.SetIterationTime(static_cast<double>(gCallbackAt.load() - start) / 1e9);
    }
    state.counters["rows"] = static_cast<double>(gRows.load());
    s.sim.clearRules();
}
BENCHMARK(BM_TenThousandRowList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
}

BENCHMARK_MAIN();
