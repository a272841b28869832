// The file-service client against the simulated service: exact requests, replies
// in any split, listings, downloads and uploads with their failures.
#include "TcpSocketClient.h"
#include "ZnFileReply.h"
#include "ZnFileRequest.h"
#include "ZnSimClosedPort.h"
#include "ZnSimFileService.h"
#include "ZnSmallDisk.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <memory>

namespace {
// Generous bound for a loaded machine; costs nothing when things go right.
constexpr int kWaitMs = 20000;

QMutex gListMutex;
QList<ZnMediaFile_t> gListed;
QString gListedFolder;
QString gListError;
QAtomicInt gListings;

void onListed(QList<ZnMediaFile_t>* list, const QString& folder, const QString& error)
{
    QMutexLocker lock(&gListMutex);
    gListed = *list;
    gListedFolder = folder;
    gListError = error;
    gListings.fetchAndAddOrdered(1);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

const QString kRoot = QString::fromLatin1(ZnSimFileService::kServerRoot);
const QRegularExpression kCSeq(QStringLiteral("\"CSeq\": ?\"(\\d+)\""));
}

class TestFileClient : public QObject
{
    Q_OBJECT
    ZnSimFileService m_service;
    TcpSocketClient* m_client = nullptr;
    QHash<int, QPair<bool, QString>> m_done; // ok and error by transfer id
    QString m_root;
    QTemporaryDir m_local;

    QString served(const QString& rel) const
    {
        return QString::fromStdString(m_service.folder()) + QLatin1Char('/') + rel;
    }
    // The last request of a command the service received, its CSeq replaced by "#".
    QString lastRequest(const char* command = "") const
    {
        QString t;
        for (const std::string& r : m_service.requests())
            t = r.find(command) != std::string::npos ? QString::fromStdString(r) : t;
        return t.replace(kCSeq, QStringLiteral("\"CSeq\":#"));
    }
    QPair<bool, QString> waitDone(int id)
    {
        if (!QTest::qWaitFor([&] { return m_done.contains(id); }, 60000))
            return {false, QStringLiteral("never finished")};
        return m_done.value(id);
    }

private slots:
    void initTestCase()
    {
        // The file worker writes debug lines from its own thread; QtTest's logger
        // reads the running test's name for each, which races with the switch to
        // the next test and crashed a run. Debug lines are not logged here.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(m_service.start(0));
        m_client = TcpSocketClient::instance();
        m_client->setServer(QStringLiteral("127.0.0.1"), static_cast<quint16>(m_service.port()));
        m_client->setMediaListCallback(&onListed);
        connect(m_client, &TcpSocketClient::transferFinished, this, [this](int id, bool ok, const QString& e) {
            m_done.insert(id, {ok, e});
        });
        connect(m_client, &TcpSocketClient::socketGetMediaPath, this, [this](const QString& r) { m_root = r; });
        m_client->start();
    }
    void cleanupTestCase()
    {
        m_client->stop();
        QVERIFY(m_client->wait(10000));
        m_service.stop();
    }

