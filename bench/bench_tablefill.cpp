// Refill of the D82 page's table with 10,000 devices from the model, through the
// table-fill helper, beside the row-at-a-time insertion at the top that the
// helper replaces (each row inserted at row 0, each cell set after the row is in
// the table). Runs offscreen unless a platform is set.
#include "ZnBenchMain.h"
#include "ZnD82InfoForm.h"
#include "ZnD82ListMgr.h"
#include "ZnD82Manage.h"

#include <QApplication>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <list>

namespace {

void fillModel(int count)
{
    std::list<ZnD82> devices;
    for (int i = 0; i < count; ++i) {
        ZnD82 d;
        d.id = 800000 + i;
        d.name = "移动设备 " + std::to_string(i);
        d.type = "8";
        d.status = i % 3 == 0 ? 0 : 1;
        d.ip = "10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250);
        devices.push_back(d);
    }
    ZnD82ListMgr::instance();
    ZnD82ListMgr::onNotify(ZnD82Manage::ListType, &devices);
}

// The page over a model of count devices.
ZnD82InfoForm& page(int count)
{
    static ZnD82InfoForm* form = [] {
        auto* p = new ZnD82InfoForm;
        p->resize(1000, 700);
        p->show();
        return p;
    }();
    if (ZnD82ListMgr::instance()->d82List().size() != size_t(count))
        fillModel(count);
    return *form;
}

void BM_Refill(benchmark::State& state)
{
    const int count = int(state.range(0));
    ZnD82InfoForm& form = page(count);
    for (auto _ : state) {
        form.slot_showD82List();
        QApplication::processEvents();
    }
    if (form.tableWidget()->rowCount() != count)
        state.SkipWithError("the table does not hold every device");
    state.counters["rows"] = form.tableWidget()->rowCount();
}
BENCHMARK(BM_Refill)->Arg(10000)->Unit(benchmark::kMillisecond);

// The old way: clear, then each record inserted at the top and its cells set there.
void BM_RefillInsertAtTop(benchmark::State& state)
{
    ZnD82InfoForm& form = page(int(state.range(0)));
    QTableWidget* t = form.tableWidget();
    for (auto _ : state) {
        form.clearTable();
        const std::list<ZnD82> list = ZnD82ListMgr::instance()->d82List();
        for (const ZnD82& d : list) {
            t->insertRow(0);
            form.setFirstRowItem(d.name.c_str(), 0, d.id);
            form.setFirstRowItem(std::to_string(d.id).c_str(), 1, 0);
            form.setItemQString(d.status ? QStringLiteral("空闲") : QStringLiteral("断线"), 0, 2, 0);
            form.setFirstRowItem(d.ip.c_str(), 3, 0);
        }
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RefillInsertAtTop)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    znBenchOffscreen();
    return znBenchMain<QApplication>(argc, argv);
}
