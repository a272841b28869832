// Resident memory of the real console process, logged in to the simulator and
// left idle: once with the sample data of the demo, once with 10,000 more
// terminals in every family and every page the operator can open opened (by
// zn_memory_console, the console with a page opener). The programs are started
// from the folder of this one; the console needs a display (run under xvfb-run
// when there is none). The figure is the counter rss_MB, read from /proc once the
// console has settled.
//
// The console always dials the file service on port 8906 of the server's
// address, so the simulator listens on a loopback address of its own (in
// 127.0.0.0/8) where 8906 is free, and the console is given that address.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "ZnBenchMain.h"

namespace {

const int kStartLimitMs = 20000;
const int kSettleLimitMs = 60000;
const int kSampleMs = 250;
const int kQuietMs = 3000;

const quint16 kFileServicePort = 8906;

// A loopback address other than 127.0.0.1 on which the file-service port is free
// now; empty when none of the tried ones is.
QString ownLoopbackAddress()
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        const quint32 host = QRandomGenerator::global()->bounded(0x10000u, 0xfffffeu);
        const QHostAddress address((127u << 24) | host);
        QTcpServer probe;
        if (probe.listen(address, kFileServicePort))
            return address.toString();
    }
    return QString();
}

double residentMB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

// Reads the simulator's output until its port is known; new output is kept in log.
int simulatorPort(QProcess& sim, QString& log)
{
    const QRegularExpression listening(QStringLiteral("listening on 127\\.[0-9.]+:(\\d+)"));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kStartLimitMs && sim.waitForReadyRead(1000)) {
        log += QString::fromUtf8(sim.readAllStandardOutput());
        const QRegularExpressionMatch m = listening.match(log);
        if (m.hasMatch())
            return m.captured(1).toInt();
    }
    return 0;
}

// The console has logged in, said ready (when a marker is given), asked for no
// list for a while and its resident size no longer moves by more than 1%.
double settledResidentMB(QProcess& sim, QProcess& console, const QByteArray& ready, QString& log, QString& error)
{
    QByteArray said;
    QElapsedTimer timer;
    timer.start();
    QElapsedTimer quiet;
    quiet.start();
    double last = 0;
    while (timer.elapsed() < kSettleLimitMs) {
        if (console.state() != QProcess::Running) {
            error = QStringLiteral("the console ended");
            return 0;
        }
        sim.waitForReadyRead(kSampleMs);
        QByteArray more = sim.readAllStandardOutput();
        // No event loop runs here: the pipe is read only when asked.
        console.waitForReadyRead(1);
        said += console.readAllStandardOutput();
        const bool isReady = ready.isEmpty() || said.contains(ready);
        const double now = residentMB(console.processId());
        // The clock asks for the server's time every few seconds; that is idle.
        const bool asked = more.replace("request GET GetSystemTime", "").contains("request GET");
        if (!isReady || asked || now > last * 1.01 || now < last * 0.99)
            quiet.restart();
        log += QString::fromUtf8(more);
        last = now;
        if (log.contains(QStringLiteral("request LOGIN")) && quiet.elapsed() >= kQuietMs)
            return now;
    }
    error = QStringLiteral("the console did not settle logged in");
    return 0;
}

void measure(benchmark::State& state, const QString& program, const QByteArray& ready, const QStringList& simArgs)
{
    const QString host = ownLoopbackAddress();
    if (host.isEmpty()) {
        state.SkipWithError("no loopback address with the file-service port free");
        return;
    }
    const QString bin = QCoreApplication::applicationDirPath();
    QTemporaryDir run;
    QFile::link(bin + QStringLiteral("/images"), run.filePath(QStringLiteral("images")));
    QFile::link(bin + QStringLiteral("/translate"), run.filePath(QStringLiteral("translate")));

    QProcess sim;
    sim.start(bin + QStringLiteral("/zn_simulator"),
              QStringList{QStringLiteral("--host"), host, QStringLiteral("--port"), QStringLiteral("0"),
                          QStringLiteral("--file-port"), QString::number(kFileServicePort),
                          QStringLiteral("--log-requests")}
                  + simArgs);
    QString log;
    const int port = simulatorPort(sim, log);
    if (port <= 0) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    QFile config(run.filePath(QStringLiteral("config.ini")));
    if (!config.open(QIODevice::WriteOnly)) {
        state.SkipWithError("no run folder");
        return;
    }
    config.write(QStringLiteral("[Setting]\nServerIp=%1\nServerPort=%2\nUser=admin\n").arg(host).arg(port).toUtf8());
    config.close();

    double rss = 0;
    for (auto _ : state) {
        QProcess console;
        console.setWorkingDirectory(run.path());
        console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        console.start(bin + QLatin1Char('/') + program,
                      QStringList{QStringLiteral("-serverip"), host, QStringLiteral("-user"), QStringLiteral("admin"),
                                  QStringLiteral("-password"), QStringLiteral("admin")});
        if (!console.waitForStarted(kStartLimitMs)) {
            state.SkipWithError("the console did not start");
            break;
        }
        QString error;
        rss = settledResidentMB(sim, console, ready, log, error);
        console.kill();
        console.waitForFinished(kStartLimitMs);
        if (!error.isEmpty()) {
            state.SkipWithError(error.toUtf8().constData());
            break;
        }
        log.clear();
    }
    state.counters["rss_MB"] = rss;
    sim.terminate();
    sim.waitForFinished(kStartLimitMs);
}

void BM_IdleDemo(benchmark::State& state)
{
    measure(state, QStringLiteral("talkback_console"), QByteArray(), QStringList());
}
BENCHMARK(BM_IdleDemo)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TenThousandPerFamily(benchmark::State& state)
{
    measure(state, QStringLiteral("zn_memory_console"), QByteArrayLiteral("every page open"),
            QStringList{QStringLiteral("--rows-per-family"), QStringLiteral("10000")});
}
BENCHMARK(BM_TenThousandPerFamily)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return znBenchMain<QCoreApplication>(argc, argv);
}
