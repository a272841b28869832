// The media page and its transfer queue against the simulated file service and
// the real encoder: browsing, names, delete, uploads and their failures,
// progress on the timer, download, and the note file.
#include "LoginSettings.h"
#include "TcpSocketClient.h"
#include "ZnAsUser.h"
#include "ZnCFtpClient.h"
#include "ZnDownAndUploadViewCtr.h"
#include "ZnFifoTrap.h"
#include "ZnFtpClientMgr.h"
#include "ZnMediaMgrForm.h"
#include "ZnMediaViewCtrl.h"
#include "ZnModalGuard.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"
#include "ZnSetUpFiles.h"
#include "ZnSimClosedPort.h"
#include "ZnSimFileService.h"
#include "ZnSmallDisk.h"
#include "ZnTaskMediaListViewCtrl.h"

#include <QDataStream>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {
// Generous bound for a loaded machine; costs nothing when things go right.
constexpr int kWaitMs = 20000;

bool isMp3(const QString& path)
{
    QFile f(path);
    const QByteArray head = f.open(QIODevice::ReadOnly) ? f.read(4) : QByteArray();
    return head.startsWith("ID3") || (head.size() == 4 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0);
}

QString cell(const QTableWidget& t, int row, int col = 0)
{
    return t.item(row, col) ? t.item(row, col)->text() : QString();
}

QStringList names(const QTableWidget* t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << cell(*t, r);
    return out;
}

// Counts the timer events an object gets: two more than before mean one whole
// refresh of the transfer table has run in between.
struct TickCounter : QObject
{
    int ticks = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        ticks += e->type() == QEvent::Timer;
        return false;
    }
};

// The rows marked failed, saying why.
int failedRows(const QTableWidget& t)
{
    const QStringList states = names(&t);
    return int(std::count_if(states.begin(), states.end(),
                             [](const QString& s) { return s.startsWith(QStringLiteral("失败")) && s.size() > 3; }));
}

// Writes a mono 16-bit PCM WAV of a 440 Hz tone for the encoder to convert.
bool writeWav(const QString& path, int seconds)
{
    const quint32 rate = 8000, bytes = rate * 2 * quint32(seconds);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream s(&f);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + bytes);
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2) << quint16(16);
    s.writeRawData("data", 4);
    s << bytes;
    for (quint32 i = 0; i < bytes / 2; ++i)
        s << qint16(8000 * std::sin(i * 440.0 * 2 * M_PI / rate));
    return s.status() == QDataStream::Ok && f.flush();
}
}

class TestMediaPage : public QObject
{
    Q_OBJECT
    ZnSimFileService m_service;
    QTemporaryDir m_work;
    ZnMediaMgrForm* m_page = nullptr;
    QByteArray m_path;

