// The three log pages against the simulated server ("SqlLog") and, with a log
// host, against the test database.
#include "../managers/consoles/ModelSim.h"
#include "LogTestDb.h"
#include "ZnResources.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTermLogInfoForm.h"
#include "ZnUserLogInfoForm.h"

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
        gMySqlPort = testDbPort();
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

private slots:
    void initTestCase()
    {
        znInitResources();
        QVERIFY(startModels(s));
        QVERIFY(testDbPort() > 0);
    }

    // 100 rows a page, newest first, through the server (count and page 1 at once)
    // or read from the log host without asking the server; next past the last
    // page and previous before the first ask for nothing.
    void paging_data()
    {
        QTest::addColumn<int>("kind"); // talk, terminal, user
        QTest::addColumn<int>("serverRows");
        QTest::addColumn<bool>("host");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastRows"); // on the last page
        QTest::addColumn<QStringList>("firstRow");
        const QString time = QDateTime::fromSecsSinceEpoch(1700000000).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
        QTest::newRow("server, empty") << 0 << 0 << false << 1 << 0 << QStringList();
        QTest::newRow("server, one row over a page") << 0 << 101 << false << 2 << 1 << QStringList();
        QTest::newRow("server, 250") << 0 << 250 << false << 3 << 50 << QStringList{time};
        QTest::newRow("talk, log host") << 0 << 0 << true << 3 << 5
                                        << QStringList{QStringLiteral("2026/01/01 11:25:00"),
                                                       QStringLiteral("2026/01/01 11:25:30"),
                                                       QStringLiteral("1205"),
                                                       QStringLiteral("主叫205"),
                                                       QStringLiteral("2205"),
                                                       QStringLiteral("被叫205"),
                                                       QStringLiteral("广播"),
                                                       QStringLiteral("音源205")};
        QTest::newRow("terminal, log host")
            << 1 << 0 << true << 3 << 30 << QStringList{QStringLiteral("2026/02/01 12:50:00"),
                                                        QStringLiteral("330"),
                                                        QStringLiteral("终端230"),
                                                        QStringLiteral("寻呼话筒"),
                                                        QStringLiteral("10.0.1.30"),
                                                        QStringLiteral("上线")};
        QTest::newRow("user, log host") << 2 << 0 << true << 3 << 50
                                        << QStringList{QStringLiteral("2026/03/01 14:10:00"), QStringLiteral("用户250"),
                                                       QStringLiteral("192.168.1.0"), QStringLiteral("登录系统 250")};
    }
    void paging()
    {
        QFETCH(int, kind);
        QFETCH(int, serverRows);
        QFETCH(bool, host);
        QFETCH(int, pages);
        QFETCH(int, lastRows);
        QFETCH(QStringList, firstRow);
        serverTalkLog(serverRows, host ? "127.0.0.1:8999" : "127.0.0.1:0");
        const int sent = logRequests();
        std::unique_ptr<ZnLogPage> page;
        if (kind == 0)
            page.reset(new ZnTalkLogInfoForm);
        else if (kind == 1)
            page.reset(new ZnTermLogInfoForm);
        else
            page.reset(new ZnUserLogInfoForm);
        auto &ui = page->form();
        const QString of = QLatin1Char('/') + QString::number(pages);
        QCOMPARE(ui.fDataSourceLabel->text(),
                 host ? QStringLiteral("[ 日志主机：127.0.0.1 ]") : QStringLiteral("[ 日志主机：Local ]"));
        QTRY_COMPARE(ui.fPageLabel->text(), QLatin1Char('1') + of);
        QTRY_COMPARE(ui.fTableWidget->rowCount(), pages > 1 ? 100 : lastRows);
        QCOMPARE(cells(*page, 0, -1, firstRow.size()), firstRow);
        for (int i = 0; i < pages; ++i)
            ui.fNext->click();
        QCOMPARE(ui.fPageLabel->text(), QString::number(pages) + of);
        QTRY_COMPARE(ui.fTableWidget->rowCount(), lastRows);
        for (int i = 0; i < pages; ++i)
            ui.fPrevious->click();
        QCOMPARE(ui.fPageLabel->text(), QLatin1Char('1') + of);
        QTRY_COMPARE(ui.fTableWidget->rowCount(), pages > 1 ? 100 : lastRows);
        QCOMPARE(logRequests() - sent, host ? 0 : 2 * pages);
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

    // The log host stopping between two pages: the next page says so, shows no
    // stale rows, and the page reads again once the host is back.
    void databaseStopsMidPage()
    {
        serverTalkLog(0, "127.0.0.1:8999");
        ZnTalkLogInfoForm page;
        auto &ui = page.form();
        QCOMPARE(ui.fTableWidget->rowCount(), 100);
        QVERIFY(testDb("stop"));
        Answered told;
        ui.fNext->click();
        QVERIFY(testDb("resume"));
        QCOMPARE(told.last(), QStringLiteral("Talkback log server connect error!"));
        QCOMPARE(ui.fTableWidget->rowCount(), 0);
        ui.fPrevious->click();
        QCOMPARE(ui.fTableWidget->rowCount(), 100);
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
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        if (down)
            gMySqlPort = closed.serverPort();
        closed.close();
        QStringList seen;
        std::unique_ptr<Answered> atStart;
        if (down) {
            ZnMySql::connectTalkLogDb("127.0.0.1"); // down: the page must connect anew, and fails
            atStart.reset(new Answered);
        }
        ZnTalkLogInfoForm page;
        if (atStart) {
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
