// The three log pages against the simulated server ("SqlLog") and, with a log
// host, against the test database.
#include "../managers/consoles/ModelSim.h"
#include "LogTestDb.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTermLogInfoForm.h"
#include "ZnUserLogInfoForm.h"

#include <QTableWidget>
#include <QTcpServer>
#include <QtTest>

#include <memory>

namespace {

Json::Value talkRow(int id, const std::string &type)
{
    Json::Value r(Json::objectValue);
    r["id"] = std::to_string(id);
    r["begin_time"] = "1700000000";
    r["callerName"] = "主叫" + std::to_string(id);
    r["type"] = type;
    r["recordfile"] = id % 2 ? "/record/" + std::to_string(id) + ".mp3" : "";
    return r;
}

QString cell(ZnLogPage &page, int row, int column)
{
    const QTableWidgetItem *item = page.form().fTableWidget->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

// What a message box showed, without its layout's blanks.
QStringList said(const ZnModalHelper &modal)
{
    QStringList out;
    for (const QString &t : modal.seenTexts())
        out << t.trimmed();
    return out;
}

QString pageLabel(ZnLogPage &page) { return page.form().fPageLabel->text(); }

} // namespace

class tst_logpages : public QObject
{
    Q_OBJECT

    SimSession s;

    // The talk log of the simulated server: n rows, types cycling through "0".."5".
    void serverTalkLog(int rows, const std::string &logServer = "127.0.0.1:0")
    {
        s.sim.withData([&](ZnSimData &data) {
            data.table("talklog").clear();
            for (int i = 1; i <= rows; ++i)
                data.addRow("talklog", talkRow(i, std::to_string(i % 6)));
            for (Json::Value &p : data.table("parameter"))
                if (p["name"] == "Talk_Log_Server")
                    p["value"] = logServer;
        });
    }
    int logRequests() const { return s.sim.count("GET SqlLog"); }

private slots:
    void initTestCase()
    {
        znInitResources();
        QVERIFY(startModels(s));
        QVERIFY(testDbPort() > 0);
    }

    void cleanup() { serverTalkLog(0); }

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
        QTRY_COMPARE(pageLabel(page), label);
        QTRY_COMPARE(page.form().fTableWidget->rowCount(), qMin(rows, 100));
        QCOMPARE(page.form().fDataSourceLabel->text(), QStringLiteral("[ 日志主机：Local ]"));
        if (rows > 0)
            QCOMPARE(cell(page, 0, 3), QStringLiteral("主叫%1").arg(rows));
    }

