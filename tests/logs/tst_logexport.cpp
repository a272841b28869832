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
#include <QProcess>
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

// The fields of every line; a line that breaks the layout reads as {"<bad>", line}.
QList<QStringList> readCsv(const QString &path)
{
    QFile f(path);
    QList<QStringList> lines;
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    for (const QString &line :
         QTextCodec::codecForName("GBK")->toUnicode(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList fields;
        int i = 0;
        for (; i < line.size() && line[i] == QLatin1Char('"'); i += 2) {
            QString field;
            for (++i; i < line.size() && !(line[i] == QLatin1Char('"') && line.mid(i, 2) != QStringLiteral("\"\""));
                 ++i)
                field += line[line[i] == QLatin1Char('"') ? i++ : i];
            if (line.mid(i, 2) != QStringLiteral("\","))
                break;
            fields << field;
        }
        lines << (i == line.size() ? fields : QStringList{QStringLiteral("<bad>"), line});
    }
    return lines;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
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

    void csvAddedOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "abc"
                               << "/d/abc.csv";
        QTest::newRow("already csv") << "abc.csv"
                                     << "/d/abc.csv";
        QTest::newRow("upper case") << "abc.CSV"
                                    << "/d/abc.CSV.csv";
    }
    void csvAddedOnce()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(LogExportDialog::exportPath(QStringLiteral("/d"), name), path);
    }

    // 250 rows in three pages, Chinese text, quotes and commas inside fields, GBK.
    void wholeLogThroughTheDialog()
    {
        const QString updates = QString::fromUtf8("update userlog set content = '他说\"好\",再见' where id = 250; ")
                                + QString::fromUtf8("update userlog set name = '王,\"五\"' where id = 249");
        QVERIFY(sql(updates));
        QFile::remove(QStringLiteral("config.ini"));
        {
            LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
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
        }
        sql(QStringLiteral("update userlog set content = '登录系统 250' where id = 250; update userlog set name = "
                           "'用户249' where id = 249"));

        const QByteArray bytes = bytesOf(target());
        QVERIFY(bytes.endsWith(",\n") && !bytes.contains('\r'));
        const QList<QStringList> lines = readCsv(target());
        QCOMPARE(lines.size(), 251);
        QCOMPARE(lines[0], kHeaders);
        QCOMPARE(lines[1],
                 (QStringList{QStringLiteral("1"), QStringLiteral("2026/03/01 14:10:00"), QStringLiteral("用户250"),
                              QStringLiteral("192.168.1.0"), QStringLiteral("他说\"好\",再见")}));
        QCOMPARE(lines[2].mid(0, 3), (QStringList{QStringLiteral("2"), QStringLiteral("2026/03/01 14:09:00"),
                                                  QStringLiteral("王,\"五\"")}));
        QCOMPARE(lines[250],
                 (QStringList{QStringLiteral("250"), QStringLiteral("2026/03/01 10:01:00"), QStringLiteral("用户1"),
                              QStringLiteral("192.168.1.1"), QStringLiteral("登录系统 1")}));

        // The folder is remembered for the next export.
        LogExportDialog again(nullptr, kHeaders, UserLogKind);
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
        QStringList names;
        for (const QStringList &line : readCsv(target()).mid(1))
            names << line.value(2);
        QCOMPARE(names.size(), 250);
        QCOMPARE(names.first() + names.last(), QStringLiteral("用户250用户1"));
        QCOMPARE(names.removeDuplicates(), 0);
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
        QFile f(target());
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(kEarlier) == kEarlier.size());
        f.close();
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
                    QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT),
                                      {QStringLiteral("stop"), QStringLiteral(ZN_MARIADB_DIR)});
                else if (how != QStringLiteral("disk"))
                    sql(how);
            });
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
            if (how == QStringLiteral("server"))
                QCOMPARE(QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT),
                                           {QStringLiteral("resume"), QStringLiteral(ZN_MARIADB_DIR)}),
                         0);
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
        QTest::addColumn<QString>("cancelText");
        QTest::addColumn<bool>("exportShown");
        QTest::newRow("empty log") << "rename table userlog to userlog_full; create table userlog like userlog_full"
                                   << "drop table userlog; rename table userlog_full to userlog"
                                   << ""
                                   << "日志空！"
                                   << "确定" << false;
        QTest::newRow("no such folder") << ""
                                        << ""
                                        << "/missing"
                                        << "文件打开失败，请关闭文件尝试！"
                                        << "取消" << true;
        QTest::newRow("log unreadable") << "rename table userlog to userlog_away"
                                        << "rename table userlog_away to userlog"
                                        << ""
                                        << "数据库连接失败！"
                                        << "退出" << false;
    }
    void dialogOutcomes()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, folder);
        QFETCH(QString, message);
        QFETCH(QString, cancelText);
        QFETCH(bool, exportShown);
        QVERIFY(sql(before));
        LogExportDialog dialog(nullptr, kHeaders, UserLogKind);
        auto &ui = dialog.form();
        pointAtFolder(dialog, out + folder);
        dialog.show();
        ui.fExportBtn->click();
        QTRY_VERIFY(ui.message_widget->isVisible());
        QVERIFY(sql(after));
        QCOMPARE(ui.msg_lable->text() + ui.fCancelBtn->text(), message + cancelText);
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
                     || (files == QStringList{QStringLiteral("zn_user_log.csv")} && readCsv(target()).size() == 251),
                 qPrintable(files.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(tst_logexport)
#include "tst_logexport.moc"