    // What the service run in commands() cannot show: escapes and the empty folder
    // of a file rename sent; FileLen read as a 64-bit plain decimal count, anything
    // else refused (-1).
    void wireText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        const auto len = [](const char* header) { return QByteArray::number(ZnFileReply::readFileLen(header)); };
        QTest::newRow("create, quote and backslash escaped")
            << ZnFileRequest::creatDir(16, QStringLiteral("a\"b\\c"))
            << QByteArray("{\"Command\":\"CreatDIR\",\"DirName\":\"a\\\"b\\\\c\",\"CSeq\":\"16\"}\r\n\r\n");
        QTest::newRow("rename file at root")
            << ZnFileRequest::renameFile(15, QString(), QStringLiteral("o.mp3"), QStringLiteral("n.mp3"))
            << QByteArray("{\"Command\":\"RenameFile\",\"CSeq\":\"15\",\"DirName\":\"\",\"OldFileName\":\"o.mp3\","
                          "\"NewFileName\":\"n.mp3\"}\r\n\r\n");
        QTest::newRow("FileLen over 2 GiB") << len("{\"FileLen\":\"3000000000\"}") << QByteArray("3000000000");
        QTest::newRow("FileLen of an empty file") << len("{\"FileLen\":\"0\"}") << QByteArray("0");
        QTest::newRow("FileLen, blank inside") << len("{\"FileLen\":\"1 2\"}") << QByteArray("-1");
        QTest::newRow("FileLen beyond 64 bits") << len("{\"FileLen\":\"99999999999999999999\"}") << QByteArray("-1");
        QTest::newRow("FileLen text of 18 digits, the longest taken")
            << len("{\"FileLen\":\"999999999999999999\"}") << QByteArray("999999999999999999");
        QTest::newRow("FileLen text of 19 digits refused")
            << len("{\"FileLen\":\"1000000000000000000\"}") << QByteArray("-1");
        QTest::newRow("FileLen number at the 64-bit edge")
            << len("{\"FileLen\":9223372036854775807}") << QByteArray("9223372036854775807");
        QTest::newRow("FileLen number one past the 64-bit edge")
            << len("{\"FileLen\":9223372036854775808}") << QByteArray("-1");
        QTest::newRow("FileLen missing") << len("{\"Command\":\"GetFile\"}") << QByteArray("-1");
        QTest::newRow("no object") << len("[\"FileLen\"]") << QByteArray("-1");
    }
    void wireText()
    {
        QFETCH(QByteArray, text);
        QTEST(text, "expected");
    }

