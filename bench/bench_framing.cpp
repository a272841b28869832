// Framing plus parsing of what the receive thread gets: one 1 MiB body and a
// burst of 100,000 small answers, both arriving in 4 KiB reads. The large body is
// also set against plain memcpy of the same bytes in the same chunks, measured
// first in the same run, as the counter of_memcpy_pct.
// The receive path itself: the same 1 MiB messages read from a loopback socket in
// reads of up to 4 KiB, once by a plain recv loop and once as the receive thread
// reads them (straight into the framer's room, framed and parsed as they come);
// of_recv_pct is the framed rate as a share of the plain one.
#include "ZnMessageFramer.h"
#include "ZnServerRequest.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

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

// A framer that parses every message it cuts, as the receive thread does.
struct ParsingFramer
{
    ZnServerRequest request;
    long messages = 0;
    ZnMessageFramer framer{[this](std::string_view m) {
        request.parse(m);
        benchmark::DoNotOptimize(request.body().data());
        ++messages;
    }};
};

double run(benchmark::State &state, const std::string &stream, int expectedMessages)
{
    ParsingFramer parsing;
    ZnMessageFramer &framer = parsing.framer;
    const long &messages = parsing.messages;
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

// A connected loopback pair whose sending end writes the stream over and over
// until the pair is closed; each read of stream.size() bytes is one whole copy.
class LoopbackFeed
{
public:
    explicit LoopbackFeed(const std::string &stream) : stream(stream)
    {
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
            || ::listen(listener, 1) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
            if (listener >= 0)
                ::close(listener);
            return;
        }
        reader = ::socket(AF_INET, SOCK_STREAM, 0);
        if (reader >= 0 && ::connect(reader, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0)
            writer = ::accept(listener, nullptr, nullptr);
        ::close(listener);
        if (writer < 0)
            return;
        sender = std::thread([this] {
            while (!stop) {
                for (std::size_t pos = 0; pos < this->stream.size();) {
                    const ssize_t n =
                        ::send(writer, this->stream.data() + pos, this->stream.size() - pos, MSG_NOSIGNAL);
                    if (n <= 0)
                        return;
                    pos += std::size_t(n);
                }
            }
        });
    }
    ~LoopbackFeed()
    {
        stop = true;
        if (reader >= 0)
            ::shutdown(reader, SHUT_RDWR);
        if (writer >= 0)
            ::shutdown(writer, SHUT_RDWR);
        if (sender.joinable())
            sender.join();
        if (reader >= 0)
            ::close(reader);
        if (writer >= 0)
            ::close(writer);
    }
    bool ok() const { return writer >= 0; }
    // The bytes of one copy of the stream.
    std::size_t size() const { return stream.size(); }

    // Reads one copy of the stream in reads of up to 4 KiB, handing each to take.
    template <class Take>
    bool readOnce(Take &&take)
    {
        char buffer[kChunk];
        for (std::size_t left = stream.size(); left > 0;) {
            const ssize_t n = ::recv(reader, buffer, std::min(left, sizeof buffer), 0);
            if (n <= 0)
                return false;
            take(buffer, std::size_t(n));
            left -= std::size_t(n);
        }
        return true;
    }

    // The same, read straight into the room a framer offers, as the receive
    // thread does: no read asks for more than the message still lacks, nor more
    // than 4 KiB.
    bool readInto(ZnMessageFramer &framer)
    {
        for (std::size_t left = stream.size(); left > 0;) {
            const std::size_t missing = framer.missingBytes();
            const std::size_t chunk = std::min(left, missing > 0 ? std::min(missing, kChunk) : kChunk);
            const ssize_t n = ::recv(reader, framer.prepare(chunk), chunk, 0);
            if (n <= 0 || framer.commit(std::size_t(n)) != ZnMessageFramer::Ok)
                return false;
            left -= std::size_t(n);
        }
        return true;
    }

private:
    const std::string stream;
    int reader = -1;
    int writer = -1;
    std::atomic<bool> stop{false};
    std::thread sender;
};

const int kSocketMessages = 8;
double gRecvRate = 0; // bytes per second of BM_SocketRecv

std::string largeStream(int messages)
{
    const std::string body(kLargeBody, 'r');
    std::string one = "DBP/1.0 200 OK\r\nCSeq: 12\r\nContent-Length:" + std::to_string(body.size()) + "\r\n\r\n" + body;
    std::string stream;
    for (int i = 0; i < messages; ++i)
        stream += one;
    return stream;
}

void BM_SocketRecv(benchmark::State &state)
{
    LoopbackFeed feed(largeStream(kSocketMessages));
    if (!feed.ok()) {
        state.SkipWithError("no loopback connection");
        return;
    }
    long bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!feed.readOnce([&](const char *data, std::size_t n) {
                benchmark::DoNotOptimize(data);
                bytes += long(n);
            })) {
            state.SkipWithError("connection lost");
            break;
        }
    }
    gRecvRate = double(bytes) / elapsedSeconds(start);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_SocketRecv)->Unit(benchmark::kMillisecond);

void BM_SocketRecvFramed(benchmark::State &state)
{
    LoopbackFeed feed(largeStream(kSocketMessages));
    if (!feed.ok()) {
        state.SkipWithError("no loopback connection");
        return;
    }
    ParsingFramer parsing;
    ZnMessageFramer &framer = parsing.framer;
    const long &messages = parsing.messages;
    long bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    const long perRead = long(feed.size());
    for (auto _ : state) {
        if (!feed.readInto(framer)) {
            state.SkipWithError("connection lost");
            break;
        }
        bytes += perRead;
    }
    const double rate = double(bytes) / elapsedSeconds(start);
    if (messages != long(state.iterations()) * kSocketMessages)
        state.SkipWithError("lost messages");
    state.SetBytesProcessed(bytes);
    if (gRecvRate > 0)
        state.counters["of_recv_pct"] = 100.0 * rate / gRecvRate;
}
BENCHMARK(BM_SocketRecvFramed)->Unit(benchmark::kMillisecond);
}

BENCHMARK_MAIN();
