// The media page and the task dialogs' browser against the simulated file
// service: browsing, names, folders, rename, delete, upload with the real
// encoder, download, and progress on the timer.
#include "LoginSettings.h"
#include "TcpSocketClient.h"
#include "WavFile.h"
#include "ZnCFtpClient.h"
#include "ZnFtpClientMgr.h"
#include "ZnMediaMgrForm.h"
#include "ZnMediaViewCtrl.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"
#include "ZnSimFileService.h"
#include "ZnTaskMediaListViewCtrl.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {
// Generous bound for a loaded machine; costs nothing when things go right.
constexpr int kWaitMs = 20000;

QStringList names(const QTableWidget* t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << (t->item(r, 0) ? t->item(r, 0)->text() : QString());
    return out;
}
}

class TestMediaPage : public QObject
{
    Q_OBJECT
    ZnSimFileService m_service;
    QTemporaryDir m_work;
    ZnMediaMgrForm* m_page = nullptr;

    QString served(const QString& rel) const
    {
        return QString::fromStdString(m_service.folder()) + QLatin1Char('/') + rel;
    }
    QTableWidget* table() const { return m_page->form().fMediaTableWidget; }
    void select(const QStringList& rows)
    {
        table()->clearSelection();
        for (const QString& n : rows)
            table()->item(names(table()).indexOf(n), 0)->setSelected(true);
    }
    void enter(const QString& folder)
    {
        table()->setCurrentCell(names(table()).indexOf(folder), 0);
        m_page->browser()->mediaTableDClicked();
        QTRY_COMPARE_WITH_TIMEOUT(names(table()).value(0), QStringLiteral(".."), kWaitMs);
    }
    // Copies a served file to rel and waits for the current folder to show it.
    void addServed(const QString& rel)
    {
        QVERIFY(QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(rel)));
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QFileInfo(rel).fileName()), kWaitMs);
    }
    // Runs trigger with its name dialog answered by typed; what the refusal that
    // followed (confirmed) said, empty when none came.
    QString named(const QString& typed, void (ZnMediaMgrForm::*trigger)())
    {
        ZnModalHelper modal;
        modal.onModal([typed](QWidget* w) {
            w->findChild<QLineEdit*>(QStringLiteral("fNameEdit"))->setText(typed);
            QTest::mouseClick(ZnModalHelper::findButton(w, QStringLiteral("fOkBtn")), Qt::LeftButton);
        });
        ZnModalHelper refusal;
        refusal.answer(QStringLiteral("ConfirmButton"));
        (m_page->*trigger)();
        return refusal.seenTexts().join(QString());
    }

