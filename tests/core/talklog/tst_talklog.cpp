// The talk-log connection and queries against the throwaway server of mariadb.sh.
#include "CrcTrade.h"
#include "ZnDbQuery.h"
#include "ZnGlobals.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"
#include "ZnSimClosedPort.h"

#include <QScopeGuard>
#include <QtTest>

#include <climits>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <thread>

namespace {
using Rows = std::vector<ZnLogRecord>;

// Held for the whole run: no other program's server can take it meanwhile.
int closedPort()
{
    static ZnSimClosedPort closed;
    return closed.port();
}

ZnMySqlResult scratch;
bool exec(const char* sql, ZnMySqlResult& r = scratch)
{
    return ZnMySql::instance()->query(sql, r) == 0;
}

// Every field of a record, in declaration order.
QString fields(const ZnLogRecord& r)
{
    std::ostringstream o;
    o << r.id << '|' << r.terminalId << '|' << r.name << '|' << r.ip << '|' << r.date << '|' << r.endTime << '|'
      << r.callerId << '|' << r.calledId << '|' << r.callerName << '|' << r.calledName << '|' << r.type << '|'
      << r.action << '|' << r.recordFile;
    return QString::fromStdString(o.str());
}
}

class TestTalkLog : public QObject
{
    Q_OBJECT

    int m_port = -1;

private slots:
    void initTestCase()
    {
        QFile f(QStringLiteral(ZN_MARIADB_DIR "/port"));
        QVERIFY2(f.open(QIODevice::ReadOnly), "the test database is not running");
        m_port = f.readAll().trimmed().toInt();
    }

    // Every function but the first finds the process-wide connection up, however
    // it is run (alone, or after one that left it down).
    void init()
    {
        if (QTest::currentTestFunction() == QByteArray("failedConnectsLeaveNoLink")
            || ZnMySql::instance()->isConnected())
            return;
        gMySqlPort = m_port;
        QCOMPARE(ZnMySql::connectTalkLogDb("127.0.0.1"), 0);
    }

    // Runs first: the process-wide connection has no settings yet.
    void failedConnectsLeaveNoLink()
    {
        ZnMySql* conn = ZnMySql::instance();
        QCOMPARE(conn->reconnect(), -1);
        QCOMPARE(ZnDbQuery::userLogCount(), int64_t(-1));

        const auto connectTo = [](int port) {
            gMySqlPort = port;
            return ZnMySql::connectTalkLogDb("127.0.0.1");
        };
        QCOMPARE(connectTo(closedPort()), -1);
        QVERIFY(conn->isConfigured() && !conn->isConnected());
        ZnMySqlResult result;
        QVERIFY(!exec("select 1", result));
        Rows rows(3);
        QCOMPARE(ZnDbQuery::terminalLogPage(rows, 0, 100), -1);
        QVERIFY(rows.empty());

        QCOMPARE(connectTo(m_port), 0);
        QCOMPARE(conn->settings().database, std::string("talkbacklog"));
        // A failed connect after a good one must not stay "connected" over a dead handle.
        QCOMPARE(connectTo(closedPort()), -1);
        QVERIFY(!conn->isConnected());
        QVERIFY(!exec("select 1", result));
        QCOMPARE(connectTo(m_port), 0);
        QVERIFY(exec("select 1", result));
    }

