// The media browsers against the simulated file service: root, folders, the ".."
// row, paths, and the task dialogs' variant that lists at once.
#include "TcpSocketClient.h"
#include "ZnCFtpClient.h"
#include "ZnFtpClientMgr.h"
#include "ZnMediaViewCtrl.h"
#include "ZnSimFileService.h"
#include "ZnTaskMediaListViewCtrl.h"

#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

namespace {
// Generous bound for a loaded machine; costs nothing when things go right.
constexpr int kWaitMs = 20000;

QStringList column(const QTableWidget& t, int col)
{
    QStringList out;
    for (int r = 0; r < t.rowCount(); ++r)
        out << (t.item(r, col) ? t.item(r, col)->text() : QStringLiteral("<none>"));
    return out;
}

int rowOf(const QTableWidget& t, const QString& name)
{
    return column(t, 0).indexOf(name);
}
}

class TestMediaBrowser : public QObject
{
    Q_OBJECT
    ZnSimFileService m_service;

private slots:
    void initTestCase()
    {
        QVERIFY(m_service.start(0));
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(m_service.port()));
        TcpSocketClient::instance()->start();
    }
    void cleanupTestCase() { m_service.stop(); }

    void browse()
    {
        QTableWidget table(0, 4);
        ZnMediaViewCtrl browser(&table);
        ZnFtpClientMgr::instance()->client()->setMediaBrowser(&browser);
        QSignalSpy paths(&browser, &ZnMediaViewCtrl::updateMediaPath);

        browser.slot_setMediaRoot(QString());
        QCOMPARE(browser.currentRoot(), QStringLiteral("."));
        browser.slot_setMediaRoot(QStringLiteral("/data/mp3/"));
        QCOMPARE(browser.currentRoot(), QStringLiteral("/data/mp3"));
        const QStringList root{
            QStringLiteral("通知"),     QStringLiteral("背景音乐"),        QStringLiteral("演出"),
            QStringLiteral("应急广播"), QStringLiteral("school_song.mp3"), QStringLiteral("欢迎词.mp3")};
        QTRY_COMPARE_WITH_TIMEOUT(column(table, 0), root, kWaitMs);
        QCOMPARE(table.item(0, 0)->data(Qt::UserRole).toInt(), 1);
        QCOMPARE(table.item(0, 2)->text(), QStringLiteral("Folder"));
        QVERIFY(!table.item(0, 3));
        const int song = rowOf(table, QStringLiteral("school_song.mp3"));
        QCOMPARE(table.item(song, 0)->data(Qt::UserRole).toInt(), 0);
        QCOMPARE(table.item(song, 3)->text(), QStringLiteral("1.46MB"));
        QCOMPARE(table.item(song, 3)->data(Qt::UserRole).toLongLong(),
                 QFileInfo(QString::fromStdString(m_service.folder()) + QStringLiteral("/school_song.mp3")).size());
        QCOMPARE(browser.fullPath(QStringLiteral("x.mp3")), QStringLiteral("/data/mp3/x.mp3"));

        // A file row: nothing is asked.
        table.setCurrentCell(song, 0);
        browser.mediaTableDClicked();
        QCOMPARE(TcpSocketClient::instance()->pendingTasks(), 0);
        QCOMPARE(paths.count(), 1);

        table.setCurrentCell(rowOf(table, QStringLiteral("通知")), 0);
        browser.mediaTableDClicked();
        QCOMPARE(paths.last().at(0).toString(), QStringLiteral("/data/mp3/通知"));
        QTRY_COMPARE_WITH_TIMEOUT(column(table, 0),
                                  QStringList({QStringLiteral(".."), QStringLiteral("上课铃.mp3"),
                                               QStringLiteral("下课铃.mp3"), QStringLiteral("眼保健操.mp3")}),
                                  kWaitMs);
        QCOMPARE(column(table, 1).at(0), QString());
        QCOMPARE(table.item(0, 0)->data(Qt::UserRole).toInt(), 1);
        QCOMPARE(browser.fullPath(QStringLiteral("x.mp3")), QStringLiteral("/data/mp3/通知/x.mp3"));

        table.setCurrentCell(0, 0);
        browser.mediaTableDClicked();
        QCOMPARE(paths.last().at(0).toString(), QStringLiteral("/data/mp3"));
        QTRY_COMPARE_WITH_TIMEOUT(column(table, 0), root, kWaitMs);

        // An empty folder shows only the way back.
        table.setCurrentCell(rowOf(table, QStringLiteral("演出")), 0);
        browser.mediaTableDClicked();
        QTRY_COMPARE_WITH_TIMEOUT(column(table, 0), QStringList(QStringLiteral("..")), kWaitMs);
        ZnFtpClientMgr::instance()->client()->setMediaBrowser(nullptr);
    }

    void newFolderRefreshes()
    {
        QTableWidget table(0, 4);
        ZnMediaViewCtrl browser(&table);
        ZnFtpClientMgr::instance()->client()->setMediaBrowser(&browser);
        browser.slot_setMediaRoot(QStringLiteral("/data/mp3"));
        QTRY_COMPARE_WITH_TIMEOUT(table.rowCount(), 6, kWaitMs);
        ZnFtpClientMgr::instance()->createDir(QStringLiteral("/data/mp3/新建"));
        QTRY_VERIFY_WITH_TIMEOUT(rowOf(table, QStringLiteral("新建")) >= 0, kWaitMs);
        ZnFtpClientMgr::instance()->deleteDir(QStringLiteral("/data/mp3/新建"));
        QTRY_VERIFY_WITH_TIMEOUT(
            !QFileInfo::exists(QString::fromStdString(m_service.folder()) + QStringLiteral("/新建")), kWaitMs);
        ZnFtpClientMgr::instance()->client()->setMediaBrowser(nullptr);
    }

    // The task dialogs' browser has its rows when the request returns; only files
    // have a size item.
    void taskBrowser()
    {
        QTableWidget table(0, 2);
        ZnTaskMediaListViewCtrl browser(&table);
        ZnFtpClientMgr::instance()->client()->setTaskBrowser(&browser);
        browser.slot_setMediaRoot(QStringLiteral("/data/mp3"));
        QCOMPARE(rowOf(table, QStringLiteral("欢迎词.mp3")) >= 0, true);
        QVERIFY(browser.hasItemInColumn1(rowOf(table, QStringLiteral("欢迎词.mp3"))));
        QVERIFY(!browser.hasItemInColumn1(rowOf(table, QStringLiteral("通知"))));
        table.setCurrentCell(rowOf(table, QStringLiteral("通知")), 0);
        browser.mediaTableDClicked();
        QCOMPARE(column(table, 0).first(), QStringLiteral(".."));
        QVERIFY(!browser.hasItemInColumn1(0));
        QCOMPARE(table.rowCount(), 4);
        ZnFtpClientMgr::instance()->client()->setTaskBrowser(nullptr);
    }
};

QTEST_MAIN(TestMediaBrowser)
#include "tst_mediabrowser.moc"