private slots:
    void initTestCase()
    {
        znInitResources();
        QVERIFY(QDir::setCurrent(m_work.path()));
        QFile ini(QStringLiteral("config.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Setting]\nServerIp=127.0.0.1\n");
        ini.close();
        LoginSettings::setInstance(new LoginSettings("config.ini"));
        QVERIFY(m_service.start(0));
        TcpSocketClient::setServicePort(quint16(m_service.port()));
        m_page = new ZnMediaMgrForm;
        m_page->resize(845, 605);
        m_page->show();
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QStringLiteral("通知")), kWaitMs);
        QCOMPARE(m_page->form().fMediaEdit->text(), QStringLiteral("/data/mp3"));
    }
    void cleanupTestCase()
    {
        delete m_page;
        m_service.stop();
    }
    void init()
    {
        if (m_page->browser()->currentFolder() == QLatin1String("."))
            return;
        m_page->browser()->slot_setMediaRoot(m_page->browser()->currentRoot());
        QTRY_VERIFY_WITH_TIMEOUT(
            !names(table()).contains(QStringLiteral("..")) && names(table()).contains(QStringLiteral("通知")), kWaitMs);
    }

    // Folders first, sizes shown and kept in bytes, ".." leads back; a file row
    // asks nothing, an empty folder shows only the way back.
    void browse()
    {
        ZnMediaViewCtrl* browser = m_page->browser();
        QSignalSpy paths(browser, &ZnMediaViewCtrl::updateMediaPath);
        const QStringList root{
            QStringLiteral("通知"),     QStringLiteral("背景音乐"),        QStringLiteral("演出"),
            QStringLiteral("应急广播"), QStringLiteral("school_song.mp3"), QStringLiteral("欢迎词.mp3")};
        QCOMPARE(names(table()), root);
        QCOMPARE(table()->item(0, 0)->data(Qt::UserRole).toInt(), 1);
        QVERIFY(!table()->item(0, 3));
        const int song = root.indexOf(QStringLiteral("school_song.mp3"));
        QCOMPARE(table()->item(song, 0)->data(Qt::UserRole).toInt(), 0);
        QCOMPARE(table()->item(song, 3)->text(), QStringLiteral("1.46MB"));
        QCOMPARE(table()->item(song, 3)->data(Qt::UserRole).toLongLong(),
                 QFileInfo(served(QStringLiteral("school_song.mp3"))).size());
        table()->setCurrentCell(song, 0);
        browser->mediaTableDClicked();
        QCOMPARE(TcpSocketClient::instance()->pendingTasks(), 0);
        QCOMPARE(paths.count(), 0);

        enter(QStringLiteral("通知"));
        QCOMPARE(paths.last().at(0).toString(), QStringLiteral("/data/mp3/通知"));
        QCOMPARE(names(table()), QStringList({QStringLiteral(".."), QStringLiteral("上课铃.mp3"),
                                              QStringLiteral("下课铃.mp3"), QStringLiteral("眼保健操.mp3")}));
        QCOMPARE(table()->item(0, 0)->data(Qt::UserRole).toInt(), 1);
        QCOMPARE(browser->fullPath(QStringLiteral("x.mp3")), QStringLiteral("/data/mp3/通知/x.mp3"));
        table()->setCurrentCell(0, 0);
        browser->mediaTableDClicked();
        QCOMPARE(paths.last().at(0).toString(), QStringLiteral("/data/mp3"));
        QTRY_COMPARE_WITH_TIMEOUT(names(table()), root, kWaitMs);

        enter(QStringLiteral("演出"));
        QCOMPARE(names(table()), QStringList(QStringLiteral("..")));
    }

    // The task dialogs' browser has its rows when the call returns; only files
    // have a size item.
    void taskBrowser()
    {
        QTableWidget table(0, 2);
        ZnTaskMediaListViewCtrl browser(&table);
        ZnFtpClientMgr::instance()->client()->setTaskBrowser(&browser);
        browser.slot_setMediaRoot(QStringLiteral("/data/mp3"));
        QVERIFY(browser.hasItemInColumn1(names(&table).indexOf(QStringLiteral("欢迎词.mp3"))));
        QVERIFY(!browser.hasItemInColumn1(names(&table).indexOf(QStringLiteral("通知"))));
        table.setCurrentCell(names(&table).indexOf(QStringLiteral("通知")), 0);
        browser.mediaTableDClicked();
        QCOMPARE(names(&table).first(), QStringLiteral(".."));
        QVERIFY(!browser.hasItemInColumn1(0));
        QCOMPARE(table.rowCount(), 4);
    }

    // Folders are made at the root only, named without what follows a dot.
    void newFolder_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("created"); // empty: refused with a message
        QTest::newRow("dot cut") << QStringLiteral("节目.b") << QStringLiteral("节目");
        QTest::newRow("only a dot name") << QStringLiteral(".hidden") << QString();
        QTest::newRow("separator") << QStringLiteral("x/y") << QString();
    }
    void newFolder()
    {
        QFETCH(QString, typed);
        QFETCH(QString, created);
        const QString refusal = named(typed, &ZnMediaMgrForm::newDirClicked);
        QCOMPARE(refusal.contains(QStringLiteral("illegal")), created.isEmpty());
        if (created.isEmpty())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(created), kWaitMs);
        QVERIFY(QFileInfo(served(created)).isDir());
        enter(created);
        QVERIFY(!m_page->form().fNewDirBtn->isEnabled());
    }

    // A file is renamed to an MP3 name: the typed extension goes, and so does any
    // ".mp3" before it.
    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("onServer"); // empty: refused
        QTest::newRow("wav asked as mp3") << QStringLiteral("新名.wav") << QStringLiteral("新名.mp3");
        QTest::newRow("double extension") << QStringLiteral("a.mp3.wav") << QStringLiteral("a.mp3");
        QTest::newRow("ampersand refused") << QStringLiteral("a&b") << QString();
    }
    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(QString, onServer);
        const QString old = QStringLiteral("背景音乐/旧.mp3");
        enter(QStringLiteral("背景音乐"));
        addServed(old);
        table()->setCurrentCell(names(table()).indexOf(QStringLiteral("旧.mp3")), 0);
        QCOMPARE(named(typed, &ZnMediaMgrForm::renameClicked).isEmpty(), !onServer.isEmpty());
        if (onServer.isEmpty()) {
            QVERIFY(names(table()).contains(QStringLiteral("旧.mp3")));
            QVERIFY(QFile::remove(served(old)));
            return;
        }
        QVERIFY(names(table()).contains(onServer));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(served(QStringLiteral("背景音乐/") + onServer)), kWaitMs);
        QVERIFY(!QFileInfo::exists(served(old)));
    }

    // ".." and two files chosen: the files go on the server, all three rows go.
    void deleteChosen()
    {
        enter(QStringLiteral("通知"));
        addServed(QStringLiteral("通知/d1.mp3"));
        addServed(QStringLiteral("通知/d2.mp3"));
        const int before = table()->rowCount();
        select({QStringLiteral(".."), QStringLiteral("d1.mp3"), QStringLiteral("d2.mp3")});
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"));
        m_page->delMediaClicked();
        QCOMPARE(table()->rowCount(), before - 3);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(QStringLiteral("通知/d1.mp3"))), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(QStringLiteral("通知/d2.mp3"))), kWaitMs);
        QVERIFY(QFileInfo::exists(served(QStringLiteral("通知/上课铃.mp3"))));
    }

    void uploadTooLarge()
    {
        const QString big = m_work.filePath(QStringLiteral("big.wav"));
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(ZnMediaMgrForm::kMaxUpload + 1));
        f.close();
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"));
        m_page->uploadFiles({big});
        QVERIFY(modal.seenTexts().join(QString()).contains(big));
        QCOMPARE(m_page->form().fUpOrDownTableWidget->rowCount(), 0);
    }

    // An upload converted by lame shows its progress on the 200 ms timer and
    // leaves the queue when the service took it; a download lands in the folder.
    void uploadThenDownload()
    {
        const QString local = m_work.filePath(QStringLiteral("上传 & 测试.wav"));
        const QString mp3 = QStringLiteral("上传 & 测试.mp3");
        QVERIFY(writeWav(local, 60));

        m_page->uploadFiles({local});
        QTableWidget* queue = m_page->form().fUpOrDownTableWidget;
        QCOMPARE(queue->rowCount(), 1);
        auto* bar = qobject_cast<QProgressBar*>(queue->cellWidget(0, 2));
        QVERIFY(bar);
        // The bar goes with its row, so what it showed is kept by a spy.
        QSignalSpy shown(bar, &QProgressBar::valueChanged);
        QTRY_COMPARE_WITH_TIMEOUT(queue->rowCount(), 0, 30000);
        QVERIFY2(std::any_of(shown.cbegin(), shown.cend(),
                             [](const QList<QVariant>& v) { return v.at(0).toInt() > 0 && v.at(0).toInt() < 100; }),
                 "no progress between 0 and 100 was shown");
        QVERIFY(QFileInfo(served(mp3)).size() > 0);

        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(mp3), kWaitMs);
        QTemporaryDir into;
        select({mp3, QStringLiteral("通知")});
        m_page->downloadSelected(into.path());
        QCOMPARE(queue->rowCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(queue->rowCount(), 0, 30000);
        QCOMPARE(QDir(into.path()).entryList(QDir::Files | QDir::Hidden), QStringList(mp3));
        QCOMPARE(QFileInfo(into.filePath(mp3)).size(), QFileInfo(served(mp3)).size());
    }
};

QTEST_MAIN(TestMediaPage)
#include "tst_mediapage.moc"
