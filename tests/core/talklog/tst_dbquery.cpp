#include <QtTest>

#include <climits>
#include <thread>

#include "ZnDbQuery.h"
#include "ZnGlobals.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"
#include "ZnTalkLogTestDb.h"


namespace db = ZnTalkLogTestDb;

namespace {

QString u(const std::string& s)
{
    return QString::fromStdString(s);
}

bool exec(const char* sql)
{
    ZnMySqlResult r;
    return ZnMySql::instance()->query(sql, r) == 0;
}

} // namespace

class TestZnDbQuery : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void counts();
    void pageOffsets();
    void talkPagesNewestFirst();
    void terminalPage();
    void userPageByPosition();
    void pagesPastTheEndOrBeforeTheStart();
    void chineseRoundTrip();
    void emptyTable();
    void threadsShareTheConnection();
};

void TestZnDbQuery::initTestCase()
{
    gMySqlPort = db::port();
    QVERIFY2(gMySqlPort > 0, "the test database is not running");
    QCOMPARE(ZnMySql::connectTalkLogDb("127.0.0.1"), 0);
}

void TestZnDbQuery::counts()
{
    QCOMPARE(ZnDbQuery::talkRecordCount(), 205);
    QCOMPARE(ZnDbQuery::terminalLogCount(), 230);
    QCOMPARE(ZnDbQuery::userLogCount(), 250);
}

void TestZnDbQuery::pageOffsets()
{
    QCOMPARE(ZnDbQuery::pageOffset(1), 0);
    QCOMPARE(ZnDbQuery::pageOffset(3), 200);
    QCOMPARE(ZnDbQuery::pageOffset(0), -1);
    QCOMPARE(ZnDbQuery::pageOffset(-4), -1);
    QCOMPARE(ZnDbQuery::pageOffset(INT_MAX / 100 + 1), INT_MAX / 100 * 100);
    QCOMPARE(ZnDbQuery::pageOffset(INT_MAX / 100 + 2), -1);
    QCOMPARE(ZnDbQuery::pageOffset(INT_MAX), -1);
}

void TestZnDbQuery::talkPagesNewestFirst()
{
    std::vector<ZnLogRecord> rows;
    QCOMPARE(ZnDbQuery::talkRecordPage(rows, ZnDbQuery::pageOffset(1), 100), 0);
    QCOMPARE(rows.size(), size_t(100));
    for (size_t i = 0; i < rows.size(); ++i)
        QCOMPARE(rows[i].id, int(205 - i));

    const ZnLogRecord& full = rows[205 - 204];
    QCOMPARE(full.id, 204);
    QCOMPARE(u(full.date), QStringLiteral("2026-01-01 11:24:00"));
    QCOMPARE(u(full.endTime), QStringLiteral("2026-01-01 11:24:30"));
    QCOMPARE(full.callerId, 1204);
    QCOMPARE(full.calledId, 2204);
    QCOMPARE(u(full.callerName), QStringLiteral("主叫204"));
    QCOMPARE(u(full.calledName), QStringLiteral("被叫204"));
    QCOMPARE(u(full.type), QStringLiteral("对讲"));
    QCOMPARE(u(full.action), QStringLiteral("音源204"));
    QCOMPARE(u(full.recordFile), QStringLiteral("rec/204.mp3"));
    QCOMPARE(full.terminalId, 0);
    QVERIFY(full.name.empty() && full.ip.empty());

    // NULL cells read as 0 and empty texts.
    const ZnLogRecord& sparse = rows[205 - 203];
    QCOMPARE(sparse.id, 203);
    QVERIFY(sparse.endTime.empty());
    QCOMPARE(sparse.calledId, 0);
    QVERIFY(sparse.calledName.empty());
    QVERIFY(sparse.recordFile.empty());
    QCOMPARE(u(sparse.callerName), QStringLiteral("主叫203"));

    QCOMPARE(ZnDbQuery::talkRecordPage(rows, ZnDbQuery::pageOffset(3), 100), 0);
    QCOMPARE(rows.size(), size_t(5));
    QCOMPARE(rows.front().id, 5);
    QCOMPARE(rows.back().id, 1);
}

void TestZnDbQuery::terminalPage()
{
    std::vector<ZnLogRecord> rows;
    QCOMPARE(ZnDbQuery::terminalLogPage(rows, ZnDbQuery::pageOffset(1), 100), 0);
    QCOMPARE(rows.size(), size_t(100));
    QCOMPARE(rows.front().id, 230);
    QCOMPARE(rows.back().id, 131);

    const ZnLogRecord& r = rows[230 - 210];
    QCOMPARE(r.id, 210);
    QCOMPARE(r.terminalId, 310);
    QCOMPARE(u(r.name), QStringLiteral("终端210"));
    QCOMPARE(u(r.ip), QStringLiteral("10.0.1.10"));
    QCOMPARE(u(r.date), QStringLiteral("2026-02-01 12:30:00"));
    QVERIFY(r.type.empty());
    QVERIFY(r.action.empty());
    const ZnLogRecord& s = rows[230 - 211];
    QCOMPARE(u(s.type), QStringLiteral("寻呼话筒"));
    QCOMPARE(u(s.action), QStringLiteral("下线"));

    QCOMPARE(ZnDbQuery::terminalLogPage(rows, ZnDbQuery::pageOffset(2), 100), 0);
    QCOMPARE(rows.front().id, 130);
    QCOMPARE(rows.back().id, 31);
}

