// Exporting a talk log of 100,000 and 1,000,000 rows from a real MariaDB server
// into a CSV file, from InnoDB, from MyISAM with holes (its oldest rows deleted,
// as a rotated log has them) and from MEMORY (whose key is a HASH), while a second
// connection logs new calls throughout, as a busy server does. Each case reports
// the export's time, the memory it took from its own start, and the longest any
// of those inserts waited. An export still running after the time limit
// (ZN_EXPORT_LIMIT_S, default 300 s) is stopped and reported with timed_out = 1:
// its time then reads "over" that limit. The program starts its own throwaway
// server and removes it at the end.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "LogExportKind.h"
#include "LogExportThread.h"
#include "ZnBenchMain.h"
#include "ZnGlobals.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"

namespace {

QString gFolder;
QString gDb;

enum Engine { InnoDb, MyIsamWithHoles, Memory };

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

// The peak resident size starts again from the present one, so that a case does
// not read the peak an earlier one left.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

bool sql(const std::string& statement)
{
    ZnMySqlResult result;
    return ZnMySql::instance()->query(statement.c_str(), result) == 0;
}

// The talk log as the case wants it: rows generated afresh in InnoDB, then moved
// to the engine.
bool prepare(int rows, Engine engine)
{
    if (!sql("alter table talklog_bak engine = InnoDB")
        || !znBenchDbScript(gDb, {QStringLiteral("fill"), QString::number(rows)}))
        return false;
    switch (engine) {
    case InnoDb:
        return true;
    case MyIsamWithHoles:
        return sql("alter table talklog_bak engine = MyISAM")
               && sql("delete from talklog_bak where id <= " + std::to_string(rows / 100));
    case Memory:
        return sql("set session max_heap_table_size = 8589934592")
               && sql("alter table talklog_bak engine = MEMORY, max_rows = " + std::to_string(2 * rows));
    }
    return false;
}

// New calls, one after another on a connection of their own, each timed. The
// client library straight, without the console's time-outs: a wait is measured
// to its end.
class CallLogger
{
public:
    CallLogger()
        : thread([this] {
              const ZnMySqlConfig to = ZnMySql::instance()->settings();
              MYSQL* db = mysql_init(nullptr);
              if (!db
                  || !mysql_real_connect(db, to.host.c_str(), to.user.c_str(), to.password.c_str(), to.database.c_str(),
                                         unsigned(to.port), nullptr, 0)) {
                  failed = true;
                  if (db)
                      mysql_close(db);
                  return;
              }
              mysql_set_character_set(db, "utf8");
              // Bounded: a few hours of calls at most.
              for (int i = 0; i < 1000000 && !stop; ++i) {
                  const auto start = std::chrono::steady_clock::now();
                  failed = failed
                           || mysql_query(db, "insert into talklog_bak (begin_time, end_time, callerId, calledId, "
                                              "callerName, calledName, type, source_name) values (now(), now(), 1, "
                                              "2, '主叫', '被叫', 1, '音源')")
                                  != 0;
                  const double ms =
                      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                  longest = std::max(longest.load(), ms);
                  ++calls;
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
              }
              mysql_close(db);
          })
    {}
    ~CallLogger() { finish(); }
    void finish()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
    }
    std::atomic<bool> stop{false}, failed{false};
    std::atomic<double> longest{0};
    std::atomic<int> calls{0};

private:
    std::thread thread;
};

void BM_Export(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const Engine engine = Engine(state.range(1));
    if (!prepare(rows, engine)) {
        state.SkipWithError("cannot prepare the talk log");
        return;
    }
    const int limitSeconds =
        qEnvironmentVariableIsSet("ZN_EXPORT_LIMIT_S") ? qEnvironmentVariableIntValue("ZN_EXPORT_LIMIT_S") : 300;
    const QString path = gFolder + QStringLiteral("/talk.csv");
    bool timedOut = false;
    double waited = 0;
    int calls = 0;
    long rssBefore = 0, peak = 0;
    for (auto _ : state) {
        resetPeak();
        rssBefore = statusKb("VmRSS");
        CallLogger server;
        LogExportThread exporter(path, QStringList{QStringLiteral("序号"), QStringLiteral("Begin Time")}, TalkLogKind);
        int code = 0;
        QObject::connect(&exporter, &LogExportThread::finish_signal, [&](int c) { code = c; });
        QElapsedTimer clock;
        clock.start();
        exporter.start();
        timedOut = !exporter.wait(unsigned(limitSeconds) * 1000);
        if (timedOut) {
            exporter.requestInterruption();
            exporter.wait();
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        peak = statusKb("VmHWM");
        server.finish();
        waited = server.longest;
        calls = server.calls;
        if (server.failed) {
            state.SkipWithError("a new call could not be logged");
            break;
        }
        if (!timedOut && code != LogExportThread::Complete) {
            state.SkipWithError(("export failed with " + std::to_string(code)).c_str());
            break;
        }
    }
    state.counters["timed_out"] = timedOut ? 1 : 0;
    state.counters["insert_wait_max_ms"] = waited;
    state.counters["inserts"] = calls;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1048576.0;
    state.counters["peak_growth_MB"] = double(peak - rssBefore) / 1024.0;
}

BENCHMARK(BM_Export)
    ->ArgNames({"rows", "engine"})
    ->ArgsProduct({{100000, 1000000}, {InnoDb, MyIsamWithHoles, Memory}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QTemporaryDir tmp;
    if (!tmp.isValid())
        return 1;
    gFolder = tmp.path();
    gDb = tmp.path() + QStringLiteral("/db");
    return znBenchWithTalkLogDb(gDb, 0);
}
