// The three log pages against the simulated server ("SqlLog") and, with a log
// host, against the test database.
#include "../managers/consoles/ModelSim.h"
#include "LogTestDb.h"
#include "ZnResources.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTermLogInfoForm.h"
#include "ZnUserLogInfoForm.h"

#include <QProcess>
#include <QTableWidget>
#include <QTcpServer>
#include <QtTest>

#include <memory>

class tst_logpages : public QObject
{
    Q_OBJECT

    SimSession s;

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
    }
    static QString cell(ZnLogPage &page, int row, int column)
    {
        const QTableWidgetItem *item = page.form().fTableWidget->item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    static QStringList row(ZnLogPage &page, int r, int columns)
    {
        QStringList out;
        for (int c = 0; c < columns; ++c)
            out << cell(page, r, c);
        return out;
    }
    int logRequests() const { return s.sim.count("GET SqlLog"); }

private slots:
    void initTestCase()
    {
        znInitResources();
        QVERIFY(startModels(s));
        QVERIFY(testDbPort() > 0);
    }

    // Through the server: the count and page 1 at once, the label saying so.
    void pagesThroughTheServer_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("label");
        QTest::newRow("empty") << 0 << "1/1";
        QTest::newRow("one page") << 100 << "1/1";
        QTest::newRow("one row over") << 101 << "1/2";
        QTest::newRow("250") << 250 << "1/3";
    }
    void pagesThroughTheServer()
    {
        QFETCH(int, rows);
        QFETCH(QString, label);
        serverTalkLog(rows);
        ZnTalkLogInfoForm page;
        QTRY_COMPARE(page.form().fPageLabel->text(), label);
        QTRY_COMPARE(page.form().fTableWidget->rowCount(), qMin(rows, 100));
    }

    // Next past the last page and previous before the first send nothing; one
    // table of type names, a type outside it shown as stored.
    void pagingAndTypes()
    {
        serverTalkLog(250);
        ZnTalkLogInfoForm page;
        auto &ui = page.form();
        QTRY_COMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        QTRY_COMPARE(
            row(page, 0, 1),
            QStringList{QDateTime::fromSecsSinceEpoch(1700000000).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"))});
        QStringList types;
        for (int r = 0; r < 6; ++r)
            types << cell(page, r, 6); // ids 250..245: types 4, 3, 2, 1, 0, 5
        QCOMPARE(types,
                 QStringList({QStringLiteral("Broadcast"), QStringLiteral("Talkback"), QStringLiteral("Broadcast"),
                              QStringLiteral("Talkback"), QStringLiteral("EmergencyHelp"), QStringLiteral("5")}));

        int sent = logRequests();
        ui.fPrevious->click();
        QCOMPARE(logRequests(), sent);
        for (const QString &caller : {QStringLiteral("主叫150"), QStringLiteral("主叫50")}) {
            ui.fNext->click();
            QCOMPARE(logRequests(), ++sent);
            QTRY_COMPARE(cell(page, 0, 3), caller);
        }
        ui.fNext->click();
        QCOMPARE(logRequests(), sent);
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("3/3"));

        // Refresh: back to page 1, and not again until its time is up.
        ui.fRefreshButton->click();
        QVERIFY(!ui.fRefreshButton->isEnabled());
        QTRY_COMPARE(cell(page, 0, 3), QStringLiteral("主叫250"));
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        QTRY_VERIFY(ui.fRefreshButton->isEnabled());
    }

    // With a log host every page reads the database itself and asks the server nothing.
    void pagesFromTheLogHost_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("firstRow");
        QTest::newRow("talk") << 0
                              << QStringList{QStringLiteral("2026/01/01 11:25:00"),
                                             QStringLiteral("2026/01/01 11:25:30"),
                                             QStringLiteral("1205"),
                                             QStringLiteral("主叫205"),
                                             QStringLiteral("2205"),
                                             QStringLiteral("被叫205"),
                                             QStringLiteral("广播"),
                                             QStringLiteral("音源205")};
        QTest::newRow("terminal") << 1 << QStringList{QStringLiteral("2026/02/01 12:50:00"),
                                                      QStringLiteral("330"),
                                                      QStringLiteral("终端230"),
                                                      QStringLiteral("寻呼话筒"),
                                                      QStringLiteral("10.0.1.30"),
                                                      QStringLiteral("上线")};
        QTest::newRow("user") << 2
                              << QStringList{QStringLiteral("2026/03/01 14:10:00"), QStringLiteral("用户250"),
                                             QStringLiteral("192.168.1.0"), QStringLiteral("登录系统 250")};
    }
    void pagesFromTheLogHost()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, firstRow);
        serverTalkLog(0, "127.0.0.1:8999");
        gMySqlPort = testDbPort();
        const int sent = logRequests();
        std::unique_ptr<ZnLogPage> page;
        if (kind == 0)
            page.reset(new ZnTalkLogInfoForm);
        else if (kind == 1)
            page.reset(new ZnTermLogInfoForm);
        else
            page.reset(new ZnUserLogInfoForm);
        auto &ui = page->form();
        QCOMPARE(ui.fDataSourceLabel->text(), QStringLiteral("[ 日志主机：127.0.0.1 ]"));
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("1/3"));
        QCOMPARE(ui.fTableWidget->rowCount(), 100);
        QCOMPARE(row(*page, 0, firstRow.size()), firstRow);
        ui.fNext->click();
        ui.fNext->click();
        QCOMPARE(ui.fPageLabel->text(), QStringLiteral("3/3"));
        QVERIFY(ui.fTableWidget->rowCount() < 100);
        QCOMPARE(logRequests(), sent);
    }

    // The log host stopping between two pages: the next page says so, shows no
    // stale rows, and the page reads again once the host is back.
    void databaseStopsMidPage()
    {
        serverTalkLog(0, "127.0.0.1:8999");
        gMySqlPort = testDbPort();
        ZnTalkLogInfoForm page;
        auto &ui = page.form();
        QCOMPARE(ui.fTableWidget->rowCount(), 100);
        QCOMPARE(QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT),
                                   {QStringLiteral("stop"), QStringLiteral(ZN_MARIADB_DIR)}),
                 0);
        Answered told;
        ui.fNext->click();
        QVERIFY(QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT),
                                  {QStringLiteral("resume"), QStringLiteral(ZN_MARIADB_DIR)})
                == 0);
        QCOMPARE(told.last(), QStringLiteral("Talkback log server connect error!"));
        QCOMPARE(ui.fTableWidget->rowCount(), 0);
        ui.fPrevious->click();
        QCOMPARE(ui.fTableWidget->rowCount(), 100);
    }

    // What the export button and an unreachable log host say.
    void refusals_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("logServer");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("no log host") << true << QStringLiteral("127.0.0.1:0")
                                     << QStringList{QStringLiteral("日志主机不存在，请选配主机!")};
        QTest::newRow("log host down") << false << QStringLiteral("127.0.0.1:1")
                                       << QStringList{QStringLiteral("Talkback log server connect error!"),
                                                      QStringLiteral("日志记录不存在!")};
    }
    void refusals()
    {
        QFETCH(bool, reachable);
        QFETCH(QString, logServer);
        QFETCH(QStringList, said);
        serverTalkLog(3, logServer.toStdString());
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        gMySqlPort = reachable ? testDbPort() : closed.serverPort();
        closed.close();
        QStringList seen;
        std::unique_ptr<Answered> atStart;
        if (!reachable) {
            ZnMySql::connectTalkLogDb("127.0.0.1"); // down: the page must connect anew, and fails
            atStart.reset(new Answered);
        }
        ZnTalkLogInfoForm page;
        if (atStart) {
            seen << atStart->last();
            QCOMPARE(page.form().fDataSourceLabel->text(), QStringLiteral("TextLabel"));
            QCOMPARE(page.form().fPageLabel->text(), QStringLiteral("0/0"));
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