    void resultsKeepBytesAndRanges()
    {
        ZnMySqlResult r;
        QVERIFY(exec("select id, end_time, calledName from talklog_bak where id in (7, 8) order by id", r));
        QCOMPARE(r.rowCount(), 2u);
        QCOMPARE(QByteArray(r.fieldName(1)), QByteArray("end_time"));
        QVERIFY(!r.fieldName(3) && !r.cell(0, 1) && !r.cell(0, 2) && !r.cell(2, 0) && !r.cell(0, 3));
        QCOMPARE(QString::fromUtf8(r.cell(1, 2)), QStringLiteral("被叫8"));

        QVERIFY(exec("select concat('a', char(0), 'b'), unhex('00ff0041'), '', repeat('话', 3000)", r));
        QCOMPARE(std::memcmp(r.cell(0, 0), "a\0b\0", 4), 0);
        QCOMPARE(std::memcmp(r.cell(0, 1), "\x00\xff\x00\x41\x00", 5), 0);
        QVERIFY(r.cell(0, 2) && !r.cell(0, 2)[0]);
        QCOMPARE(QString::fromUtf8(r.cell(0, 3)), QString(3000, QChar(0x8bdd)));

        // A refused statement leaves no stale rows, and the link survives it.
        QVERIFY(!exec("select * from no_such_table", r));
        QVERIFY(r.error() && std::strstr(r.error(), "no_such_table"));
        QCOMPARE(r.rowCount(), 0u);
        QVERIFY(!r.cell(0, 0));
        QVERIFY(exec("select 3", r) && !r.error());
    }

