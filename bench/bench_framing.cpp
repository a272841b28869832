// Framing plus parsing of what the receive thread gets: one 1 MiB body and a
// burst of 100,000 small answers, both arriving in 4 KiB reads.
#include "ZnMessageFramer.h"
#include "ZnServerRequest.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {
const std::size_t kChunk = 4096;

std::size_t feedInChunks(ZnMessageFramer &framer, const std::string &stream)
{
    for (std::size_t pos = 0; pos < stream.size(); pos += kChunk)
        framer.feed(stream.data() + pos, std::min(kChunk, stream.size() - pos));
    return stream.size();
}

void run(benchmark::State &state, const std::string &stream, int expectedMessages)
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
}

void BM_LargeBody(benchmark::State &state)
{
    const std::string body(1024 * 1024, 'r');
    const std::string stream = "DBP/1.0 200 OK\r\nCSeq: 12\r\nContent-Length:" +
                               std::to_string(body.size()) + "\r\n\r\n" + body;
    run(state, stream, 1);
}
BENCHMARK(BM_LargeBody)->Unit(benchmark::kMicrosecond);

void BM_SmallAnswers(benchmark::State &state)
{
    const int count = 100000;
    std::string stream;
    for (int i = 0; i < count; ++i) {
        stream += "DBP/1.0 200 OK\r\nCSeq: " + std::to_string(i) +
                  "\r\nContent-Length:2\r\n\r\n{}";
    }
    run(state, stream, count);
}
BENCHMARK(BM_SmallAnswers)->Unit(benchmark::kMillisecond);
}

BENCHMARK_MAIN();
