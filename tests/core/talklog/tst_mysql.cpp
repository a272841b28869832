#include <QtTest>

#include <cstring>

#include "ZnMySql.h"
#include "ZnMySqlResult.h"
#include "ZnDbQuery.h"
#include "ZnGlobals.h"
#include "ZnTalkLogTestDb.h"


namespace db = ZnTalkLogTestDb;

class TestZnMySql : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void closedPortFailsWithMessage();
    void failedConnectLeavesNotConnected();
    void nullCellsAndRanges();
    void cellsKeepTheirBytes();
    void statementsWithoutRows();
    void failedStatementDropsOldRows();
    void stalledStatementTimesOut();
    void reconnectsAfterServerRestart();

private:
    int m_port = -1;
};

void TestZnMySql::initTestCase()
{
    m_port = db::port();
    QVERIFY2(m_port > 0, "the test database is not running");
}

void TestZnMySql::closedPortFailsWithMessage()
{
    ZnMySql* conn = ZnMySql::instance();
    QVERIFY(!conn->isConfigured());
    // Nothing to reconnect to before any settings exist.
    QCOMPARE(conn->reconnect(), -1);
    QCOMPARE(ZnDbQuery::userLogCount(), -1);

    gMySqlPort = db::closedPort();
    QVERIFY(gMySqlPort > 0);
    db::StdoutCapture out;
    QCOMPARE(ZnMySql::connectTalkLogDb("127.0.0.1"), -1);
    const std::string printed = out.text();
    QVERIFY2(printed.rfind("connect mysql failed: ", 0) == 0, printed.c_str());
    QVERIFY(printed.find("127.0.0.1") != std::string::npos);
    QVERIFY(conn->isConfigured());
    QVERIFY(!conn->isConnected());

    ZnMySqlResult result;
    QCOMPARE(conn->query("select 1", result), -1);
    QCOMPARE(ZnDbQuery::talkRecordCount(), -1);
    std::vector<ZnLogRecord> rows(3);
    QCOMPARE(ZnDbQuery::terminalLogPage(rows, 0, 100), -1);
    QVERIFY(rows.empty());
}

void TestZnMySql::failedConnectLeavesNotConnected()
{
    ZnMySql* conn = ZnMySql::instance();
    gMySqlPort = m_port;
    QCOMPARE(ZnMySql::connectTalkLogDb("127.0.0.1"), 0);
    QVERIFY(conn->isConnected());
    QCOMPARE(conn->settings().user, std::string(ZnMySql::kTalkLogUser));
    QCOMPARE(conn->settings().database, std::string("talkbacklog"));

    // A failed connect to another host must not leave "connected" over a dead handle.
    gMySqlPort = db::closedPort();
    {
        db::StdoutCapture quiet;
        QCOMPARE(ZnMySql::connectTalkLogDb("127.0.0.1"), -1);
    }
    QVERIFY(!conn->isConnected());
    ZnMySqlResult result;
    QCOMPARE(conn->query("select 1", result), -1);

    // Connecting again on a live handle replaces it.
    gMySqlPort = m_port;
    QCOMPARE(ZnMySql::connectTalkLogDb("127.0.0.1"), 0);
    QCOMPARE(ZnMySql::connectTalkLogDb("127.0.0.1"), 0);
    QCOMPARE(conn->query("select 1", result), 0);
    QCOMPARE(QByteArray(result.cell(0, 0)), QByteArray("1"));
}

void TestZnMySql::nullCellsAndRanges()
{
    ZnMySqlResult result;
    QCOMPARE(ZnMySql::instance()->query(
                 "select id, end_time, calledName from talklog_bak where id in (7, 8) order by id",
                 result),
             0);
    QCOMPARE(result.rowCount(), 2u);
    QCOMPARE(result.columnCount(), 3u);
    QCOMPARE(result.fieldCount(), 3);
    QCOMPARE(QByteArray(result.fieldName(1)), QByteArray("end_time"));
    QVERIFY(result.fieldName(3) == nullptr);

    QCOMPARE(QByteArray(result.cell(0, 0)), QByteArray("7"));
    QVERIFY(result.cell(0, 1) == nullptr);
    QVERIFY(result.cell(0, 2) == nullptr);
    QCOMPARE(QByteArray(result.cell(1, 1)), QByteArray("2026-01-01 08:08:30"));
    QCOMPARE(QString::fromUtf8(result.cell(1, 2)), QStringLiteral("被叫8"));

    QVERIFY(result.cell(2, 0) == nullptr);
    QVERIFY(result.cell(0, 3) == nullptr);

    // A reused result starts afresh.
    QCOMPARE(ZnMySql::instance()->query("select 'x'", result), 0);
    QCOMPARE(result.rowCount(), 1u);
    QCOMPARE(result.columnCount(), 1u);
    QVERIFY(result.cell(1, 0) == nullptr);
    result.clear();
    QVERIFY(result.cell(0, 0) == nullptr);
    QCOMPARE(result.rowCount(), 0u);
}