    QString served(const QString& rel) const
    {
        return QString::fromStdString(m_service.folder()) + QLatin1Char('/') + rel;
    }
    // Removes a served file or folder; false when there was none.
    bool removeServed(const QString& rel) const
    {
        const QFileInfo info(served(rel));
        return info.isDir() ? QDir(info.filePath()).removeRecursively() : QFile::remove(info.filePath());
    }
    QTableWidget* table() const { return m_page->form().fMediaTableWidget; }
    // Removes a served entry of the shown folder and waits until the page no
    // longer lists it: no listing still on its way can bring it back.
    void dropShown(const QString& rel)
    {
        QVERIFY(removeServed(rel));
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_VERIFY_WITH_TIMEOUT(!names(table()).contains(QFileInfo(rel).fileName()), kWaitMs);
    }
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
    // Requests the service got for a command since the last clear.
    int requestsOf(const char* command) const
    {
        const auto all = m_service.requests();
        return int(std::count_if(all.begin(), all.end(),
                                 [command](const std::string& r) { return r.find(command) != std::string::npos; }));
    }
    // The queue's delete item (空闲) in its menu, opened with the right button on a
    // row; clicked as the operator clicks it, or, disabled, triggered all the same.
    static QAction* deleteItemOn(QTableWidget& queue, int row)
    {
        const QPoint at = queue.visualItemRect(queue.item(row, 1)).center();
        QTest::mouseClick(queue.viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent asked(QContextMenuEvent::Mouse, at, queue.viewport()->mapToGlobal(at));
        QApplication::sendEvent(queue.viewport(), &asked);
        auto* menu = queue.findChild<QMenu*>();
        return menu && menu->isVisible() ? menu->actions().value(3) : nullptr;
    }
    static void choose(QAction* item)
    {
        auto* menu = qobject_cast<QMenu*>(item->parent());
        if (item->isEnabled())
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        else
            item->trigger();
        menu->hide();
    }
    static QString notice(QWidget* holder)
    {
        const auto* label = holder->findChild<QLabel*>(QStringLiteral("fServiceNotice"));
        return label && label->isVisible() ? label->text() : QString();
    }

private slots:
    void initTestCase()
    {
        // The file worker writes debug lines from its own thread; QtTest's logger
        // reads the running test's name for each, which races with the switch to
        // the next test and crashed a run. Debug lines are not logged here.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        ZnModalGuard::install();
        znInitResources();
        QVERIFY(QDir::setCurrent(m_work.path()));
        QFile ini(QStringLiteral("config.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Setting]\nServerIp=127.0.0.1\n");
        ini.close();
        LoginSettings::setInstance(new LoginSettings("config.ini"));
        m_path = qgetenv("PATH");
        QVERIFY(m_service.start(0));
        TcpSocketClient::setServicePort(quint16(m_service.port()));
        // The page starts while the service keeps its root to itself (withoutRoot).
        ZnSimFileService::Faults f;
        f.answerCommand = "GetFileRoot";
        m_service.setFaults(f);
        m_page = new ZnMediaMgrForm;
        m_page->resize(845, 605);
        m_page->show();
    }
    void cleanupTestCase()
    {
        delete m_page;
        m_service.stop();
    }
    void init()
    {
        // Its rows keep the service from naming a root, also to requests still on their way.
        if (QByteArray(QTest::currentTestFunction()) == "withoutRoot")
            return;
        m_service.setFaults({});
        qputenv("PATH", m_path);
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(m_service.port()));
        if (!m_page->browser()->hasRoot()) {
            m_page->browser()->refreshMediaList();
            QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QStringLiteral("通知")), kWaitMs);
            QCOMPARE(m_page->form().fMediaEdit->text(), QStringLiteral("/data/mp3"));
        }
        if (m_page->browser()->currentFolder() == QLatin1String("."))
            return;
        m_page->browser()->slot_setMediaRoot(m_page->browser()->currentRoot());
        QTRY_VERIFY_WITH_TIMEOUT(
            !names(table()).contains(QStringLiteral("..")) && names(table()).contains(QStringLiteral("通知")), kWaitMs);
    }

    // Until the service names its media root, the page and a task dialog's browser
    // say that it is not reachable and why, and nothing is written on the server.
    void withoutRoot_data()
    {
        QTest::addColumn<QString>("answer"); // the GetFileRoot reply; "-" nothing listens
        QTest::addColumn<QString>("said");
        QTest::newRow("root unanswered") << QString() << QStringLiteral("（no answer）");
        QTest::newRow("root without FileRoot")
            << QStringLiteral("{\"Command\":\"PostFileRoot\"}\r\n\r\n") << QStringLiteral("（no media folder）");
        QTest::newRow("service not there") << QStringLiteral("-") << QString();
    }
    void withoutRoot()
    {
        QFETCH(QString, answer);
        QFETCH(QString, said);
        ZnSimFileService::Faults f;
        f.answerCommand = "GetFileRoot";
        f.answerText = answer.toStdString();
        m_service.setFaults(f);
        ZnSimClosedPort closed;
        QVERIFY(closed.port() > 0);
        quint16 port = quint16(m_service.port());
        if (answer == QLatin1String("-"))
            port = quint16(closed.port());
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), port);
        const QString expected = QStringLiteral("无法连接文件服务 127.0.0.1:%1%2").arg(port).arg(said);

        QWidget dialog;
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("media")));
        auto* files = new QTableWidget(0, 2);
        layout->addWidget(files);
        ZnTaskMediaListViewCtrl browser(files);
        ZnFtpClientMgr::instance()->client()->setTaskBrowser(&browser);
        dialog.show();
        m_service.clearRequests();
        browser.refreshMediaList();
        QTRY_COMPARE_WITH_TIMEOUT(notice(&dialog), expected, kWaitMs);
        // What earlier rows' actions said may follow on lines of their own.
        QTRY_COMPARE_WITH_TIMEOUT(notice(m_page).section(QLatin1Char('\n'), 0, 0), expected, kWaitMs);
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(m_service.port()));
        // Above the table, covering no row.
        QCOMPARE(layout->indexOf(dialog.findChild<QLabel*>(QStringLiteral("fServiceNotice"))), 1);
        QCOMPARE(files->rowCount(), 0);
        QVERIFY(!m_page->form().fUploadBtn->isEnabled());
        QVERIFY(!m_page->form().fNewDirBtn->isEnabled());

        const QString wav = m_work.filePath(QStringLiteral("early.wav"));
        QVERIFY(writeWav(wav, 1));
        m_page->uploadFiles({wav});
        QVERIFY(notice(m_page).contains(QStringLiteral("上传失败")));
        ZnModalHelper nameDialog;
        nameDialog.answer(QStringLiteral("escape"));
        m_page->newDirClicked();
        QVERIFY(!nameDialog.handled());
        QCOMPARE(m_page->form().fUpOrDownTableWidget->rowCount(), 0);
        QVERIFY(notice(m_page).contains(QStringLiteral("创建目录失败")));
        QCOMPARE(requestsOf("PostFile") + requestsOf("CreatDIR"), 0);
        ZnFtpClientMgr::instance()->client()->setTaskBrowser(nullptr);
    }

    // A folder's listing that fails or belongs to another folder leaves path and
    // rows together as they were, so every action still names the folder shown.
    void failedListing_data()
    {
        QTest::addColumn<QString>("answer"); // the GetFileList reply; "-" the service answers
        QTest::addColumn<bool>("enter");     // double-click the folder, else only its listing comes
        QTest::addColumn<QString>("said");
        QTest::newRow("unreadable listing")
            << QStringLiteral("{\"Command\":\"GetFileList\",\"FileList\":[\r\n\r\n") << true
            << QStringLiteral("无法读取目录 /data/mp3/通知：unreadable listing");
        QTest::newRow("no answer") << QString() << true << QStringLiteral("无法读取目录 /data/mp3/通知：no answer");
        QTest::newRow("another folder's listing") << QStringLiteral("-") << false << QString();
    }
    void failedListing()
    {
        QFETCH(QString, answer);
        QFETCH(bool, enter);
        QFETCH(QString, said);
        const QStringList before = names(table());
        ZnSimFileService::Faults f;
        if (answer != QLatin1String("-")) {
            f.answerCommand = "GetFileList";
            f.answerText = answer.toStdString();
        }
        m_service.setFaults(f);
        QSignalSpy arrived(m_page->browser(), &ZnMediaViewCtrl::getDirListFinished);
        if (enter) {
            table()->setCurrentCell(names(table()).indexOf(QStringLiteral("通知")), 0);
            m_page->browser()->mediaTableDClicked();
        } else {
            // As an upload into that folder lists it.
            m_page->browser()->requestDirList(QStringLiteral("/data/mp3/通知"));
        }
        // Listings asked for before may still come first.
        const auto ofFolder = [&arrived] {
            return std::any_of(arrived.cbegin(), arrived.cend(), [](const QList<QVariant>& a) {
                return a.at(0).toString() == QStringLiteral("/data/mp3/通知");
            });
        };
        QTRY_VERIFY_WITH_TIMEOUT(ofFolder(), kWaitMs);
        QCoreApplication::processEvents(); // the browser's own, queued, slot
        QCOMPARE(notice(m_page), said);
        // It quotes the service's reasons as written.
        QCOMPARE(m_page->findChild<QLabel*>(QStringLiteral("fServiceNotice"))->textFormat(), Qt::PlainText);
        QCOMPARE(m_page->form().fMediaEdit->text(), QStringLiteral("/data/mp3"));
        QCOMPARE(names(table()), before);
        QCOMPARE(m_page->browser()->fullPath(QStringLiteral("欢迎词.mp3")), QStringLiteral("/data/mp3/欢迎词.mp3"));
        QVERIFY(m_page->form().fNewDirBtn->isEnabled());
        // The next good listing takes the notice away.
        m_service.setFaults({});
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_COMPARE_WITH_TIMEOUT(notice(m_page), QString(), kWaitMs);
    }

    // An interrupted download keeps the progress it reached on its row: the share
    // of what the service announced, whatever the listing said.
    void interruptedDownload_data()
    {
        QTest::addColumn<QString>("fileLen"); // empty: the file's own size
        QTest::addColumn<bool>("cutHalfway"); // else every byte of the file is sent, then the line closes
        QTest::addColumn<int>("percent");     // -1: half of the file
        QTest::newRow("cut halfway shows half") << QString() << true << -1;
        QTest::newRow("all listed bytes of 10^18-1 announced is no full bar")
            << QStringLiteral("999999999999999999") << false << 0;
    }
    void interruptedDownload()
    {
        QFETCH(QString, fileLen);
        QFETCH(bool, cutHalfway);
        QFETCH(int, percent);
        const qint64 size = QFileInfo(served(QStringLiteral("school_song.mp3"))).size();
        ZnSimFileService::Faults f;
        f.cutGetFileAt = cutHalfway ? size / 2 : -1;
        f.fileLenText = fileLen.toStdString();
        m_service.setFaults(f);
        QTableWidget queue(0, 4);
        ZnDownAndUploadViewCtr transfers(&queue);
        // As the media page joins its queue to the worker.
        connect(TcpSocketClient::instance(), &TcpSocketClient::updateProgressIndicator, &transfers,
                &ZnDownAndUploadViewCtr::slot_progressIndicator);
        QTemporaryDir into;
        QCOMPARE(transfers.queueDownload("school_song.mp3", "/data/mp3/school_song.mp3",
                                         into.filePath(QStringLiteral("school_song.mp3")).toUtf8().constData(), size),
                 0);
        // While it runs, delete is disabled and the row stays.
        QAction* remove = deleteItemOn(queue, 0);
        QVERIFY(remove && !remove->isEnabled());
        choose(remove);
        QCOMPARE(queue.rowCount(), 1);
        TickCounter refreshes;
        transfers.installEventFilter(&refreshes);
        QTRY_COMPARE_WITH_TIMEOUT(failedRows(queue), 1, kWaitMs);
        const int failedAt = refreshes.ticks;
        QTRY_VERIFY(refreshes.ticks >= failedAt + 2);
        auto* bar = qobject_cast<QProgressBar*>(queue.cellWidget(0, 2));
        QVERIFY(bar);
        QCOMPARE(bar->value(), percent < 0 ? int(size / 2 * 100 / size) : percent);
        QCOMPARE(QDir(into.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        // Failed, it goes with its record.
        remove = deleteItemOn(queue, 0);
        QVERIFY(remove && remove->isEnabled());
        choose(remove);
        QCOMPARE(queue.rowCount() + transfers.recordCount(), 0);
    }

    // Folders first, sizes shown and kept in bytes, ".." leads back; an empty
    // folder shows only the way back; a fresh listing goes back to the root.
    void browse()
    {
        const QStringList root{
            QStringLiteral("通知"),     QStringLiteral("背景音乐"),        QStringLiteral("演出"),
            QStringLiteral("应急广播"), QStringLiteral("school_song.mp3"), QStringLiteral("欢迎词.mp3")};
        QCOMPARE(names(table()), root);
        QCOMPARE(table()->item(0, 0)->data(Qt::UserRole).toInt(), 1);
        QVERIFY(!table()->item(0, 3));
        const int song = root.indexOf(QStringLiteral("school_song.mp3"));
        QCOMPARE(table()->item(song, 3)->text(), QStringLiteral("1.46MB"));
        QCOMPARE(table()->item(song, 3)->data(Qt::UserRole).toLongLong(),
                 QFileInfo(served(QStringLiteral("school_song.mp3"))).size());

        enter(QStringLiteral("通知"));
        QCOMPARE(m_page->form().fMediaEdit->text(), QStringLiteral("/data/mp3/通知"));
        QCOMPARE(names(table()), QStringList({QStringLiteral(".."), QStringLiteral("上课铃.mp3"),
                                              QStringLiteral("下课铃.mp3"), QStringLiteral("眼保健操.mp3")}));
        table()->setCurrentCell(0, 0);
        m_page->browser()->mediaTableDClicked();
        QTRY_COMPARE_WITH_TIMEOUT(names(table()), root, kWaitMs);
        QCOMPARE(m_page->form().fMediaEdit->text(), QStringLiteral("/data/mp3"));

        enter(QStringLiteral("演出"));
        QCOMPARE(names(table()), QStringList(QStringLiteral("..")));
        // Listing afresh shows the root, and names go to the root with it.
        m_page->browser()->refreshMediaList();
        QTRY_COMPARE_WITH_TIMEOUT(names(table()), root, kWaitMs);
        QCOMPARE(m_page->form().fMediaEdit->text(), QStringLiteral("/data/mp3"));
        QCOMPARE(m_page->browser()->fullPath(QStringLiteral("欢迎词.mp3")), QStringLiteral("/data/mp3/欢迎词.mp3"));
    }

    // The two tables' headers in order, and the type each root row reads.
    void headersAndTypes()
    {
        auto headersOf = [](const QTableWidget* t) {
            QStringList out;
            for (int c = 0; c < t->columnCount(); ++c)
                out << (t->horizontalHeaderItem(c) ? t->horizontalHeaderItem(c)->text() : QStringLiteral("-"));
            return out.join(QLatin1Char('|'));
        };
        QCOMPARE(headersOf(table()), QStringLiteral("名称|修改日期|类型|文件大小"));
        QCOMPARE(headersOf(m_page->form().fUpOrDownTableWidget), QStringLiteral("状态|名称|传送进度|文件大小"));
        // The queue's menu names its four actions by the states they lead to.
        QTableWidget queueTable(0, 4);
        ZnDownAndUploadViewCtr queue(&queueTable);
        QStringList actions;
        for (const QMenu* menu : queueTable.findChildren<QMenu*>())
            for (const QAction* a : menu->actions())
                actions << a->text();
        QCOMPARE(actions.join(QLatin1Char('|')), QStringLiteral("正在下载|正在传输|暂停|空闲"));
        QStringList types;
        for (int row = 0; row < table()->rowCount(); ++row)
            types << table()->item(row, 2)->text();
        QCOMPARE(types.join(QLatin1Char(' ')), QStringLiteral("Folder Folder Folder Folder Media File Media File"));
    }

    // Folders are made at the root only and named without what follows a dot; a
    // file is renamed to an MP3 name, without the typed extension or a ".mp3"
    // before it. A name that, so cut, is no entry of the shown folder (empty, "."
    // or "..", with a separator, or one its listing would not show) is refused
    // with a message; nothing is sent and everything stays as it was.
    void naming_data()
    {
        QTest::addColumn<QString>("action"); // "new folder", "rename folder" or "rename file"
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result"); // empty: refused with a message; "-": nothing sent, nothing said
        const QString newDir = QStringLiteral("new folder"), dir = QStringLiteral("rename folder"),
                      file = QStringLiteral("rename file");
        QTest::newRow("folder, dot cut") << newDir << QStringLiteral("节目.b") << QStringLiteral("节目");
        QTest::newRow("folder, only a dot name") << newDir << QStringLiteral(".hidden") << QString();
        QTest::newRow("folder, separator") << newDir << QStringLiteral("x/y") << QString();
        QTest::newRow("folder, climbing out") << newDir << QStringLiteral("../escape") << QString();
        QTest::newRow("folder, ..x cut to the root") << newDir << QStringLiteral("..x") << QString();
        QTest::newRow("folder, ... cut to its parent") << newDir << QStringLiteral("...") << QString();
        QTest::newRow("folder, ampersand and apostrophe taken")
            << newDir << QStringLiteral("a&b'c") << QStringLiteral("a&b'c");
        QTest::newRow("folder, : * ? \" < > | taken")
            << newDir << QStringLiteral("q:*?\"<>|") << QStringLiteral("q:*?\"<>|");
        QTest::newRow("folder, backslash") << newDir << QStringLiteral("a\\b") << QString();
        QTest::newRow("folder, right to left") << newDir << QStringLiteral("\u202e目录") << QString();
        QTest::newRow("folder renamed, dot cut") << dir << QStringLiteral("新目录.b") << QStringLiteral("新目录");
        QTest::newRow("folder renamed to ..x, cut to the root") << dir << QStringLiteral("..x") << QString();
        QTest::newRow("folder renamed to ..., cut to its parent") << dir << QStringLiteral("...") << QString();
        QTest::newRow("folder renamed to .") << dir << QStringLiteral(".") << QString();
        QTest::newRow("folder renamed to ..") << dir << QStringLiteral("..") << QString();
        QTest::newRow("folder renamed to a/b") << dir << QStringLiteral("a/b") << QString();
        QTest::newRow("folder renamed to x/..") << dir << QStringLiteral("x/..") << QString();
        QTest::newRow("folder renamed right to left") << dir << QStringLiteral("\u202e目录") << QString();
        QTest::newRow("file, wav asked as mp3") << file << QStringLiteral("新名.wav") << QStringLiteral("新名.mp3");
        QTest::newRow("file, double extension") << file << QStringLiteral("a.mp3.wav") << QStringLiteral("a.mp3");
        QTest::newRow("file, ..x is a name of its own") << file << QStringLiteral("..x") << QStringLiteral("..mp3");
        QTest::newRow("file, ampersand") << file << QStringLiteral("a&b") << QString();
        QTest::newRow("file, nothing before the extension") << file << QStringLiteral(".wav") << QString();
        QTest::newRow("file, right to left") << file << QStringLiteral("\u202eevil3pm.exe") << QString();
        QTest::newRow("file, name left as it opened") << file << QStringLiteral("旧.mp3") << QStringLiteral("-");
    }
    void naming()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        const bool newDir = action == QLatin1String("new folder");
        const bool renameDir = action == QLatin1String("rename folder");
        const QString in = newDir || renameDir ? QString() : QStringLiteral("背景音乐/");
        const QString old = renameDir ? QStringLiteral("旧目录") : QStringLiteral("旧.mp3");
        if (renameDir) {
            QVERIFY(QDir().mkpath(served(old)));
            m_page->browser()->slot_updateCurrentPathList();
            QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(old), kWaitMs);
        } else if (!newDir) {
            enter(QStringLiteral("背景音乐"));
            addServed(in + old);
        }
        if (!newDir)
            table()->setCurrentCell(names(table()).indexOf(old), 0);
        const QStringList before = names(table());
        m_service.clearRequests();
        const QString refusal = named(typed, newDir ? &ZnMediaMgrForm::newDirClicked : &ZnMediaMgrForm::renameClicked);
        QCOMPARE(refusal.contains(QStringLiteral("illegal")), result.isEmpty());
        if (result.isEmpty() || result == QLatin1String("-")) {
            QCOMPARE(refusal.isEmpty(), !result.isEmpty());
            QCOMPARE(names(table()), before);
            // A listing asked for now is answered after anything the action queued.
            m_page->browser()->slot_updateCurrentPathList();
            QTRY_VERIFY_WITH_TIMEOUT(requestsOf("GetFileList") > 0, kWaitMs);
            QCOMPARE(requestsOf("Rename") + requestsOf("CreatDIR"), 0);
            if (!newDir)
                dropShown(in + old);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(result), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(served(in + result)), kWaitMs);
        QVERIFY(newDir || !QFileInfo::exists(served(in + old)));
        if (newDir) {
            enter(result);
            QVERIFY(!m_page->form().fNewDirBtn->isEnabled());
        } else {
            dropShown(in + result);
        }
    }

    // A rename the service refuses is told, and the old name comes back.
    void refusedRename()
    {
        enter(QStringLiteral("背景音乐"));
        addServed(QStringLiteral("背景音乐/旧.mp3"));
        table()->setCurrentCell(names(table()).indexOf(QStringLiteral("旧.mp3")), 0);
        ZnSimFileService::Faults f;
        f.refuseAll = true;
        m_service.setFaults(f);
        QVERIFY(named(QStringLiteral("改名"), &ZnMediaMgrForm::renameClicked).isEmpty());
        ZnModalHelper told;
        told.answer(QStringLiteral("ConfirmButton"));
        QTRY_VERIFY_WITH_TIMEOUT(told.handled(), kWaitMs);
        QVERIFY(told.seenTexts().join(QString()).contains(QStringLiteral("重命名失败: refused")));
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QStringLiteral("旧.mp3")), kWaitMs);
        QVERIFY(!names(table()).contains(QStringLiteral("改名.mp3")));
        QVERIFY(QFile::remove(served(QStringLiteral("背景音乐/旧.mp3"))));
    }

    // A listing of the shown folder that arrives while the name dialog or the
    // delete question is open rebuilds the rows: the action still names the row
    // the operator chose, and a row gone meanwhile is told and left alone.
    void listingUnderBox_data()
    {
        QTest::addColumn<bool>("rename");  // else delete
        QTest::addColumn<bool>("removed"); // the chosen file goes meanwhile, else a new one comes above it
        QTest::newRow("rename, a row added above: the chosen file is renamed") << true << false;
        QTest::newRow("rename, the chosen file gone: told, nothing sent") << true << true;
        QTest::newRow("delete, a row added above: the chosen file is deleted") << false << false;
        QTest::newRow("delete, the chosen file gone: told, nothing sent") << false << true;
    }
    void listingUnderBox()
    {
        QFETCH(bool, rename);
        QFETCH(bool, removed);
        const QString in = QStringLiteral("背景音乐/");
        enter(QStringLiteral("背景音乐"));
        addServed(in + QStringLiteral("repro.mp3"));
        const int chosen = names(table()).indexOf(QStringLiteral("repro.mp3"));
        table()->setCurrentCell(chosen, 0);
        select({QStringLiteral("repro.mp3")});
        m_service.clearRequests();

        ZnModalHelper told;
        ZnModalHelper box;
        box.onModal([&](QWidget* w) {
            told.answer(QStringLiteral("ConfirmButton"), w);
            if (removed)
                QFile::remove(served(in + QStringLiteral("repro.mp3")));
            else
                QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(in + QStringLiteral("a_new.mp3")));
            // As the worker does when an upload or a new folder is done.
            m_page->browser()->slot_updateCurrentPathList();
            ZnModalHelper::waitFor(
                [&] {
                    return names(table()).contains(QStringLiteral("a_new.mp3")) == !removed
                           && names(table()).contains(QStringLiteral("repro.mp3")) == !removed;
                },
                kWaitMs);
            if (rename) {
                w->findChild<QLineEdit*>(QStringLiteral("fNameEdit"))->setText(QStringLiteral("after"));
                QTest::mouseClick(ZnModalHelper::findButton(w, QStringLiteral("fOkBtn")), Qt::LeftButton);
            } else {
                QTest::mouseClick(ZnModalHelper::findButton(w, QStringLiteral("ConfirmButton")), Qt::LeftButton);
            }
        });
        if (rename)
            m_page->renameClicked();
        else
            m_page->delMediaClicked();
        QVERIFY(box.handled());
        QCOMPARE(names(table()).contains(QStringLiteral("a_new.mp3")), !removed);

        // A listing asked for now is answered after anything the action queued.
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_VERIFY_WITH_TIMEOUT(requestsOf("GetFileList") > 1, kWaitMs);
        const auto sent = m_service.requests();
        QStringList changes;
        for (const std::string& r : sent) {
            if (r.find("RenameFile") != std::string::npos || r.find("DelFile") != std::string::npos)
                changes << QString::fromStdString(r);
        }
        if (removed) {
            QCOMPARE(changes, QStringList());
            QVERIFY(told.handled());
            const QString said = told.seenTexts().join(QString());
            QVERIFY2(said.contains(rename ? QStringLiteral("重命名失败: 已不在当前目录")
                                          : QStringLiteral("删除失败: 已不在当前目录")),
                     qPrintable(said));
            QVERIFY(said.contains(QStringLiteral("/data/mp3/背景音乐/repro.mp3")));
            QVERIFY(!QFileInfo::exists(served(in + QStringLiteral("after.mp3"))));
            QTRY_VERIFY_WITH_TIMEOUT(!names(table()).contains(QStringLiteral("after.mp3")), kWaitMs);
            return;
        }
        QVERIFY(!told.handled());
        QCOMPARE(changes.size(), 1);
        QVERIFY2(changes.first().contains(rename ? QStringLiteral("\"OldFileName\":\"repro.mp3\"")
                                                 : QStringLiteral("\"FileName\":\"repro.mp3\"")),
                 qPrintable(changes.first()));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(in + QStringLiteral("repro.mp3"))), kWaitMs);
        QVERIFY(QFileInfo::exists(served(in + QStringLiteral("a_new.mp3"))));
        QCOMPARE(QFileInfo::exists(served(in + QStringLiteral("after.mp3"))), rename);
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(QStringLiteral("after.mp3")) == rename
                                     && !names(table()).contains(QStringLiteral("repro.mp3")),
                                 kWaitMs);
        QVERIFY(names(table()).contains(QStringLiteral("a_new.mp3")));
        QVERIFY(QFile::remove(served(in + QStringLiteral("a_new.mp3"))));
        QVERIFY(!rename || QFile::remove(served(in + QStringLiteral("after.mp3"))));
    }

    // A refusal's reason comes from the service: the box shows it as written, and a
    // picture it names opens nothing.
    void refusalShownAsText_data()
    {
        QTest::addColumn<QString>("reason"); // "%1" stands for the path of a FIFO
        QTest::newRow("markup shown as written") << QStringLiteral("<b>x</b>");
        QTest::newRow("picture naming a FIFO opens nothing") << QStringLiteral("<img src=\"%1\">");
    }
    void refusalShownAsText()
    {
        QFETCH(QString, reason);
        ZnFifoTrap trap;
        QVERIFY(trap.isValid());
        reason.replace(QLatin1String("%1"), trap.path());
        const QJsonObject reply{{QStringLiteral("Command"), QStringLiteral("CreatDIR")},
                                {QStringLiteral("Result"), QStringLiteral("Fail")},
                                {QStringLiteral("Reason"), reason}};
        ZnSimFileService::Faults f;
        f.answerCommand = "CreatDIR";
        f.answerText = QJsonDocument(reply).toJson(QJsonDocument::Compact).toStdString() + "\r\n\r\n";
        m_service.setFaults(f);
        QVERIFY(named(QStringLiteral("拒绝"), &ZnMediaMgrForm::newDirClicked).isEmpty());
        ZnModalHelper told;
        told.onModal([](QWidget* box) {
            box->grab();
            QTest::mouseClick(ZnModalHelper::findButton(box, QStringLiteral("ConfirmButton")), Qt::LeftButton);
        });
        QTRY_VERIFY_WITH_TIMEOUT(told.handled(), kWaitMs);
        QVERIFY(trap.stillUnopened());
        QVERIFY2(told.seenTexts().join(QString()).contains(QStringLiteral("创建目录失败: ") + reason),
                 qPrintable(told.seenTexts().join(QLatin1Char('|'))));
    }

    // A name from the service is shown in its row's tool tip as written: the tip
    // reads back to the name, and a picture it names opens nothing.
    void toolTipShowsNameAsText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("markup shown as written") << QStringLiteral("<b>x<b> &amp; y.mp3");
        QTest::newRow("picture naming a FIFO opens nothing") << QStringLiteral("<img src=trap>.mp3");
    }
    void toolTipShowsNameAsText()
    {
        QFETCH(QString, name);
        ZnFifoTrap trap(QDir::currentPath());
        QVERIFY(trap.isValid());
        enter(QStringLiteral("背景音乐"));
        addServed(QStringLiteral("背景音乐/") + name);
        QTableWidgetItem* item = table()->item(names(table()).indexOf(name), 0);
        table()->scrollToItem(item);
        // The mouse comes to rest on the row.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(table()->viewport(), &leave);
        QMouseEvent move(QEvent::MouseMove, table()->visualItemRect(item).center(), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(table()->viewport(), &move);
        QTRY_VERIFY(QToolTip::isVisible());
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel"))
                w->grab();
        QVERIFY(trap.stillUnopened());
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        QCOMPARE(shown.toPlainText(), name);
        QToolTip::hideText();
        QVERIFY(QFile::remove(served(QStringLiteral("背景音乐/") + name)));
    }

    // ".." and two files chosen: the files go on the server, all three rows go.
    // A delete the service refuses or that does not reach it leaves the table as
    // the server is: the files stay listed.
    void deleteChosen_data()
    {
        QTest::addColumn<QString>("fault"); // "refused", "unreached" or none
        QTest::addColumn<int>("boxes");     // "删除失败" boxes the operator confirms
        QTest::newRow("taken: all three rows go") << QString() << 0;
        QTest::newRow("refused: the files come back") << QStringLiteral("refused") << 2;
        QTest::newRow("service not reached: the files come back") << QStringLiteral("unreached") << 0;
    }
    void deleteChosen()
    {
        QFETCH(QString, fault);
        QFETCH(int, boxes);
        enter(QStringLiteral("通知"));
        addServed(QStringLiteral("通知/d1.mp3"));
        addServed(QStringLiteral("通知/d2.mp3"));
        const QStringList before = names(table());
        select({QStringLiteral(".."), QStringLiteral("d1.mp3"), QStringLiteral("d2.mp3")});
        ZnSimFileService::Faults f;
        f.refuseAll = fault == QLatin1String("refused");
        m_service.setFaults(f);
        ZnSimClosedPort closed;
        if (fault == QLatin1String("unreached")) {
            QVERIFY(closed.port() > 0);
            TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(closed.port()));
        }
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"));
        m_page->delMediaClicked();
        QCOMPARE(table()->rowCount(), before.size() - 3);
        if (fault.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(QStringLiteral("通知/d1.mp3"))), kWaitMs);
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(QStringLiteral("通知/d2.mp3"))), kWaitMs);
            QVERIFY(QFileInfo::exists(served(QStringLiteral("通知/上课铃.mp3"))));
            return;
        }
        // The boxes come one over the other; each helper answers the one on top.
        std::vector<std::unique_ptr<ZnModalHelper>> told;
        for (int i = 0; i < boxes; ++i) {
            told.push_back(std::make_unique<ZnModalHelper>());
            told.back()->answer(QStringLiteral("ConfirmButton"));
        }
        for (const auto& box : told) {
            QTRY_VERIFY_WITH_TIMEOUT(box->handled(), kWaitMs);
            QVERIFY(box->seenTexts().join(QString()).contains(QStringLiteral("删除失败: refused")));
        }
        if (fault == QLatin1String("unreached"))
            QTRY_VERIFY_WITH_TIMEOUT(notice(m_page).count(QStringLiteral("删除失败")) == 1, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(names(table()), before, kWaitMs);
        QCOMPARE(m_page->form().fMediaEdit->text(), QStringLiteral("/data/mp3/通知"));
        QVERIFY(QFile::remove(served(QStringLiteral("通知/d1.mp3"))));
        QVERIFY(QFile::remove(served(QStringLiteral("通知/d2.mp3"))));
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(m_service.port()));
        m_service.setFaults({});
        m_page->browser()->slot_updateCurrentPathList();
        QTRY_COMPARE_WITH_TIMEOUT(names(table()),
                                  QStringList({QStringLiteral(".."), QStringLiteral("上课铃.mp3"),
                                               QStringLiteral("下课铃.mp3"), QStringLiteral("眼保健操.mp3")}),
                                  kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(notice(m_page), QString(), kWaitMs);
    }

    // Rows chosen one by one with Ctrl held go to the service last chosen first,
    // whatever their order in the table.
    void deleteOrder_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("sent");
        const auto list = [](const char* names) { return QString::fromUtf8(names).split(QLatin1Char(' ')); };
        QTest::newRow("third, first, second") << list("o3.mp3 o1.mp3 o2.mp3") << list("o2.mp3 o1.mp3 o3.mp3");
        QTest::newRow("first, third, second") << list("o1.mp3 o3.mp3 o2.mp3") << list("o2.mp3 o3.mp3 o1.mp3");
    }
    void deleteOrder()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, sent);
        enter(QStringLiteral("通知"));
        for (const QString& name : chosen)
            addServed(QStringLiteral("通知/") + name);
        table()->clearSelection();
        for (const QString& name : chosen) {
            QTableWidgetItem* item = table()->item(names(table()).indexOf(name), 0);
            table()->scrollToItem(item);
            QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              table()->visualItemRect(item).center());
        }
        m_service.clearRequests();
        ZnModalHelper confirm;
        confirm.answer(QStringLiteral("ConfirmButton"));
        m_page->delMediaClicked();
        QVERIFY(confirm.handled());
        QTRY_COMPARE_WITH_TIMEOUT(requestsOf("DelFile"), chosen.size(), kWaitMs);
        QStringList order;
        for (const std::string& r : m_service.requests()) {
            const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r)).object();
            if (o.value(QStringLiteral("Command")).toString() == QLatin1String("DelFile"))
                order << o.value(QStringLiteral("FileName")).toString();
        }
        QCOMPARE(order, sent);
        for (const QString& name : chosen)
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(served(QStringLiteral("通知/") + name)), kWaitMs);
    }

    // A name holding a character that redraws it in another order (an embedding,
    // override or isolate) is not listed, by the media page nor by a task
    // dialog's browser; its plain neighbour is.
    void bidiNamesNotListed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("right-to-left override, as sent to mislead") << QStringLiteral("\u202eevil3pm.exe");
        QTest::newRow("left-to-right embedding, first of the range") << QStringLiteral("a\u202ab.mp3");
        QTest::newRow("pop directional formatting") << QStringLiteral("a\u202cb.mp3");
        QTest::newRow("left-to-right isolate, first of the range") << QStringLiteral("\u2066a.mp3");
        QTest::newRow("pop directional isolate, last of the range") << QStringLiteral("a.mp3\u2069");
    }
    void bidiNamesNotListed()
    {
        QFETCH(QString, name);
        const QString plain = QStringLiteral("plain.mp3");
        // What an earlier row left, when it failed.
        removeServed(name);
        removeServed(plain);
        QVERIFY(QFile::copy(served(QStringLiteral("欢迎词.mp3")), served(name)));
        addServed(plain);
        QVERIFY(!names(table()).contains(name));

        QTableWidget files(0, 2);
        ZnTaskMediaListViewCtrl browser(&files);
        ZnFtpClientMgr::instance()->client()->setTaskBrowser(&browser);
        browser.refreshMediaList(); // lists at once
        ZnFtpClientMgr::instance()->client()->setTaskBrowser(nullptr);
        QVERIFY(names(&files).contains(plain));
        QVERIFY(!names(&files).contains(name));
        QVERIFY(removeServed(name));
        QVERIFY(removeServed(plain));
    }

    // Uploads convert one at a time; each ends as the service answered, and a
    // failure leaves its row marked, saying why, while the queue goes on.
    void uploads_data()
    {
        QTest::addColumn<QStringList>("files"); // local files, relative to the work folder
        QTest::addColumn<bool>("noEncoder");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QString>("answer");     // the PostFile reply, when not the service's own
        QTest::addColumn<QStringList>("failed"); // names whose rows stay failed
        QTest::addColumn<QString>("reason");     // the service's, shown in the state cell and its tool tip
        QTest::addColumn<qint64>("take");        // bytes the service takes before it answers and closes; -1 all
        const auto list = [](const char* names) { return QString::fromUtf8(names).split(QLatin1Char(' ')); };
        QTest::newRow("same name twice") << list("a/same.wav b/same.wav") << false << false << QString()
                                         << QStringList() << QString() << qint64(-1);
        QTest::newRow("encoder fails, next goes on") << list("a/gone.wav a/next.wav") << false << false << QString()
                                                     << list("gone.wav") << QString() << qint64(-1);
        QTest::newRow("a file lame cannot read")
            << list("a/words.mp3") << false << false << QString() << list("words.mp3") << QString() << qint64(-1);
        QTest::newRow("encoder missing") << list("a/lost.wav") << true << false << QString() << list("lost.wav")
                                         << QString() << qint64(-1);
        QTest::newRow("refused") << list("a/no.wav") << false << true << QString() << list("no.wav") << QString()
                                 << qint64(-1);
        QTest::newRow("refused under a command of its own")
            << list("a/full.wav") << false << false
            << QStringLiteral("{\"Command\":\"PostFileFail\",\"Reason\":\"disk full\"}\r\n\r\n") << list("full.wav")
            << QStringLiteral("disk full") << qint64(-1);
        QTest::newRow("reason's markup shown as written")
            << list("a/marked.wav") << false << false
            << QStringLiteral("{\"Command\":\"PostFileFail\",\"Reason\":\"<b>x</b> &amp;\"}\r\n\r\n")
            << list("marked.wav") << QStringLiteral("<b>x</b> &amp;") << qint64(-1);
        QTest::newRow("8192 bytes taken, OK, closed")
            << list("a/longcut.wav") << false << false << QString() << list("longcut.wav") << QString() << qint64(8192);
    }
    void uploads()
    {
        QFETCH(qint64, take);
        QFETCH(QStringList, files);
        QFETCH(bool, noEncoder);
        QFETCH(bool, refuse);
        QFETCH(QString, answer);
        QFETCH(QStringList, failed);
        QFETCH(QString, reason);
        ZnSimFileService::Faults f;
        f.refusePost = refuse;
        f.takePostBytes = take;
        if (!answer.isEmpty()) {
            f.answerCommand = "PostFile";
            f.answerText = answer.toStdString();
        }
        m_service.setFaults(f);
        if (noEncoder)
            qputenv("PATH", m_work.path().toUtf8());

        QTableWidget table(0, 4);
        ZnDownAndUploadViewCtr queue(&table);
        for (const QString& rel : files) {
            QDir().mkpath(m_work.filePath(QFileInfo(rel).path()));
            QFile words(m_work.filePath(rel));
            if (rel.endsWith(QLatin1String(".mp3")))
                QVERIFY(words.open(QIODevice::WriteOnly) && words.write("no sound, words\n") > 0);
            else if (!rel.contains(QLatin1String("gone")))
                QVERIFY(writeWav(m_work.filePath(rel), rel.contains(QLatin1String("long")) ? 30 : 1));
            const QString name = QFileInfo(rel).fileName();
            QCOMPARE(queue.queueUpload(name.toUtf8().constData(), m_work.filePath(rel).toUtf8().constData(),
                                       (QStringLiteral("/data/mp3/演出/") + name).toUtf8().constData(),
                                       QFileInfo(m_work.filePath(rel)).size()),
                     0);
        }
        QCOMPARE(cell(table, 0), QStringLiteral("正在转码"));
        if (files.size() > 1)
            QCOMPARE(cell(table, 1), QStringLiteral("等待转码"));
        QVERIFY(table.item(0, 0)->data(Qt::UserRole).toInt()
                != (files.size() > 1 ? table.item(1, 0)->data(Qt::UserRole).toInt() : 0));
        // A conversion running or waiting stays: delete is disabled.
        for (int row = 0; row < table.rowCount(); ++row) {
            QAction* remove = deleteItemOn(table, row);
            QVERIFY(remove && !remove->isEnabled());
            choose(remove);
        }
        QCOMPARE(table.rowCount(), files.size());

        QTRY_VERIFY_WITH_TIMEOUT(table.rowCount() == failed.size() && failedRows(table) == failed.size(), 30000);
        for (int row = 0; row < table.rowCount(); ++row) {
            QVERIFY(failed.contains(cell(table, row, 1)));
            QVERIFY(!table.item(row, 0)->toolTip().isEmpty());
        }
        if (noEncoder)
            QVERIFY(table.item(0, 0)->toolTip().contains(QLatin1String("lame")));
        if (take >= 0)
            QVERIFY2(cell(table, 0).startsWith(QStringLiteral("失败：interrupted after ")), qPrintable(cell(table, 0)));
        if (!reason.isEmpty()) {
            QCOMPARE(cell(table, 0), QStringLiteral("失败：") + reason);
            QTextDocument tip;
            tip.setHtml(table.item(0, 0)->toolTip());
            QCOMPARE(tip.toPlainText(), reason);
        }
        for (const QString& rel : files) {
            const QString mp3 =
                served(QStringLiteral("演出/") + QFileInfo(rel).completeBaseName() + QLatin1String(".mp3"));
            QCOMPARE(isMp3(mp3), !failed.contains(QFileInfo(rel).fileName()));
        }
        // A failed row goes with the menu's delete. Nothing of a finished or
        // removed upload stays behind in the temporary folder.
        for (int left = table.rowCount(); left > 0; --left) {
            QAction* remove = deleteItemOn(table, 0);
            QVERIFY(remove && remove->isEnabled());
            choose(remove);
        }
        QCOMPARE(table.rowCount() + queue.recordCount(), 0);
        QCOMPARE(QDir(QStringLiteral("temp_mp3")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    // The records outlive the queue in a file of fixed-size slots.
    void noteFile()
    {
        QFile::remove(QLatin1String(ZnDownAndUploadViewCtr::kNoteFile));
        {
            QTableWidget table(0, 4);
            ZnDownAndUploadViewCtr queue(&table);
            queue.queueUpload("a.wav", "/nowhere/a.wav", "/data/mp3/a.wav", 10);
            queue.queueUpload("abc", "/nowhere/abc", "/data/mp3/abc", 10);
            QTRY_COMPARE(failedRows(table), 2);
        }
        QFile note(QLatin1String(ZnDownAndUploadViewCtr::kNoteFile));
        QVERIFY(note.open(QIODevice::ReadOnly));
        const QByteArray bytes = note.readAll();
        QCOMPARE(bytes.size(), 1390);
        QCOMPARE(bytes.mid(695, 7), QByteArray("classb:"));
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 702), -193485963);
        QCOMPARE(bytes.mid(702 + 12, 4), QByteArray("abc\0", 4));
    }

    // A file too large is refused with a message, the next one goes on. Converted
    // by lame, it shows its progress on the 200 ms timer and leaves the queue when
    // the service took it; a download lands in the folder.
    void uploadThenDownload()
    {
        const QString local = m_work.filePath(QStringLiteral("上传 & 测试.wav"));
        const QString mp3 = QStringLiteral("上传 & 测试.mp3");
        QVERIFY(writeWav(local, 60));
        const QString big = m_work.filePath(QStringLiteral("big.wav"));
        QFile f(big);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(ZnMediaMgrForm::kMaxUpload + 1));
        f.close();

        ZnModalHelper tooLarge;
        tooLarge.answer(QStringLiteral("ConfirmButton"));
        m_page->uploadFiles({big, local});
        QVERIFY(tooLarge.seenTexts().join(QString()).contains(big));
        QTableWidget* queue = m_page->form().fUpOrDownTableWidget;
        QCOMPARE(queue->rowCount(), 1);
        auto* bar = qobject_cast<QProgressBar*>(queue->cellWidget(0, 2));
        QVERIFY(bar);
        // The bar goes with its row, so what it showed is kept by a spy.
        QSignalSpy shown(bar, &QProgressBar::valueChanged);
        // So are the sizes the row showed: the WAV's, then the MP3's it sends.
        QStringList sizes;
        const QMetaObject::Connection sizeSeen =
            connect(queue->model(), &QAbstractItemModel::dataChanged, this, [&sizes, queue](const QModelIndex& from) {
                if (from.column() == 3 && queue->item(from.row(), 3))
                    sizes << queue->item(from.row(), 3)->text();
            });
        QTRY_COMPARE_WITH_TIMEOUT(queue->rowCount(), 0, 30000);
        disconnect(sizeSeen);
        QVERIFY2(std::any_of(shown.cbegin(), shown.cend(),
                             [](const QList<QVariant>& v) { return v.at(0).toInt() > 0 && v.at(0).toInt() < 100; }),
                 "no progress between 0 and 100 was shown");
        QVERIFY(QFileInfo(served(mp3)).size() > 0);
        // The upload's total is the MP3's size, not the WAV's the operator chose.
        const QString mp3Size = QString::asprintf("%.2fMB", double(QFileInfo(served(mp3)).size()) / 1048576.0);
        QVERIFY2(sizes.contains(mp3Size), qPrintable(sizes.join(QLatin1Char(' ')) + QLatin1String(" / ") + mp3Size));

        QTRY_VERIFY_WITH_TIMEOUT(names(table()).contains(mp3), kWaitMs);
        QTemporaryDir into;
        select({mp3, QStringLiteral("通知")});
        m_page->downloadSelected(into.path());
        QCOMPARE(queue->rowCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(queue->rowCount(), 0, 30000);
        QCOMPARE(QDir(into.path()).entryList(QDir::Files | QDir::Hidden), QStringList(mp3));
        QCOMPARE(QFileInfo(into.filePath(mp3)).size(), QFileInfo(served(mp3)).size());
    }

    // The limits an upload is checked against, on both sides of each edge: a file of
    // exactly 1 GiB and a name of 256 characters are taken, one byte or one character
    // more is refused with a message and queues nothing. (Last: taken uploads stay in
    // the page's queue, failed for want of an encoder.)
    void uploadLimits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");       // -1: no such local file
        QTest::addColumn<QString>("refusal");   // empty: queued
        QTest::addColumn<QString>("sizeShown"); // the queued row's size cell
        QTest::addColumn<QString>("nameShown"); // and its name, cut to the record's 131 bytes
        const QString tooLarge = QStringLiteral("文件大于1024MB，禁止上传！");
        QTest::newRow("exactly 1 GiB taken") << QStringLiteral("gib.wav") << qint64(1073741824) << QString()
                                             << QStringLiteral("1024.00MB") << QStringLiteral("gib.wav");
        QTest::newRow("1 GiB and one byte refused")
            << QStringLiteral("gib1.wav") << qint64(1073741825) << tooLarge << QString() << QString();
        QTest::newRow("name of 256 characters taken")
            << QString(252, QLatin1Char('n')) + QStringLiteral(".wav") << qint64(-1) << QString()
            << QStringLiteral("0.00MB") << QString(131, QLatin1Char('n'));
        QTest::newRow("name of 257 characters refused")
            << QString(253, QLatin1Char('n')) + QStringLiteral(".wav") << qint64(-1) << QStringLiteral("文件名称超长！")
            << QString() << QString();
    }
    void uploadLimits()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QString, refusal);
        QFETCH(QString, sizeShown);
        QFETCH(QString, nameShown);
        qputenv("PATH", m_work.path().toUtf8()); // no encoder: nothing converts a gigabyte
        const QString local = m_work.filePath(name);
        if (size >= 0) {
            QFile f(local);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
        }
        QTableWidget* queue = m_page->form().fUpOrDownTableWidget;
        const int rows = queue->rowCount();
        ZnModalHelper box;
        box.answer(QStringLiteral("ConfirmButton"));
        m_page->uploadFiles({local});
        QFile::remove(local);
        QCOMPARE(box.seenTexts().join(QString()).contains(refusal), true);
        QCOMPARE(box.handled(), !refusal.isEmpty());
        QCOMPARE(queue->rowCount(), rows + (refusal.isEmpty() ? 1 : 0));
        if (refusal.isEmpty()) {
            QCOMPARE(cell(*queue, rows, 1), nameShown);
            QCOMPARE(cell(*queue, rows, 3), sizeShown);
        }
    }

    // A folder below the work folder whose path is exactly bytes long (ASCII).
    QString folderOfLength(int bytes)
    {
        QString path = m_work.path();
        while (path.size() < bytes) {
            const int part = qMin(100, bytes - path.size() - 1);
            path += QLatin1Char('/') + QString(part, QLatin1Char('d'));
        }
        return QDir().mkpath(path) && path.toUtf8().size() == bytes ? path : QString();
    }

    // A path longer than the record's 256-byte field goes whole to the file
    // service: a download lands under its own name (not under the name cut to
    // 255 bytes, nor over a file that has that name), an upload sends its own
    // file to its own place, and neither leaves as done without it. Every name
    // and path this system allows lands, whatever its temporary file's name
    // would be; one it does not allow fails saying that it is too long.
    void longPathsKeptWhole_data()
    {
        QTest::addColumn<bool>("upload");
        QTest::addColumn<int>("localFolder");   // bytes of the local folder's path; 0: the work folder
        QTest::addColumn<QString>("serverDir"); // below the served root
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("workFolder"); // bytes of the working folder's path; 0: the work folder
        QTest::addColumn<QString>("failed"); // the row's state then; empty: the transfer is done
        const QString longDir = QString(200, QLatin1Char('s'));
        const QString longName = QString(80, QChar(0x6F14)) + QStringLiteral(".wav"); // 244 bytes
        const QString show = QStringLiteral("演出");
        QTest::newRow("download into a folder of 245 bytes keeps the name's end")
            << false << 245 << show << QStringLiteral("whole-name.mp3") << 0 << QString();
        QTest::newRow("download from a server path of 267 bytes")
            << false << 0 << longDir + QStringLiteral("/") + QString(50, QLatin1Char('t')) << QStringLiteral("a.mp3")
            << 0 << QString();
        QTest::newRow("upload from a folder of 250 bytes")
            << true << 250 << show << QStringLiteral("deep.wav") << 0 << QString();
        QTest::newRow("upload of a name of 244 bytes to a server path of 261")
            << true << 0 << show << longName << 0 << QString();
        QTest::newRow("download of a name of 255 bytes, the longest a name may be")
            << false << 0 << show << QString(85, QChar(0x6F14)) << 0 << QString();
        QTest::newRow("download of a name of 244 bytes")
            << false << 0 << show << QString(80, QChar(0x6F14)) + QStringLiteral(".mp3") << 0 << QString();
        QTest::newRow("download into a folder of 4,085 bytes, a path of 4,095")
            << false << 4085 << show << QStringLiteral("short.mp3") << 0 << QString();
        QTest::newRow("download of a name of 256 bytes is too long")
            << false << 100 << show << QString(252, QLatin1Char('n')) + QStringLiteral(".mp3") << 0
            << QStringLiteral("失败：The file name is too long");
        QTest::newRow("download to a path of 4,096 bytes is too long")
            << false << 4086 << show << QStringLiteral("short.mp3") << 0
            << QStringLiteral("失败：The file path is too long");
        QTest::newRow("upload of a name of 255 bytes from a working folder of 3,900 bytes")
            << true << 0 << show << QString(251, QLatin1Char('u')) + QStringLiteral(".wav") << 3900 << QString();
    }
    void longPathsKeptWhole()
    {
        QFETCH(bool, upload);
        QFETCH(int, localFolder);
        QFETCH(QString, serverDir);
        QFETCH(QString, name);
        QFETCH(int, workFolder);
        QFETCH(QString, failed);
        const QString folder = localFolder ? folderOfLength(localFolder) : m_work.path();
        QVERIFY(!folder.isEmpty());
        QVERIFY(QDir().mkpath(served(serverDir)));
        const QString local = folder + QLatin1Char('/') + name;
        const QString server = QStringLiteral("/data/mp3/") + serverDir + QLatin1Char('/') + name;
        // The transfer queue's temporary folder lies in the working folder.
        const QString work = workFolder ? folderOfLength(workFolder) : m_work.path();
        QVERIFY(!work.isEmpty() && QDir::setCurrent(work));
        const auto back = qScopeGuard([this] { QDir::setCurrent(m_work.path()); });
        QTableWidget table(0, 4);
        ZnDownAndUploadViewCtr queue(&table);
        if (!failed.isEmpty()) {
            QCOMPARE(queue.queueDownload(name.toUtf8().constData(), server.toUtf8().constData(),
                                         local.toUtf8().constData(), 10),
                     0);
            QTRY_COMPARE_WITH_TIMEOUT(cell(table, 0), failed, kWaitMs);
            QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
            return;
        }
        if (upload) {
            QVERIFY(writeWav(local, 1));
            QCOMPARE(queue.queueUpload(name.toUtf8().constData(), local.toUtf8().constData(),
                                       server.toUtf8().constData(), QFileInfo(local).size()),
                     0);
            QTRY_VERIFY2_WITH_TIMEOUT(table.rowCount() == 0, qPrintable(cell(table, 0)), 30000);
            QVERIFY(isMp3(
                served(serverDir + QLatin1Char('/') + QFileInfo(name).completeBaseName() + QLatin1String(".mp3"))));
            return;
        }
        const QByteArray bytes("the whole file");
        QFile source(served(serverDir + QLatin1Char('/') + name));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.write(bytes) == bytes.size());
        source.close();
        // What a cut at the field's 255 bytes would have named.
        const QString cut = QString::fromUtf8(local.toUtf8().left(255));
        const bool cutInFolder = cut.size() < local.size() && cut.startsWith(folder + QLatin1Char('/'));
        if (cutInFolder) {
            QFile earlier(cut);
            QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier file") == 15);
        }
        QCOMPARE(queue.queueDownload(name.toUtf8().constData(), server.toUtf8().constData(), local.toUtf8().constData(),
                                     bytes.size()),
                 0);
        QTRY_COMPARE_WITH_TIMEOUT(table.rowCount(), 0, kWaitMs);
        QFile got(local);
        QVERIFY(got.open(QIODevice::ReadOnly));
        QCOMPARE(got.readAll(), bytes);
        if (cutInFolder) {
            QFile earlier(cut);
            QVERIFY(earlier.open(QIODevice::ReadOnly));
            QCOMPARE(earlier.readAll(), QByteArray("an earlier file"));
        }
    }

    // A path too long for the note's field is never cut there: the record leaves
    // it empty and, after the last record, an entry "classw:" holds the record's
    // position and both paths whole. The records read as before, and a reader of
    // records stops at that entry as at the file's end.
    void noteKeepsLongPathsWhole()
    {
        QFile::remove(QLatin1String(ZnDownAndUploadViewCtr::kNoteFile));
        qputenv("PATH", m_work.path().toUtf8()); // no encoder: the uploads stay, failed
        const QByteArray longLocal = "/nowhere/" + QByteArray(300, 'l') + "/a.wav";
        const QByteArray longServer = "/data/mp3/" + QByteArray(250, 's') + "/b.wav";
        {
            QTableWidget table(0, 4);
            ZnDownAndUploadViewCtr queue(&table);
            queue.queueUpload("abc", "/nowhere/abc", "/data/mp3/abc", 10);
            queue.queueUpload("a.wav", longLocal.constData(), "/data/mp3/a.wav", 10);
            queue.queueUpload("b.wav", "/nowhere/b.wav", longServer.constData(), 10);
            QTRY_COMPARE(failedRows(table), 3);
        }
        QFile note(QLatin1String(ZnDownAndUploadViewCtr::kNoteFile));
        QVERIFY(note.open(QIODevice::ReadOnly));
        const QByteArray bytes = note.readAll();
        const auto record = [&](int i) { return bytes.mid(i * 695, 695); };
        QCOMPARE(record(0).mid(7 + 168, 13), QByteArray("/nowhere/abc\0", 13));
        QCOMPARE(record(1).mid(7 + 168, 256), QByteArray(256, '\0'));
        QCOMPARE(record(1).mid(7 + 424, 16), QByteArray("/data/mp3/a.wav\0", 16));
        QCOMPARE(record(2).mid(7 + 168, 15), QByteArray("/nowhere/b.wav\0", 15));
        QCOMPARE(record(2).mid(7 + 424, 256), QByteArray(256, '\0'));
        QByteArray rest = bytes.mid(3 * 695);
        const auto int32 = [](qint32 n) {
            QByteArray le(4, '\0');
            qToLittleEndian(n, le.data());
            return le;
        };
        const auto wholePaths = [&](qint32 position, const QByteArray& source, const QByteArray& destination) {
            return "classw:" + int32(position) + int32(source.size()) + source + int32(destination.size())
                   + destination;
        };
        QCOMPARE(rest, wholePaths(1, longLocal, "/data/mp3/a.wav") + wholePaths(2, "/nowhere/b.wav", longServer));

        ZnFileNote reader(ZnDownAndUploadViewCtr::kNoteFile);
        QCOMPARE(reader.open("rb"), 0);
        char slot[688];
        int records = 0;
        while (reader.readRecord(slot, sizeof slot) == 0 && records < 10)
            ++records;
        QCOMPARE(records, 3);
    }

    // On a full or nearly full disk the queue keeps what was there and says so: a
    // download leaves the earlier file of its name whole, a conversion sends
    // nothing (lame may end as done with a cut MP3), the note keeps the earlier
    // note (said on standard error); no temporary or cut file stays behind. So
    // where no file can be made for another cause, and the row names it. A
    // download over what the operator set up at its name (a link, a second hard
    // link, his file in a folder he may not write) lands in his file, all of it
    // kept as he set it up.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("writer"); // download, conversion or note
        // "full" (to the bytes left free), "no inode" (bytes free), "read-only",
        // "not the operator's" (the disk's root, his to read only), "his,
        // read-only file" (the earlier file his, of mode 0444, in his folder), or
        // empty: the disk as it is, written by root.
        QTest::addColumn<QString>("disk");
        QTest::addColumn<qint64>("free");  // bytes left free on a full disk
        QTest::addColumn<QString>("told"); // the row's text; empty: done, the row gone
        // What the operator set up on the disk instead of the earlier file (see
        // ZnSetUpFiles).
        QTest::addColumn<QStringList>("setUp");
        const QString full = QStringLiteral("失败：The disk is full");
        for (const char* writer : {"download", "conversion", "note"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, full disk").arg(QLatin1String(writer))))
                << QString::fromLatin1(writer) << "full" << qint64(0) << full << QStringList();
            // The note wants two pages, the others more than four.
            QTest::newRow(qPrintable(QStringLiteral("%1, nearly full disk").arg(QLatin1String(writer))))
                << QString::fromLatin1(writer) << "full" << qint64(*writer == 'n' ? 4096 : 16384) << full
                << QStringList();
        }
        // The MP3 is about 36 KB: lame ends with 0 though its last writes failed.
        QTest::newRow("conversion, room for all but the MP3's last bytes")
            << QStringLiteral("conversion") << "full" << qint64(32768) << full << QStringList();
        // Told as the config.ini notice tells it: no file can be made there.
        QTest::newRow("conversion, bytes free but no inode left")
            << QStringLiteral("conversion") << "no inode" << qint64(0) << full << QStringList();
        QTest::newRow("download, read-only disk") << QStringLiteral("download") << "read-only" << qint64(0)
                                                  << QStringLiteral("失败：The disk is read-only") << QStringList();
        QTest::newRow("download into a folder the operator may not write")
            << QStringLiteral("download") << "not the operator's" << qint64(0)
            << QStringLiteral("失败：No permission to write") << QStringList();
        QTest::newRow("download over a file the operator made read-only")
            << QStringLiteral("download") << "his, read-only file" << qint64(0)
            << QStringLiteral("失败：No permission to write") << QStringList();
        // What the operator set up at the name stays, and the row says why.
        QTest::newRow("download over a loop of links")
            << QStringLiteral("download") << "" << qint64(0)
            << QStringLiteral("失败：A loop of links, or too many links in a row")
            << QStringList{QStringLiteral("l 欢迎词.mp3 loop.mp3"), QStringLiteral("l loop.mp3 欢迎词.mp3")};
        QTest::newRow("download onto a folder of its name")
            << QStringLiteral("download") << "" << qint64(0) << QStringLiteral("失败：The name is a folder")
            << QStringList{QStringLiteral("f 欢迎词.mp3/kept.mp3")};
        QTest::newRow("download over a link into another folder: its file replaced, the link kept")
            << QStringLiteral("download") << "" << qint64(0) << QString()
            << QStringList{QStringLiteral("f mine/欢迎词.mp3"), QStringLiteral("l 欢迎词.mp3 @/mine/欢迎词.mp3")};
        QTest::newRow("download over a file with a second hard link: written in place, both names show it")
            << QStringLiteral("download") << "" << qint64(0) << QString()
            << QStringList{QStringLiteral("f 欢迎词.mp3"), QStringLiteral("h mine/copy.mp3 欢迎词.mp3")};
        QTest::newRow("download over the operator's file in a folder he may not write: written in place")
            << QStringLiteral("download") << "not the operator's" << qint64(0) << QString()
            << QStringList{QStringLiteral("f 欢迎词.mp3")};
    }
    void fullDisk()
    {
        QFETCH(QString, writer);
        QFETCH(QString, disk);
        QFETCH(qint64, free);
        QFETCH(QString, told);
        QFETCH(QStringList, setUp);
        const bool noInode = disk == QLatin1String("no inode");
        // Without inodes, with more bytes free than lame's writes want; with room
        // for the download where it is to land.
        ZnSmallDisk small(noInode || !setUp.isEmpty() ? 1 << 20 : 64 * 1024, noInode ? 64 : 0);
        if (!small.mounted())
            QSKIP(qPrintable(small.why()));
        // The queue's temporary folder and its note lie in the working folder.
        QVERIFY(QDir::setCurrent(small.path()));
        const auto back = qScopeGuard([this] { QDir::setCurrent(m_work.path()); });
        const QString kept = writer == QLatin1String("note") ? QLatin1String(ZnDownAndUploadViewCtr::kNoteFile)
                                                             : QStringLiteral("欢迎词.mp3");
        const QByteArray earlier("an earlier file");
        const ZnSetUpFiles setUpFiles(small.path(), setUp, earlier);
        QVERIFY2(setUpFiles.made(), qPrintable(setUpFiles.why()));
        QFile file(kept);
        QVERIFY(!setUp.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size()));
        file.close();
        const QString wav = m_work.filePath(QStringLiteral("full.wav"));
        QVERIFY(writeWav(wav, 3));
        QTableWidget table(0, 4);
        auto queue = std::make_unique<ZnDownAndUploadViewCtr>(&table);
        // The served files stay readable to the operator, whose file service runs here.
        const QString servedRoot = QString::fromStdString(m_service.folder());
        const auto servedMode = QFile::permissions(servedRoot);
        const auto modeBack = qScopeGuard([&] { QFile::setPermissions(servedRoot, servedMode); });
        std::unique_ptr<ZnAsUser> operatorUser;
        const auto fill = [&] {
            if (disk.isEmpty())
                return true;
            if (disk == QLatin1String("no inode"))
                return small.useInodes();
            if (disk == QLatin1String("read-only"))
                return small.setReadOnly(true);
            if (disk == QLatin1String("full"))
                return small.leaveFree(free);
            if (!QFile::setPermissions(servedRoot, servedMode | QFile::ReadOther | QFile::ExeOther))
                return false;
            if (disk == QLatin1String("his, read-only file")
                && !(ZnAsUser::giveTo(small.path()) && ZnAsUser::giveTo(kept)
                     && QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther)))
                return false;
            operatorUser = std::make_unique<ZnAsUser>();
            return operatorUser->active();
        };
        if (writer == QLatin1String("note")) {
            qputenv("PATH", m_work.path().toUtf8()); // no encoder: the uploads stay, failed
            for (const char* name : {"n1.wav", "n2.wav", "n3.wav", "n4.wav", "n5.wav", "n6.wav", "n7.wav"})
                queue->queueUpload(name, "/nowhere/n.wav", "/data/mp3/n.wav", 10);
            QTRY_COMPARE(failedRows(table), 7);
            QVERIFY(fill());
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^UploadAndDownloadNote not written \\(.+\\); "
                                                                   "the earlier one is kept$")));
            queue.reset();
        } else {
            if (!fill() && operatorUser)
                QSKIP(qPrintable(operatorUser->why()));
            if (writer == QLatin1String("download"))
                queue->queueDownload("欢迎词.mp3", "/data/mp3/欢迎词.mp3",
                                     (small.path().toUtf8() + "/欢迎词.mp3").constData(),
                                     QFileInfo(served(QStringLiteral("欢迎词.mp3"))).size());
            else
                queue->queueUpload("full.wav", wav.toUtf8().constData(), "/data/mp3/演出/full.wav",
                                   QFileInfo(wav).size());
            QTRY_COMPARE_WITH_TIMEOUT(cell(table, 0), told, 30000);
            operatorUser.reset();
            QVERIFY(!QFileInfo::exists(served(QStringLiteral("演出/full.mp3"))));
        }
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        QCOMPARE(QDir(QStringLiteral("temp_mp3")).entryList(all), QStringList());
        if (!setUp.isEmpty() && !told.isEmpty())
            return; // refused before anything was written
        if (!setUp.isEmpty()) {
            QCOMPARE(table.rowCount(), 0);
            QFile sent(served(QStringLiteral("欢迎词.mp3")));
            QVERIFY(sent.open(QIODevice::ReadOnly));
            const QString differs = setUpFiles.changed(kept, sent.readAll());
            QVERIFY2(differs.isEmpty(), qPrintable(differs));
            return;
        }
        QStringList left = QDir(small.path()).entryList(all);
        QStringList expected{QStringLiteral("temp_mp3"), kept};
        if (disk == QLatin1String("full") || disk == QLatin1String("no inode"))
            expected << (noInode ? QStringLiteral("inodes") : QStringLiteral("filler"));
        left.sort();
        expected.sort();
        QCOMPARE(left, expected);
        QFile after(kept);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), earlier);
        // The note of the queue going now may be written.
        small.unfill();
        QVERIFY(small.setReadOnly(false));
    }
};

QTEST_MAIN(TestMediaPage)
#include "tst_mediapage.moc"
