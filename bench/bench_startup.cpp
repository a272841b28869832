// From the start of the console's process to its first painted, logged-in main
// window, against the simulator with the demo data on free loopback ports: the
// median of several starts, with a config.ini of the usual few lines, of 20,000
// keys, and of the largest size the console reads. Each start runs this program
// again as the console (the shell's own start path, offscreen), which reports the
// first paint of the main window on standard output and ends there.
#include "InfoCenterMgr.h"
#include "TcpSocketClient.h"
#include "ZnBenchMain.h"
#include "ZnIniFile.h"
#include "ZnSimFileService.h"
#include "ZnSimServer.h"
#include "ZnStartup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
const char* const kChildFlag = "--console-child";
const char* const kPainted = "painted";

// What config.ini holds besides the login: nothing, 20,000 keys (each one a
// lookup the start must not pay for again and again), or keys up to the largest
// file the console reads.
enum class Extra { None, ManyKeys, AtLimit };
const int kManyKeys = 20000;
const int kLimitBytes = ZnIniFile::kMaxFileBytes;

QByteArray configFile(quint16 port, Extra extra)
{
    QByteArray text = QStringLiteral("[Setting]\nServerIp=127.0.0.1\nServerPort=%1\nUser=admin\n").arg(port).toUtf8();
    if (extra == Extra::None)
        return text;
    text += "BoardType=0\nMediaPath=D:/TalkServerData/mp3\nTitle=\xe7\xae\xa1\xe7\x90\x86\xe4\xb8\xad\xe5\xbf\x83\n";
    for (int i = 0; extra == Extra::ManyKeys ? i < kManyKeys : text.size() + 40 < kLimitBytes; ++i)
        text += "Key" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\n";
    if (extra == Extra::AtLimit)
        text += ";" + QByteArray(kLimitBytes - text.size() - 2, 'x') + "\n";
    return text;
}

// Reports once the main window's first paint has gone through, then ends the
// process: tearing the console down is not part of its start.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen && event->type() == QEvent::Paint && qobject_cast<InfoCenterMgr*>(watched)) {
            seen = true;
            // Queued: runs once the whole window (children included) is painted.
            QTimer::singleShot(0, [] {
                std::printf("%s\n", kPainted);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }
    bool seen = false;
};

int runChild(int argc, char** argv)
{
    // argv: program, flag, file-service port, then the console's own options.
    const int filePort = std::atoi(argv[2]);
    std::vector<char*> args{argv[0]};
    for (int i = 3; i < argc; ++i)
        args.push_back(argv[i]);
    saveArgs(static_cast<int>(args.size()), args.data());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    TcpSocketClient::setServicePort(static_cast<quint16>(filePort));
    FirstPaint watch;
    app.installEventFilter(&watch);
    return runConsole();
}

struct Installation
{
    ZnSimServer server;
    ZnSimFileService files;
    QTemporaryDir dir;
    bool ok = false;

    explicit Installation(Extra extra)
    {
        server.withData([](ZnSimData& d) { d.loadDemo(); });
        server.setPushChanges(true);
        if (!dir.isValid() || !server.start(0) || !files.start(0))
            return;
        const QString bin = QCoreApplication::applicationDirPath();
        for (const char* sub : {"images", "translate"})
            QFile::link(bin + QLatin1Char('/') + QLatin1String(sub), dir.filePath(QLatin1String(sub)));
        QFile ini(dir.filePath(QStringLiteral("config.ini")));
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        const QByteArray text = configFile(server.port(), extra);
        ok = ini.write(text) == text.size();
    }
};

// Milliseconds from the process start to its report; -1 when it never came.
double startOnce(Installation& site)
{
    QProcess console;
    console.setWorkingDirectory(site.dir.path());
    console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QStringList args{QLatin1String(kChildFlag),   QString::number(site.files.port()),
                           QStringLiteral("-serverip"), QStringLiteral("127.0.0.1"),
                           QStringLiteral("-user"),     QStringLiteral("admin"),
                           QStringLiteral("-password"), QStringLiteral("admin")};
    QElapsedTimer clock;
    clock.start();
    console.start(QCoreApplication::applicationFilePath(), args);
    QByteArray out;
    while (!out.contains(kPainted) && console.waitForReadyRead(30000))
        out += console.readAllStandardOutput();
    const double ms = out.contains(kPainted) ? static_cast<double>(clock.nsecsElapsed()) / 1e6 : -1;
    if (!console.waitForFinished(5000)) {
        console.kill();
        console.waitForFinished(5000);
    }
    return ms;
}

void BM_StartToWindow(benchmark::State& state)
{
    Installation site(static_cast<Extra>(state.range(0)));
    if (!site.ok) {
        state.SkipWithError("no simulator");
        return;
    }
    const int kStarts = 11;
    std::vector<double> starts(kStarts);
    for (auto _ : state) {
        for (double& ms : starts) {
            ms = startOnce(site);
            if (ms < 0) {
                state.SkipWithError("the console did not reach its main window");
                return;
            }
        }
        std::nth_element(starts.begin(), starts.begin() + kStarts / 2, starts.end());
        state.SetIterationTime(starts[kStarts / 2] / 1e3);
    }
}
BENCHMARK(BM_StartToWindow)
    ->ArgName("config")
    ->Arg(static_cast<int>(Extra::None))
    ->Arg(static_cast<int>(Extra::ManyKeys))
    ->Arg(static_cast<int>(Extra::AtLimit))
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], kChildFlag) == 0)
        return runChild(argc, argv);
    return znBenchMain<QCoreApplication>(argc, argv);
}
