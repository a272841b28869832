// Exporting a talk log of 100,000 and 1,000,000 rows from a real MariaDB server
// into a CSV file, from InnoDB, from MyISAM with holes (its oldest rows deleted,
// as a rotated log has them) and from MEMORY (whose key is a HASH), while a second
// connection logs new calls throughout, as a busy server does. Each case reports
// the export's time, the memory it took from its own start, and the longest any
// of those inserts waited; the same again where the server's link to the console
// is slow (a throttling relay on loopback), so that each statement holds the
// table as long as the link needs to carry its rows. An export still running
// after the time limit (ZN_EXPORT_LIMIT_S, default 300 s, 900 s over a slow link)
// is stopped and reported with timed_out = 1: its time then reads "over" that
// limit. The program starts its own throwaway server and removes it at the end.

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
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

// New calls, one after another on a connection of their own to the server
// (never through a slow link), each timed. The client library straight, without
// the console's time-outs: a wait is measured to its end.
class CallLogger
{
public:
    explicit CallLogger(const ZnMySqlConfig& to)
        : thread([this, to] {
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

// A slow link between the console and the server: a relay on loopback that
// passes the console's bytes on at once and the server's at bytesPerSecond. Its
// side of the server's connection has a small window and an Ethernet-sized
// segment, so that the server's own socket buffers little and the server waits
// on its sends as it would on a real link of that speed.
class SlowLink
{
public:
    SlowLink(int serverPort, double bytesPerSecond) : serverPort(serverPort), rate(bytesPerSecond)
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof at;
        if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0
            || ::listen(listener, 8) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size) != 0)
            return;
        port = ntohs(at.sin_port);
        accepting = std::thread([this] { acceptLoop(); });
    }
    ~SlowLink()
    {
        stop = true;
        if (accepting.joinable())
            accepting.join();
        for (std::thread& t : links)
            t.join();
        if (listener >= 0)
            ::close(listener);
    }
    int port = 0;

private:
    static void setBuffers(int fd)
    {
        const int small = 16384, segment = 1460;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        ::setsockopt(fd, IPPROTO_TCP, TCP_MAXSEG, &segment, sizeof segment);
    }
    static bool writeAll(int fd, const char* data, ssize_t size)
    {
        while (size > 0) {
            const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            data += n;
            size -= n;
        }
        return true;
    }
    // Until either side closes: each end of a link sees the other's close.
    void pass(int from, int to, bool slow)
    {
        char buffer[4096];
        // When the bytes passed so far have taken the link's time. A link left
        // idle saves nothing up: it never carries more than its speed.
        auto due = std::chrono::steady_clock::now();
        for (;;) {
            const ssize_t n = ::recv(from, buffer, slow ? 1460 : sizeof buffer, 0);
            if (n <= 0 || !writeAll(to, buffer, n))
                break;
            if (slow) {
                due = std::max(due, std::chrono::steady_clock::now())
                      + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::duration<double>(double(n) / rate));
                std::this_thread::sleep_until(due);
            }
        }
        ::shutdown(to, SHUT_RDWR);
        ::shutdown(from, SHUT_RDWR);
    }
    void acceptLoop()
    {
        // Bounded: a case opens a handful of connections.
        for (int i = 0; i < 64 && !stop;) {
            pollfd waiting{listener, POLLIN, 0};
            if (::poll(&waiting, 1, 100) <= 0)
                continue;
            const int console = ::accept(listener, nullptr, nullptr);
            if (console < 0)
                continue;
            ++i;
            const int server = ::socket(AF_INET, SOCK_STREAM, 0);
            setBuffers(server);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            to.sin_port = htons(uint16_t(serverPort));
            if (server < 0 || ::connect(server, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
                ::close(console);
                if (server >= 0)
                    ::close(server);
                continue;
            }
            links.emplace_back([this, console, server] {
                std::thread up([&] { pass(console, server, false); });
                pass(server, console, true);
                up.join();
                ::close(console);
                ::close(server);
            });
        }
    }

    const int serverPort;
    const double rate;
    int listener = -1;
    std::atomic<bool> stop{false};
    std::thread accepting;
    std::vector<std::thread> links;
};

