// One pushed change on the pages whose rows are found by record id: the D82,
// region and manual task pages, each over 1,000, 10,000 and 100,000 records. The
// change goes through the family's model on this thread, so its signal reaches
// the page at once; the figure is model update, row lookup and row redraw. The
// pages are not shown: painting the one row is the same at any size and is left
// out. growth_vs_1000 is this size's time over the 1,000-row time. The timed
// pushes start right after the fill: a first push that finished what the fill
// left undone would be counted. BM_FirstTaskPush times that first push alone,
// after each of several refills of a list whose tasks have start times, at
// 1,000, 10,000 and 100,000 tasks: the refill shows the list as it came, so
// that push sorts the whole table once.
#include "ZnBenchMain.h"
#include "ZnD82InfoForm.h"
#include "ZnD82ListMgr.h"
#include "ZnD82Manage.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionManage.h"
#include "ZnRegionMgrForm.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskManage.h"
#include "ZnSsTaskMgrForm.h"

#include <QApplication>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

namespace {

const int kFirstId = 100000;

// Mean time per push of each page at each size, for the growth counter.
std::map<std::string, double>& perPush()
{
    static std::map<std::string, double> times;
    return times;
}

template <class Push>
void measure(benchmark::State& state, const char* page, QTableWidget* table, Push push)
{
    const int rows = int(state.range(0));
    if (!table || table->rowCount() != rows) {
        state.SkipWithError("the page does not show every record");
        return;
    }
    int n = 1;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        push(kFirstId + int((int64_t(n) * 7919) % rows), n);
        ++n;
    }
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count()
                      / std::max(n - 1, 1);
    const std::string key = page + std::to_string(rows);
    perPush()[key] = us;
    const auto base = perPush().find(page + std::string("1000"));
    if (base != perPush().end() && base->second > 0)
        state.counters["growth_vs_1000"] = us / base->second;
    state.counters["rows"] = table->rowCount();
}

// One manual task page for both task figures: a second page would take every
// signal too.
ZnSsTaskMgrForm* taskPage()
{
    ZnSsTaskDataMgr::instance();
    static ZnSsTaskMgrForm* form = new ZnSsTaskMgrForm(ZnSsTask::CategoryManual);
    return form;
}

void BM_PushD82(benchmark::State& state)
{
    const int rows = int(state.range(0));
    std::list<ZnD82> list;
    for (int i = 0; i < rows; ++i) {
        ZnD82 d;
        d.id = kFirstId + i;
        d.name = "D82 " + std::to_string(i);
        d.ip = "10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250);
        d.status = i % 3;
        d.ver = "1.0";
        list.push_back(d);
    }
    ZnD82ListMgr::instance();
    ZnD82ListMgr::onNotify(ZnD82Manage::ListType, &list);
    static ZnD82InfoForm* form = new ZnD82InfoForm;
    form->slot_showD82List();
    measure(state, "d82", form->tableWidget(), [](int id, int n) {
        ZnD82 d;
        d.id = id;
        d.name = "D82 pushed " + std::to_string(n);
        d.status = n % 3;
        ZnD82ListMgr::onNotify(ZnD82Manage::DeviceType, &d);
    });
}

void BM_PushRegion(benchmark::State& state)
{
    const int rows = int(state.range(0));
    std::list<ZnRegion> list;
    for (int i = 0; i < rows; ++i) {
        ZnRegion r;
        r.regionId = kFirstId + i;
        r.name = "Region " + std::to_string(i);
        list.push_back(r);
    }
    ZnRegionListMgr::instance()->onNotify(ZnRegionManage::ListType, &list);
    static ZnRegionMgrForm* form = new ZnRegionMgrForm;
    form->slot_showRegionList();
    measure(state, "region", form->tableWidget(), [](int id, int n) {
        ZnRegion r;
        r.regionId = id;
        r.name = "Region pushed " + std::to_string(n);
        ZnRegionListMgr::instance()->onNotify(ZnRegionManage::SaveType, &r);
    });
}

// Manual tasks; with times, every other one has a start time and the others
// none, so the list is not in the page's order.
std::list<ZnSsTask> manualTasks(int rows, bool withTimes)
{
    std::list<ZnSsTask> list;
    for (int i = 0; i < rows; ++i) {
        ZnSsTask t;
        t.Id = kFirstId + i;
        t.Name = "Task " + std::to_string(i);
        t.SourceCategory = ZnSsTask::CategoryManual;
        t.PlayVol = i % 100;
        if (withTimes && i % 2) {
            t.execTimes.emplace_back();
            t.execTimes.back().seconds = (int64_t(i) * 7919) % 86400;
        }
        list.push_back(t);
    }
    return list;
}

void BM_PushTask(benchmark::State& state)
{
    const int rows = int(state.range(0));
    std::list<ZnSsTask> list = manualTasks(rows, false);
    ZnSsTaskDataMgr::instance();
    ZnSsTaskDataMgr::onNotify(ZnSsTaskManage::ListType, &list);
    ZnSsTaskMgrForm* form = taskPage();
    form->slot_showTaskList();
    measure(state, "task", form->tableWidget(), [](int id, int n) {
        ZnSsTask t;
        t.Id = id;
        t.Name = "Task pushed " + std::to_string(n);
        t.SourceCategory = ZnSsTask::CategoryManual;
        t.PlayVol = n % 100;
        ZnSsTaskDataMgr::onNotify(ZnSsTaskManage::ChangedType, &t);
    });
}

// The one push after a refill, on a list whose order is not the page's: every
// other task has a start time, the others none.
void BM_FirstTaskPush(benchmark::State& state)
{
    const int rows = int(state.range(0));
    std::list<ZnSsTask> list = manualTasks(rows, true);
    ZnSsTaskMgrForm* form = taskPage();
    int n = 0;
    for (auto _ : state) {
        // The page refills on the list signal, as it does in the console.
        ZnSsTaskDataMgr::onNotify(ZnSsTaskManage::ListType, &list);
        ZnSsTask t = list.front();
        t.Name = "Task pushed " + std::to_string(++n);
        const auto start = std::chrono::steady_clock::now();
        ZnSsTaskDataMgr::onNotify(ZnSsTaskManage::ChangedType, &t);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (form->tableWidget()->rowCount() != rows)
        state.SkipWithError("the page does not show every record");
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
}
BENCHMARK(BM_PushD82)->Apply(sizes);
BENCHMARK(BM_PushRegion)->Apply(sizes);
BENCHMARK(BM_PushTask)->Apply(sizes);
BENCHMARK(BM_FirstTaskPush)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    znBenchOffscreen();
    return znBenchMain<QApplication>(argc, argv);
}
