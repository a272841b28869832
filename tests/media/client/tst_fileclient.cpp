// The file-service client against the simulated service: exact requests, replies
// in any split, listings, downloads and uploads with their failures.
#include "TcpSocketClient.h"
#include "ZnFileReply.h"
#include "ZnFileRequest.h"
#include "ZnSimFileService.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>

namespace {
// Generous bound for a loaded machine; costs nothing when things go right.
constexpr int kWaitMs = 20000;

QMutex gListMutex;
QList<ZnMediaFile_t> gListed;
QAtomicInt gListings;

void onListed(QList<ZnMediaFile_t>* list)
{
    QMutexLocker lock(&gListMutex);
    gListed = *list;
    gListings.fetchAndAddOrdered(1);
}

QStringList names(const QList<ZnMediaFile_t>& list)
{
    QStringList n;
    for (const ZnMediaFile_t& f : list)
        n << f.namePart;
    return n;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QString kRoot = QString::fromLatin1(ZnSimFileService::kServerRoot);
}

class TestFileClient : public QObject
{
    Q_OBJECT
    struct Done
    {
        int id;
        bool ok;
        QString error;
    };

    ZnSimFileService m_service;
    TcpSocketClient* m_client = nullptr;
    QList<Done> m_done;
    QString m_root;
    int m_updates = 0;
    QTemporaryDir m_local;

    QString served(const QString& rel) const
    {
        return QString::fromStdString(m_service.folder()) + QLatin1Char('/') + rel;
    }
    // The last request the service received, with its CSeq replaced by "#".
    QString lastRequest() const
    {
        const auto r = m_service.requests();
        QString t = r.empty() ? QString() : QString::fromStdString(r.back());
        return t.replace(QRegularExpression(QStringLiteral("\"CSeq\": ?\"\\d+\"")), QStringLiteral("\"CSeq\":#"));
    }
    void setFaults(int split, const ZnSimFileService::Faults& base = {})
    {
        ZnSimFileService::Faults f = base;
        f.split = split;
        m_service.setFaults(f);
    }
    Done waitDone(int id)
    {
        const auto find = [&]() -> const Done* {
            for (const Done& d : m_done) {
                if (d.id == id)
                    return &d;
            }
            return nullptr;
        };
        if (!QTest::qWaitFor([&] { return find() != nullptr; }, 60000))
            return {id, false, QStringLiteral("never finished")};
        return *find();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start(0));
        m_client = TcpSocketClient::instance();
        m_client->setServer(QStringLiteral("127.0.0.1"), static_cast<quint16>(m_service.port()));
        m_client->setMediaListCallback(&onListed);
        connect(m_client, &TcpSocketClient::transferFinished, this, [this](int id, bool ok, const QString& e) {
            m_done.append({id, ok, e});
        });
        connect(m_client, &TcpSocketClient::socketGetMediaPath, this, [this](const QString& r) { m_root = r; });
        connect(m_client, &TcpSocketClient::socketUpdateMedia, this, [this] { ++m_updates; });
        m_client->start();
    }
    void cleanupTestCase()
    {
        m_client->stop();
        QVERIFY(m_client->wait(10000));
        m_service.stop();
    }

