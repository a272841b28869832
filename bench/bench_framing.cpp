// Framing plus parsing of what the receive thread gets: one 1 MiB body and a
// burst of 100,000 small answers, both arriving in 4 KiB reads. The large body is
// also set against plain memcpy of the same bytes in the same chunks, measured
// first in the same run, as the counter of_memcpy_pct.
#include "ZnMessageFramer.h"
#include "ZnServerRequest.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <string>

namespace {
const std::size_t kChunk = 4096;
const std::size_t kLargeBody = 1024 * 1024;
double gMemcpyRate = 0; // bytes per second of BM_Memcpy

std::size_t feedInChunks(ZnMessageFramer &framer, const std::string &stream)
{
    for (std::size_t pos = 0; pos < stream.size(); pos += kChunk)
        framer.feed(stream.data() + pos, std::min(kChunk, stream.size() - pos));
    return stream.size();
}

double run(benchmark::State &state, const std::string &stream, int expectedMessages)
{
    ZnServerRequest request;
    long messages = 0;
    ZnMessageFramer framer([&](std::string_view m) {
        request.parse(m);
        benchmark::DoNotOptimize(request.body().data());
        ++messages;
    });
    long bytes = 0;
    for (auto _ : state)
        bytes += long(feedInChunks(framer, stream));
    if (messages != long(state.iterations()) * expectedMessages)
        state.SkipWithError("lost messages");
    state.SetBytesProcessed(bytes);
    state.counters["MB/s"] = benchmark::Counter(double(bytes) / 1e6, benchmark::Counter::kIsRate);
    state.counters["messages/s"] = benchmark::Counter(double(messages), benchmark::Counter::kIsRate);
    return double(bytes);
}

double elapsedSeconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The floor for the framer: every byte copied once, chunk by chunk, into a buffer
// that is reused.
void BM_Memcpy(benchmark::State &state)
{
    const std::string source(kLargeBody + 64, 'r');
    std::string target(source.size(), '\0');
    long bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (std::size_t pos = 0; pos < source.size(); pos += kChunk) {
            const std::size_t n = std::min(kChunk, source.size() - pos);
            std::memcpy(&target[pos], source.data() + pos, n);
        }
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
        bytes += long(source.size());
    }
    gMemcpyRate = double(bytes) / elapsedSeconds(start);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

void BM_LargeBody(benchmark::State &state)
{
    const std::string body(kLargeBody, 'r');
    const std::string stream =
        "DBP/1.0 200 OK\r\nCSeq: 12\r\nContent-Length:" + std::to_string(body.size()) + "\r\n\r\n" + body;
    const auto start = std::chrono::steady_clock::now();
    const double bytes = run(state, stream, 1);
    const double rate = bytes / elapsedSeconds(start);
    if (gMemcpyRate > 0)
        state.counters["of_memcpy_pct"] = 100.0 * rate / gMemcpyRate;
}
BENCHMARK(BM_LargeBody)->Unit(benchmark::kMicrosecond);

void BM_SmallAnswers(benchmark::State &state)
{
    const int count = 100000;
    std::string stream;
    for (int i = 0; i < count; ++i) {
        stream += "DBP/1.0 200 OK\r\nCSeq: " + std::to_string(i) + "\r\nContent-Length:2\r\n\r\n{}";
    }
    run(state, stream, count);
}
BENCHMARK(BM_SmallAnswers)->Unit(benchmark::kMillisecond);
}

BENCHMARK_MAIN();
