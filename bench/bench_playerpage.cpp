// The player page with 10,000 play terminals in its model: a refill of the whole
// table through the table-fill helper (over the rows shown, also up to the end
// of the name column's fit, into an empty table, and with names never shown
// before) beside the row-at-a-time insertion at each row's place, and one pushed
// change redrawn, found by the page's id-ordered lookup beside the frame's walk
// over column 0; and the page coming up with 100,000 play terminals of long
// names, as the main window builds it at start.
// Runs offscreen unless a platform is set.
#include "ZnBenchMain.h"
#include "ZnColumnFit.h"
#include "ZnPlayTermListMgr.h"
#include "ZnPlayerInfoForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <list>
#include <memory>

namespace {

const int kTerminals = 10000;
const int kFirstId = 100000;
const int kManyTerminals = 100000;

void fillModel(const std::string &namePrefix = "播放终端 ", int count = kTerminals, const std::string &nameEnd = "")
{
    std::list<ZnTerminal> terminals;
    for (int i = 0; i < count; ++i) {
        ZnTerminal t;
        t.id = kFirstId + i;
        t.name = namePrefix + std::to_string(i) + nameEnd;
        t.type = i % 4 == 0 ? "PR" : "IP";
        t.exten = i % 3 == 0 ? "--" : t.type;
        t.status = i % 5;
        t.ip = "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250);
        t.broVol = i % 101;
        t.power = i % 2 == 0;
        t.ampTemp = 30 + i % 20;
        terminals.push_back(t);
    }
    ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ListCode, &terminals);
}

ZnPlayerInfoForm &page()
{
    static ZnPlayerInfoForm *p = [] {
        fillModel();
        auto *form = new ZnPlayerInfoForm;
        form->resize(1000, 700);
        form->show();
        form->showTerminals();
        QApplication::processEvents();
        return form;
    }();
    return *p;
}

// Counts the paints of the widget it watches.
class PaintSeen : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    bool seen() const { return count > 0; }
    int count = 0;
};

void checkRows(benchmark::State &state, ZnPlayerInfoForm &form)
{
    if (form.tableWidget()->rowCount() != kTerminals)
        state.SkipWithError("the table does not hold every terminal");
    state.counters["rows"] = form.tableWidget()->rowCount();
}