void TestZnMySql::cellsKeepTheirBytes()
{
    ZnMySqlResult result;
    QCOMPARE(ZnMySql::instance()->query(
                 "select concat('a', char(0), 'b'), unhex('00ff0041'), '', repeat('话', 3000)",
                 result),
             0);
    QCOMPARE(std::memcmp(result.cell(0, 0), "a\0b\0", 4), 0);
    QCOMPARE(std::memcmp(result.cell(0, 1), "\x00\xff\x00\x41\x00", 5), 0);
    QVERIFY(result.cell(0, 2) != nullptr);
    QCOMPARE(result.cell(0, 2)[0], '\0');
    QCOMPARE(QString::fromUtf8(result.cell(0, 3)), QString(3000, QChar(0x8bdd)));
}

void TestZnMySql::statementsWithoutRows()
{
    ZnMySql* conn = ZnMySql::instance();
    ZnMySqlResult result;
    QCOMPARE(conn->query("create temporary table scratch (id int auto_increment primary key, "
                         "v varchar(16))",
                         result),
             0);
    QCOMPARE(conn->query("insert into scratch (v) values ('一'), ('二')", result), 0);
    QCOMPARE(result.rowCount(), 2u);
    QCOMPARE(result.columnCount(), 0u);
    QCOMPARE(result.fieldCount(), 0);
    QCOMPARE(result.insertId(), 1u);
    QVERIFY(result.cell(0, 0) == nullptr);

    QCOMPARE(conn->query("update scratch set v = '三' where id >= 1", result), 0);
    QCOMPARE(result.rowCount(), 2u);
    QCOMPARE(result.insertId(), 0u);

    QCOMPARE(conn->query("delete from scratch where id = 99", result), 0);
    QCOMPARE(result.rowCount(), 0u);
    QCOMPARE(conn->query("drop temporary table scratch", result), 0);
}

void TestZnMySql::failedStatementDropsOldRows()
{
    ZnMySqlResult result;
    QCOMPARE(ZnMySql::instance()->query("select 1, 2", result), 0);
    QVERIFY(result.error() == nullptr);
    db::StdoutCapture out;
    QCOMPARE(ZnMySql::instance()->query("select * from no_such_table", result), -1);
    const std::string printed = out.text();
    QVERIFY2(printed.rfind("select * from no_such_table failed. error string:", 0) == 0,
             printed.c_str());
    QVERIFY(result.error() != nullptr);
    QVERIFY(std::strstr(result.error(), "no_such_table") != nullptr);
    QCOMPARE(result.rowCount(), 0u);
    QVERIFY(result.cell(0, 0) == nullptr);

    // The link survives a refused statement.
    QCOMPARE(ZnMySql::instance()->query("select 3", result), 0);
    QVERIFY(result.error() == nullptr);
}

void TestZnMySql::stalledStatementTimesOut()
{
    // Longer than the read time-out: the call must give up rather than wait.
    ZnMySqlResult result;
    db::StdoutCapture quiet;
    const QByteArray sql =
        QByteArray("select sleep(") + QByteArray::number(ZnMySql::kIoTimeoutSeconds * 4) + ")";
    QCOMPARE(ZnMySql::instance()->query(sql.constData(), result), -1);
    QVERIFY(result.error() != nullptr);
    // The next statement gets a fresh link.
    QCOMPARE(ZnMySql::instance()->query("select 4", result), 0);
    QCOMPARE(QByteArray(result.cell(0, 0)), QByteArray("4"));
}

void TestZnMySql::reconnectsAfterServerRestart()
{
    ZnMySql* conn = ZnMySql::instance();
    QCOMPARE(ZnDbQuery::userLogCount(), 250);

    QVERIFY(db::script("stop"));
    {
        db::StdoutCapture quiet;
        QCOMPARE(ZnDbQuery::userLogCount(), -1);
    }
    QVERIFY(db::script("resume"));
    QCOMPARE(ZnDbQuery::userLogCount(), 250);
    QVERIFY(conn->isConnected());
}

QTEST_GUILESS_MAIN(TestZnMySql)
#include "tst_mysql.moc"
