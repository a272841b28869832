// The file service over loopback: a 256 MiB download from the simulated service
// to a local file, and a 10,000-entry listing from the wire into the media
// page's table. Runs offscreen unless a platform is set.
#include "TcpSocketClient.h"
#include "ZnBenchMain.h"
#include "ZnCFtpClient.h"
#include "ZnFileReply.h"
#include "ZnFtpClientMgr.h"
#include "ZnMediaViewCtrl.h"
#include "ZnSimFileService.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {
constexpr qint64 kFileSize = 256LL * 1024 * 1024;
constexpr int kEntries = 10000;

struct Fixture
{
    QTemporaryDir media;
    QTemporaryDir local;
    ZnSimFileService service;
    std::mutex mutex;
    std::condition_variable done;
    int finished = 0;
    bool lastOk = false;
    QMetaObject::Connection watch;

    Fixture()
    {
        QDir root(media.path());
        root.mkpath(QStringLiteral("big"));
        root.mkpath(QStringLiteral("many"));
        QFile big(root.filePath(QStringLiteral("big/big.mp3")));
        big.open(QIODevice::WriteOnly);
        QByteArray chunk(1 << 20, '\0');
        for (int i = 0; i < chunk.size(); ++i)
            chunk[i] = char(i * 131 + (i >> 8));
        for (qint64 n = 0; n < kFileSize; n += chunk.size())
            big.write(chunk);
        big.close();
        for (int i = 0; i < kEntries; ++i) {
            QFile f(root.filePath(QStringLiteral("many/节目 %1.mp3").arg(i, 5, 10, QLatin1Char('0'))));
            f.open(QIODevice::WriteOnly);
        }
        service.start(0, "127.0.0.1", media.path().toStdString());
        TcpSocketClient* worker = TcpSocketClient::instance();
        worker->setServer(QStringLiteral("127.0.0.1"), quint16(service.port()));
        watch = QObject::connect(
            worker, &TcpSocketClient::transferFinished, worker,
            [this](int, bool ok, const QString&) {
                std::lock_guard<std::mutex> lock(mutex);
                ++finished;
                lastOk = ok;
                done.notify_all();
            },
            Qt::DirectConnection);
        worker->start();
    }
    ~Fixture() { QObject::disconnect(watch); }
};

// Made on first use; main() removes it with its files (over half a GiB).
std::unique_ptr<Fixture> gFixture;

Fixture& fixture()
{
    if (!gFixture)
        gFixture = std::make_unique<Fixture>();
    return *gFixture;
}

void BM_Download256MiB(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString target = f.local.filePath(QStringLiteral("big.mp3"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        int before = 0;
        {
            std::lock_guard<std::mutex> lock(f.mutex);
            before = f.finished;
        }
        state.ResumeTiming();
        TcpSocketClient::instance()->addDownloadTask(QStringLiteral("/data/mp3/big/big.mp3"), target, 1);
        std::unique_lock<std::mutex> lock(f.mutex);
        f.done.wait_for(lock, std::chrono::seconds(120), [&] { return f.finished > before; });
        if (!f.lastOk || QFileInfo(target).size() != kFileSize) {
            state.SkipWithError("the download did not complete");
            break;
        }
    }
    state.counters["MB_per_s"] =
        benchmark::Counter(double(kFileSize) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Download256MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Runs the event loop until the browser has taken in its next listing, or gives
// up after limitMs.
bool awaitListing(ZnMediaViewCtrl& browser, int limitMs)
{
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool arrived = false;
    // Queued behind the browser's own slot, so the table is filled when this runs.
    QObject::connect(
        &browser, &ZnMediaViewCtrl::getDirListFinished, &loop,
        [&] {
            arrived = true;
            loop.quit();
        },
        Qt::QueuedConnection);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(limitMs);
    loop.exec();
    return arrived;
}

void BM_ListingToTable(benchmark::State& state)
{
    fixture();
    QTableWidget table(0, 4);
    ZnMediaViewCtrl browser(&table);
    ZnFtpClientMgr::instance()->client()->setMediaBrowser(&browser);
    // Into the folder of many files once, outside the timed turns.
    browser.slot_setMediaRoot(QStringLiteral("/data/mp3"));
    bool ok = awaitListing(browser, 10000) && table.rowCount() == 2;
    const QList<QTableWidgetItem*> many = table.findItems(QStringLiteral("many"), Qt::MatchExactly);
    if (ok && !many.isEmpty()) {
        table.setCurrentItem(many.first());
        browser.mediaTableDClicked();
        ok = awaitListing(browser, 10000);
    }
    for (auto _ : state) {
        if (!ok)
            break;
        state.PauseTiming();
        table.setRowCount(0);
        QApplication::processEvents();
        state.ResumeTiming();
        browser.slot_updateCurrentPathList();
        ok = awaitListing(browser, 10000);
    }
    // The ".." row leads the entries.
    if (!ok || table.rowCount() != kEntries + 1)
        state.SkipWithError("the table does not hold every entry");
    ZnFtpClientMgr::instance()->client()->setMediaBrowser(nullptr);
}
BENCHMARK(BM_ListingToTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The two halves of the client's share: reading the reply, filling the table.
QByteArray listingReply()
{
    QByteArray r = "{\"Command\":\"GetFileList\",\"CSeq\":\"1\",\"FileList\":[";
    for (int i = 0; i < kEntries; ++i) {
        r +=
            (i ? "," : "")
            + QStringLiteral(
                  "{\"CreatDate\":\"2026-12-06 08:30:00\",\"FileName\":\"/data/mp3/many/节目 %1.mp3\",\"Size\":\"%2\"}")
                  .arg(i, 5, 10, QLatin1Char('0'))
                  .arg(1000 + i)
                  .toUtf8();
    }
    return r + "]}\r\n\r\n";
}

void BM_ListingRead(benchmark::State& state)
{
    const QByteArray reply = listingReply();
    for (auto _ : state) {
        QList<ZnMediaFile_t> list;
        ZnFileReply::readListing(reply, list);
        benchmark::DoNotOptimize(list);
    }
}
BENCHMARK(BM_ListingRead)->Unit(benchmark::kMillisecond);

void BM_ListingFill(benchmark::State& state)
{
    QList<ZnMediaFile_t> list;
    ZnFileReply::readListing(listingReply(), list);
    QTableWidget table(0, 4);
    ZnMediaViewCtrl browser(&table);
    for (auto _ : state)
        browser.showMediaTable(browser.currentPath(), list, QString());
}
BENCHMARK(BM_ListingFill)->Unit(benchmark::kMillisecond);
}

int main(int argc, char** argv)
{
    znBenchOffscreen();
    const int rc = znBenchMain<QApplication>(argc, argv);
    gFixture.reset();
    return rc;
}