    // Rows taken as they arrive, a batch at a time with their bytes whole and NULL
    // cells null; a reader that stops early, or a statement that fails midway
    // (told as a failure), leaves the connection usable.
    void streamedRows_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<int>("stopAfter"); // batches; 0: read to the end
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("rows"); // handed on, at most
        const QByteArray rows = "select seq, if(seq % 2, null, concat('a', char(0), seq)) from seq_1_to_250";
        QTest::newRow("to the end") << rows << 0 << 0 << 250;
        QTest::newRow("whole batches to the end") << QByteArray("select seq, 'a' from seq_1_to_200") << 0 << 0 << 200;
        QTest::newRow("stopped after two batches") << rows << 2 << 0 << 200;
        QTest::newRow("an error midway") << QByteArray(
            "select a.seq, (select b.seq from seq_1_to_2 b where a.seq >= 240) from seq_1_to_250 a")
                                         << 0 << -1 << 239;
        QTest::newRow("refused") << QByteArray("select * from no_such_table") << 0 << -1 << 0;
    }
    void streamedRows()
    {
        QFETCH(QByteArray, sql);
        QFETCH(int, stopAfter);
        QFETCH(int, result);
        QFETCH(int, rows);
        ZnMySql db(ZnMySql::NoReconnect);
        QCOMPARE(db.connect(ZnMySql::instance()->settings()), 0);
        ZnMySqlResult batch;
        int batches = 0, seen = 0;
        bool intact = true;
        const int got = db.queryEach(sql.constData(), batch, 100, [&] {
            for (unsigned r = 0; r < batch.rowCount(); ++r) {
                const int seq = ++seen;
                intact = intact && QByteArray(batch.cell(r, 0)) == QByteArray::number(seq);
                if (sql.contains("char(0)")) {
                    const std::string* cell = batch.cellText(r, 1);
                    intact = intact && (seq % 2 ? !cell : cell && *cell == std::string("a\0", 2) + std::to_string(seq));
                }
            }
            return ++batches != stopAfter;
        });
        QCOMPARE(got, result);
        QVERIFY(intact);
        QVERIFY(seen <= rows && (result < 0 || seen == rows));
        QVERIFY(db.query("select 3", batch) == 0 && QByteArray(batch.cell(0, 0)) == "3");
    }

    // Newest first; NULL cells read as 0 and empty texts; each log maps its own columns.
    void pages()
    {
        QCOMPARE(ZnDbQuery::talkRecordCount(), int64_t(205));
        QCOMPARE(ZnDbQuery::terminalLogCount(), int64_t(230));
        Rows rows;
        QCOMPARE(ZnDbQuery::talkRecordPage(rows, 0, 100), 0);
        QCOMPARE(rows.size(), size_t(100));
        QCOMPARE(fields(rows[1]), QStringLiteral("204|0|||2026-01-01 11:24:00|2026-01-01 11:24:30|1204|2204|"
                                                 "主叫204|被叫204|4|音源204|rec/204.mp3"));
        QCOMPARE(fields(rows[2]), QStringLiteral("203|0|||2026-01-01 11:23:00||1203|0|主叫203||3|音源203|"));
        QCOMPARE(ZnDbQuery::talkRecordPage(rows, 200, 100), 0);
        QCOMPARE(rows.size(), size_t(5));

        QCOMPARE(ZnDbQuery::terminalLogPage(rows, 0, 100), 0);
        QCOMPARE(fields(rows[19]),
                 QStringLiteral("211|311|终端211|10.0.1.11|2026-02-01 12:31:00||0|0|||寻呼话筒|下线|"));
        QCOMPARE(fields(rows[20]), QStringLiteral("210|310|终端210|10.0.1.10|2026-02-01 12:30:00||0|0|||||"));

        // The user log is read with "select *": id, name, ip, date, content.
        QCOMPARE(ZnDbQuery::userLogPage(rows, 0, 10), 0);
        QCOMPARE(fields(rows[0]),
                 QStringLiteral("250|0|用户250|192.168.1.0|2026-03-01 14:10:00||0|0||||登录系统 250|"));
        QCOMPARE(fields(rows[5]), QStringLiteral("245|0|用户245||2026-03-01 14:05:00||0|0|||||"));
    }

    // Past the end is empty; a page whose offset overflows or lies below the
    // start, a negative offset or a count below 1 never reaches the database.
    // Offsets past 2^31 are offsets like any other.
    void emptyPages()
    {
        QCOMPARE(ZnDbQuery::pageOffset(3), int64_t(200));
        QCOMPARE(ZnDbQuery::pageOffset(INT_MAX / 100 + 2), int64_t(INT_MAX / 100 + 1) * 100);
        QCOMPARE(ZnDbQuery::pageOffset(INT64_MAX / 100 + 1), INT64_MAX / 100 * 100);
        QCOMPARE(ZnDbQuery::pageOffset(INT64_MAX / 100 + 2), int64_t(-1));
        QCOMPARE(ZnDbQuery::pageOffset(0), int64_t(-1));
        for (const auto& [offset, count] : {std::pair<int64_t, int>{300, 100},
                                            {INT_MAX, 100},
                                            {3000000000, 100},
                                            {INT64_MAX, 100},
                                            {-1, 100},
                                            {0, 0},
                                            {0, -1}}) {
            Rows rows(1);
            QCOMPARE(ZnDbQuery::userLogPage(rows, offset, count), 0);
            QVERIFY2(rows.empty(), qPrintable(QStringLiteral("%1 %2").arg(offset).arg(count)));
        }
    }

    // The log pages and the export thread use the one connection at once.
    void threadsShareTheConnection()
    {
        std::atomic<int> failures{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([t, &failures] {
                Rows rows;
                for (int i = 0; i < 25; ++i) {
                    const int page = (t + i) % 3 + 1;
                    if (ZnDbQuery::talkRecordPage(rows, ZnDbQuery::pageOffset(page), 100) != 0 || rows.empty()
                        || rows.front().id != 205 - (page - 1) * 100 || ZnDbQuery::userLogCount() != 250)
                        ++failures;
                }
            });
        for (std::thread& th : threads)
            th.join();
        QCOMPARE(failures.load(), 0);
    }

    // The export's digest tells apart two sets of rows whose plain crc32 values
    // sum alike, and rows whose cells differ only where a plain joining of their
    // texts would lose it; the same rows in any order agree. Either way the
    // digests of the rows read add up to the server's, past 64 bits. Rows "id;
    // name; ip" (SQL), %1 a text the server finds.
    void digestTellsRowsApart_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("apart");
        // Rows split at "|".
        const auto rows = [](const char* text) { return QString::fromLatin1(text).split(QLatin1Char('|')); };
        QTest::newRow("two rows trade names")
            << rows("250; 'a000000'; null|249; %1; null") << rows("250; %1; null|249; 'a000000'; null") << true;
        QTest::newRow("two rows swap ids")
            << rows("%1; 'x'; 'p000000'|2000000; 'y'; %1") << rows("2000000; 'x'; 'p000000'|%1; 'y'; %1") << true;
        QTest::newRow("a char(1) moved to the next cell")
            << rows("1; concat('X', char(1)); 'Y'") << rows("1; 'X'; concat(char(1), 'Y')") << true;
        QTest::newRow("a comma moved to the next cell") << rows("1; 'X,'; 'Y'") << rows("1; 'X'; ',Y'") << true;
        QTest::newRow("quotes and commas moved to the next cell")
            << rows("1; 'X'',''Z'; 'Y'") << rows("1; 'X'; 'Z'',''Y'") << true;
        QTest::newRow("a cell moved across a NULL") << rows("1; 'a'; null") << rows("1; null; 'a'") << true;
        QTest::newRow("NULL against an empty text") << rows("1; null; 'a'") << rows("1; ''; 'a'") << true;
        QTest::newRow("NULL against the text NULL") << rows("1; null; 'a'") << rows("1; 'NULL'; 'a'") << true;
        QStringList ten, reversed;
        for (int i = 1; i <= 10; ++i) {
            ten << QStringLiteral("%1; 'n%1'; null").arg(i);
            reversed.prepend(ten.last());
        }
        QTest::newRow("ten rows in another order, summed past 64 bits: alike") << ten << reversed << false;
    }
    void digestTellsRowsApart()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(bool, apart);
        QString text, why;
        if ((before + after).join(QLatin1Char(' ')).contains(QLatin1String("%1")))
            QVERIFY2(crcTradeText(before, after, text, why), qPrintable(why));
        // An empty user log of this connection's own, in front of the sample.
        ZnMySqlResult r;
        QVERIFY2(exec("create temporary table rows_of_test like userlog", r)
                     && exec("alter table rows_of_test rename to userlog", r),
                 r.error());
        const auto drop = qScopeGuard([] { exec("drop temporary table if exists userlog"); });
        ZnDbQuery::LogColumns log;
        QVERIFY(ZnDbQuery::logColumns(ZnDbQuery::UserLogTable, log));
        // The server's digest of the rows, checked against the digests of the rows read.
        const auto digest = [&](const QStringList& rows, ZnDbQuery::LogDigest& server) {
            QStringList values;
            for (const QString& row : rows)
                values << QLatin1Char('(')
                              + QString(row)
                                    .replace(QStringLiteral("; "), QStringLiteral(", "))
                                    .replace(QStringLiteral("%1"), QLatin1Char('\'') + text + QLatin1Char('\''))
                              + QLatin1Char(')');
            const QByteArray fill =
                "insert into userlog (id, name, ip) values " + values.join(QLatin1Char(',')).toUtf8();
            std::vector<ZnDbQuery::LogRow> page;
            if (!exec("delete from userlog", r) || !exec(fill.constData(), r))
                return QStringLiteral("refused: %1").arg(QString::fromUtf8(r.error()));
            if (!ZnDbQuery::logDigest(log, 3000000, server)
                || ZnDbQuery::logPageAtOrBelow(log, page, 3000000, 0, 100) != 0)
                return QStringLiteral("the digest or the rows could not be read");
            ZnDbQuery::LogDigest read;
            for (const ZnDbQuery::LogRow& row : page) {
                ++read.rows;
                read.sum += row.digest;
            }
            return read == server && server.rows == rows.size() ? QString()
                                                                : QStringLiteral("the rows read disagree with the sum");
        };
        ZnDbQuery::LogDigest first, second;
        QString failed = digest(before, first);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        failed = digest(after, second);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        QVERIFY(apart || first.sum > UINT64_MAX);
        QCOMPARE(first != second, apart);
    }

    void stalledStatementTimesOut()
    {
        ZnMySqlResult r;
        const QByteArray sql = "select sleep(" + QByteArray::number(ZnMySql::kIoTimeoutSeconds * 4) + ")";
        QVERIFY(!exec(sql.constData(), r));
        QVERIFY(r.error());
        QVERIFY(exec("select 4", r));
    }
};

QTEST_GUILESS_MAIN(TestTalkLog)
#include "tst_talklog.moc"
