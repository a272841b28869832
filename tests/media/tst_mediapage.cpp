// The media page against the simulated file service: names, folders, rename,
// delete, upload with the real encoder, download, and progress on the timer.
#include "LoginSettings.h"
#include "TcpSocketClient.h"
#include "WavFile.h"
#include "ZnDownAndUploadViewCtr.h"
#include "ZnMediaMgrForm.h"
#include "ZnMediaViewCtrl.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"
#include "ZnSimFileService.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {
// Generous bound for a loaded machine; costs nothing when things go right.
constexpr int kWaitMs = 20000;

QStringList names(QTableWidget* t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << (t->item(r, 0) ? t->item(r, 0)->text() : QString());
    return out;
}

// Answers the name dialog with text.
void typeName(ZnModalHelper& modal, const QString& text)
{
    modal.onModal([text](QWidget* w) {
        w->findChild<QLineEdit*>(QStringLiteral("fNameEdit"))->setText(text);
        QTest::mouseClick(ZnModalHelper::findButton(w, QStringLiteral("fOkBtn")), Qt::LeftButton);
    });
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
    void backToRoot()
    {
        if (m_page->browser()->currentFolder() == QLatin1String("."))
            return;
        m_page->browser()->slot_setMediaRoot(m_page->browser()->currentRoot());
        QTRY_VERIFY_WITH_TIMEOUT(
            !names(table()).contains(QStringLiteral("..")) && names(table()).contains(QStringLiteral("通知")), kWaitMs);
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
    void init() { backToRoot(); }

    void serverNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("isDir");
        QTest::addColumn<QString>("server");
        QTest::newRow("wav file") << QStringLiteral("song.wav") << 0 << QStringLiteral("song.mp3");
        QTest::newRow("double extension") << QStringLiteral("a.mp3.wav") << 0 << QStringLiteral("a.mp3");
        QTest::newRow("folder with dot") << QStringLiteral("new.dir") << 1 << QStringLiteral("new");
        QTest::newRow("folder of a dot only") << QStringLiteral(".hidden") << 1 << QString();
    }
    void serverNames()
    {
        QFETCH(QString, typed);
        QFETCH(int, isDir);
        QTEST(ZnMediaMgrForm::toServerName(typed, isDir), "server");
        QVERIFY(!ZnMediaMgrForm::isLegalName(QStringLiteral("a&b")));
        QVERIFY(ZnMediaMgrForm::isLegalMediaFileName(QStringLiteral("a&b.wav")));
    }

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
        ZnModalHelper modal;
        typeName(modal, typed);
        ZnModalHelper refusal;
        if (created.isEmpty())
            refusal.answer(QStringLiteral("ConfirmButton"));
        m_page->newDirClicked();
        if (created.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(refusal.handled(), kWaitMs);
            QVERIFY(refusal.seenTexts().join(QString()).contains(QStringLiteral("illegal")));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(created), kWaitMs);
        QVERIFY(QFileInfo(served(created)).isDir());
        // Folders are made at the root only.
        enter(created);
        QVERIFY(!m_page->form().fNewDirBtn->isEnabled());
    }

    void rename_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("onServer"); // empty: refused
        QTest::newRow("wav asked as mp3") << QStringLiteral("新名.wav") << QStringLiteral("新名.mp3");
        QTest::newRow("ampersand refused") << QStringLiteral("a&b") << QString();
    }
    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(QString, onServer);
        enter(QStringLiteral("背景音乐"));
        QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(QStringLiteral("背景音乐/旧.mp3")));
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QStringLiteral("旧.mp3")), kWaitMs);
        table()->setCurrentCell(names(table()).indexOf(QStringLiteral("旧.mp3")), 0);
        ZnModalHelper modal;
        typeName(modal, typed);
        ZnModalHelper refusal;
        if (onServer.isEmpty())
            refusal.answer(QStringLiteral("ConfirmButton"));
        m_page->renameClicked();
        if (onServer.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(refusal.handled(), kWaitMs);
            QVERIFY(names(table()).contains(QStringLiteral("旧.mp3")));
            QFile::remove(served(QStringLiteral("背景音乐/旧.mp3")));
            return;
        }
        QVERIFY(names(table()).contains(onServer));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(served(QStringLiteral("背景音乐/") + onServer)), kWaitMs);
        QVERIFY(!QFileInfo::exists(served(QStringLiteral("背景音乐/旧.mp3"))));
    }

    // ".." and two files chosen: the files go on the server, all three rows go.
    void deleteChosen()
    {
        enter(QStringLiteral("通知"));
        QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(QStringLiteral("通知/d1.mp3")));
        QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(QStringLiteral("通知/d2.mp3")));
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QStringLiteral("d2.mp3")), kWaitMs);
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
        QVERIFY(modal.handled());
        QVERIFY(modal.seenTexts().join(QString()).contains(big));
        QCOMPARE(m_page->form().fUpOrDownTableWidget->rowCount(), 0);
    }

    // An upload converted by lame shows its progress on the 200 ms timer and
    // leaves the queue when the service took it; a download lands in the folder.
    void uploadThenDownload()
    {
        const QString local = m_work.filePath(QStringLiteral("上传 & 测试.wav"));
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
        QVERIFY(QFileInfo(served(QStringLiteral("上传 & 测试.mp3"))).size() > 0);

        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QStringLiteral("上传 & 测试.mp3")), kWaitMs);
        QTemporaryDir into;
        select({QStringLiteral("上传 & 测试.mp3"), QStringLiteral("通知")});
        m_page->downloadSelected(into.path());
        QCOMPARE(queue->rowCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(queue->rowCount(), 0, 30000);
        QCOMPARE(QDir(into.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList(QStringLiteral("上传 & 测试.mp3")));
        QCOMPARE(QFileInfo(into.filePath(QStringLiteral("上传 & 测试.mp3"))).size(),
                 QFileInfo(served(QStringLiteral("上传 & 测试.mp3"))).size());
    }
};

QTEST_MAIN(TestMediaPage)
#include "tst_mediapage.moc"
