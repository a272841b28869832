// Exporting a talk log of 100,000 rows from a real MariaDB server into a CSV file,
// from an InnoDB table (read in a snapshot) and from a MyISAM one (held by a lock).
// The program starts its own throwaway server and removes it at the end. Memory
// must stay flat: the export holds one page of rows at a time.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

#include "LogExportKind.h"
#include "LogExportThread.h"
#include "ZnBenchMain.h"
#include "ZnGlobals.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"

namespace {

const int kRows = 100000;
QString gFolder;

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
long statusKb(const char* key)
{
    std::ifstream f("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(f, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

void exportTalkLog(benchmark::State& state)
{
    const QString path = gFolder + QStringLiteral("/talk.csv");
    const long rssBefore = statusKb("VmRSS");
    for (auto _ : state) {
        LogExportThread exporter(path, QStringList{QStringLiteral("序号"), QStringLiteral("Begin Time")}, TalkLogKind);
        int code = 0;
        QObject::connect(&exporter, &LogExportThread::finish_signal, [&](int c) { code = c; });
        exporter.start();
        exporter.wait();
        if (code != LogExportThread::Complete) {
            state.SkipWithError("export failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1048576.0;
    state.counters["peak_rss_MB"] = double(statusKb("VmHWM")) / 1024.0;
    state.counters["peak_growth_MB"] = double(statusKb("VmHWM") - rssBefore) / 1024.0;
}

bool setEngine(const char* engine)
{
    ZnMySqlResult result;
    const std::string sql = std::string("alter table talklog_bak engine = ") + engine;
    return ZnMySql::instance()->query(sql.c_str(), result) == 0;
}

void BM_ExportTalkLog(benchmark::State& state)
{
    exportTalkLog(state);
}

// The same log in a table without snapshots: the export holds it with a read lock.
void BM_ExportTalkLogMyIsam(benchmark::State& state)
{
    if (!setEngine("MyISAM")) {
        state.SkipWithError("cannot change the engine");
        return;
    }
    exportTalkLog(state);
    setEngine("InnoDB");
}

BENCHMARK(BM_ExportTalkLog)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ExportTalkLogMyIsam)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir tmp;
    if (!tmp.isValid())
        return 1;
    gFolder = tmp.path();
    return znBenchWithTalkLogDb(tmp.path() + QStringLiteral("/db"), kRows);
}