    void requestText_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");
        const QString chinese = QString::fromUtf8("背景音乐");
        QTest::newRow("root") << ZnFileRequest::getFileRoot(7)
                              << QByteArray("{\"Command\":\"GetFileRoot\",\"CSeq\":\"7\"}\r\n\r\n");
        QTest::newRow("list utf-8 as is")
            << ZnFileRequest::getFileList(8, QStringLiteral("/data/mp3/") + chinese)
            << QByteArray("{\"Command\":\"GetFileList\",\"DirName\":\"/data/mp3/"
                          "\xe8\x83\x8c\xe6\x99\xaf\xe9\x9f\xb3\xe4\xb9\x90\",\"CSeq\":\"8\"}\r\n\r\n");
        QTest::newRow("get file, blanks")
            << ZnFileRequest::getFile(9, QStringLiteral("/rec/2020"), QStringLiteral("a.wav"))
            << QByteArray("{\"Command\": \"GetFile\", \"CSeq\": \"9\", \"DirName\": \"/rec/2020\", \"FileName\": "
                          "\"a.wav\"}\r\n\r\n");
        QTest::newRow("post file")
            << ZnFileRequest::postFile(10, QStringLiteral("/media"), QStringLiteral("song.mp3"), 5000000000LL)
            << QByteArray("{\"Command\":\"PostFile\",\"DirName\":\"/media\",\"CSeq\":\"10\",\"FileName\":\"song.mp3\", "
                          "\"FileLen\":\"5000000000\"}\r\n\r\n");
        QTest::newRow("delete dir")
            << ZnFileRequest::deleteDir(11, QStringLiteral("New Dir"))
            << QByteArray("{\"Command\":\"DeleteDIR\",\"DirName\":\"New Dir\",\"CSeq\":\"11\"}\r\n\r\n");
        QTest::newRow("delete file")
            << ZnFileRequest::delFile(12, QStringLiteral("/a"), QStringLiteral("x.mp3"))
            << QByteArray(
                   "{\"Command\":\"DelFile\",\"DirName\":\"/a\",\"FileName\":\"x.mp3\",\"CSeq\":\"12\"}\r\n\r\n");
        QTest::newRow("rename dir in folder")
            << ZnFileRequest::renameDir(13, QStringLiteral("a"), QStringLiteral("o"), QStringLiteral("n"))
            << QByteArray("{\"Command\":\"RenameDIR\",\"CSeq\":\"13\",\"DirName\":\"a\",\"OldDirName\":\"o\","
                          "\"NewDirName\":\"n\"}\r\n\r\n");
        QTest::newRow("rename dir at root")
            << ZnFileRequest::renameDir(14, QString(), QStringLiteral("o"), QStringLiteral("n"))
            << QByteArray(
                   "{\"Command\":\"RenameDIR\",\"CSeq\":\"14\",\"OldDirName\":\"o\",\"NewDirName\":\"n\"}\r\n\r\n");
        QTest::newRow("rename file at root")
            << ZnFileRequest::renameFile(15, QString(), QStringLiteral("o.mp3"), QStringLiteral("n.mp3"))
            << QByteArray("{\"Command\":\"RenameFile\",\"CSeq\":\"15\",\"DirName\":\"\",\"OldFileName\":\"o.mp3\","
                          "\"NewFileName\":\"n.mp3\"}\r\n\r\n");
        QTest::newRow("create, quote and backslash escaped")
            << ZnFileRequest::creatDir(16, QStringLiteral("a\"b\\c"))
            << QByteArray("{\"Command\":\"CreatDIR\",\"DirName\":\"a\\\"b\\\\c\",\"CSeq\":\"16\"}\r\n\r\n");
    }
    void requestText()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built, expected);
    }

    // Lengths are 64-bit; anything but a plain decimal count is refused (-1).
    void fileLen_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<qint64>("len");
        QTest::newRow("over 2 GiB") << QByteArray("{\"FileLen\":\"3000000000\"}") << qint64(3000000000LL);
        QTest::newRow("empty file") << QByteArray("{\"FileLen\":\"0\"}") << qint64(0);
        QTest::newRow("negative") << QByteArray("{\"FileLen\":\"-1\"}") << qint64(-1);
        QTest::newRow("blank inside") << QByteArray("{\"FileLen\":\"1 2\"}") << qint64(-1);
        QTest::newRow("beyond 64 bits") << QByteArray("{\"FileLen\":\"99999999999999999999\"}") << qint64(-1);
        QTest::newRow("missing") << QByteArray("{\"Command\":\"GetFile\"}") << qint64(-1);
        QTest::newRow("no object") << QByteArray("[\"FileLen\"]") << qint64(-1);
    }
    void fileLen()
    {
        QFETCH(QByteArray, header);
        QTEST(ZnFileReply::readFileLen(header), "len");
    }

    // Each command against the service, its reply written whole, byte by byte and
    // in random pieces; the request as the service got it.
    void commands_data()
    {
        QTest::addColumn<int>("split");
        QTest::newRow("whole") << 0;
        QTest::newRow("byte by byte") << 1;
        QTest::newRow("random pieces") << -1;
    }
    void commands()
    {
        QFETCH(int, split);
        setFaults(split);
        m_root.clear();
        m_client->addGetFileRootTask();
        QTRY_COMPARE_WITH_TIMEOUT(m_root, kRoot, kWaitMs);
        QCOMPARE(lastRequest(), QStringLiteral("{\"Command\":\"GetFileRoot\",\"CSeq\":#}"));

        const int listings = gListings.loadAcquire();
        m_client->addGetFileListTask(kRoot + QStringLiteral("/通知"));
        QTRY_COMPARE_WITH_TIMEOUT(gListings.loadAcquire(), listings + 1, kWaitMs);
        QCOMPARE(lastRequest(),
                 QStringLiteral("{\"Command\":\"GetFileList\",\"DirName\":\"/data/mp3/通知\",\"CSeq\":#}"));
        {
            QMutexLocker lock(&gListMutex);
            QCOMPARE(names(gListed), QStringList({QStringLiteral("上课铃.mp3"), QStringLiteral("下课铃.mp3"),
                                                  QStringLiteral("眼保健操.mp3")}));
            QCOMPARE(gListed.at(0).Size, QString::number(QFileInfo(served(QStringLiteral("通知/上课铃.mp3"))).size()));
            QCOMPARE(gListed.at(0).dirPart, QStringLiteral("/data/mp3/通知/"));
        }

        const int updates = m_updates;
        m_client->addCreateDirTask(kRoot + QStringLiteral("/新目录 ") + QString::number(split));
        QTRY_COMPARE_WITH_TIMEOUT(m_updates, updates + 1, kWaitMs);
        QCOMPARE(lastRequest(),
                 QStringLiteral("{\"Command\":\"CreatDIR\",\"DirName\":\"新目录 %1\",\"CSeq\":#}").arg(split));
        QVERIFY(QFileInfo(served(QStringLiteral("新目录 %1").arg(split))).isDir());

        m_client->addRenameTask(kRoot + QStringLiteral("/新目录 %1").arg(split),
                                kRoot + QStringLiteral("/renamed%1").arg(split), 1);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(served(QStringLiteral("renamed%1").arg(split))).isDir(), kWaitMs);
        QCOMPARE(lastRequest(),
                 QStringLiteral(
                     "{\"Command\":\"RenameDIR\",\"CSeq\":#,\"OldDirName\":\"新目录 %1\",\"NewDirName\":\"renamed%1\"}")
                     .arg(split));
        m_client->addDeleteTask(kRoot + QStringLiteral("/renamed%1").arg(split), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(QStringLiteral("renamed%1").arg(split))), kWaitMs);
        QCOMPARE(lastRequest(),
                 QStringLiteral("{\"Command\":\"DeleteDIR\",\"DirName\":\"renamed%1\",\"CSeq\":#}").arg(split));

        QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(QStringLiteral("通知/w%1.mp3").arg(split)));
        m_client->addRenameTask(kRoot + QStringLiteral("/通知/w%1.mp3").arg(split),
                                kRoot + QStringLiteral("/通知/v%1.mp3").arg(split), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(served(QStringLiteral("通知/v%1.mp3").arg(split))), kWaitMs);
        QCOMPARE(lastRequest(), QStringLiteral("{\"Command\":\"RenameFile\",\"CSeq\":#,\"DirName\":\"通知\","
                                               "\"OldFileName\":\"w%1.mp3\",\"NewFileName\":\"v%1.mp3\"}")
                                    .arg(split));
        m_client->addDeleteTask(kRoot + QStringLiteral("/通知/v%1.mp3").arg(split), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(QStringLiteral("通知/v%1.mp3").arg(split))), kWaitMs);
        QCOMPARE(lastRequest(),
                 QStringLiteral(
                     "{\"Command\":\"DelFile\",\"DirName\":\"/data/mp3/通知\",\"FileName\":\"v%1.mp3\",\"CSeq\":#}")
                     .arg(split));

        const QString local = m_local.filePath(QStringLiteral("dl%1.mp3").arg(split));
        m_client->addDownloadTask(kRoot + QStringLiteral("/通知/下课铃.mp3"), local, 100 + split);
        QVERIFY(waitDone(100 + split).ok);
        QCOMPARE(lastRequest(), QStringLiteral("{\"Command\": \"GetFile\", \"CSeq\":#, \"DirName\": "
                                               "\"/data/mp3/通知\", \"FileName\": \"下课铃.mp3\"}"));
        QCOMPARE(fileBytes(local), fileBytes(served(QStringLiteral("通知/下课铃.mp3"))));

        m_client->addUploadTask(local, kRoot + QStringLiteral("/演出/up%1.mp3").arg(split), 200 + split);
        const Done up = waitDone(200 + split);
        QVERIFY2(up.ok, qPrintable(up.error));
        const QString sent = QStringLiteral("{\"Command\":\"PostFile\",\"DirName\":\"/data/mp3/"
                                            "演出\",\"CSeq\":#,\"FileName\":\"dl%1.mp3\", \"FileLen\":\"%2\"}")
                                 .arg(split)
                                 .arg(QFileInfo(local).size());
        QString post;
        for (const std::string& r : m_service.requests())
            post = r.find("PostFile") != std::string::npos ? QString::fromStdString(r) : post;
        QCOMPARE(post.replace(QRegularExpression(QStringLiteral("\"CSeq\":\"\\d+\"")), QStringLiteral("\"CSeq\":#")),
                 sent);
        QCOMPARE(fileBytes(served(QStringLiteral("演出/dl%1.mp3").arg(split))), fileBytes(local));
    }

    void consecutiveCSeq()
    {
        // A listing queued by an earlier upload may still reach the service, so
        // only the two root requests are compared.
        int roots = 0;
        QObject counter; // ends the count with this scope
        connect(m_client, &TcpSocketClient::socketGetMediaPath, &counter, [&roots] { ++roots; });
        m_service.clearRequests();
        m_client->addGetFileRootTask();
        m_client->addGetFileRootTask();
        QTRY_COMPARE_WITH_TIMEOUT(roots, 2, kWaitMs);
        const QRegularExpression cseq(QStringLiteral("\"CSeq\":\"(\\d+)\""));
        QList<int> seq;
        for (const std::string& r : m_service.requests()) {
            if (r.find("GetFileRoot") != std::string::npos)
                seq << cseq.match(QString::fromStdString(r)).captured(1).toInt();
        }
        QCOMPARE(seq.size(), 2);
        QCOMPARE(seq.at(1), seq.at(0) + 1);
    }

    // Folders first in the reverse of the order sent, then files as sent; names a
    // client could be steered by are dropped.
    void listingOrder()
    {
        ZnSimFileService::Faults f;
        f.hostileListing = true;
        setFaults(0, f);
        QDir(served(QString())).mkpath(QStringLiteral("背景音乐/sub"));
        QDir(served(QString())).mkpath(QStringLiteral("背景音乐/sub2"));
        const int listings = gListings.loadAcquire();
        m_client->addGetFileListTask(kRoot + QStringLiteral("/背景音乐"));
        QTRY_COMPARE_WITH_TIMEOUT(gListings.loadAcquire(), listings + 1, kWaitMs);
        QMutexLocker lock(&gListMutex);
        QCOMPARE(names(gListed),
                 QStringList({QStringLiteral("sub2"), QStringLiteral("sub"), QStringLiteral("午休音乐.mp3"),
                              QStringLiteral("晨曲.mp3"), QStringLiteral("轻音乐01.mp3")}));
        QCOMPARE(gListed.at(0).isDir, 1);
        QCOMPARE(gListed.at(2).isDir, 0);
    }

    void taskListingOnCallingThread()
    {
        setFaults(-1);
        static QList<ZnMediaFile_t> got;
        static Qt::HANDLE thread = nullptr;
        m_client->setTaskListCallback([](QList<ZnMediaFile_t>* l) { got = *l, thread = QThread::currentThreadId(); });
        m_client->fetchTaskFileList(kRoot);
        QCOMPARE(thread, QThread::currentThreadId());
        QVERIFY(names(got).contains(QStringLiteral("欢迎词.mp3")));
        QCOMPARE(names(got).first(), QStringLiteral("通知"));
    }

    void download_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("cutAt");
        QTest::addColumn<QString>("fileLen");
        QTest::addColumn<bool>("omitLen");
        QTest::addColumn<bool>("ok");
        QTest::newRow("complete") << QStringLiteral("欢迎词.mp3") << qint64(-1) << QString() << false << true;
        QTest::newRow("interrupted mid-file")
            << QStringLiteral("欢迎词.mp3") << qint64(50000) << QString() << false << false;
        QTest::newRow("FileLen missing") << QStringLiteral("欢迎词.mp3") << qint64(-1) << QString() << true << false;
        QTest::newRow("FileLen negative")
            << QStringLiteral("欢迎词.mp3") << qint64(-1) << QStringLiteral("-5") << false << false;
        QTest::newRow("FileLen not a number")
            << QStringLiteral("欢迎词.mp3") << qint64(-1) << QStringLiteral("12ab") << false << false;
        QTest::newRow("FileLen larger than sent")
            << QStringLiteral("欢迎词.mp3") << qint64(-1) << QStringLiteral("999999999") << false << false;
        QTest::newRow("name ../x") << QStringLiteral("../x") << qint64(-1) << QString() << false << false;
        QTest::newRow("name /etc/x") << QStringLiteral("/etc/x") << qint64(-1) << QString() << false << false;
        QTest::newRow("name a\\b") << QStringLiteral("a\\b") << qint64(-1) << QString() << false << false;
        QTest::newRow("name empty") << QString() << qint64(-1) << QString() << false << false;
    }
    void download()
    {
        QFETCH(QString, name);
        QFETCH(qint64, cutAt);
        QFETCH(QString, fileLen);
        QFETCH(bool, omitLen);
        QFETCH(bool, ok);
        ZnSimFileService::Faults f;
        f.cutGetFileAt = cutAt;
        f.fileLenText = fileLen.toStdString();
        f.omitFileLen = omitLen;
        setFaults(0, f);
        QTemporaryDir outer;
        QDir(outer.path()).mkdir(QStringLiteral("in"));
        const QString folder = outer.filePath(QStringLiteral("in"));
        static int id = 1000;
        m_service.clearRequests();
        m_client->addDownloadTask(kRoot + QLatin1Char('/') + name, folder + QLatin1Char('/') + name, ++id);
        const Done d = waitDone(id);
        QCOMPARE(d.ok, ok);
        // Hostile names are refused before anything is asked or written.
        QCOMPARE(m_service.requests().empty(),
                 name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')));
        const QStringList inside = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        const QStringList beside = QDir(outer.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(beside, QStringList(QStringLiteral("in")));
        if (ok) {
            QCOMPARE(inside, QStringList(name));
            QCOMPARE(fileBytes(folder + QLatin1Char('/') + name), fileBytes(served(name)));
        } else {
            QCOMPARE(inside, QStringList());
        }
    }

    // A download that cannot finish says why and leaves the folder as it was: the
    // file saved before intact, nothing under the new name, no temporary file.
    void downloadFaults_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<QString>("error");
        QTest::newRow("service silent mid-file") << false << QStringLiteral("interrupted");
        QTest::newRow("disk full mid-file") << true << QStringLiteral("write failed");
    }
    void downloadFaults()
    {
        QFETCH(bool, diskFull);
        QFETCH(QString, error);
        ZnSimFileService::Faults f;
        f.cutGetFileAt = diskFull ? -1 : 50000;
        f.stallAtCut = !diskFull;
        setFaults(0, f);
        TcpSocketClient::setSilenceLimit(300);
        QTemporaryDir folder;
        const QString earlier = folder.filePath(QStringLiteral("earlier.mp3"));
        QFile e(earlier);
        QVERIFY(e.open(QIODevice::WriteOnly) && e.write("saved before") == 12);
        e.close();

        // The limit holds for this process's files only; the signal it would raise
        // is ignored, so writes past it fail as on a full disk.
        rlimit old{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 20000;
        if (diskFull)
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        m_client->addDownloadTask(kRoot + QStringLiteral("/欢迎词.mp3"), folder.filePath(QStringLiteral("欢迎词.mp3")),
                                  3000);
        const Done d = waitDone(3000);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        TcpSocketClient::setSilenceLimit(30000);
        setFaults(0);
        m_done.clear();

        QCOMPARE(d.ok, false);
        QCOMPARE(d.error, error);
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList(QStringLiteral("earlier.mp3")));
        QCOMPARE(fileBytes(earlier), QByteArray("saved before"));
    }

    void downloadNeverOverwrites()
    {
        setFaults(0);
        const QString local = m_local.filePath(QStringLiteral("keep.mp3"));
        QFile f(local);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("mine");
        f.close();
        m_client->addDownloadTask(kRoot + QStringLiteral("/欢迎词.mp3"), local, 2000);
        QVERIFY(!waitDone(2000).ok);
        QCOMPARE(fileBytes(local), QByteArray("mine"));
    }

    void upload_data()
    {
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("ok");
        QTest::newRow("accepted") << false << false << true;
        QTest::newRow("refused") << true << false << false;
        QTest::newRow("no answer") << false << true << false;
    }
    void upload()
    {
        QFETCH(bool, refuse);
        QFETCH(bool, silent);
        QFETCH(bool, ok);
        ZnSimFileService::Faults f;
        f.refusePost = refuse;
        f.silentPost = silent;
        setFaults(0, f);
        const QString local = m_local.filePath(QStringLiteral("up.mp3"));
        QFile file(local);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(20000, 'u'));
        file.close();
        static int id = 3000;
        m_client->addUploadTask(local, kRoot + QStringLiteral("/up.mp3"), ++id);
        QCOMPARE(waitDone(id).ok, ok);
    }
};

QTEST_GUILESS_MAIN(TestFileClient)
#include "tst_fileclient.moc"