// The same names again, as every list of an unchanged installation brings them.
// "paints" counts the paints of the cells per refill.
void BM_PlayerRefill(benchmark::State &state)
{
    ZnPlayerInfoForm &form = page();
    PaintSeen painted;
    form.tableWidget()->viewport()->installEventFilter(&painted);
    for (auto _ : state) {
        form.showTerminals();
        QApplication::processEvents();
    }
    form.tableWidget()->viewport()->removeEventFilter(&painted);
    checkRows(state, form);
    state.counters["paints"] = double(painted.count) / double(state.iterations());
}
BENCHMARK(BM_PlayerRefill)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The same names again, from the list to the end of the name column's fit and
// the paint after it: every paint the refill causes is counted ("paints").
void BM_PlayerRefillUntilFitted(benchmark::State &state)
{
    ZnPlayerInfoForm &form = page();
    ZnColumnFit *fit = form.nameColumnFit();
    PaintSeen painted;
    form.tableWidget()->viewport()->installEventFilter(&painted);
    QElapsedTimer clock;
    for (auto _ : state) {
        clock.start();
        form.showTerminals();
        while (fit->isFitting() && !clock.hasExpired(10000))
            QApplication::processEvents();
        QApplication::processEvents();
    }
    form.tableWidget()->viewport()->removeEventFilter(&painted);
    checkRows(state, form);
    if (fit->isFitting())
        state.SkipWithError("the name column was not fitted");
    state.counters["paints"] = double(painted.count) / double(state.iterations());
}
BENCHMARK(BM_PlayerRefillUntilFitted)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The first fill of an empty table: every cell is made.
void BM_PlayerRefillFromEmpty(benchmark::State &state)
{
    ZnPlayerInfoForm &form = page();
    for (auto _ : state) {
        state.PauseTiming();
        form.tableWidget()->setRowCount(0);
        QApplication::processEvents();
        state.ResumeTiming();
        form.showTerminals();
        QApplication::processEvents();
    }
    checkRows(state, form);
}
BENCHMARK(BM_PlayerRefillFromEmpty)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A refill in which every name is one the page has not shown before, so that
// each is measured afresh for the name column (the other refills show the same
// names again).
void BM_PlayerRefillNewNames(benchmark::State &state)
{
    ZnPlayerInfoForm &form = page();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The model's list signal queues the refill; it runs below.
        fillModel("第" + std::to_string(++round) + "轮 播放终端 ");
        state.ResumeTiming();
        QApplication::processEvents();
    }
    checkRows(state, form);
    // The names of the other benchmarks again.
    fillModel();
    QApplication::processEvents();
}
BENCHMARK(BM_PlayerRefillNewNames)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The old way: each record inserted before the first row with a greater id.
void BM_PlayerRefillRowByRow(benchmark::State &state)
{
    ZnPlayerInfoForm &form = page();
    for (auto _ : state) {
        form.fillAllTerminals();
        QApplication::processEvents();
    }
    checkRows(state, form);
}
BENCHMARK(BM_PlayerRefillRowByRow)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// One changed terminal arrives (here on the GUI thread, so the model's signal
// reaches the page at once) and its row is redrawn.
void BM_PlayerPushRedraw(benchmark::State &state)
{
    ZnPlayerInfoForm &form = page();
    ZnTerminal t;
    ZnPlayTermListMgr::instance()->hasTerminal(kFirstId + kTerminals * 3 / 4, t);
    for (auto _ : state) {
        t.broVol = (t.broVol + 1) % 101;
        ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ChangedCode, &t);
        QApplication::processEvents();
    }
    const int row = form.rowOf(t.id);
    if (form.tableWidget()->item(row, ZnPlayerInfoForm::VolumeColumn)->text() != QString::number(t.broVol))
        state.SkipWithError("the row was not redrawn");
}
BENCHMARK(BM_PlayerPushRedraw)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The same redraw with the row found by walking column 0.
void BM_PlayerPushRedrawLinearLookup(benchmark::State &state)
{
    ZnPlayerInfoForm &form = page();
    const int id = kFirstId + kTerminals * 3 / 4;
    for (auto _ : state) {
        form.updateRowById(id);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PlayerPushRedrawLinearLookup)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

// The page built, filled and shown as the main window does at start, up to its
// first paint, with 100,000 play terminals of names of some 150 characters (more
// than a cell shows, each told apart within what it shows) in the model.
// "fitted_ms" is the time from the start until the name column has measured
// every name.
void BM_PlayerPageUpLongNames(benchmark::State &state)
{
    std::string longName = "号";
    while (longName.size() < 420)
        longName += "东区地下停车场远端角落的广播播放终端，";
    {
        // The other benchmarks' page keeps its own list.
        const QSignalBlocker quiet(ZnPlayTermListMgr::instance());
        fillModel("第", kManyTerminals, longName);
    }
    double fittedMs = 0;
    int rows = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto form = std::make_unique<ZnPlayerInfoForm>();
        PaintSeen painted;
        form->installEventFilter(&painted);
        form->resize(1000, 700);
        form->showTerminals();
        form->show();
        while (!painted.seen() && !clock.hasExpired(60000))
            QApplication::processEvents();
        state.PauseTiming();
        while (form->nameColumnFit()->isFitting() && !clock.hasExpired(60000))
            QApplication::processEvents();
        fittedMs += double(clock.nsecsElapsed()) / 1e6;
        rows = form->tableWidget()->rowCount();
        if (!painted.seen())
            state.SkipWithError("the page was not painted");
        form.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (rows != kManyTerminals)
        state.SkipWithError("the table does not hold every terminal");
    state.counters["rows"] = rows;
    state.counters["fitted_ms"] = fittedMs / double(state.iterations());
    fillModel();
    QApplication::processEvents();
}
BENCHMARK(BM_PlayerPageUpLongNames)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    znBenchOffscreen();
    return znBenchMain<QApplication>(argc, argv);
}
