// The CSV export of a whole log from the test database: the file as written, the
// earlier file kept whole when an export fails or stops, the rows pinned at the
// start, and the dialog's outcomes.
#include "LogExportDialog.h"
#include "LogExportKind.h"
#include "LogExportThread.h"
#include "LogTestDb.h"
#include "ZnDbQuery.h"
#include "ZnResources.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>

namespace {

const QStringList kHeaders{QStringLiteral("序号"), QStringLiteral("Date"), QStringLiteral("User Name"),
                           QStringLiteral("IP"), QStringLiteral("Content")};
const QByteArray kEarlier("an earlier export\n");

// The lines of a file written in GBK.
QStringList linesOf(const QString &path)
{
    return QTextCodec::codecForName("GBK")->toUnicode(bytesOf(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class tst_logexport : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    QString oldDir;
    QString out; // the export folder of one test

    QString target() const { return out + QStringLiteral("/zn_user_log.csv"); }
    QStringList filesInFolder() const { return QDir(out).entryList(QDir::Files | QDir::Hidden); }
    void pointAtFolder(LogExportDialog &dialog, const QString &folder)
    {
        dialog.form().directoryComboBox->addItem(folder);
        dialog.form().directoryComboBox->setCurrentText(folder);
    }

    // An export of the user log on a thread of its own; the hook runs on that
    // thread when the first page is written. Returns the finish code, 2 for none.
    int runThread(const std::function<void(LogExportThread &)> &atFirstPage)
    {
        LogExportThread t(target(), kHeaders, UserLogKind);
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

private slots:
    void initTestCase()
    {
        znInitResources();
        QVERIFY(connectTestDb());
        oldDir = QDir::currentPath();
        QDir::setCurrent(work.path());
    }
    void cleanupTestCase() { QDir::setCurrent(oldDir); }
    void init()
    {
        static int n = 0;
        out = work.path() + QStringLiteral("/out") + QString::number(++n);
        QVERIFY(QDir().mkpath(out));
    }

    // ".csv" added unless the name ends in it already.
    void csvAddedOnce()
    {
        QCOMPARE(LogExportDialog::exportPath(QStringLiteral("/d"), QStringLiteral("abc")),
                 QStringLiteral("/d/abc.csv"));
        QCOMPARE(LogExportDialog::exportPath(QStringLiteral("/d"), QStringLiteral("abc.csv")),
                 QStringLiteral("/d/abc.csv"));
        QCOMPARE(LogExportDialog::exportPath(QStringLiteral("/d"), QStringLiteral("abc.CSV")),
                 QStringLiteral("/d/abc.CSV.csv"));
    }

    // Each log whole, in pages, in GBK: every field quoted (quotes inside doubled)
    // and followed by a comma, "\n" line ends.
    void wholeLogThroughTheDialog_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("lines"); // the first and the last
        QTest::newRow("user, quotes and commas inside fields")
            << int(UserLogKind) << 250
            << QStringList{
                   QStringLiteral(
                       "\"1\",\"2026/03/01 14:10:00\",\"王,\"\"五\"\"\",\"192.168.1.0\",\"他说\"\"好\"\",再见\","),
                   QStringLiteral("\"250\",\"2026/03/01 10:01:00\",\"用户1\",\"192.168.1.1\",\"登录系统 1\",")};
        QTest::newRow("talk")
            << int(TalkLogKind) << 205
            << QStringList{QStringLiteral("\"1\",\"2026/01/01 11:25:00\",\"2026/01/01 "
                                          "11:25:30\",\"1205\",\"主叫205\",\"2205\",\"被叫205\",\"广播\",\"音源205\","),
                           QStringLiteral("\"205\",\"2026/01/01 08:01:00\",\"2026/01/01 "
                                          "08:01:30\",\"1001\",\"主叫1\",\"2001\",\"被叫1\",\"广播\",\"音源1\",")};
        QTest::newRow("terminal")
            << int(TermLogKind) << 230
            << QStringList{
                   QStringLiteral(
                       "\"1\",\"2026/02/01 12:50:00\",\"330\",\"终端230\",\"寻呼话筒\",\"10.0.1.30\",\"上线\","),
                   QStringLiteral(
                       "\"230\",\"2026/02/01 09:01:00\",\"101\",\"终端1\",\"寻呼话筒\",\"10.0.0.1\",\"下线\",")};
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

    // A failed, stopped or declined export leaves the earlier file byte for byte.
    void earlierFileKept_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");
        QTest::newRow("table gone midway")
            << "rename table userlog to userlog_away" << int(LogExportThread::QueryFailed);
        QTest::newRow("stopped midway") << "stop" << 2;
        QTest::newRow("database stops midway") << "server" << int(LogExportThread::QueryFailed);
        QTest::newRow("disk full midway") << "disk" << int(LogExportThread::OpenFailed);
        QTest::newRow("replace declined") << "decline" << 2;
    }
    void earlierFileKept()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        QVERIFY(writeFile(target(), kEarlier));
        if (how == QStringLiteral("decline")) {
            LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
            pointAtFolder(dialog, out);
            Answered ask(QStringLiteral("cancelButton"));
            dialog.form().fExportBtn->click();
            QVERIFY(ask.handled());
            QVERIFY(!dialog.exportThread() && dialog.form().fExportBtn->isEnabled());
        } else {
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
                else if (how != QStringLiteral("disk"))
                    sql(how);
            });
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
            if (how == QStringLiteral("server"))
                QVERIFY(testDb("resume"));
            sql(QStringLiteral("rename table userlog_away to userlog"));
            QCOMPARE(got, code);
        }
        QCOMPARE(bytesOf(target()), kEarlier);
        QCOMPARE(filesInFolder(), QStringList{QStringLiteral("zn_user_log.csv")});
    }

