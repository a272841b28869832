// A list answer of 10,000 and 100,000 amplifiers from the wire to the model's
// gotPlayTermList(): the request goes out, the simulator sends an answer rendered
// beforehand (so its own query time is left out), and the clock stops when the
// model emits its signal on the receive thread (BM_ListToSignal), or when a slot
// on the GUI thread, where the pages' slots run, is reached (BM_ListToPageSlot).
#include "ServiceHub.h"
#include "ZnBenchLogin.h"
#include "ZnBenchMain.h"
#include "ZnManageCenter.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRow.h"
#include "ZnRows.h"
#include "ZnSimServer.h"
#include "ZnTerminalManage.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>

namespace {

std::atomic<int64_t> gSignalAt{0};
std::atomic<int> gSignals{0};
std::atomic<int64_t> gSlotAt{0};
std::atomic<int> gSlots{0};

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Session
{
    ZnSimServer sim;
    ZnManageCenter centre;
    QObject pageSide;
    bool ok = false;

    Session()
    {
        ok = znBenchLogin(sim, centre);
        if (!ok)
            return;
        ServiceHub::create(&centre);
        QObject::connect(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList, [] {
            gSignalAt = nowNs();
            ++gSignals;
        });
        // Queued to this (the GUI) thread, as a page's slot is.
        QObject::connect(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList, &pageSide, [] {
            gSlotAt = nowNs();
            ++gSlots;
        });
    }
    ~Session()
    {
        centre.stopReceiveThread();
        sim.stop();
    }
};

Session& session()
{
    static Session s;
    return s;
}

std::string renderedList(int rows)
{
    ZnSimData data;
    data.tables.clear();
    data.addTerminals("ipamp", 100000, rows);
    Json::Value out;
    data.query("select * from ipamp", out);
    return ZnSimData::json(out);
}

// The simulator answers the play-terminal list with state.range(0) rows; false
// (the benchmark skipped) without a simulator.
bool answerListWith(benchmark::State& state, Session& s)
{
    if (!s.ok) {
        state.SkipWithError("no simulated server");
        return false;
    }
    const std::string answer = renderedList(static_cast<int>(state.range(0)));
    s.sim.clearRules();
    s.sim.addRule(ZnSimRule::make("GET SqlConfig/TerminalList", ZnSimRule::Reply, answer));
    state.counters["bytes"] = static_cast<double>(answer.size());
    return true;
}

void BM_ListToSignal(benchmark::State& state)
{
    Session& s = session();
    if (!answerListWith(state, s))
        return;
    ZnPlayTermListMgr* model = ZnPlayTermListMgr::instance();
    for (auto _ : state) {
        const int before = gSignals.load();
        const int64_t start = nowNs();
        if (model->requestPlayTermList() != 0 || gSignals.load() == before) {
            state.SkipWithError("list not delivered");
            break;
        }
        state.SetIterationTime(static_cast<double>(gSignalAt.load() - start) / 1e9);
    }
    state.counters["rows"] = static_cast<double>(model->copyList().size());
    s.sim.clearRules();
}
BENCHMARK(BM_ListToSignal)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ListToPageSlot(benchmark::State& state)
{
    Session& s = session();
    if (!answerListWith(state, s))
        return;
    ZnPlayTermListMgr* model = ZnPlayTermListMgr::instance();
    for (auto _ : state) {
        const int before = gSlots.load();
        QEventLoop wait;
        QObject::connect(model, &ZnPlayTermListMgr::gotPlayTermList, &wait, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(10000, &wait, &QEventLoop::quit);
        const int64_t start = nowNs();
        // The request's own wait may already run the slot.
        if (model->requestPlayTermList() == 0 && gSlots.load() == before)
            wait.exec();
        if (gSlots.load() == before) {
            state.SkipWithError("list not delivered to the GUI thread");
            break;
        }
        state.SetIterationTime(static_cast<double>(gSlotAt.load() - start) / 1e9);
    }
    state.counters["rows"] = static_cast<double>(model->copyList().size());
    s.sim.clearRules();
}
BENCHMARK(BM_ListToPageSlot)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The row reader alone on the 10,000-row answer, by each of its parsers.
void BM_ReadRows(benchmark::State& state)
{
    const std::string body = renderedList(10000);
    const auto reader = static_cast<ZnRow::Reader>(state.range(0));
    ZnRows rows;
    for (auto _ : state) {
        if (!ZnRow::parseArray(body, rows, reader) || rows.size() != 10000) {
            state.SkipWithError("rows not read");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(body.size()) * state.iterations());
}
BENCHMARK(BM_ReadRows)
    ->Arg(static_cast<int>(ZnRow::Reader::Fast))
    ->Arg(static_cast<int>(ZnRow::Reader::Plain))
    ->Unit(benchmark::kMillisecond);

// The same answer into amplifier records, as the manager reads it.
void BM_ReadRecords(benchmark::State& state)
{
    const std::string body = renderedList(10000);
    for (auto _ : state) {
        std::list<ZnTerminal> list;
        if (!ZnTerminalManage::parseRows(body, list) || list.size() != 10000) {
            state.SkipWithError("records not read");
            break;
        }
    }
}
BENCHMARK(BM_ReadRecords)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return znBenchMain<QCoreApplication>(argc, argv);
}
