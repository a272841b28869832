// Reading one 100-row page of a 1,000,000-row talk log from a real MariaDB server.
// The program starts its own throwaway server and removes it at the end.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include "ZnBenchMain.h"
#include "ZnDbQuery.h"
#include "ZnGlobals.h"
#include "ZnMySql.h"

namespace {

const int kRows = 1000000;

void pageAt(benchmark::State& state, int64_t offset)
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
    return znBenchWithTalkLogDb(tmp.path(), kRows);
}