    // What the dialog shows when the export cannot be made; it writes nothing.
    void dialogOutcomes_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("exportShown");
        QTest::newRow("empty log") << QStringLiteral(
            "rename table userlog to userlog_full; create table userlog like userlog_full")
                                   << QStringLiteral("drop table userlog; rename table userlog_full to userlog")
                                   << QString() << QStringLiteral("日志空！确定") << false;
        QTest::newRow("no such folder") << QString() << QString() << QStringLiteral("/missing")
                                        << QStringLiteral("文件打开失败，请关闭文件尝试！取消") << true;
        QTest::newRow("log unreadable") << QStringLiteral("rename table userlog to userlog_away")
                                        << QStringLiteral("rename table userlog_away to userlog") << QString()
                                        << QStringLiteral("数据库连接失败！退出") << false;
    }
    void dialogOutcomes()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, folder);
        QFETCH(bool, exportShown);
        QVERIFY(sql(before));
        LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
        auto &ui = dialog.form();
        pointAtFolder(dialog, out + folder);
        dialog.show();
        ui.fExportBtn->click();
        QTRY_VERIFY(ui.message_widget->isVisible());
        QVERIFY(sql(after));
        QTEST(ui.msg_lable->text() + ui.fCancelBtn->text(), "message"); // the message and the button's text
        QVERIFY(ui.fCancelBtn->isEnabled() && !ui.progress_widget->isVisible());
        QCOMPARE(ui.fExportBtn->isVisible() && ui.fExportBtn->isEnabled(), exportShown);
        QCOMPARE(filesInFolder(), QStringList());
    }

    // Closing the dialog mid-export: once it has closed the export has ended, so
    // the page may query the shared connection at once.
    void closedMidExport()
    {
        LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
        pointAtFolder(dialog, out);
        bool closed = false;
        connect(dialog.form().export_bar, &QProgressBar::valueChanged, this, [&] {
            if (!std::exchange(closed, true))
                dialog.form().close_btn->click();
        });
        dialog.form().fExportBtn->click();
        QTRY_VERIFY(closed);
        QVERIFY(!dialog.exportThread() || dialog.exportThread()->isFinished());
        QCOMPARE(ZnDbQuery::userLogCount(), 250);
        // Either stopped (nothing written) or finished (the whole log).
        const QStringList files = filesInFolder();
        QVERIFY2(files.isEmpty()
                     || (files == QStringList{QStringLiteral("zn_user_log.csv")} && linesOf(target()).size() == 251),
                 qPrintable(files.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(tst_logexport)
#include "tst_logexport.moc"