void TestZnDbQuery::userPageByPosition()
{
    std::vector<ZnLogRecord> rows;
    QCOMPARE(ZnDbQuery::userLogPage(rows, 0, 10), 0);
    QCOMPARE(rows.size(), size_t(10));
    QCOMPARE(rows[0].id, 250);
    QCOMPARE(u(rows[0].name), QStringLiteral("用户250"));
    QCOMPARE(u(rows[0].ip), QStringLiteral("192.168.1.0"));
    QCOMPARE(u(rows[0].date), QStringLiteral("2026-03-01 14:10:00"));
    QCOMPARE(u(rows[0].action), QStringLiteral("登录系统 250"));
    QCOMPARE(rows[5].id, 245);
    QVERIFY(rows[5].ip.empty());
    QVERIFY(rows[5].action.empty());
    QVERIFY(rows[5].type.empty());

    QCOMPARE(ZnDbQuery::userLogPage(rows, ZnDbQuery::pageOffset(3), 100), 0);
    QCOMPARE(rows.size(), size_t(50));
    QCOMPARE(rows.back().id, 1);
}

void TestZnDbQuery::pagesPastTheEndOrBeforeTheStart()
{
    std::vector<ZnLogRecord> rows(1);
    QCOMPARE(ZnDbQuery::userLogPage(rows, ZnDbQuery::pageOffset(4), 100), 0);
    QVERIFY(rows.empty());
    rows.resize(1);
    QCOMPARE(ZnDbQuery::talkRecordPage(rows, INT_MAX, 100), 0);
    QVERIFY(rows.empty());

    // Page 0, a negative offset or a non-positive count never reach the database.
    rows.resize(1);
    QCOMPARE(ZnDbQuery::terminalLogPage(rows, ZnDbQuery::pageOffset(0), 100), 0);
    QVERIFY(rows.empty());
    rows.resize(1);
    QCOMPARE(ZnDbQuery::talkRecordPage(rows, -100, 100), 0);
    QVERIFY(rows.empty());
    rows.resize(1);
    QCOMPARE(ZnDbQuery::userLogPage(rows, 0, 0), 0);
    QVERIFY(rows.empty());
    QCOMPARE(ZnDbQuery::userLogPage(rows, 0, -1), 0);
    QVERIFY(rows.empty());
}

void TestZnDbQuery::chineseRoundTrip()
{
    QVERIFY(exec("begin"));
    QVERIFY(exec("insert into userlog (name, ip, date, content) values "
                 "('值班员张三', '10.1.1.1', '2026-04-01 00:00:00', '修改广播分区“一楼大厅”')"));
    std::vector<ZnLogRecord> rows;
    const int page = ZnDbQuery::userLogPage(rows, 0, 1);
    QVERIFY(exec("rollback"));
    QCOMPARE(page, 0);
    QCOMPARE(rows.size(), size_t(1));
    QCOMPARE(rows[0].name, std::string("值班员张三"));
    QCOMPARE(rows[0].action, std::string("修改广播分区“一楼大厅”"));
    QCOMPARE(ZnDbQuery::userLogCount(), 250);
}

void TestZnDbQuery::emptyTable()
{
    // Emptied only inside this session's transaction; nobody else sees it.
    QVERIFY(exec("begin"));
    QVERIFY(exec("delete from terminallog"));
    const int count = ZnDbQuery::terminalLogCount();
    std::vector<ZnLogRecord> rows(2);
    const int page = ZnDbQuery::terminalLogPage(rows, 0, 100);
    QVERIFY(exec("rollback"));
    QCOMPARE(count, 0);
    QCOMPARE(page, 0);
    QVERIFY(rows.empty());
    QCOMPARE(ZnDbQuery::terminalLogCount(), 230);
}

void TestZnDbQuery::threadsShareTheConnection()
{
    // The log pages and the export thread use the one connection at once.
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            std::vector<ZnLogRecord> rows;
            for (int i = 0; i < 25; ++i) {
                const int page = (t + i) % 3 + 1;
                if (ZnDbQuery::talkRecordPage(rows, ZnDbQuery::pageOffset(page), 100) != 0
                    || rows.empty() || rows.front().id != 205 - (page - 1) * 100)
                    ++failures;
                if (ZnDbQuery::userLogCount() != 250)
                    ++failures;
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    QCOMPARE(failures.load(), 0);
}

QTEST_GUILESS_MAIN(TestZnDbQuery)
#include "tst_dbquery.moc"