// A link of 0 bytes a second is the server's loopback as it is.
void exportCase(benchmark::State& state, int rows, Engine engine, double linkBytesPerSecond)
{
    if (!prepare(rows, engine)) {
        state.SkipWithError("cannot prepare the talk log");
        return;
    }
    // A slow link needs its time to carry the rows.
    const int defaultLimit = linkBytesPerSecond > 0 ? 900 : 300;
    const int limitSeconds = qEnvironmentVariableIsSet("ZN_EXPORT_LIMIT_S")
                                 ? qEnvironmentVariableIntValue("ZN_EXPORT_LIMIT_S")
                                 : defaultLimit;
    const QString path = gFolder + QStringLiteral("/talk.csv");
    const ZnMySqlConfig direct = ZnMySql::instance()->settings();
    std::unique_ptr<SlowLink> link;
    if (linkBytesPerSecond > 0) {
        // The export's connection is made to the console's log host: that is the relay now.
        link = std::make_unique<SlowLink>(direct.port, linkBytesPerSecond);
        ZnMySqlConfig relayed = direct;
        relayed.port = link->port;
        if (link->port == 0 || ZnMySql::instance()->connect(relayed) != 0) {
            ZnMySql::instance()->connect(direct);
            state.SkipWithError("cannot reach the server through the slow link");
            return;
        }
    }
    bool timedOut = false;
    double waited = 0;
    int calls = 0, statements = 0;
    long rssBefore = 0, peak = 0;
    for (auto _ : state) {
        resetPeak();
        rssBefore = statusKb("VmRSS");
        CallLogger server(direct);
        LogExportThread exporter(path, QStringList{QStringLiteral("序号"), QStringLiteral("Begin Time")}, TalkLogKind);
        int code = 0;
        std::atomic<int> reads{0};
        QObject::connect(&exporter, &LogExportThread::finish_signal, [&](int c) { code = c; });
        // Told once after each statement that read rows, on the export's thread.
        QObject::connect(&exporter, &LogExportThread::update_signal, [&] { ++reads; });
        QElapsedTimer clock;
        clock.start();
        exporter.start();
        timedOut = !exporter.wait(unsigned(limitSeconds) * 1000);
        if (timedOut) {
            exporter.cancel();
            exporter.wait();
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        peak = statusKb("VmHWM");
        server.finish();
        waited = server.longest;
        calls = server.calls;
        statements = reads;
        if (server.failed) {
            state.SkipWithError("a new call could not be logged");
            break;
        }
        if (!timedOut && code != LogExportThread::Complete) {
            state.SkipWithError(("export failed with " + std::to_string(code)).c_str());
            break;
        }
    }
    if (link) {
        ZnMySql::instance()->connect(direct);
        link.reset();
    }
    state.counters["timed_out"] = timedOut ? 1 : 0;
    state.counters["insert_wait_max_ms"] = waited;
    state.counters["inserts"] = calls;
    state.counters["row_statements"] = statements;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1048576.0;
    state.counters["peak_growth_MB"] = double(peak - rssBefore) / 1024.0;
}

void BM_Export(benchmark::State& state)
{
    exportCase(state, int(state.range(0)), Engine(state.range(1)), 0);
}

BENCHMARK(BM_Export)
    ->ArgNames({"rows", "engine"})
    ->ArgsProduct({{100000, 1000000}, {InnoDb, MyIsamWithHoles, Memory}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

// The server's link to the console limited to link_kB_s kilobytes a second.
void BM_ExportSlowLink(benchmark::State& state)
{
    exportCase(state, int(state.range(0)), Engine(state.range(1)), 1000.0 * double(state.range(2)));
}

BENCHMARK(BM_ExportSlowLink)
    ->ArgNames({"rows", "engine", "link_kB_s"})
    ->Args({1000000, Memory, 1000})
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