    // Whether a change was done: only a reply naming the command asked (or none)
    // without a "Reason" or a failing "Result"; otherwise the service's reason.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("failure"); // empty: done
        QTest::newRow("named, no Result")
            << QByteArray("{\"Command\":\"PostFile\",\"CSeq\":\"3\"}\r\n\r\n") << QByteArray("PostFile") << QString();
        QTest::newRow("Result OK") << QByteArray("{\"Command\":\"DelFile\",\"Result\":\"OK\"}") << QByteArray("DelFile")
                                   << QString();
        QTest::newRow("Result 0") << QByteArray("{\"Command\":\"RenameDIR\",\"Result\":\"0\"}")
                                  << QByteArray("RenameDIR") << QString();
        QTest::newRow("no command named, no Result")
            << QByteArray("{\"CSeq\":\"1\"}") << QByteArray("PostFile") << QString();
        QTest::newRow("failure under a name of its own")
            << QByteArray("{\"Command\":\"PostFileFail\",\"Reason\":\"disk full\"}\r\n\r\n") << QByteArray("PostFile")
            << QStringLiteral("disk full");
        QTest::newRow("another command, no reason") << QByteArray("{\"Command\":\"Error\"}") << QByteArray("DeleteDIR")
                                                    << QStringLiteral("unexpected answer Error");
        QTest::newRow("a reason beside OK")
            << QByteArray("{\"Command\":\"PostFile\",\"Result\":\"OK\",\"Reason\":\"quota\"}") << QByteArray("PostFile")
            << QStringLiteral("quota");
        QTest::newRow("failing Result, no reason") << QByteArray("{\"Command\":\"DelFile\",\"Result\":\"Fail\"}")
                                                   << QByteArray("DelFile") << QStringLiteral("refused");
        QTest::newRow("not JSON") << QByteArray("{\"Command\":") << QByteArray("PostFile")
                                  << QStringLiteral("no answer");
    }
    void answers()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, command);
        QFETCH(QString, failure);
        QString reason;
        QCOMPARE(ZnFileReply::readAnswer(reply, command.constData(), &reason), failure.isEmpty());
        QCOMPARE(reason, failure);
    }

    // A root that never comes is said, whatever kept it away; nothing else is
    // taken for a root. Runs while the worker has none yet.
    void rootMissing_data()
    {
        QTest::addColumn<QString>("answer"); // the GetFileRoot reply; "-" the service is not there
        QTest::addColumn<QString>("why");
        QTest::newRow("unanswered") << QString() << QStringLiteral("no answer");
        QTest::newRow("without FileRoot")
            << QStringLiteral("{\"Command\":\"PostFileRoot\"}\r\n\r\n") << QStringLiteral("no media folder");
        QTest::newRow("another reply") << QStringLiteral("{\"Command\":\"Error\",\"FileRoot\":\"/x\"}\r\n\r\n")
                                       << QStringLiteral("no media folder");
        QTest::newRow("service not there") << QStringLiteral("-") << QStringLiteral("service not reached");
    }
    void rootMissing()
    {
        QFETCH(QString, answer);
        QFETCH(QString, why);
        ZnSimFileService::Faults f;
        f.answerCommand = "GetFileRoot";
        f.answerText = answer.toStdString();
        m_service.setFaults(f);
        ZnSimClosedPort closed;
        QVERIFY(closed.port() > 0);
        const quint16 gone = quint16(closed.port());
        if (answer == QLatin1String("-"))
            m_client->setServer(QStringLiteral("127.0.0.1"), gone);
        QSignalSpy missing(m_client, &TcpSocketClient::mediaRootMissing);
        QSignalSpy reached(m_client, &TcpSocketClient::socketConnected);
        m_client->addGetFileRootTask();
        // The signal may come before a wait would begin.
        QTRY_VERIFY_WITH_TIMEOUT(!missing.isEmpty(), kWaitMs);
        m_client->setServer(QStringLiteral("127.0.0.1"), static_cast<quint16>(m_service.port()));
        QCOMPARE(missing.at(0).at(0).toString(), why);
        QCOMPARE(reached.at(0).at(0).toBool(), answer != QLatin1String("-"));
        QVERIFY(m_client->mediaRoot().isEmpty());
        QVERIFY(m_root.isEmpty());
    }

    // Every listing is answered, a failed one with why and the folder asked for,
    // the list left as the last good listing left it.
    void listingFailures_data()
    {
        QTest::addColumn<QString>("answer"); // the GetFileList reply; "-" the service is not there
        QTest::addColumn<QString>("why");
        QTest::newRow("unreadable") << QStringLiteral("{\"Command\":\"GetFileList\",\"FileList\":[\r\n\r\n")
                                    << QStringLiteral("unreadable listing");
        QTest::newRow("no FileList") << QStringLiteral("{\"Command\":\"GetFileList\"}\r\n\r\n")
                                     << QStringLiteral("unreadable listing");
        QTest::newRow("unanswered") << QString() << QStringLiteral("no answer");
        QTest::newRow("service not there") << QStringLiteral("-") << QStringLiteral("service not reached");
    }
    void listingFailures()
    {
        QFETCH(QString, answer);
        QFETCH(QString, why);
        m_service.setFaults({});
        int listings = gListings.loadAcquire();
        m_client->addGetFileListTask(kRoot + QStringLiteral("/通知"));
        QTRY_COMPARE_WITH_TIMEOUT(gListings.loadAcquire(), listings + 1, kWaitMs);
        ZnSimFileService::Faults f;
        f.answerCommand = "GetFileList";
        f.answerText = answer.toStdString();
        m_service.setFaults(f);
        ZnSimClosedPort closed;
        QVERIFY(closed.port() > 0);
        if (answer == QLatin1String("-"))
            m_client->setServer(QStringLiteral("127.0.0.1"), quint16(closed.port()));
        listings = gListings.loadAcquire();
        m_client->addGetFileListTask(kRoot + QStringLiteral("/背景音乐"));
        QTRY_COMPARE_WITH_TIMEOUT(gListings.loadAcquire(), listings + 1, kWaitMs);
        m_client->setServer(QStringLiteral("127.0.0.1"), static_cast<quint16>(m_service.port()));
        QMutexLocker lock(&gListMutex);
        QCOMPARE(gListError, why);
        QCOMPARE(gListedFolder, kRoot + QStringLiteral("/背景音乐"));
        QCOMPARE(gListed.size(), 3);
        QCOMPARE(gListed.at(0).dirPart, kRoot + QStringLiteral("/通知/"));
    }

    // Each command against the service, its reply written whole, byte by byte and
    // in random pieces: the request as the service got it, CSeqs one apart.
    void commands_data()
    {
        QTest::addColumn<int>("split");
        QTest::newRow("whole") << 0;
        QTest::newRow("byte by byte") << 1;
    }
    void commands()
    {
        QFETCH(int, split);
        ZnSimFileService::Faults f;
        f.hostileListing = true;
        f.split = split;
        m_service.setFaults(f);
        m_service.clearRequests();
        const auto arg = [split](const char* text) { return QString::fromUtf8(text).arg(split); };
        m_root.clear();
        m_client->addGetFileRootTask();
        QTRY_COMPARE_WITH_TIMEOUT(m_root, kRoot, kWaitMs);
        QCOMPARE(lastRequest(), QStringLiteral("{\"Command\":\"GetFileRoot\",\"CSeq\":#}"));

        // Folders first in the reverse of the order sent, then files as sent; names a
        // client could be steered by are dropped.
        QDir(served(QString())).mkpath(QStringLiteral("背景音乐/sub"));
        QDir(served(QString())).mkpath(QStringLiteral("背景音乐/sub2"));
        const int listings = gListings.loadAcquire();
        m_client->addGetFileListTask(kRoot + QStringLiteral("/背景音乐"));
        QTRY_COMPARE_WITH_TIMEOUT(gListings.loadAcquire(), listings + 1, kWaitMs);
        QCOMPARE(lastRequest(),
                 QStringLiteral("{\"Command\":\"GetFileList\",\"DirName\":\"/data/mp3/背景音乐\",\"CSeq\":#}"));
        {
            QMutexLocker lock(&gListMutex);
            QStringList names;
            for (const ZnMediaFile_t& f : gListed)
                names << f.namePart;
            QCOMPARE(names, QStringList({QStringLiteral("sub2"), QStringLiteral("sub"), QStringLiteral("午休音乐.mp3"),
                                         QStringLiteral("晨曲.mp3"), QStringLiteral("轻音乐01.mp3")}));
            QCOMPARE(gListed.at(0).isDir, 1);
            QCOMPARE(gListed.at(2).isDir, 0);
            QCOMPARE(gListed.at(2).Size,
                     QString::number(QFileInfo(served(QStringLiteral("背景音乐/午休音乐.mp3"))).size()));
            QCOMPARE(gListed.at(2).dirPart, QStringLiteral("/data/mp3/背景音乐/"));
        }

        m_client->addCreateDirTask(kRoot + arg("/新目录 %1"));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(served(arg("新目录 %1"))).isDir(), kWaitMs);
        QCOMPARE(lastRequest(), arg("{\"Command\":\"CreatDIR\",\"DirName\":\"新目录 %1\",\"CSeq\":#}"));

        m_client->addRenameTask(kRoot + arg("/新目录 %1"), kRoot + arg("/renamed%1"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(served(arg("renamed%1"))).isDir(), kWaitMs);
        QCOMPARE(
            lastRequest(),
            arg("{\"Command\":\"RenameDIR\",\"CSeq\":#,\"OldDirName\":\"新目录 %1\",\"NewDirName\":\"renamed%1\"}"));
        m_client->addDeleteTask(kRoot + arg("/renamed%1"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(arg("renamed%1"))), kWaitMs);
        QCOMPARE(lastRequest(), arg("{\"Command\":\"DeleteDIR\",\"DirName\":\"renamed%1\",\"CSeq\":#}"));

        QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(arg("通知/w%1.mp3")));
        m_client->addRenameTask(kRoot + arg("/通知/w%1.mp3"), kRoot + arg("/通知/v%1.mp3"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(served(arg("通知/v%1.mp3"))), kWaitMs);
        QCOMPARE(lastRequest(), arg("{\"Command\":\"RenameFile\",\"CSeq\":#,\"DirName\":\"通知\","
                                    "\"OldFileName\":\"w%1.mp3\",\"NewFileName\":\"v%1.mp3\"}"));
        m_client->addDeleteTask(kRoot + arg("/通知/v%1.mp3"), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(arg("通知/v%1.mp3"))), kWaitMs);
        QCOMPARE(lastRequest(),
                 arg("{\"Command\":\"DelFile\",\"DirName\":\"/data/mp3/通知\",\"FileName\":\"v%1.mp3\",\"CSeq\":#}"));

        const QString local = m_local.filePath(arg("dl%1.mp3"));
        m_client->addDownloadTask(kRoot + QStringLiteral("/通知/下课铃.mp3"), local, 100 + split);
        QVERIFY(waitDone(100 + split).first);
        QCOMPARE(lastRequest(), QStringLiteral("{\"Command\": \"GetFile\", \"CSeq\":#, \"DirName\": "
                                               "\"/data/mp3/通知\", \"FileName\": \"下课铃.mp3\"}"));
        QCOMPARE(fileBytes(local), fileBytes(served(QStringLiteral("通知/下课铃.mp3"))));

        m_client->addUploadTask(local, kRoot + arg("/演出/up%1.mp3"), 200 + split);
        QVERIFY(waitDone(200 + split).first);
        QCOMPARE(lastRequest("PostFile"), arg("{\"Command\":\"PostFile\",\"DirName\":\"/data/mp3/演出\",\"CSeq\":#,"
                                              "\"FileName\":\"dl%1.mp3\", \"FileLen\":\"%2\"}")
                                              .arg(QFileInfo(local).size()));
        QCOMPARE(fileBytes(served(arg("演出/dl%1.mp3"))), fileBytes(local));

        // A listing queued by the upload may still be on its way: all one counter.
        const auto requests = m_service.requests();
        for (std::size_t i = 1; i < requests.size(); ++i)
            QCOMPARE(kCSeq.match(QString::fromStdString(requests[i])).captured(1).toInt(),
                     kCSeq.match(QString::fromStdString(requests[i - 1])).captured(1).toInt() + 1);
    }

    // A transfer that cannot finish says why and leaves the folder as it was: the
    // file saved before intact, nothing under the new name, no temporary file, and
    // nothing beside the folder.
    void transfer_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("cutAt");
        // An upload fault, sent as "FileLen", or "disk N": the folder on a small disk
        // with N bytes left free.
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("error"); // empty: saved
        const QString song = QStringLiteral("欢迎词.mp3");
        QTest::newRow("complete") << song << qint64(-1) << QString() << QString();
        QTest::newRow("closed mid-file") << song << qint64(50000) << QString() << QStringLiteral("interrupted");
        QTest::newRow("service silent mid-file")
            << song << qint64(50000) << QStringLiteral("stall") << QStringLiteral("interrupted");
        QTest::newRow("disk full mid-file")
            << song << qint64(-1) << QStringLiteral("full") << QStringLiteral("write failed");
        QTest::newRow("FileLen not a number")
            << song << qint64(-1) << QStringLiteral("12ab") << QStringLiteral("bad length");
        QTest::newRow("FileLen larger than sent")
            << song << qint64(-1) << QStringLiteral("999999999") << QStringLiteral("interrupted");
        QTest::newRow("replaces a file of that name")
            << QStringLiteral("@earlier.mp3") << qint64(-1) << QString() << QString();
        QTest::newRow("cut short, the file of that name stays whole")
            << QStringLiteral("@earlier.mp3") << qint64(50000) << QString() << QStringLiteral("interrupted");
        QTest::newRow("past the size limit, the file of that name stays whole")
            << QStringLiteral("@earlier.mp3") << qint64(-1) << QStringLiteral("full") << QStringLiteral("write failed");
        QTest::newRow("full disk: the file of that name stays whole, the disk named")
            << QStringLiteral("@earlier.mp3") << qint64(-1) << QStringLiteral("disk 0")
            << QStringLiteral("The disk is full");
        QTest::newRow("nearly full disk: the file of that name stays whole, the disk named")
            << QStringLiteral("@earlier.mp3") << qint64(-1) << QStringLiteral("disk 16384")
            << QStringLiteral("The disk is full");
        for (const QString& bad : {QStringLiteral("../x"), QStringLiteral("/etc/x"), QStringLiteral("a\\b"), QString()})
            QTest::newRow(qPrintable(QStringLiteral("name '%1'").arg(bad)))
                << bad << qint64(-1) << QString() << QStringLiteral("unsafe file name");
        QTest::newRow("upload refused") << song << qint64(-1) << QStringLiteral("refuse")
                                        << QStringLiteral("upload refused");
        QTest::newRow("upload unanswered")
            << song << qint64(-1) << QStringLiteral("silent") << QStringLiteral("no answer");
    }
    void transfer()
    {
        QFETCH(QString, name);
        QFETCH(qint64, cutAt);
        QFETCH(QString, fault);
        QFETCH(QString, error);
        // "@name": the served song is saved under that name, over the earlier file.
        const bool over = name.startsWith(QLatin1Char('@'));
        const QString localName = over ? name.mid(1) : name;
        if (over)
            name = QStringLiteral("欢迎词.mp3");
        const bool stall = fault == QLatin1String("stall"), diskFull = fault == QLatin1String("full");
        ZnSimFileService::Faults f;
        f.cutGetFileAt = cutAt;
        f.stallAtCut = stall;
        f.refusePost = fault == QLatin1String("refuse");
        f.silentPost = fault == QLatin1String("silent");
        f.fileLenText = !fault.isEmpty() && fault.at(0).isDigit() ? fault.toStdString() : std::string();
        m_service.setFaults(f);
        TcpSocketClient::setSilenceLimit(stall ? 300 : 30000);
        static int id = 1000;
        QTemporaryDir outer;
        std::unique_ptr<ZnSmallDisk> disk;
        if (fault.startsWith(QLatin1String("disk "))) {
            disk = std::make_unique<ZnSmallDisk>(64 * 1024);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->why()));
        }
        const QString top = disk ? disk->path() : outer.path();
        QDir(top).mkdir(QStringLiteral("in"));
        const QString folder = top + QStringLiteral("/in");
        const QString earlier = folder + QStringLiteral("/earlier.mp3");
        QFile saved(earlier);
        QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write("saved before") == 12);
        saved.close();
        if (disk)
            QVERIFY(disk->leaveFree(fault.mid(5).toLongLong()));
        if (f.refusePost || f.silentPost) {
            m_client->addUploadTask(earlier, kRoot + QStringLiteral("/通知/up.mp3"), ++id);
            QCOMPARE(waitDone(id).second, error);
            QVERIFY(!QFileInfo::exists(served(QStringLiteral("通知/up.mp3"))));
            return;
        }

        // The limit holds for this process's files only; the signal it would raise
        // is ignored, so writes past it fail as on a full disk.
        rlimit old{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 20000;
        if (diskFull)
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        m_service.clearRequests();
        m_client->addDownloadTask(kRoot + QLatin1Char('/') + name, folder + QLatin1Char('/') + localName, ++id);
        const auto [ok, why] = waitDone(id);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        TcpSocketClient::setSilenceLimit(30000);

        QCOMPARE(why, error);
        QCOMPARE(ok, error.isEmpty());
        // Refused names are refused before anything is asked.
        QCOMPARE(m_service.requests().empty(), error.contains(QLatin1String("unsafe")));
        QCOMPARE(entries(top), disk ? QStringList({QStringLiteral("filler"), QStringLiteral("in")})
                                    : QStringList(QStringLiteral("in")));
        QCOMPARE(fileBytes(earlier), over && error.isEmpty() ? fileBytes(served(name)) : QByteArray("saved before"));
        QStringList expected(QStringLiteral("earlier.mp3"));
        if (error.isEmpty() && !over)
            expected << name;
        QCOMPARE(entries(folder), expected);
        if (error.isEmpty())
            QCOMPARE(fileBytes(folder + QLatin1Char('/') + localName), fileBytes(served(name)));
    }

    // An upload is done only when the service took every byte and then said so.
    // One it broke off (answering before the last byte, closing) or a local file
    // that cannot be read fails with its reason; its progress never reaches the
    // whole file, and an unreadable file sends nothing at all.
    void upload_data()
    {
        QTest::addColumn<qint64>("size"); // of the local file; -1 missing, -2 a folder
        // Bytes the service takes before it answers and closes (negative: answers and
        // reads on); -1 all.
        QTest::addColumn<qint64>("take");
        QTest::addColumn<QString>("answer"); // its reply then, empty its own, "-" none
        QTest::addColumn<QString>("error");  // a pattern; empty: done
        const QString cut = QStringLiteral("^interrupted after \\d+ of 360803 bytes$");
        QTest::newRow("taken whole") << qint64(360803) << qint64(-1) << QString() << QString();
        QTest::newRow("8192 taken, OK, closed") << qint64(360803) << qint64(8192) << QString() << cut;
        QTest::newRow("nothing taken, OK, closed") << qint64(360803) << qint64(0) << QString() << cut;
        QTest::newRow("8192 taken, OK, left open") << qint64(360803) << qint64(-8192) << QString() << cut;
        QTest::newRow("8192 taken, closed unanswered") << qint64(360803) << qint64(8192) << QStringLiteral("-") << cut;
        QTest::newRow("8192 taken, refused, closed")
            << qint64(360803) << qint64(8192)
            << QStringLiteral("{\"Command\":\"PostFileFail\",\"Reason\":\"disk full\"}\r\n\r\n")
            << QStringLiteral("^disk full$");
        QTest::newRow("local file missing") << qint64(-1) << qint64(-1) << QString() << QStringLiteral("^cannot read ");
        QTest::newRow("local path a folder")
            << qint64(-2) << qint64(-1) << QString() << QStringLiteral("^cannot read ");
    }
    void upload()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, take);
        QFETCH(QString, answer);
        QFETCH(QString, error);
        ZnSimFileService::Faults f;
        f.takePostBytes = take < -1 ? -take : take;
        f.keepTakenOpen = take < -1;
        if (!answer.isEmpty()) {
            f.answerCommand = "PostFile";
            f.answerText = answer == QLatin1String("-") ? std::string() : answer.toStdString();
        }
        m_service.setFaults(f);
        m_service.clearRequests();
        static int id = 4000;
        const QString name = QStringLiteral("up%1.mp3").arg(++id);
        const QString local = m_local.filePath(name);
        if (size == -2) {
            QVERIFY(QDir(m_local.path()).mkdir(name));
        } else if (size >= 0) {
            QByteArray bytes(int(size), '\0');
            for (int i = 0; i < bytes.size(); ++i)
                bytes[i] = char(i * 7 + i / 251);
            QFile file(local);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == size);
        }
        qint64 shown = 0;
        const QMetaObject::Connection progress =
            connect(m_client, &TcpSocketClient::updateProgressIndicator, this, [&shown](int of, qint64 done) {
                if (of == id)
                    shown = qMax(shown, done);
            });
        m_client->addUploadTask(local, kRoot + QStringLiteral("/演出/") + name, id);
        const auto [ok, why] = waitDone(id);
        disconnect(progress);

        QCOMPARE(ok, error.isEmpty());
        QVERIFY2(QRegularExpression(error).match(why).hasMatch(), qPrintable(why));
        QCOMPARE(fileBytes(served(QStringLiteral("演出/") + name)), ok ? fileBytes(local) : QByteArray("<missing>"));
        QVERIFY(ok ? shown == size : shown < qMax<qint64>(size, 1));
        QCOMPARE(lastRequest("PostFile").isEmpty(), size < 0);
    }

    // A download is made as any file the operator saves: its mode follows the umask.
    void downloadMode_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("mode");
        QTest::newRow("private (077)") << 077 << 0600;
        QTest::newRow("usual (022)") << 022 << 0644;
        QTest::newRow("group writes (002)") << 002 << 0664;
    }
    void downloadMode()
    {
        QFETCH(int, mask);
        m_service.setFaults({});
        static int id = 3000;
        QTemporaryDir into;
        const QString target = into.filePath(QStringLiteral("rec.mp3"));
        const mode_t old = ::umask(mode_t(mask));
        m_client->addDownloadTask(kRoot + QStringLiteral("/通知/上课铃.mp3"), target, ++id);
        const bool ok = waitDone(id).first;
        ::umask(old);
        QVERIFY(ok);
        struct stat st
        {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
        QTEST(int(st.st_mode & 0777), "mode");
    }
};

QTEST_GUILESS_MAIN(TestFileClient)
#include "tst_fileclient.moc"
