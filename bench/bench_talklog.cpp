// Reading one 100-row page of a 1,000,000-row talk log from a real MariaDB server.
// The program starts its own throwaway server and removes it at the end.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include "ZnDbQuery.h"
#include "ZnGlobals.h"
#include "ZnMySql.h"


namespace {

const int kRows = 1000000;

bool runScript(const QString& dir, const QStringList& args)
{
    return QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT),
                             QStringList{args.front(), dir} + args.mid(1)) == 0;
}

void pageAt(benchmark::State& state, int offset)
{
    std::vector<ZnLogRecord> rows;
    for (auto _ : state) {
        if (ZnDbQuery::talkRecordPage(rows, offset, ZnDbQuery::kPageSize) != 0
            || rows.size() != size_t(ZnDbQuery::kPageSize)) {
            state.SkipWithError("page query failed");
            break;
        }
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * ZnDbQuery::kPageSize);
}

void BM_TalkLogFirstPage(benchmark::State& state)
{
    pageAt(state, ZnDbQuery::pageOffset(1));
}

void BM_TalkLogMiddlePage(benchmark::State& state)
{
    pageAt(state, ZnDbQuery::pageOffset(kRows / ZnDbQuery::kPageSize / 2));
}

void BM_TalkLogCount(benchmark::State& state)
{
    for (auto _ : state) {
        if (ZnDbQuery::talkRecordCount() != kRows) {
            state.SkipWithError("count failed");
            break;
        }
    }
}

BENCHMARK(BM_TalkLogFirstPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TalkLogMiddlePage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TalkLogCount)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    QTemporaryDir tmp;
    if (!tmp.isValid())
        return 1;
    const QString dir = tmp.path();
    int rc = 1;
    if (runScript(dir, {QStringLiteral("start")})
        && runScript(dir, {QStringLiteral("fill"), QString::number(kRows)})) {
        QFile portFile(dir + QStringLiteral("/port"));
        if (portFile.open(QIODevice::ReadOnly))
            gMySqlPort = portFile.readAll().trimmed().toInt();
        if (ZnMySql::connectTalkLogDb("127.0.0.1") == 0) {
            benchmark::RunSpecifiedBenchmarks();
            rc = 0;
        } else {
            std::fprintf(stderr, "cannot reach the benchmark database\n");
        }
    }
    runScript(dir, {QStringLiteral("stop")});
    benchmark::Shutdown();
    return rc;
}
