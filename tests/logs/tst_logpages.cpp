// The three log pages against the simulated server ("SqlLog") and, with a log
// host, against the test database; the CSV export of a whole log from it: the
// file as written, the earlier file kept whole when an export fails or stops,
// the rows pinned at the start, and the dialog's outcomes.
#include "../core/talklog/CrcTrade.h"
#include "../managers/consoles/ModelSim.h"
#include "LogExportDialog.h"
#include "LogExportKind.h"
#include "LogExportThread.h"
#include "LogTestDb.h"
#include "ZnAsUser.h"
#include "ZnDbQuery.h"
#include "ZnModalGuard.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"
#include "ZnSetUpFiles.h"
#include "ZnSimClosedPort.h"
#include "ZnSmallDisk.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTalkRecordForm.h"
#include "ZnTermLogInfoForm.h"
#include "ZnUserLogInfoForm.h"

#include <QDir>
#include <QHeaderView>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextCodec>
#include <QTranslator>
#include <QtTest>

#include <sys/resource.h>

#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

const QStringList kHeaders{QStringLiteral("序号"), QStringLiteral("Date"), QStringLiteral("User Name"),
                           QStringLiteral("IP"), QStringLiteral("Content")};
const QByteArray kEarlier("an earlier export\n");

// The lines of a file written in GBK.
QStringList linesOf(const QString &path)
{
    return QTextCodec::codecForName("GBK")->toUnicode(bytesOf(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Closes every message box while it lives; what each one said.
struct Boxes
{
    QStringList said;
    QObject context;
    std::vector<std::unique_ptr<ZnModalHelper>> helpers;
    Boxes() { arm(); }
    void arm()
    {
        helpers.emplace_back(new ZnModalHelper);
        helpers.back()->onModal([this](QWidget *w) {
            said << ZnModalHelper::visibleTexts(w).last().trimmed();
            w->close();
            QTimer::singleShot(0, &context, [this] { arm(); });
        });
    }
};

// The recording page, the download folder answered by the test (after running
// whileAsked, as though it happened while the folder dialog was open).
class RecordPage : public ZnTalkRecordForm
{
public:
    QString folder;
    std::function<void()> whileAsked;

protected:
    QString chooseFolder(const QString &) override
    {
        if (whileAsked)
            whileAsked();
        return folder;
    }
};

// The talk (0), terminal (1), user (2) log page or the recording page (3).
std::unique_ptr<ZnLogPage> newLogPage(int kind)
{
    if (kind == 0)
        return std::make_unique<ZnTalkLogInfoForm>();
    if (kind == 1)
        return std::make_unique<ZnTermLogInfoForm>();
    if (kind == 3)
        return std::make_unique<RecordPage>();
    return std::make_unique<ZnUserLogInfoForm>();
}

// A log's sample table set aside for one test, an empty copy in its place, and
// the sample put back when the test ends however it ends: other tests read it.
struct TableCopy
{
    QString table;
    bool aside = false;
    bool ready = false;
    explicit TableCopy(const QString &name) : table(name)
    {
        aside = sql(QStringLiteral("rename table %1 to %1_kept").arg(table));
        ready = aside && sql(QStringLiteral("create table %1 like %1_kept").arg(table));
    }
    ~TableCopy()
    {
        if (aside)
            sql(QStringLiteral("drop table if exists %1; rename table %1_kept to %1").arg(table));
    }
};

// The sessions of the console's account other than the shared connection: an
// export's own, while it lasts.
QList<qint64> otherSessions()
{
    ZnMySqlResult r;
    ZnMySql::instance()->query("select id from information_schema.processlist "
                               "where user = 'talklog' and id <> connection_id()",
                               r);
    QList<qint64> ids;
    for (unsigned i = 0; i < r.rowCount(); ++i)
        ids << QByteArray(r.cell(i, 0)).toLongLong();
    return ids;
}

// Statements on a connection and a thread of their own, as the server writes its
// log while an export runs: they may have to wait for the export's end.
class Writer
{
public:
    explicit Writer(const QString &statements)
        : thread([this, statements] {
              ZnMySql db(ZnMySql::NoReconnect);
              ZnMySqlResult r;
              bool good =
                  db.connect(ZnMySql::instance()->settings()) == 0 && db.query("select connection_id()", r) == 0;
              session = QByteArray(r.cell(0, 0)).toLongLong();
              for (const QString &s : statements.split(QStringLiteral("; "), Qt::SkipEmptyParts))
                  good = good && db.query(s.toUtf8().constData(), r) == 0;
              ok = good;
              done = true;
          })
    {}
    ~Writer() { through(); }
    // Waits for its statements (after the export's end if they waited for it);
    // whether all went through.
    bool through()
    {
        if (thread.joinable())
            thread.join();
        return ok;
    }
    // Its statements ran (ok tells whether all went through).
    std::atomic<bool> done{false}, ok{false};
    // One of them waits for a table lock held elsewhere.
    bool waiting() const
    {
        ZnMySqlResult r;
        const QByteArray sql = "select count(*) from information_schema.processlist where id = "
                               + QByteArray::number(session.load()) + " and state like 'Waiting for table%'";
        return session > 0 && ZnMySql::instance()->query(sql.constData(), r) == 0
               && QByteArray(r.cell(0, 0)).toInt() > 0;
    }
    // Done, or seen waiting (on the export's thread while it holds the table);
    // false when neither came.
    bool settle() const
    {
        return QTest::qWaitFor([this] { return done || waiting(); }, 20000);
    }

private:
    std::atomic<qint64> session{0};
    std::thread thread;
};

// The console's connection as the given account of the test database (its
// own, or one without the LOCK TABLES privilege).
bool connectAs(const char *user)
{
    ZnMySqlConfig settings = ZnMySql::instance()->settings();
    settings.user = user;
    return ZnMySql::instance()->connect(settings) == 0;
}

// The statements that read rows in the other sessions (an export reads on its
// own); a session's count joins the server's once it has ended.
qint64 selects()
{
    const auto count = [](const char *scope) {
        ZnMySqlResult r;
        ZnMySql::instance()->query(scope, r);
        return QByteArray(r.cell(0, 1)).toLongLong();
    };
    const qint64 all = count("show global status like 'Com_select'");
    return all - count("show session status like 'Com_select'");
}

} // namespace

class tst_logpages : public QObject
{
    Q_OBJECT

    SimSession s;
    ZnSimFileService files;
    bool filesUp = false;

    // The server's talk log: rows 1..n, type id % 6, and where its log host is.
    void serverTalkLog(int rows, const std::string &logServer = "127.0.0.1:0")
    {
        s.sim.withData([&](ZnSimData &data) {
            data.table("talklog").clear();
            for (int i = 1; i <= rows; ++i) {
                Json::Value r(Json::objectValue);
                r["id"] = std::to_string(i);
                r["begin_time"] = "1700000000";
                r["callerName"] = "主叫" + std::to_string(i);
                r["type"] = std::to_string(i % 6);
                data.addRow("talklog", r);
            }
            for (Json::Value &p : data.table("parameter"))
                if (p["name"] == "Talk_Log_Server")
                    p["value"] = logServer;
        });
        gMySqlPort = testDbPort();
    }
    // The server's log of a page (talk, terminal, user): rows newer rows at that
    // time (after emptying it when asked), or with a count below 0 that many of
    // its oldest rows gone.
    void changeServerLog(int kind, int rows, qint64 time, bool empty = false)
    {
        const std::string table = kind == 0 ? "talklog" : kind == 1 ? "terminallog" : "userlog";
        s.sim.withData([&](ZnSimData &data) {
            std::vector<Json::Value> &log = data.table(table);
            if (empty)
                log.clear();
            if (rows < 0) {
                log.erase(log.begin(), log.begin() + std::min(size_t(-rows), log.size()));
                return;
            }
            const qint64 newest = log.empty() ? 0 : std::stoll(log.back()["id"].asString());
            for (qint64 id = newest + 1; id <= newest + rows; ++id) {
                Json::Value r(Json::objectValue);
                r["id"] = std::to_string(id);
                r[kind == 0 ? "begin_time" : "date"] = std::to_string(time);
                data.addRow(table, r);
            }
        });
    }
    // The texts of a column from the top, or of a row from the left.
    static QStringList cells(ZnLogPage &page, int row, int column, int count)
    {
        QStringList out;
        for (int i = 0; i < count; ++i) {
            const QTableWidgetItem *item = page.form().fTableWidget->item(row < 0 ? i : row, column < 0 ? i : column);
            out << (item ? item->text() : QStringLiteral("<none>"));
        }
        return out;
    }
    int logRequests() const { return s.sim.count("GET SqlLog"); }

    QTemporaryDir work;
    QString oldDir;
    bool frozen = false; // the test database's server is stopped by SIGSTOP
    QString out;         // the export folder of one test

    QString target() const { return out + QStringLiteral("/zn_user_log.csv"); }
    QStringList filesInFolder() const { return QDir(out).entryList(QDir::Files | QDir::Hidden); }
    void pointAtFolder(LogExportDialog &dialog, const QString &folder)
    {
        dialog.form().directoryComboBox->addItem(folder);
        dialog.form().directoryComboBox->setCurrentText(folder);
    }

    // An export of the user log on a thread of its own; the hook runs on that
    // thread when the first page is written. Returns the finish code, 2 for none.
    int runThread(const std::function<void(LogExportThread &)> &atFirstPage, int kind = UserLogKind)
    {
        LogExportThread t(target(), kHeaders, kind);
        bool first = true;
        connect(
            &t, &LogExportThread::update_signal, &t,
            [&] {
                if (std::exchange(first, false))
                    atFirstPage(t);
            },
            Qt::DirectConnection);
        QSignalSpy finished(&t, &LogExportThread::finish_signal);
        t.start();
        t.wait();
        return finished.isEmpty() ? 2 : finished.at(0).at(0).toInt();
    }

    // The user log as an export writes it now, for a file to be compared with.
    QByteArray wholeUserLog()
    {
        const QString path = work.filePath(QStringLiteral("whole.csv"));
        LogExportThread t(path, kHeaders, UserLogKind);
        t.start();
        t.wait();
        const QByteArray bytes = bytesOf(path);
        QFile::remove(path);
        return bytes;
    }

    // The rows of the tests of ids past 2^31: each log, with the talk log's table.
    static void wideIdKinds(const char *talkTable)
    {
        QTest::addColumn<int>("kind"); // talk, terminal, user, recordings
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("nameField");
        QTest::addColumn<int>("nameColumn"); // on the page; in the file one further
        QTest::newRow("talk") << 0 << talkTable << "callerName" << 3;
        QTest::newRow("terminal") << 1 << "terminallog"
                                  << "name" << 2;
        QTest::newRow("user") << 2 << "userlog"
                              << "name" << 1;
        QTest::newRow("recordings") << 3 << talkTable << "callerName" << 3;
    }

    // The record ids the page's rows hold, from the top.
    static QList<qint64> shownIds(ZnLogPage &page)
    {
        QList<qint64> ids;
        const QTableWidget *shown = page.form().fTableWidget;
        for (int r = 0; r < shown->rowCount(); ++r)
            ids << shown->item(r, 0)->data(Qt::UserRole).toLongLong();
        return ids;
    }

    // A double click on row 1 (id 3000000000) downloads that record's own
    // recording, not its neighbour's (3000000001).
    void downloadsItsOwnRecording(RecordPage &page)
    {
        const QString served = work.filePath(QStringLiteral("served"));
        QVERIFY(QDir().mkpath(served + QStringLiteral("/record")));
        for (qint64 id : {3000000000, 3000000001})
            QVERIFY(writeFile(QStringLiteral("%1/record/%2.mp3").arg(served).arg(id), QByteArray::number(id)));
        filesUp = filesUp || startFiles(files, served);
        QVERIFY(filesUp);
        page.folder = out;
        page.slot_cellDoubleClicked(1, 8);
        QTRY_COMPARE(bytesOf(out + QStringLiteral("/3000000000.mp3")), QByteArray("3000000000"));
        QVERIFY(!QFile::exists(out + QStringLiteral("/3000000001.mp3")));
    }

private slots:
    void initTestCase()
    {
        ZnModalGuard::install();
        znInitResources();
        QVERIFY(startModels(s));
        QVERIFY(connectTestDb());
        oldDir = QDir::currentPath();
        QDir::setCurrent(work.path());
    }
    void cleanupTestCase()
    {
        if (filesUp)
            files.stop();
        QDir::setCurrent(oldDir);
    }
    void cleanup()
    {
        if (frozen)
            frozen = !freezeTestDb(false);
    }
    void init()
    {
        static int n = 0;
        out = work.path() + QStringLiteral("/out") + QString::number(++n);
        QVERIFY(QDir().mkpath(out));
    }

    void csvAddedOnce()
    {
        QCOMPARE(LogExportDialog::exportPath(QStringLiteral("/d"), QStringLiteral("abc")),
                 QStringLiteral("/d/abc.csv"));
        QCOMPARE(LogExportDialog::exportPath(QStringLiteral("/d"), QStringLiteral("abc.csv")),
                 QStringLiteral("/d/abc.csv"));
        QCOMPARE(LogExportDialog::exportPath(QStringLiteral("/d"), QStringLiteral("abc.CSV")),
                 QStringLiteral("/d/abc.CSV.csv"));
    }

    // A text a spreadsheet would run as a formula is written as text.
    void fieldsNeverFormulas_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        const auto row = [](const char *name, const QString &text, const char *field) {
            QTest::newRow(name) << text << QString::fromUtf8(field);
        };
        row("equals", QStringLiteral("=1+2"), "\"'=1+2\",");
        row("plus", QStringLiteral("+86 10"), "\"'+86 10\",");
        row("minus", QStringLiteral("-2+3"), "\"'-2+3\",");
        row("at", QStringLiteral("@SUM(A1)"), "\"'@SUM(A1)\",");
        row("tab", QStringLiteral("\t=1"), "\"'\t=1\",");
        row("carriage return", QStringLiteral("\r=1"), "\"'\r=1\",");
        row("quotes inside a formula doubled", QStringLiteral("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\",");
        row("sign later in the text", QStringLiteral("a=b-c"), "\"a=b-c\",");
        row("quote first", QStringLiteral("\"=1"), "\"\"\"=1\",");
        row("empty", QString(), "\"\",");
    }
    void fieldsNeverFormulas()
    {
        QFETCH(QString, text);
        QTEST(LogExportThread::csvField(text), "field");
    }

    // GBK stays the file's encoding: what it cannot hold is written as "?" and
    // counted; a NUL neither ends the field nor reaches the file.
    void gbkFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("lost");
        QTest::newRow("Chinese") << QStringLiteral("中文") << QByteArray("\"\xd6\xd0\xce\xc4\",") << false;
        QTest::newRow("Hangul") << QStringLiteral("한글") << QByteArray("\"??\",") << true;
        QTest::newRow("emoji") << QString::fromUtf8("a\xf0\x9f\x98\x80") << QByteArray("\"a?\",") << true;
        QTest::newRow("NUL inside") << QString::fromUtf8("a\0b", 3) << QByteArray("\"a?b\",") << true;
    }
    void gbkFields()
    {
        QFETCH(QString, text);
        bool lost = false;
        QTEST(LogExportThread::gbkField(text, &lost), "bytes");
        QTEST(lost, "lost");
    }

    // Each log whole, in pages, in GBK: every field quoted (quotes inside doubled)
    // and followed by a comma, "\n" line ends.
    void wholeLogThroughTheDialog_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("lines"); // the first and the last
        const auto row = [](const char *name, int kind, int rows, const char *first, const char *last) {
            QTest::newRow(name) << kind << rows << QStringList{QString::fromUtf8(first), QString::fromUtf8(last)};
        };
        row("user, quotes and commas inside fields", UserLogKind, 250,
            R"("1","2026/03/01 14:10:00","王,""五""","192.168.1.0","他说""好"",再见",)",
            R"("250","2026/03/01 10:01:00","用户1","192.168.1.1","登录系统 1",)");
        row("talk", TalkLogKind, 205,
            R"("1","2026/01/01 11:25:00","2026/01/01 11:25:30","1205","主叫205","2205","被叫205","EmergencyHelp","音源205",)",
            R"("205","2026/01/01 08:01:00","2026/01/01 08:01:30","1001","主叫1","2001","被叫1","Talkback","音源1",)");
        row("terminal", TermLogKind, 230, R"("1","2026/02/01 12:50:00","330","终端230","寻呼话筒","10.0.1.30","上线",)",
            R"("230","2026/02/01 09:01:00","101","终端1","寻呼话筒","10.0.0.1","下线",)");
    }
    void wholeLogThroughTheDialog()
    {
        QFETCH(int, kind);
        QFETCH(int, rows);
        QFETCH(QStringList, lines);
        QVERIFY(
            sql(QStringLiteral("update userlog set content = '他说\"好\",再见', name = '王,\"五\"' where id = 250")));
        QFile::remove(QStringLiteral("config.ini"));
        QString path;
        {
            LogExportDialog dialog(nullptr, kHeaders, kind);
            pointAtFolder(dialog, out);
            QSignalSpy progress(dialog.form().export_bar, &QProgressBar::valueChanged);
            Answered done(QStringLiteral("ConfirmButton"));
            dialog.form().fExportBtn->click();
            QTRY_VERIFY(done.handled());
            QCOMPARE(done.last(), QStringLiteral("日志下载完成！"));
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QList<int> values;
            for (const QList<QVariant> &v : progress)
                values << v.at(0).toInt();
            QCOMPARE(values, (QList<int>{33, 66, 100}));
            path = QDir(out).filePath(filesInFolder().value(0));
        }
        QVERIFY(sql(QStringLiteral("update userlog set content = '登录系统 250', name = '用户250' where id = 250")));
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.endsWith(",\n") && !bytes.contains('\r'));
        const QStringList written = linesOf(path);
        QCOMPARE(written.size(), rows + 1);
        QCOMPARE(written[0], QStringLiteral("\"序号\",\"Date\",\"User Name\",\"IP\",\"Content\","));
        QCOMPARE((QStringList{written[1], written.last()}), lines);
        // The folder is remembered for the next export.
        LogExportDialog again(nullptr, kHeaders, kind);
        QCOMPARE(again.form().directoryComboBox->currentText(), out);
    }

    // Cells GBK cannot hold are counted in the finish message and a NUL keeps the
    // rest of its cell; the export's own setting leaves a UTF-8 title in
    // config.ini byte for byte.
    void textsAndSettingsKept()
    {
        const QByteArray title = QByteArray("Title=") + QStringLiteral("一号楼广播中心").toUtf8() + '\n';
        QVERIFY(writeFile(QStringLiteral("config.ini"), "[Setting]\n" + title));
        QVERIFY(sql(QStringLiteral("update userlog set content = '안녕' where id = 250; "
                                   "update userlog set content = concat('前', char(0), '后') where id = 249")));
        // An earlier export of that name is replaced without a question.
        QVERIFY(writeFile(target(), kEarlier));
        QString said;
        {
            LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
            pointAtFolder(dialog, out);
            Answered done(QStringLiteral("ConfirmButton"));
            dialog.form().fExportBtn->click();
            QTRY_VERIFY(done.handled());
            said = done.last();
        }
        QVERIFY(sql(QStringLiteral("update userlog set content = '登录系统 250' where id = 250; "
                                   "update userlog set content = '登录系统 249' where id = 249")));
        QVERIFY2(said.startsWith(QStringLiteral("日志下载完成！")) && said.contains(QStringLiteral("2 个单元格")),
                 qPrintable(said));
        const QStringList lines = linesOf(target());
        QCOMPARE(lines.size(), 251);
        QVERIFY2(lines.value(1).endsWith(QStringLiteral(",\"??\",")), qPrintable(lines.value(1)));
        QVERIFY2(lines.value(2).endsWith(QStringLiteral(",\"前?后\",")), qPrintable(lines.value(2)));
        const QByteArray config = bytesOf(QStringLiteral("config.ini"));
        QVERIFY2(config.contains("[Setting]\n" + title), config.constData());
        QVERIFY2(config.contains("LogLastFilePath=" + out.toUtf8()), config.constData());
    }

    // Without a folder of the last export the dialog starts in the platform's
    // desktop folder, whether it is there yet or not.
    void startingFolder_data()
    {
        QTest::addColumn<bool>("desktop");
        QTest::newRow("desktop exists") << true;
        QTest::newRow("no desktop") << false;
    }
    void startingFolder()
    {
        QFETCH(bool, desktop);
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        const QString desk = home.path() + QStringLiteral("/Desktop");
        QVERIFY(!desktop || QDir().mkpath(desk));
        QFile::remove(QStringLiteral("config.ini"));
        QString shown;
        {
            LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
            shown = dialog.form().directoryComboBox->currentText();
        }
        qputenv("HOME", oldHome);
        if (!oldConfig.isEmpty())
            qputenv("XDG_CONFIG_HOME", oldConfig);
        QCOMPARE(shown, desk);
    }

    // The lines the export prints per page: the next page's number (not for the
    // talk log) and the next row's number.
    void progressLines_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("engine"); // the user log's without its key; empty: as it is
        QTest::addColumn<QString>("lines");
        QTest::newRow("user") << int(UserLogKind) << QString()
                              << "get count 2|exect row 101|r|get count 3|exect row 201|r|get count 4|exect row 251|r";
        QTest::newRow("talk") << int(TalkLogKind) << QString() << "exect row 101|r|exect row 201|r|exect row 206|r";
        // Where every statement reads the whole log, the first carries a page and
        // each next one at most twice as many rows as the last.
        QTest::newRow("user, no key: a page first, then at most twice as much")
            << int(UserLogKind) << QStringLiteral("MEMORY")
            << "get count 2|exect row 101|r|get count 3|exect row 251|r";
    }
    void progressLines()
    {
        QFETCH(int, kind);
        QFETCH(QString, engine);
        TableCopy copy(QStringLiteral("userlog"));
        QVERIFY(copy.ready
                && sql(engine.isEmpty() ? QStringLiteral("insert into userlog select * from userlog_kept")
                                        : QStringLiteral("alter table userlog engine = %1; alter table userlog modify "
                                                         "id int not null; alter table userlog drop primary key; "
                                                         "insert into userlog select * from userlog_kept")
                                              .arg(engine)));
        QTemporaryFile capture;
        QVERIFY(capture.open());
        std::fflush(stdout);
        const int saved = dup(1);
        dup2(capture.handle(), 1);
        const int code = runThread([](LogExportThread &) {}, kind);
        std::fflush(stdout);
        dup2(saved, 1);
        close(saved);
        QCOMPARE(code, int(LogExportThread::Complete));
        capture.seek(0);
        QStringList lines;
        for (const QByteArray &l : capture.readAll().split('\n'))
            if (l.startsWith("get count") || l.startsWith("exect row") || l == "r")
                lines << QString::fromLatin1(l.trimmed());
        QTEST(lines.join(QLatin1Char('|')), "lines");
    }

    // Where every statement reads the whole log, each takes as many rows as the
    // last one's time per row lets it carry in half a second, beyond what reading
    // the log costs: a slow link or a slow file takes fewer, a fast one twice as
    // many at most, never less than a page.
    void stretchRows_data()
    {
        QTest::addColumn<qint64>("budget"); // the rows the last statement asked for
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("rows"); // the rows it read
        QTest::addColumn<double>("scan"); // reading the whole log
        QTest::addColumn<qint64>("next");
        QTest::newRow("fast: twice as many") << qint64(1000) << 0.06 << qint64(1000) << 0.05 << qint64(2000);
        QTest::newRow("a link of 1 MB/s: half a second")
            << qint64(4000) << 0.45 << qint64(4000) << 0.05 << qint64(4500);
        QTest::newRow("far slower than asked: fewer at once")
            << qint64(8000) << 2.05 << qint64(8000) << 0.05 << qint64(1800);
        QTest::newRow("more rows than asked: twice those at most")
            << qint64(100) << 0.06 << qint64(300) << 0.05 << qint64(600);
        QTest::newRow("reading the log takes most: a quarter second of rows beside it")
            << qint64(10000) << 1.3 << qint64(10000) << 0.8 << qint64(5000);
        QTest::newRow("reading the log past the goal: still a quarter second of rows")
            << qint64(10000) << 2.0 << qint64(10000) << 1.5 << qint64(5000);
        QTest::newRow("an empty stretch tells nothing: twice the budget")
            << qint64(1000) << 0.2 << qint64(0) << 0.2 << qint64(2000);
        QTest::newRow("quicker than the read measured: twice as many")
            << qint64(1000) << 0.1 << qint64(1000) << 0.2 << qint64(2000);
        QTest::newRow("a stalled link: a page still") << qint64(100) << 60.0 << qint64(100) << 0.05 << qint64(100);
    }
    void stretchRows()
    {
        QFETCH(qint64, budget);
        QFETCH(double, seconds);
        QFETCH(qint64, rows);
        QFETCH(double, scan);
        QTEST(LogExportThread::nextStretchRows(budget, seconds, rows, scan), "next");
    }

    // The talk type is stored as a number; the file names it as the page does, and
    // one outside the page's table "UNKNOW".
    void talkTypeColumn_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("written");
        QTest::newRow("0 emergency help") << 205 << 0 << QStringLiteral("EmergencyHelp");
        QTest::newRow("1 talkback") << 201 << 1 << QStringLiteral("Talkback");
        QTest::newRow("2 broadcast") << 202 << 2 << QStringLiteral("Broadcast");
        QTest::newRow("3 talkback") << 203 << 3 << QStringLiteral("Talkback");
        QTest::newRow("4 broadcast") << 204 << 4 << QStringLiteral("Broadcast");
        QTest::newRow("unknown reads UNKNOW") << 204 << 9 << QStringLiteral("UNKNOW");
    }
    void talkTypeColumn()
    {
        QFETCH(int, id);
        QFETCH(int, stored);
        QVERIFY(sql(QStringLiteral("update talklog_bak set type = %1 where id = %2").arg(stored).arg(id)));
        const int code = runThread([](LogExportThread &) {}, TalkLogKind);
        QVERIFY(sql(QStringLiteral("update talklog_bak set type = %1 where id = %2").arg(id % 5).arg(id)));
        QCOMPARE(code, int(LogExportThread::Complete));
        const QStringList fields = linesOf(target()).value(1 + 205 - id).split(QStringLiteral("\",\""));
        QCOMPARE(fields.value(0), QLatin1Char('"') + QString::number(1 + 205 - id));
        QTEST(fields.value(7), "written");
    }

    // A log of whole pages whose oldest rows were deleted: after the count, one
    // query per page and no pass that finds nothing; progress reaches 100 once.
    void wholePagesEndOnTheLast()
    {
        TableCopy copy(QStringLiteral("userlog"));
        QVERIFY(copy.ready && sql(QStringLiteral("insert into userlog select * from userlog_kept where id > 50")));
        LogExportThread t(target(), kHeaders, UserLogKind);
        QSignalSpy progress(&t, &LogExportThread::update_signal);
        const qint64 before = selects();
        t.start();
        t.wait();
        QTRY_COMPARE(otherSessions().size(), 0);
        // The count, the columns, the plan, two pages and the digest.
        QCOMPARE(selects() - before, qint64(6));
        QList<long> values;
        for (const QList<QVariant> &v : progress)
            values << v.at(0).value<long>();
        QCOMPARE(values, (QList<long>{50, 100}));
        QCOMPARE(linesOf(target()).size(), 201);
    }

    // A log whose ids have grown past 2^31 (its table altered to BIGINT): each
    // page lists every row under its own id, the export holds them all, and a
    // recording is downloaded for its own row.
    void idsPast2To31_data() { wideIdKinds("talklog_bak"); }
    void idsPast2To31()
    {
        QFETCH(int, kind);
        QFETCH(QString, table);
        QFETCH(QString, nameField);
        QFETCH(int, nameColumn);
        const QList<qint64> ids{3000000001, 3000000000, 2147483648, 2147483647, 7};
        TableCopy copy(table);
        QStringList values, names;
        for (qint64 id : ids) {
            values << QStringLiteral("(%1, 'n%1')").arg(id);
            names << QStringLiteral("n%1").arg(id);
        }
        QVERIFY(copy.ready
                && sql(QStringLiteral("alter table %1 modify id bigint not null auto_increment; "
                                      "insert into %1 (id, %2) values %3")
                           .arg(table, nameField, values.join(QLatin1Char(',')))));
        QVERIFY(kind != 3
                || sql(QStringLiteral("update talklog_bak set recordfile = concat('/data/mp3/record/', id, '.mp3')")));
        serverTalkLog(0, "127.0.0.1:8999");
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        QTRY_COMPARE(page->form().fTableWidget->rowCount(), ids.size());
        QCOMPARE(shownIds(*page), ids);
        QCOMPARE(cells(*page, -1, nameColumn, ids.size()), names);
        if (kind == 3) {
            downloadsItsOwnRecording(static_cast<RecordPage &>(*page));
            return; // the recording page exports nothing
        }
        const int exportKind = kind == 0 ? TalkLogKind : kind == 1 ? TermLogKind : UserLogKind;
        QCOMPARE(runThread([](LogExportThread &) {}, exportKind), int(LogExportThread::Complete));
        QStringList exported;
        for (const QString &line : linesOf(target()).mid(1))
            exported << line.split(QStringLiteral("\",\"")).value(1 + nameColumn);
        QCOMPARE(exported, names);
    }

    // The same through the server (no log host): each row under its own id, the
    // page count from a count past 2^31, and a recording fetched for its own row.
    void serverIdsPast2To31_data() { wideIdKinds("talklog"); }
    void serverIdsPast2To31()
    {
        QFETCH(int, kind);
        QFETCH(QString, table);
        QFETCH(QString, nameField);
        QFETCH(int, nameColumn);
        const QList<qint64> ids{3000000001, 3000000000, 2147483648, 2147483647, 7};
        serverTalkLog(0);
        const std::string name = table.toStdString();
        std::vector<Json::Value> kept;
        QStringList names;
        s.sim.withData([&](ZnSimData &data) {
            kept.swap(data.table(name));
            for (qint64 id : ids) {
                const std::string n = std::to_string(id);
                Json::Value r(Json::objectValue);
                r["id"] = n;
                r[nameField.toStdString()] = "n" + n;
                r["recordfile"] = "/data/mp3/record/" + n + ".mp3";
                data.addRow(name, r);
                names << QStringLiteral("n%1").arg(id);
            }
        });
        const auto restore =
            qScopeGuard([&] { s.sim.withData([&](ZnSimData &data) { data.table(name).swap(kept); }); });
        s.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Reply, "[{\"count(*)\":\"3000000002\"}]", 0, 1));
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        QTRY_COMPARE(page->form().fTableWidget->rowCount(), ids.size());
        QCOMPARE(page->form().fPageLabel->text(), QStringLiteral("1/30000001"));
        QCOMPARE(shownIds(*page), ids);
        QCOMPARE(cells(*page, -1, nameColumn, ids.size()), names);
        if (kind == 3)
            downloadsItsOwnRecording(static_cast<RecordPage &>(*page));
    }

    // Rows added while the export runs are not in it, and none repeats.
    void pinnedToTheRowsAtItsStart()
    {
        const int code = runThread([](LogExportThread &) {
            sql(QStringLiteral("insert into userlog (name) values ('新来的'), ('新来的'), ('新来的')"));
        });
        sql(QStringLiteral("delete from userlog where id > 250; alter table userlog auto_increment = 251"));
        QCOMPARE(code, int(LogExportThread::Complete));
        QStringList rows;
        for (const QString &line : linesOf(target()).mid(1))
            rows << line.section(QLatin1Char(','), 1); // without the running number
        QCOMPARE(rows.size(), 250);
        QVERIFY(rows.first().contains(QStringLiteral("用户250")) && rows.last().contains(QStringLiteral("用户1\"")));
        QCOMPARE(rows.removeDuplicates(), 0);
    }

    // The log need not have a key: a double click downloads the recording of the
    // row clicked, not that of the first row with its id, also when the rows are
    // read again while the folder dialog is open. Names read "<id><tag>".
    void recordingOfItsOwnRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("refill"); // a newer call arrives and the page is refreshed meanwhile
        QTest::newRow("first of two rows of one id") << 0 << false;
        QTest::newRow("second of two rows of one id") << 1 << false;
        QTest::newRow("second of two, rows moved while the folder is asked for") << 1 << true;
    }
    void recordingOfItsOwnRow()
    {
        QFETCH(int, row);
        QFETCH(bool, refill);
        static int n = 0;
        const QString tag = QString::number(++n);
        TableCopy copy(QStringLiteral("talklog_bak"));
        QVERIFY(
            copy.ready
            && sql(QStringLiteral("alter table talklog_bak modify id int not null; "
                                  "alter table talklog_bak drop primary key; "
                                  "insert into talklog_bak (id, callerName, recordfile) values "
                                  "(5, '5a', '/data/mp3/record/%1-5a.mp3'), (5, '5b', '/data/mp3/record/%1-5b.mp3'), "
                                  "(4, '4a', '/data/mp3/record/%1-4a.mp3')")
                       .arg(tag)));
        const QString served = work.filePath(QStringLiteral("served"));
        QVERIFY(QDir().mkpath(served + QStringLiteral("/record")));
        for (const char *name : {"5a", "5b", "4a", "6a"})
            QVERIFY(writeFile(QStringLiteral("%1/record/%2-%3.mp3").arg(served, tag, QLatin1String(name)), name));
        filesUp = filesUp || startFiles(files, served);
        QVERIFY(filesUp);
        serverTalkLog(0, "127.0.0.1:8999");
        RecordPage page;
        page.folder = out;
        QTRY_COMPARE(page.form().fTableWidget->rowCount(), 3);
        const QString clicked = cells(page, row, 3, 1).value(0);
        QCOMPARE(clicked.left(1), QStringLiteral("5"));
        if (refill) {
            page.whileAsked = [&] {
                QVERIFY(sql(QStringLiteral("insert into talklog_bak (id, callerName, recordfile) values "
                                           "(6, '6a', '/data/mp3/record/%1-6a.mp3')")
                                .arg(tag)));
                QSignalSpy read(&page, &ZnLogPage::logHostRead);
                page.slot_refreshClicked();
                QVERIFY(read.wait(20000));
                QCOMPARE(page.form().fTableWidget->rowCount(), 4);
                QVERIFY(cells(page, row, 3, 1).value(0) != clicked);
            };
        }
        page.slot_cellDoubleClicked(row, 8);
        const QString file = QStringLiteral("%1/%2-%3.mp3").arg(out, tag, clicked);
        QTRY_COMPARE(bytesOf(file), clicked.toUtf8());
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{QFileInfo(file).fileName()});
    }

    // The log database is not ours and need not have a key, nor be a table: ids
    // may be 0, negative, repeated across a page or missing. Every row is written
    // once, newest first (rows without an id last). Read in one snapshot, the file
    // is the log as it stood at the start whatever changes meanwhile; without
    // snapshots (MyISAM, Aria, MEMORY, a view over them) nothing holds the log,
    // the server's changes go through at once, and the export completes only with
    // the log as it stands at its end (up to the newest id of the start), else
    // fails. The change comes between two statements of the export. Names read
    // "id<id>.<tag>".
    void everyRowWhateverItsId_data()
    {
        QTest::addColumn<QString>("engine");  // the table's, " view" for a view over such a table
        QTest::addColumn<QString>("account"); // the console's, or one without LOCK TABLES
        QTest::addColumn<QString>("rows");    // filling the empty log
        QTest::addColumn<QString>("midway");  // by the server when the first statement has read its rows
        QTest::addColumn<QString>("file");    // the log of the "start" or the "end", or none: the export fails
        const auto ids = [](const char *id, const char *seq) {
            return QStringLiteral("insert into userlog (id, name) select %1, concat('id', %1, '.a') from seq_%2; ")
                .arg(QLatin1String(id), QLatin1String(seq));
        };
        const QString innodb = QStringLiteral("InnoDB"), myisam = QStringLiteral("MyISAM"),
                      aria = QStringLiteral("Aria"), memory = QStringLiteral("MEMORY");
        const QString own = QStringLiteral("talklog"), noLock = QStringLiteral("talklog_nolock");
        const QString start = QStringLiteral("start"), end = QStringLiteral("end"), none;
        const QString all = ids("seq", "1_to_250");
        // Pages follow an index on id; without one the log is read in a few stretches.
        const QString keyed = all + QStringLiteral("alter table userlog add key (id)");
        // 14 ids at each end trade places: the count and the newest id stay.
        const QString swapped = QStringLiteral("update userlog set id = 251 - id where id <= 14 or id >= 237");
        const QString lower = QStringLiteral("insert into userlog (id, name) values (3, 'id3.b')");
        // A busy server logs new calls meanwhile.
        const QString calls = ids("250 + seq", "1_to_3");
        // The oldest rows deleted, as a rotated log has them: no MyISAM insert goes
        // beside a reader then.
        const QString holes = keyed + QStringLiteral("; delete from userlog where id <= 20");
        QTest::newRow("an id of -1") << innodb << own << ids("seq", "1_to_100") + ids("-seq", "1_to_1") << QString()
                                     << start;
        QTest::newRow("ids from 0") << innodb << own << ids("seq - 1", "1_to_101") << QString() << start;
        QTest::newRow("an id twice across pages")
            << innodb << own
            << ids("seq", "1_to_150")
                   + QStringLiteral("insert into userlog (id, name) values (51, 'id51.b'); "
                                    "alter table userlog add key (id)")
            << QString() << start;
        QTest::newRow("an id twice across stretches")
            << innodb << own
            << ids("seq", "1_to_250") + QStringLiteral("insert into userlog (id, name) values (151, 'id151.b')")
            << QString() << start;
        QTest::newRow("more than a page of one id")
            << innodb << own
            << ids("seq", "1_to_6")
                   + QStringLiteral("insert into userlog (id, name) select 7, concat('id7.', seq) "
                                    "from seq_1_to_150; alter table userlog add key (id)")
            << QString() << start;
        QTest::newRow("more than a stretch of one id")
            << memory << own
            << ids("seq", "1_to_6")
                   + QStringLiteral("insert into userlog (id, name) select 7, concat('id7.', seq) "
                                    "from seq_1_to_150")
            << QString() << start;
        QTest::newRow("rows without an id")
            << innodb << own
            << ids("seq", "1_to_120")
                   + QStringLiteral("insert into userlog (id, name) values (null, 'idnull.a'), (null, 'idnull.b'); "
                                    "alter table userlog add key (id)")
            << QString() << start;
        QTest::newRow("rows without an id, no key")
            << myisam << own
            << ids("seq", "1_to_120")
                   + QStringLiteral("insert into userlog (id, name) values (null, 'idnull.a'), (null, 'idnull.b')")
            << QString() << start;
        QTest::newRow("rows removed meanwhile: the rows of the start")
            << innodb << own << all << QStringLiteral("delete from userlog where id <= 10") << start;
        QTest::newRow("a row swapped for one of a lower id: the rows of the start")
            << innodb << own << all
            << QStringLiteral("delete from userlog where id = 20; insert into userlog (id, name) values (3, 'id3.b')")
            << start;
        QTest::newRow("a row swapped for one without an id: the rows of the start")
            << innodb << own << all
            << QStringLiteral(
                   "delete from userlog where id = 20; insert into userlog (id, name) values (null, 'idnull.a')")
            << start;
        QTest::newRow("ids swapped meanwhile: the rows of the start") << innodb << own << all << swapped << start;
        QTest::newRow("ids swapped meanwhile, pages: the rows of the start")
            << innodb << own << keyed << swapped << start;
        QTest::newRow("no snapshots: old rows removed before they are read, the rows of the end")
            << myisam << own << all << QStringLiteral("delete from userlog where id <= 10") << end;
        QTest::newRow("no snapshots: a row not yet read swapped for a newer one, the rows of the end")
            << myisam << own << all
            << QStringLiteral(
                   "delete from userlog where id = 20; insert into userlog (id, name) values (900, 'id900.a')")
            << end;
        QTest::newRow("no snapshots: ids swapped meanwhile fail") << myisam << own << all << swapped << none;
        QTest::newRow("no snapshots, pages: ids swapped meanwhile fail") << myisam << own << keyed << swapped << none;
        QTest::newRow("no snapshots: a row read swapped for one of a lower id fails")
            << myisam << own << all << QStringLiteral("delete from userlog where id = 200; ") + lower << none;
        QTest::newRow("no snapshots: a cell changed after its row was read fails")
            << myisam << own << all << QStringLiteral("update userlog set ip = '10.0.0.1' where id = 250") << none;
        // Two rows read trade names whose plain crc32 values sum alike, then old rows
        // not yet read go: the file holds the names of the start without the old
        // rows, which the log never did.
        QString traded, why;
        if (!crcTradeText({QStringLiteral("250; 'a000000'; null"), QStringLiteral("249; %1; null")},
                          {QStringLiteral("250; %1; null"), QStringLiteral("249; 'a000000'; null")}, traded, why))
            QFAIL(qPrintable(why));
        const QString trade =
            QStringLiteral("update userlog set name = if(id = 250, '%1', '%2') where id in (249, 250)");
        const QString oldRowsGo = QStringLiteral("; delete from userlog where id <= 10");
        QTest::newRow("no snapshots: two rows read trade names, then old rows go: fails")
            << myisam << own << all + trade.arg(QStringLiteral("a000000"), traded)
            << trade.arg(traded, QStringLiteral("a000000")) + oldRowsGo << none;
        // The same with one row read whose cells change only where a plain joining
        // of their texts would lose it.
        QTest::newRow("no snapshots: a char(1) moves to the next cell of a row read, then old rows go: fails")
            << myisam << own
            << all + QStringLiteral("update userlog set name = concat(name, char(1)), ip = 'y' where id = 250")
            << QStringLiteral("update userlog set name = 'id250.a', ip = concat(char(1), 'y') where id = 250")
                   + oldRowsGo
            << none;
        QTest::newRow("no snapshots: a cell of a row read moves across a NULL, then old rows go: fails")
            << myisam << own << all + QStringLiteral("update userlog set content = 'c' where id = 250")
            << QStringLiteral("update userlog set ip = 'c', content = null where id = 250") + oldRowsGo << none;
        QTest::newRow("no snapshots: a row added below the newest id, the rows of the end")
            << myisam << own << all << lower << end;
        QTest::newRow("no snapshots: new calls meanwhile, the rows of the start")
            << myisam << own << all << calls << start;
        QTest::newRow("no snapshots, holes: new calls meanwhile, the rows of the start")
            << myisam << own << holes << calls << start;
        QTest::newRow("Aria: ids swapped meanwhile fail") << aria << own << all << swapped << none;
        QTest::newRow("Aria: a row added below the newest id, the rows of the end")
            << aria << own << all << lower << end;
        QTest::newRow("MEMORY: ids swapped meanwhile fail") << memory << own << all << swapped << none;
        QTest::newRow("MEMORY: a row added meanwhile, the rows of the end") << memory << own << all << lower << end;
        QTest::newRow("MEMORY: new calls meanwhile, the rows of the start") << memory << own << all << calls << start;
        // More rows than small stretches: the ends are picked by a hash of the id,
        // and the statements grow as they go. The table made again with room for them.
        const QString roomy =
            QStringLiteral("set session max_heap_table_size = 134217728; alter table userlog engine = MEMORY; ");
        QTest::newRow("MEMORY, many rows: new calls meanwhile, the rows of the start")
            << memory << own << roomy + ids("seq", "1_to_20000") << ids("20000 + seq", "1_to_3") << start;
        QTest::newRow("MEMORY, many rows, ids far apart and below 0: a row read swapped for a lower id fails")
            << memory << own << roomy + ids("cast(seq as signed) * 100003 - 1000000000", "1_to_20000")
            << QStringLiteral("delete from userlog where id = 1000060000; "
                              "insert into userlog (id, name) values (-999999999, 'id-999999999.b')")
            << none;
        QTest::newRow("no lock allowed: a log left alone is written whole")
            << myisam << noLock << all << QString() << start;
        QTest::newRow("no lock allowed: old rows removed before they are read, the rows of the end")
            << myisam << noLock << all << QStringLiteral("delete from userlog where id <= 10") << end;
        QTest::newRow("no lock allowed: ids swapped meanwhile fail") << myisam << noLock << all << swapped << none;
        QTest::newRow("no lock allowed, Aria: ids swapped meanwhile fail") << aria << noLock << all << swapped << none;
        QTest::newRow("no lock allowed, MEMORY: ids swapped meanwhile fail")
            << memory << noLock << all << swapped << none;
        QTest::newRow("no lock allowed, InnoDB: ids swapped meanwhile, the rows of the start")
            << innodb << noLock << all << swapped << start;
        QTest::newRow("a view, no lock allowed: ids swapped meanwhile fail")
            << myisam + QStringLiteral(" view") << noLock << all << swapped << none;
        QTest::newRow("a view, no lock allowed, pages: ids swapped meanwhile fail")
            << myisam + QStringLiteral(" view") << noLock << keyed << swapped << none;
        QTest::newRow("a view over InnoDB, no lock allowed: ids swapped meanwhile, the rows of the start")
            << innodb + QStringLiteral(" view") << noLock << all << swapped << start;
        QTest::newRow("a view, no lock allowed: new calls meanwhile, the rows of the start")
            << myisam + QStringLiteral(" view") << noLock << holes << calls << start;
    }
    void everyRowWhateverItsId()
    {
        QFETCH(QString, engine);
        QFETCH(QString, account);
        QFETCH(QString, rows);
        QFETCH(QString, midway);
        QFETCH(QString, file);
        TableCopy copy(QStringLiteral("userlog"));
        QVERIFY(copy.ready
                && sql(QStringLiteral("alter table userlog engine = %1; alter table userlog modify id int not null; "
                                      "alter table userlog drop primary key; alter table userlog modify id int null; ")
                           .arg(engine.section(QLatin1Char(' '), 0, 0))
                       + rows));
        // The log as a view over the table, which then goes by another name.
        const auto dropView = qScopeGuard([] { sql(QStringLiteral("drop view if exists userlog")); });
        QVERIFY(!engine.endsWith(QLatin1String(" view"))
                || sql(QStringLiteral("rename table userlog to userlog_rows; "
                                      "create view userlog as select * from userlog_rows")));
        const auto dropRows = qScopeGuard([] { sql(QStringLiteral("drop table if exists userlog_rows")); });
        // The names of the rows up to the newest id (and those without one).
        const auto names = [](qint64 newest) {
            QStringList out;
            ZnMySqlResult all;
            const QByteArray read =
                "select name from userlog where id <= " + QByteArray::number(newest) + " or id is null";
            if (ZnMySql::instance()->query(read.constData(), all) == 0)
                for (unsigned r = 0; r < all.rowCount(); ++r)
                    out << QString::fromUtf8(all.cell(r, 0));
            out.sort();
            return out;
        };
        ZnMySqlResult newest;
        QVERIFY(ZnMySql::instance()->query("select coalesce(max(id), 0) from userlog", newest) == 0);
        const qint64 top = QByteArray(newest.cell(0, 0)).toLongLong();
        const QStringList atStart = names(top);
        // The export's connection is the console's, as that account.
        const auto own = qScopeGuard([] { connectAs("talklog"); });
        QVERIFY(connectAs(account.toUtf8().constData()));
        std::unique_ptr<Writer> server;
        bool settled = false, waited = false;
        const int got = runThread([&](LogExportThread &) {
            server = std::make_unique<Writer>(midway);
            settled = server->settle();
            waited = !server->done;
        });
        QVERIFY(settled && server);
        QVERIFY(server->through());
        // Nothing holds the log between two statements.
        QVERIFY(!waited);
        const QStringList atEnd = names(top);
        if (file.isEmpty()) {
            QCOMPARE(got, int(LogExportThread::LogChanged));
            QCOMPARE(filesInFolder(), QStringList());
            return;
        }
        QCOMPARE(got, int(LogExportThread::Complete));
        QStringList written;
        qint64 lastId = LLONG_MAX;
        for (const QString &line : linesOf(target()).mid(1)) {
            written << line.split(QStringLiteral("\",\"")).value(2);
            const QString id = written.last().section(QLatin1Char('.'), 0, 0).mid(2);
            const qint64 n = id == QLatin1String("null") ? LLONG_MIN : id.toLongLong();
            QVERIFY2(n <= lastId, qPrintable(written.last())); // newest first
            lastId = n;
        }
        written.sort();
        QCOMPARE(written, file == QLatin1String("start") ? atStart : atEnd);
    }

    // An export's connection holds nothing between two statements: the server's
    // change goes through at once, and the connection can go midway, killed or
    // dropped by the server when the export falls silent (a console that stalls)
    // for longer than a statement may take. The export fails, the earlier file stays.
    void exportConnectionLetGo_data()
    {
        QTest::addColumn<bool>("kill"); // else the export stalls until its connection is gone
        QTest::newRow("its connection killed midway") << true;
        QTest::newRow("the export silent past the server's patience") << false;
    }
    void exportConnectionLetGo()
    {
        QFETCH(bool, kill);
        QVERIFY(writeFile(target(), kEarlier));
        TableCopy copy(QStringLiteral("userlog"));
        QVERIFY(copy.ready
                && sql(QStringLiteral("alter table userlog engine = MyISAM; "
                                      "insert into userlog select * from userlog_kept")));
        std::unique_ptr<Writer> server;
        bool through = false, gone = false;
        const int got = runThread([&](LogExportThread &) {
            const QList<qint64> exporter = otherSessions();
            if (exporter.size() != 1)
                return;
            server = std::make_unique<Writer>(QStringLiteral("delete from userlog where id <= 10"));
            through = server->settle() && server->done;
            if (kill)
                sql(QStringLiteral("kill ") + QString::number(exporter.first()));
            gone = QTest::qWaitFor([&] { return !otherSessions().contains(exporter.first()); }, 30000);
        });
        QVERIFY(gone && through && server->through());
        QCOMPARE(got, int(LogExportThread::QueryFailed));
        QCOMPARE(ZnDbQuery::userLogCount(), 240);
        QCOMPARE(bytesOf(target()), kEarlier);
    }

    // Quitting the program mid-export does not wait for the log host: a statement
    // left without an answer is broken off, and the earlier file stays.
    void quitDuringAStalledStatement()
    {
        QVERIFY(writeFile(target(), kEarlier));
        LogExportThread t(target(), kHeaders, UserLogKind);
        std::atomic<bool> stalled{false};
        connect(
            &t, &LogExportThread::update_signal, &t,
            [&] {
                if (!stalled.exchange(true))
                    frozen = freezeTestDb(true);
            },
            Qt::DirectConnection);
        QSignalSpy finished(&t, &LogExportThread::finish_signal);
        t.start();
        QTRY_VERIFY(stalled);
        QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
        // Long before the connection's own time-out.
        const bool ended = t.wait(ZnMySql::kIoTimeoutSeconds * 1000);
        frozen = !freezeTestDb(false);
        t.wait();
        QVERIFY(ended && !frozen);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(bytesOf(target()), kEarlier);
    }

    // A failed or stopped export leaves the earlier file byte for byte.
    void earlierFileKept_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");
        // (The table cannot go midway: renaming it waits for the export's snapshot to end.)
        QTest::newRow("its connection killed midway") << "kill" << int(LogExportThread::QueryFailed);
        QTest::newRow("stopped midway") << "stop" << 2;
        QTest::newRow("database stops midway") << "server" << int(LogExportThread::QueryFailed);
        QTest::newRow("disk full midway") << "disk" << int(LogExportThread::OpenFailed);
        // A small disk of its own with so many bytes left free.
        QTest::newRow("full disk") << "small 0" << int(LogExportThread::DiskFull);
        QTest::newRow("nearly full disk") << "small 8192" << int(LogExportThread::DiskFull);
        // The operator's own file of mode 0444, in his own folder.
        QTest::newRow("a file the operator made read-only") << "read-only" << int(LogExportThread::OpenFailed);
    }
    void earlierFileKept()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        std::unique_ptr<ZnSmallDisk> disk;
        if (how.startsWith(QLatin1String("small "))) {
            disk = std::make_unique<ZnSmallDisk>(64 * 1024);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->why()));
            out = disk->path();
        }
        QVERIFY(writeFile(target(), kEarlier));
        if (disk)
            QVERIFY(disk->leaveFree(how.mid(6).toLongLong()));
        // The way to his folder open to him.
        const auto workMode = QFile::permissions(work.path());
        const auto workBack = qScopeGuard([&] { QFile::setPermissions(work.path(), workMode); });
        std::unique_ptr<ZnAsUser> asOperator;
        if (how == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(work.path(), workMode | QFile::ExeOther) && ZnAsUser::giveTo(out)
                    && ZnAsUser::giveTo(target())
                    && QFile::setPermissions(target(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            asOperator = std::make_unique<ZnAsUser>();
            if (!asOperator->active())
                QSKIP(qPrintable(asOperator->why()));
        }
        // A file-size limit with its signal ignored fails writes as a full disk does.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 2000;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (how == QStringLiteral("disk"))
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const int got = runThread([&](LogExportThread &t) {
            if (how == QStringLiteral("stop"))
                t.requestInterruption();
            else if (how == QStringLiteral("server"))
                testDb("stop");
            else if (how == QStringLiteral("kill"))
                sql(QStringLiteral("kill ") + QString::number(otherSessions().value(0)));
        });
        asOperator.reset();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        if (how == QStringLiteral("server"))
            QVERIFY(testDb("resume"));
        QCOMPARE(got, code);
        QCOMPARE(bytesOf(target()), kEarlier);
        QCOMPARE(filesInFolder(), disk ? QStringList({QStringLiteral("filler"), QStringLiteral("zn_user_log.csv")})
                                       : QStringList{QStringLiteral("zn_user_log.csv")});
    }

    // What the dialog shows when the export cannot be made ("*": the system's
    // reason), read in Chinese as the operator reads it: the cause where it has a
    // name, the advice to close the file only where it has none; only an empty
    // log leaves a file, and that one empty. Over what the operator set up at the
    // name (links, a second hard link, a folder he may not write), the export is
    // told done and lands in his file, all of it kept as he set it up.
    void dialogOutcomes_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("exportShown");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("name"); // typed as the file's name; empty: the dialog's own
        // What the operator set up in the folder (see ZnSetUpFiles); the export
        // then comes whole, and all of it stays as he set it up.
        QTest::addColumn<QStringList>("setUp");
        QTest::newRow("empty log") << QStringLiteral(
            "rename table userlog to userlog_full; create table userlog like userlog_full")
                                   << QStringLiteral("drop table userlog; rename table userlog_full to userlog")
                                   << QString() << QStringLiteral("日志空！|确定") << false
                                   << QStringList{QStringLiteral("zn_user_log.csv")} << QString() << QStringList();
        QTest::newRow("no such folder") << QString() << QString() << QStringLiteral("/missing")
                                        << QStringLiteral("目录不存在，日志未能导出！|取消") << true << QStringList()
                                        << QString() << QStringList();
        // The dialog's own folder, the platform's desktop: told, not made.
        QTest::newRow("a new account without a desktop folder")
            << QString() << QString() << QStringLiteral("<new account>")
            << QStringLiteral("目录不存在，日志未能导出！|取消") << true << QStringList() << QString() << QStringList();
        QTest::newRow("read-only disk") << QString() << QString() << QStringLiteral("<read-only disk>")
                                        << QStringLiteral("磁盘只读，日志未能导出！|取消") << true
                                        << QStringList{QStringLiteral("zn_user_log.csv")} << QString() << QStringList();
        QTest::newRow("a folder the operator may not write")
            << QString() << QString() << QStringLiteral("<not the operator's>")
            << QStringLiteral("没有写入权限，日志未能导出！|取消") << true << QStringList() << QString()
            << QStringList();
        // The earlier export stays whole.
        QTest::newRow("an earlier export the operator made read-only")
            << QString() << QString() << QStringLiteral("<read-only file>")
            << QStringLiteral("没有写入权限，日志未能导出！|取消") << true
            << QStringList{QStringLiteral("zn_user_log.csv")} << QString() << QStringList();
        // The earlier export there stays whole.
        QTest::newRow("full disk") << QString() << QString() << QStringLiteral("<small disk>")
                                   << QStringLiteral("磁盘空间不足，日志未能导出！|取消") << true
                                   << QStringList{QStringLiteral("filler"), QStringLiteral("zn_user_log.csv")}
                                   << QString() << QStringList();
        QTest::newRow("a name of 256 bytes")
            << QString() << QString() << QString() << QStringLiteral("文件名称或路径超长！|取消") << true
            << QStringList() << QString(252, QLatin1Char('n')) << QStringList();
        // What the operator set up at the name stays; the reason is told in Chinese.
        const QString loop = QStringLiteral("符号链接循环或层数过多，日志未能导出！|取消");
        const QString isFolder = QStringLiteral("该名称是一个文件夹，日志未能导出！|取消");
        QTest::newRow("a loop of links at the name")
            << QString() << QString() << QString() << loop << true << QStringList() << QString()
            << QStringList{QStringLiteral("l zn_user_log.csv loop.csv"), QStringLiteral("l loop.csv zn_user_log.csv")};
        QTest::newRow("a folder at the name")
            << QString() << QString() << QString() << isFolder << true << QStringList() << QString()
            << QStringList{QStringLiteral("f zn_user_log.csv/kept.csv")};
        QTest::newRow("a link to a folder at the name")
            << QString() << QString() << QString() << isFolder << true << QStringList() << QString()
            << QStringList{QStringLiteral("f kept/real.csv"), QStringLiteral("l zn_user_log.csv kept")};
        // Ids past 64 bits read as the highest: the rows above it cannot be reached.
        QTest::newRow("rows out of reach")
            << QStringLiteral("rename table userlog to userlog_full; create table userlog like userlog_full; "
                              "alter table userlog modify id bigint unsigned not null auto_increment; "
                              "insert into userlog (id, name) values (18446744073709551615, 'a'), (1, 'b')")
            << QStringLiteral("drop table userlog; rename table userlog_full to userlog") << QString()
            << QStringLiteral("日志未能完整导出，请重新导出！|取消") << true << QStringList() << QString()
            << QStringList();
        QTest::newRow("log unreadable") << QStringLiteral("rename table userlog to userlog_away")
                                        << QStringLiteral("rename table userlog_away to userlog") << QString()
                                        << QStringLiteral("数据库连接失败！|退出") << false << QStringList()
                                        << QString() << QStringList();
        // The export lands in the file the operator set up, as fopen("w") wrote it.
        const QString done = QStringLiteral("日志下载完成！");
        const auto landed = [&](const char *row, const QString &folder, const QStringList &files,
                                const QStringList &setUp) {
            QTest::newRow(row) << QString() << QString() << folder << done << false << files << QString() << setUp;
        };
        const QString csv = QStringLiteral("zn_user_log.csv");
        landed("an absolute link: its file replaced, the link kept", QString(), {QStringLiteral("real.csv"), csv},
               {QStringLiteral("f real.csv"), QStringLiteral("l zn_user_log.csv @/real.csv")});
        landed("a relative link", QString(), {QStringLiteral("real.csv"), csv},
               {QStringLiteral("f real.csv"), QStringLiteral("l zn_user_log.csv real.csv")});
        landed("a chain of two links", QString(), {QStringLiteral("middle.csv"), QStringLiteral("real.csv"), csv},
               {QStringLiteral("f real.csv"), QStringLiteral("l middle.csv real.csv"),
                QStringLiteral("l zn_user_log.csv middle.csv")});
        landed("a link into another folder", QString(), {csv},
               {QStringLiteral("f kept/real.csv"), QStringLiteral("l zn_user_log.csv kept/real.csv")});
        landed("a dangling link: the file it names made", QString(), {QStringLiteral("made.csv"), csv},
               {QStringLiteral("l zn_user_log.csv made.csv")});
        landed("a second hard link: written in place, both names show it", QString(), {csv},
               {QStringLiteral("f zn_user_log.csv"), QStringLiteral("h kept/other.csv zn_user_log.csv")});
        landed("the operator's own file in a folder he may not write: written in place",
               QStringLiteral("<not the operator's>"), {csv}, {QStringLiteral("f zn_user_log.csv")});
    }
    void dialogOutcomes()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(bool, exportShown);
        QFETCH(QStringList, files);
        QFETCH(QString, name);
        QFETCH(QStringList, setUp);
        QTranslator zh;
        QVERIFY(zh.load(QStringLiteral("translate/zh.qm"), oldDir));
        QCoreApplication::installTranslator(&zh);
        std::unique_ptr<ZnSmallDisk> disk;
        if (folder == QLatin1String("<small disk>") || folder == QLatin1String("<read-only disk>")) {
            disk = std::make_unique<ZnSmallDisk>(64 * 1024);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->why()));
            out = disk->path();
            QVERIFY(writeFile(target(), kEarlier));
            QVERIFY(folder == QLatin1String("<small disk>") ? disk->leaveFree(0) : disk->setReadOnly(true));
            folder.clear();
        }
        // A home of the operator's own, where config.ini is written.
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        const QString oldWork = QDir::currentPath();
        const auto homeBack = qScopeGuard([&] {
            qputenv("HOME", oldHome);
            if (!oldConfig.isEmpty())
                qputenv("XDG_CONFIG_HOME", oldConfig);
            QDir::setCurrent(oldWork);
        });
        const bool newAccount = folder == QLatin1String("<new account>");
        const bool readOnlyFile = folder == QLatin1String("<read-only file>");
        const bool asHim = readOnlyFile || folder == QLatin1String("<not the operator's>");
        if (newAccount || asHim) {
            qputenv("HOME", home.path().toUtf8());
            qunsetenv("XDG_CONFIG_HOME");
            QVERIFY(QDir::setCurrent(home.path()) && ZnAsUser::giveTo(home.path()));
            // Made by root: the operator may read it, not write it, unless given him.
            out = home.filePath(QStringLiteral("export"));
            QVERIFY(QDir().mkpath(out));
            folder.clear();
        }
        if (readOnlyFile)
            QVERIFY(writeFile(target(), kEarlier) && ZnAsUser::giveTo(out) && ZnAsUser::giveTo(target())
                    && QFile::setPermissions(target(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const ZnSetUpFiles setUpFiles(out, setUp, kEarlier);
        QVERIFY2(setUpFiles.made(), qPrintable(setUpFiles.why()));
        QVERIFY(sql(before));
        // Put back however the row ends: other tests read the log.
        const auto restore = qScopeGuard([&] { sql(after); });
        LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
        auto &ui = dialog.form();
        if (!newAccount)
            pointAtFolder(dialog, out + folder);
        if (!name.isEmpty())
            ui.file_name_le->setText(name);
        dialog.show();
        std::unique_ptr<ZnAsUser> asOperator;
        if (asHim) {
            asOperator = std::make_unique<ZnAsUser>();
            if (!asOperator->active())
                QSKIP(qPrintable(asOperator->why()));
        }
        Answered box(QStringLiteral("ConfirmButton"));
        ui.fExportBtn->click();
        QTRY_VERIFY(box.handled() || ui.message_widget->isVisible());
        asOperator.reset();
        if (newAccount)
            QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Desktop"))));
        // The message and the button's text, or the box that closed the dialog.
        const QString shown =
            box.handled() ? box.last() : ui.msg_lable->text() + QLatin1Char('|') + ui.fCancelBtn->text();
        if (message.contains(QStringLiteral("%1")))
            message = message.arg(out + folder + QStringLiteral("/zn_user_log.csv"));
        const QStringList parts = message.split(QLatin1Char('*'));
        QVERIFY2(shown.startsWith(parts.first()) && shown.endsWith(parts.last())
                     && (parts.size() == 1 ? shown.size() == message.size()
                                           : shown.size() > parts.first().size() + parts.last().size()),
                 qPrintable(shown));
        QCOMPARE(ui.fExportBtn->isVisible() && ui.fExportBtn->isEnabled(), exportShown);
        QCOMPARE(filesInFolder(), files);
        if (!setUp.isEmpty() && box.handled()) {
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            const QString differs = setUpFiles.changed(QStringLiteral("zn_user_log.csv"), wholeUserLog());
            QVERIFY2(differs.isEmpty(), qPrintable(differs));
            return;
        }
        QVERIFY(ui.fCancelBtn->isEnabled() && !ui.progress_widget->isVisible());
        if (!files.isEmpty())
            QCOMPARE(bytesOf(target()), disk || readOnlyFile ? kEarlier : QByteArray());
    }

    // Closing the dialog mid-export leaves the export running, the dialog gone:
    // the page queries the shared connection meanwhile, and the file comes whole.
    void closedMidExport()
    {
        auto dialog = std::make_unique<LogExportDialog>(nullptr, kHeaders, UserLogKind);
        pointAtFolder(*dialog, out);
        dialog->form().fExportBtn->click();
        const QPointer<LogExportThread> running = dialog->exportThread();
        QVERIFY(running);
        dialog->form().close_btn->click();
        dialog.reset();
        QCOMPARE(ZnDbQuery::userLogCount(), 250);
        QTRY_VERIFY(running.isNull()); // finished and gone
        QCOMPARE(filesInFolder(), QStringList{QStringLiteral("zn_user_log.csv")});
        QCOMPARE(linesOf(target()).size(), 251);
    }

    // 100 rows a page, newest first, through the server (count and page 1 at once)
    // or read from the log host without asking the server; next past the last
    // page and previous before the first ask for nothing. A log that changed
    // while the page showed its oldest rows is counted again by a refresh, which
    // goes to page 1: next then reaches its oldest row.
    void paging_data()
    {
        QTest::addColumn<int>("kind"); // talk, terminal, user
        QTest::addColumn<int>("serverRows");
        QTest::addColumn<bool>("host");
        QTest::addColumn<int>("changed"); // rows added once the page is built, below 0 the oldest removed
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastRows");   // on the last page
        QTest::addColumn<QString>("newest"); // the time of the first row
        QTest::addColumn<qint64>("oldest");  // the id of the last page's last row
        const auto at = [](qint64 secs) {
            return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        };
        const QString time = at(1700000000), later = at(1700086400), added = QStringLiteral("2026/04/01 01:40:00");
        QTest::newRow("server, empty") << 0 << 0 << false << 0 << 1 << 0 << QStringLiteral("<none>") << qint64(-1);
        QTest::newRow("server, exactly a page") << 0 << 100 << false << 0 << 1 << 100 << time << qint64(1);
        QTest::newRow("server, one row over a page") << 0 << 101 << false << 0 << 2 << 1 << time << qint64(1);
        QTest::newRow("talk, log host") << 0 << 0 << true << 0 << 3 << 5 << QStringLiteral("2026/01/01 11:25:00")
                                        << qint64(1);
        QTest::newRow("terminal, log host")
            << 1 << 0 << true << 0 << 3 << 30 << QStringLiteral("2026/02/01 12:50:00") << qint64(1);
        QTest::newRow("user, log host") << 2 << 0 << true << 0 << 3 << 50 << QStringLiteral("2026/03/01 14:10:00")
                                        << qint64(1);
        QTest::newRow("talk, server, grown") << 0 << 250 << false << 160 << 5 << 10 << later << qint64(1);
        QTest::newRow("terminal, server, grown") << 1 << 230 << false << 100 << 4 << 30 << later << qint64(1);
        QTest::newRow("user, server, grown") << 2 << 250 << false << 100 << 4 << 50 << later << qint64(1);
        QTest::newRow("talk, log host, grown") << 0 << 0 << true << 100 << 4 << 5 << added << qint64(1);
        QTest::newRow("terminal, log host, grown") << 1 << 0 << true << 100 << 4 << 30 << added << qint64(1);
        QTest::newRow("user, log host, grown") << 2 << 0 << true << 100 << 4 << 50 << added << qint64(1);
        QTest::newRow("talk, server, shrunk below the page shown")
            << 0 << 250 << false << -200 << 1 << 50 << time << qint64(201);
        QTest::newRow("user, log host, shrunk below the page shown")
            << 2 << 0 << true << -200 << 1 << 50 << QStringLiteral("2026/03/01 14:10:00") << qint64(201);
    }
    void paging()
    {
        QFETCH(int, kind);
        QFETCH(int, serverRows);
        QFETCH(bool, host);
        QFETCH(int, changed);
        QFETCH(int, pages);
        QFETCH(int, lastRows);
        QFETCH(QString, newest);
        QFETCH(qint64, oldest);
        serverTalkLog(serverRows, host ? "127.0.0.1:8999" : "127.0.0.1:0");
        if (kind != 0 && !host)
            changeServerLog(kind, serverRows, 1700000000, true);
        const QString table = QLatin1String(kind == 0 ? "talklog_bak" : kind == 1 ? "terminallog" : "userlog");
        std::unique_ptr<TableCopy> copy;
        if (host && changed != 0) {
            copy = std::make_unique<TableCopy>(table);
            QVERIFY(copy->ready && sql(QStringLiteral("insert into %1 select * from %1_kept").arg(table)));
        }
        int sent = logRequests();
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        auto &ui = page->form();
        const QString of = QLatin1Char('/') + QString::number(pages);
        QTRY_COMPARE(ui.fDataSourceLabel->text(),
                     host ? QStringLiteral("[ 日志主机：127.0.0.1 ]") : QStringLiteral("[ 日志主机：Local ]"));
        // One page read at a time: each click waits for the one before.
        const auto click = [&](QPushButton *b) {
            b->click();
            QTRY_VERIFY(!page->isReading());
        };
        const auto oldestShown = [&] { return shownIds(*page).value(ui.fTableWidget->rowCount() - 1, -1); };
        if (changed != 0) {
            QTRY_VERIFY(page->pageCount() > 1);
            while (page->currentPage() < page->pageCount())
                click(ui.fNext);
            QTRY_COMPARE(oldestShown(), qint64(1));
            if (!host)
                changeServerLog(kind, changed, 1700086400);
            else if (changed > 0)
                QVERIFY(sql(QStringLiteral("insert into %1 (%2) select '2026-04-01' + interval seq minute "
                                           "from seq_1_to_%3")
                                .arg(table, QLatin1String(kind == 0 ? "begin_time" : "date"))
                                .arg(changed)));
            else
                QVERIFY(sql(QStringLiteral("delete from %1 order by id limit %2").arg(table).arg(-changed)));
            sent = logRequests();
            click(ui.fRefreshButton);
        }
        QTRY_COMPARE(ui.fPageLabel->text(), QLatin1Char('1') + of);
        QTRY_COMPARE(ui.fTableWidget->rowCount(), pages > 1 ? 100 : lastRows);
        QTRY_COMPARE(cells(*page, 0, 0, 1).value(0), newest);
        for (int i = 0; i < pages; ++i)
            click(ui.fNext);
        QCOMPARE(ui.fPageLabel->text(), QString::number(pages) + of);
        QTRY_COMPARE(ui.fTableWidget->rowCount(), lastRows);
        QTRY_COMPARE(oldestShown(), oldest);
        for (int i = 0; i < pages; ++i)
            click(ui.fPrevious);
        QCOMPARE(ui.fPageLabel->text(), QLatin1Char('1') + of);
        QTRY_COMPARE(ui.fTableWidget->rowCount(), pages > 1 ? 100 : lastRows);
        QCOMPARE(logRequests() - sent, host ? 0 : 2 * pages);
    }

    // 100 rows a page and at least one page, for totals past 2^31 too.
    void pageCounts_data()
    {
        QTest::addColumn<qint64>("total");
        QTest::addColumn<qint64>("pages");
        QTest::newRow("unknown") << qint64(-1) << qint64(1);
        QTest::newRow("a page") << qint64(100) << qint64(1);
        QTest::newRow("a row over") << qint64(101) << qint64(2);
        QTest::newRow("past 2^31 rows") << qint64(300000000001) << qint64(3000000001);
    }
    void pageCounts()
    {
        QFETCH(qint64, total);
        QTEST(ZnLogPage::pagesFor(total), "pages");
    }

    // The columns sized to what they show; the others share the width.
    void fittedColumns_data()
    {
        QTest::addColumn<int>("kind"); // talk, terminal, user
        QTest::addColumn<QString>("fitted");
        QTest::newRow("talk: both times") << 0 << QStringLiteral("0 1");
        QTest::newRow("terminal: the date") << 1 << QStringLiteral("0");
        QTest::newRow("user: none") << 2 << QString();
    }
    void fittedColumns()
    {
        QFETCH(int, kind);
        serverTalkLog(0);
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        const QHeaderView *header = page->form().fTableWidget->horizontalHeader();
        QStringList fitted;
        for (int c = 0; c < header->count(); ++c) {
            if (header->sectionResizeMode(c) == QHeaderView::ResizeToContents)
                fitted << QString::number(c);
        }
        QTEST(fitted.join(QLatin1Char(' ')), "fitted");
    }

    // One table of type names (a type outside it shown as stored); a refresh goes
    // back to page 1 and waits before it may be used again.
    void typesAndRefresh()
    {
        serverTalkLog(250);
        ZnTalkLogInfoForm page;
        auto &ui = page.form();
        QTRY_COMPARE(ui.fTableWidget->rowCount(), 100);
        // Ids 250..245: types 4, 3, 2, 1, 0, 5.
        QCOMPARE(cells(page, -1, 6, 6),
                 QStringList({QStringLiteral("Broadcast"), QStringLiteral("Talkback"), QStringLiteral("Broadcast"),
                              QStringLiteral("Talkback"), QStringLiteral("EmergencyHelp"), QStringLiteral("5")}));
        ui.fNext->click();
        QTRY_COMPARE(cells(page, 0, 3, 1), QStringList{QStringLiteral("主叫150")});
        ui.fRefreshButton->click();
        QVERIFY(!ui.fRefreshButton->isEnabled());
        QTRY_COMPARE(cells(page, 0, 3, 1), QStringList{QStringLiteral("主叫250")});
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        QTRY_VERIFY(ui.fRefreshButton->isEnabled());
    }

    // The log host stopping between two pages or before a refresh from page 2:
    // the read says so once, shows no stale rows, keeps the last count (a refresh
    // cannot count the log then), and the page reads again once the host is back.
    void databaseStopsMidPage_data()
    {
        QTest::addColumn<int>("kind");      // talk, recordings
        QTest::addColumn<bool>("refresh");  // else next, and previous once the host is back
        QTest::addColumn<QString>("label"); // after the failed read
        QTest::newRow("talk, next") << 0 << false << QStringLiteral("2/3");
        QTest::newRow("talk, refresh") << 0 << true << QStringLiteral("1/3");
        QTest::newRow("recordings, refresh") << 3 << true << QStringLiteral("1/3");
    }
    void databaseStopsMidPage()
    {
        QFETCH(bool, refresh);
        QFETCH(int, kind);
        serverTalkLog(0, "127.0.0.1:8999");
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        auto &ui = page->form();
        QSignalSpy read(page.get(), &ZnLogPage::logHostRead);
        QTRY_COMPARE(ui.fTableWidget->rowCount(), 100);
        if (refresh) {
            ui.fNext->click();
            QVERIFY(read.wait(20000));
        }
        QVERIFY(testDb("stop"));
        Boxes told;
        (refresh ? ui.fRefreshButton : ui.fNext)->click();
        QVERIFY(read.wait(20000));
        QVERIFY(testDb("resume"));
        QCOMPARE(told.said, QStringList{QStringLiteral("Talkback log server connect error!")});
        QCOMPARE(ui.fTableWidget->rowCount(), 0);
        QTEST(ui.fPageLabel->text(), "label");
        const QString source =
            kind == 3 ? QStringLiteral("[ 录音主机：127.0.0.1 ]") : QStringLiteral("[ 日志主机：127.0.0.1 ]");
        QCOMPARE(ui.fDataSourceLabel->text(), source);
        (refresh ? ui.fNext : ui.fPrevious)->click();
        QVERIFY(read.wait(20000));
        QCOMPARE(ui.fTableWidget->rowCount(), 100);
        QCOMPARE(ui.fPageLabel->text(), refresh ? QStringLiteral("2/3") : QStringLiteral("1/3"));
        QCOMPARE(ui.fDataSourceLabel->text(), source);
    }

    // A log host that takes the connection and then answers nothing holds no
    // click: the page is back at once, a second click meanwhile starts nothing,
    // and the page lands when the host answers again.
    void stalledLogHost()
    {
        serverTalkLog(0, "127.0.0.1:8999");
        ZnTalkLogInfoForm page;
        auto &ui = page.form();
        QTRY_COMPARE(ui.fTableWidget->rowCount(), 100);
        Boxes told; // a stall taken for a failure would say so
        frozen = freezeTestDb(true);
        QVERIFY(frozen);
        QSignalSpy read(&page, &ZnLogPage::logHostRead);
        ui.fNext->click();
        QVERIFY(page.isReading());
        QCOMPARE(cells(page, 0, 3, 1), QStringList{QStringLiteral("主叫205")});
        ui.fNext->click();
        ui.fPrevious->click();
        ui.fRefreshButton->click();
        QVERIFY(ui.fRefreshButton->isEnabled());
        ui.fLogDownloadBt->click();
        // The label names the page whose rows are shown.
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        frozen = !freezeTestDb(false);
        QVERIFY(!frozen);
        QVERIFY(read.wait(20000));
        QCOMPARE(cells(page, 0, 3, 1), QStringList{QStringLiteral("主叫105")});
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("2/3"));
        QCOMPARE(told.said, QStringList());
        QVERIFY(!page.isReading());
        QCOMPARE(read.count(), 1);
        // A refresh shows page 1's number with page 1's rows.
        ui.fRefreshButton->click();
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("2/3"));
        QVERIFY(read.wait(20000));
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        QCOMPARE(cells(page, 0, 3, 1), QStringList{QStringLiteral("主叫205")});
    }

    // Through the server the page label changes with the rows: a page request the
    // server refuses leaves label, rows and paging on the page shown, so the same
    // button asks again.
    void labelFollowsTheRows_data()
    {
        QTest::addColumn<int>("kind");     // talk, user
        QTest::addColumn<bool>("forward"); // next, else previous, from page 2
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("first"); // caller or user of the first row once answered
        QTest::newRow("talk, next") << 0 << true << QStringLiteral("3/3") << QStringLiteral("主叫50");
        QTest::newRow("talk, previous") << 0 << false << QStringLiteral("1/3") << QStringLiteral("主叫250");
        QTest::newRow("user, next") << 2 << true << QStringLiteral("3/3") << QStringLiteral("用户50");
    }
    void labelFollowsTheRows()
    {
        QFETCH(int, kind);
        QFETCH(bool, forward);
        serverTalkLog(250);
        s.sim.withData([](ZnSimData &data) {
            data.table("userlog").clear();
            for (int i = 1; i <= 250; ++i) {
                Json::Value r(Json::objectValue);
                r["id"] = std::to_string(i);
                r["name"] = "用户" + std::to_string(i);
                data.addRow("userlog", r);
            }
        });
        std::unique_ptr<ZnLogPage> page;
        if (kind == 0)
            page.reset(new ZnTalkLogInfoForm);
        else
            page.reset(new ZnUserLogInfoForm);
        auto &ui = page->form();
        const int nameColumn = kind == 0 ? 3 : 1;
        const QString prefix = kind == 0 ? QStringLiteral("主叫") : QStringLiteral("用户");
        QTRY_COMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        ui.fNext->click();
        QTRY_COMPARE(cells(*page, 0, nameColumn, 1), QStringList{prefix + QStringLiteral("150")});
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("2/3"));
        QPushButton *button = forward ? ui.fNext : ui.fPrevious;
        const int sent = logRequests();
        s.sim.addRule(ZnSimRule::make("GET SqlLog", ZnSimRule::Fail, "busy", 0, 1));
        button->click();
        QTRY_COMPARE(logRequests(), sent + 1);
        QCoreApplication::processEvents();
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("2/3"));
        QCOMPARE(cells(*page, 0, nameColumn, 1), QStringList{prefix + QStringLiteral("150")});
        s.sim.clearRules();
        button->click();
        QFETCH(QString, first);
        QTRY_COMPARE(cells(*page, 0, nameColumn, 1), QStringList{first});
        QTEST(ui.fPageLabel->text(), "label");
    }

    // A log host that never answers the connection: each page is built at once,
    // its labels as the form has them till the first answer, and shows one box for
    // the one failure; the talk and terminal pages then stop there, the user page
    // goes on. Once the host answers, a refresh counts the log.
    void unreachableLogHost_data()
    {
        QTest::addColumn<int>("kind");      // talk, terminal, user
        QTest::addColumn<QString>("after"); // the source and page labels after the failure
        QTest::newRow("talk") << 0 << QStringLiteral("TextLabel|0/0");
        QTest::newRow("terminal") << 1 << QStringLiteral("TextLabel|0/0");
        QTest::newRow("user") << 2 << QStringLiteral("[ 日志主机：127.0.0.1 ]|1/1");
    }
    void unreachableLogHost()
    {
        QFETCH(int, kind);
        serverTalkLog(3, "127.0.0.1:8999");
        // Listening without ever accepting: the handshake completes, no greeting follows.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        gMySqlPort = silent.serverPort();
        ZnMySql::connectTalkLogDb("127.0.0.1"); // the page must connect anew
        Boxes told;
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        auto &ui = page->form();
        const auto labels = [&] { return ui.fDataSourceLabel->text() + QLatin1Char('|') + ui.fPageLabel->text(); };
        QCOMPARE(labels(), QStringLiteral("TextLabel|0/0"));
        QSignalSpy read(page.get(), &ZnLogPage::logHostRead);
        QVERIFY(read.wait(20000));
        QTEST(labels(), "after");
        QCOMPARE(ui.fTableWidget->rowCount(), 0);
        QCOMPARE(told.said, QStringList{QStringLiteral("Talkback log server connect error!")});
        gMySqlPort = testDbPort();
        QVERIFY(connectTestDb());
        // The first good read counts the log, so its later pages can be reached.
        ui.fRefreshButton->click();
        QVERIFY(read.wait(20000));
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        QCOMPARE(ui.fTableWidget->rowCount(), 100);
        QCOMPARE(ui.fDataSourceLabel->text(), QStringLiteral("[ 日志主机：127.0.0.1 ]"));
    }

    // The log host as the server names it: each part of a dotted address is
    // decimal, zero-padded too (read as octal, 127.000.000.010 would be
    // 127.0.0.8, where nothing listens); the page shows the server's text. The
    // test database listens on 127.0.0.10 as well.
    void logHostAddress_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("zero-padded parts read as decimal") << QStringLiteral("127.000.000.010");
        QTest::newRow("plain address as given") << QStringLiteral("127.0.0.10");
    }
    void logHostAddress()
    {
        QFETCH(QString, host);
        serverTalkLog(0, host.toStdString() + ":8999");
        // The page connects anew only when no connection stands.
        ZnSimClosedPort closed;
        gMySqlPort = closed.port();
        QVERIFY(ZnMySql::connectTalkLogDb("127.0.0.1") < 0);
        gMySqlPort = testDbPort();
        auto reconnect = qScopeGuard([] { connectTestDb(); });
        Boxes told;
        ZnTalkLogInfoForm page;
        QSignalSpy read(&page, &ZnLogPage::logHostRead);
        QVERIFY(read.wait(20000));
        QCOMPARE(told.said, QStringList());
        QCOMPARE(page.form().fTableWidget->rowCount(), 100);
        QCOMPARE(page.form().fDataSourceLabel->text(), QStringLiteral("[ 日志主机：%1 ]").arg(host));
    }

    // The export gets "序号" and then the headers the page's table shows, "NULL"
    // for a column without one, and the page's own log.
    void exportHeaders_data()
    {
        QTest::addColumn<int>("kind"); // talk, terminal, user
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("file");
        const QString no = QStringLiteral("序号");
        QTest::newRow("talk") << 0 << false
                              << QStringList{no,
                                             QStringLiteral("Begin Time"),
                                             QStringLiteral("End Time"),
                                             QStringLiteral("Caller Code"),
                                             QStringLiteral("Caller Name"),
                                             QStringLiteral("Called Code"),
                                             QStringLiteral("Called Name"),
                                             QStringLiteral("Type"),
                                             QStringLiteral("Content")}
                              << QStringLiteral("zn_talkback_log");
        QTest::newRow("terminal") << 1 << false
                                  << QStringList{no,
                                                 QStringLiteral("Date"),
                                                 QStringLiteral("Terminal Id"),
                                                 QStringLiteral("Name"),
                                                 QStringLiteral("Type"),
                                                 QStringLiteral("IP"),
                                                 QStringLiteral("Action")}
                                  << QStringLiteral("zn_terminal_log");
        QTest::newRow("user, one header renamed, one gone")
            << 2 << true
            << QStringList{no, QStringLiteral("日期"), QStringLiteral("NULL"), QStringLiteral("IP"),
                           QStringLiteral("Content")}
            << QStringLiteral("zn_user_log");
    }
    void exportHeaders()
    {
        QFETCH(int, kind);
        QFETCH(bool, changed);
        serverTalkLog(0, "127.0.0.1:8999");
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        QTableWidget *table = page->form().fTableWidget;
        QTRY_COMPARE(table->rowCount(), 100);
        if (changed) {
            table->horizontalHeaderItem(0)->setText(QStringLiteral("日期"));
            delete table->takeHorizontalHeaderItem(1);
        }
        QStringList headers;
        QString file;
        ZnModalHelper opened;
        opened.onModal([&](QWidget *w) {
            if (auto *dialog = qobject_cast<LogExportDialog *>(w)) {
                headers = dialog->headerList();
                file = dialog->form().file_name_le->text();
            }
            w->close();
        });
        page->form().fLogDownloadBt->click();
        QVERIFY(opened.handled());
        QTEST(headers, "headers");
        QTEST(file, "file");
    }

    // Each page's title, its column headers in order, and one record's cells as
    // they come through the server.
    void pageCells_data()
    {
        QTest::addColumn<int>("kind"); // talk, terminal, user
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("headers");
        QTest::addColumn<QString>("cells"); // T0 and T1 stand for the two times
        QTest::newRow("talk") << 0 << "Talk Log"
                              << "Begin Time|End Time|Caller Code|Caller Name|Called Code|Called Name|Type|Content"
                              << "T0|T1|12|甲|34|乙|Broadcast|火警";
        QTest::newRow("terminal") << 1 << "Terminal Log"
                                  << "Date|Terminal Id|Name|Type|IP|Action"
                                  << "T0|10001|大厅|IP|10.0.0.1|上线";
        QTest::newRow("user") << 2 << "User Log"
                              << "Date|User Name|IP|Content"
                              << "T0|admin|10.0.0.2|登录";
    }
    void pageCells()
    {
        QFETCH(int, kind);
        QFETCH(QString, cells);
        serverTalkLog(0);
        s.sim.withData([&](ZnSimData &data) {
            Json::Value r(Json::objectValue);
            if (kind == 0) {
                for (const auto &f : std::map<std::string, std::string>{{"id", "7"},
                                                                        {"begin_time", "1700000000"},
                                                                        {"end_time", "1700000090"},
                                                                        {"callerId", "12"},
                                                                        {"callerName", "甲"},
                                                                        {"calledId", "34"},
                                                                        {"calledName", "乙"},
                                                                        {"type", "2"},
                                                                        {"source_name", "火警"}})
                    r[f.first] = f.second;
                data.addRow("talklog", r);
            } else if (kind == 1) {
                for (const auto &f : std::map<std::string, std::string>{{"id", "3"},
                                                                        {"date", "1700000000"},
                                                                        {"terminalId", "10001"},
                                                                        {"name", "大厅"},
                                                                        {"type", "IP"},
                                                                        {"ip", "10.0.0.1"},
                                                                        {"action", "上线"}})
                    r[f.first] = f.second;
                data.table("terminallog") = {r};
            } else {
                for (const auto &f : std::map<std::string, std::string>{{"id", "4"},
                                                                        {"date", "1700000000"},
                                                                        {"name", "admin"},
                                                                        {"ip", "10.0.0.2"},
                                                                        {"content", "登录"}})
                    r[f.first] = f.second;
                data.table("userlog") = {r};
            }
        });
        std::unique_ptr<ZnLogPage> page = newLogPage(kind);
        QTableWidget *table = page->form().fTableWidget;
        QTRY_COMPARE(table->rowCount(), 1);
        QTEST(page->form().tableNameLable->text(), "title");
        QStringList headers, shown;
        for (int c = 0; c < table->columnCount(); ++c) {
            headers << (table->horizontalHeaderItem(c) ? table->horizontalHeaderItem(c)->text() : QStringLiteral("-"));
            shown << (table->item(0, c) ? table->item(0, c)->text() : QStringLiteral("-"));
        }
        QTEST(headers.join(QLatin1Char('|')), "headers");
        const QString format = QStringLiteral("yyyy/MM/dd hh:mm:ss");
        cells.replace(QLatin1String("T0"), QDateTime::fromSecsSinceEpoch(1700000000).toString(format));
        cells.replace(QLatin1String("T1"), QDateTime::fromSecsSinceEpoch(1700000090).toString(format));
        QCOMPARE(shown.join(QLatin1Char('|')), cells);
    }

    // What the export button and an unreachable log host say.
    void refusals_data()
    {
        QTest::addColumn<QString>("logServer");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("no log host") << QStringLiteral("127.0.0.1:0")
                                     << QStringList{QStringLiteral("日志主机不存在，请选配主机!")};
        QTest::newRow("log host down") << QStringLiteral("127.0.0.1:1")
                                       << QStringList{QStringLiteral("Talkback log server connect error!"),
                                                      QStringLiteral("日志记录不存在!")};
    }
    void refusals()
    {
        QFETCH(QString, logServer);
        QFETCH(QStringList, said);
        serverTalkLog(3, logServer.toStdString());
        const bool down = said.size() > 1;
        ZnSimClosedPort closed;
        QVERIFY(closed.port() > 0);
        if (down)
            gMySqlPort = closed.port();
        QStringList seen;
        std::unique_ptr<Answered> atStart;
        if (down) {
            ZnMySql::connectTalkLogDb("127.0.0.1"); // down: the page must connect anew, and fails
            atStart.reset(new Answered);
        }
        ZnTalkLogInfoForm page;
        if (atStart) {
            QTRY_VERIFY(atStart->handled());
            seen << atStart->last();
            QCOMPARE(page.form().fDataSourceLabel->text() + page.form().fPageLabel->text(),
                     QStringLiteral("TextLabel0/0"));
        } else {
            QTRY_COMPARE(page.form().fTableWidget->rowCount(), 3);
        }
        Answered atExport;
        page.form().fLogDownloadBt->click();
        seen << atExport.last();
        QCOMPARE(seen, said);
        gMySqlPort = testDbPort();
    }
};

QTEST_MAIN(tst_logpages)
#include "tst_logpages.moc"