    // Next past the last page and previous before the first send nothing.
    void pagingStopsAtTheEnds()
    {
        serverTalkLog(250);
        ZnTalkLogInfoForm page;
        QTRY_COMPARE(pageLabel(page), QStringLiteral("1/3"));
        QTRY_COMPARE(cell(page, 0, 0), QDateTime::fromSecsSinceEpoch(1700000000).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
        int sent = logRequests();
        page.form().fPrevious->click();
        QCOMPARE(logRequests(), sent);
        QCOMPARE(pageLabel(page), QStringLiteral("1/3"));

        const QStringList firstCallers{QStringLiteral("主叫150"), QStringLiteral("主叫50")};
        for (const QString &caller : firstCallers) {
            page.form().fNext->click();
            QCOMPARE(logRequests(), ++sent);
            QTRY_COMPARE(cell(page, 0, 3), caller);
        }
        QCOMPARE(page.form().fTableWidget->rowCount(), 50);
        page.form().fNext->click();
        QCOMPARE(logRequests(), sent);
        QCOMPARE(pageLabel(page), QStringLiteral("3/3"));

        // Refresh: back to page 1, and not again until its time is up.
        page.form().fRefreshButton->click();
        QVERIFY(!page.form().fRefreshButton->isEnabled());
        QTRY_COMPARE(cell(page, 0, 3), QStringLiteral("主叫250"));
        QCOMPARE(pageLabel(page), QStringLiteral("1/3"));
        QTRY_VERIFY(page.form().fRefreshButton->isEnabled());
    }

    // One table of type names for every page; a type outside it is shown as stored.
    void talkTypeNames()
    {
        serverTalkLog(6);
        ZnTalkLogInfoForm page;
        QTRY_COMPARE(page.form().fTableWidget->rowCount(), 6);
        QStringList shown;
        for (int row = 0; row < 6; ++row)
            shown << cell(page, row, 6);
        // Rows 6..1 carry the types 0, 5, 4, 3, 2, 1.
        QCOMPARE(shown, QStringList({QStringLiteral("EmergencyHelp"), QStringLiteral("5"), QStringLiteral("Broadcast"), QStringLiteral("Talkback"), QStringLiteral("Broadcast"), QStringLiteral("Talkback")}));
    }

    // With a log host every page reads the database itself and asks the server nothing.
    void pagesFromTheLogHost_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("firstRow");
        QTest::newRow("talk") << 0 << QStringList{QStringLiteral("2026/01/01 11:25:00"), QStringLiteral("2026/01/01 11:25:30"), QStringLiteral("1205"), QStringLiteral("主叫205"), QStringLiteral("2205"), QStringLiteral("被叫205"), QStringLiteral("广播"), QStringLiteral("音源205")};
        QTest::newRow("terminal") << 1 << QStringList{QStringLiteral("2026/02/01 12:50:00"), QStringLiteral("330"), QStringLiteral("终端230"), QStringLiteral("寻呼话筒"), QStringLiteral("10.0.1.30"), QStringLiteral("上线")};
        QTest::newRow("user") << 2 << QStringList{QStringLiteral("2026/03/01 14:10:00"), QStringLiteral("用户250"), QStringLiteral("192.168.1.0"), QStringLiteral("登录系统 250")};
    }
    void pagesFromTheLogHost()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, firstRow);
        serverTalkLog(0, "127.0.0.1:8999");
        gMySqlPort = testDbPort();
        const int sent = logRequests();
        std::unique_ptr<ZnLogPage> page;
        switch (kind) {
        case 0: page.reset(new ZnTalkLogInfoForm); break;
        case 1: page.reset(new ZnTermLogInfoForm); break;
        default: page.reset(new ZnUserLogInfoForm); break;
        }
        QCOMPARE(page->form().fDataSourceLabel->text(), QStringLiteral("[ 日志主机：127.0.0.1 ]"));
        QCOMPARE(pageLabel(*page), QStringLiteral("1/3"));
        QCOMPARE(page->form().fTableWidget->rowCount(), 100);
        QStringList shown;
        for (int c = 0; c < firstRow.size(); ++c)
            shown << cell(*page, 0, c);
        QCOMPARE(shown, firstRow);
        page->form().fNext->click();
        page->form().fNext->click();
        QCOMPARE(pageLabel(*page), QStringLiteral("3/3"));
        QVERIFY(page->form().fTableWidget->rowCount() < 100);
        QCOMPARE(logRequests(), sent);
    }

    // What the export button and an unreachable log host say.
    void refusals_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("logServer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no log host") << true << QStringLiteral("127.0.0.1:0") << QStringList{QStringLiteral("日志主机不存在，请选配主机!")};
        QTest::newRow("log host down")
            << false << QStringLiteral("127.0.0.1:1") << QStringList{QStringLiteral("Talkback log server connect error!"), QStringLiteral("日志记录不存在!")};
    }
    void refusals()
    {
        QFETCH(bool, reachable);
        QFETCH(QString, logServer);
        QFETCH(QStringList, expected);
        serverTalkLog(3, logServer.toStdString());
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        gMySqlPort = reachable ? testDbPort() : closed.serverPort();
        closed.close();
        QStringList seen;
        ZnModalHelper first;
        if (!reachable) {
            ZnMySql::connectTalkLogDb("127.0.0.1"); // down: the page must connect anew, and fails
            first.onModal([&](QWidget *w) { seen << said(first); w->close(); });
        }
        ZnTalkLogInfoForm page;
        if (reachable) {
            QTRY_COMPARE(page.form().fTableWidget->rowCount(), 3);
        } else {
            QTRY_VERIFY(first.handled());
            QCOMPARE(page.form().fDataSourceLabel->text(), QStringLiteral("TextLabel"));
            QCOMPARE(pageLabel(page), QStringLiteral("0/0"));
        }
        ZnModalHelper second;
        second.onModal([&](QWidget *w) { seen << said(second); w->close(); });
        page.form().fLogDownloadBt->click();
        QVERIFY(second.handled());
        for (const QString &text : expected)
            QVERIFY2(seen.contains(text), qPrintable(seen.join(QLatin1Char('|'))));
        gMySqlPort = testDbPort();
    }
};

QTEST_MAIN(tst_logpages)
#include "tst_logpages.moc"
