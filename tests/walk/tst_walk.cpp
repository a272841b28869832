#include "InfoCenterMgr.h"
#include "ZnDemoConsole.h"
#include "ZnModalHelper.h"
#include "ZnPageWalker.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char *const kRefusal = "locked by the walk";

// What one page showed and did while the walk stood on it.
struct Seen
{
    bool hidden = false;
    QStringList texts;
    QStringList refusalShown;
    bool refusalKeptRow = false;
    bool changeSent = false;
    bool changeDroppedRow = false;
};

// Changes the console sent: everything but reads and the keep-alive.
int changesSent(const ZnSimServer &server)
{
    return server.count("POST") + server.count("SET");
}

// Answers every box that opens while it lives: confirms questions, closes notices,
// and keeps what they said.
class BoxAnswerer : public QObject
{
public:
    QStringList said;
    BoxAnswerer()
    {
        connect(&poll, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!box)
                return;
            said << ZnModalHelper::visibleTexts(box).join(QLatin1Char(' '));
            auto *ok = box->findChild<QAbstractButton *>(QStringLiteral("ConfirmButton"));
            if (ok && ok->isVisible())
                ok->click();
            else
                box->reject();
        });
        poll.start(10);
    }

private:
    QTimer poll;
};

QTableWidget *mainTable(QWidget *page)
{
    QTableWidget *best = nullptr;
    for (QTableWidget *t : page->findChildren<QTableWidget *>()) {
        if (t->isVisibleTo(page) && (!best || t->rowCount() > best->rowCount()))
            best = t;
    }
    return best;
}

QAbstractButton *deleteButton(QWidget *page)
{
    for (const char *name : {"fDelBtn", "fDelTerBtn", "fSeleDelSsTaskBtn"}) {
        auto *b = page->findChild<QAbstractButton *>(QLatin1String(name));
        if (b && b->isVisibleTo(page) && b->isEnabled())
            return b;
    }
    return nullptr;
}

// Deletes one row through the page: first refused by the server, then accepted.
// The rows are tried from the bottom up, since the page itself keeps running
// tasks and online terminals.
void changeAndRefusal(ZnSimServer &server, QWidget *page, Seen &seen)
{
    QTableWidget *table = mainTable(page);
    QAbstractButton *del = deleteButton(page);
    if (!table || !del || table->rowCount() == 0)
        return;
    for (int row = table->rowCount() - 1; row >= 0 && !seen.changeSent; --row) {
        const int rows = table->rowCount();
        server.addRule(ZnSimRule::make("POST", ZnSimRule::Fail, kRefusal));
        server.addRule(ZnSimRule::make("SET", ZnSimRule::Fail, kRefusal));
        table->clearSelection();
        table->selectRow(row);
        int before = changesSent(server);
        {
            BoxAnswerer boxes;
            del->click();
            if (changesSent(server) == before) {
                server.clearRules();
                continue; // the page kept this row itself
            }
            // Some pages hear the answer after the click has returned.
            (void)QTest::qWaitFor([&] { return boxes.said.size() >= 2; }, 5000);
            seen.refusalShown = boxes.said;
        }
        server.clearRules();
        seen.refusalKeptRow = table->rowCount() == rows;
        table->clearSelection();
        table->selectRow(row);
        before = changesSent(server);
        {
            BoxAnswerer boxes;
            del->click();
        }
        seen.changeSent = changesSent(server) > before;
        seen.changeDroppedRow = QTest::qWaitFor([&] { return table->rowCount() == rows - 1; }, 5000);
    }
}

} // namespace

// The console started as main() starts it, walked page by page through its own
// tabs and menu buttons, against the simulator with the demo data.
class tst_walk : public QObject
{
    Q_OBJECT

    QMap<QString, Seen> seen;
    QStringList missed;
    int exitCode = -1;
    std::map<std::string, std::vector<Json::Value>> simTables;
    QStringList mediaNames;

private slots:
    void initTestCase()
    {
        QTemporaryDir dir;
        ZnDemoConsole console;
        QVERIFY(console.start(dir.path()));
        console.server.withData([&](ZnSimData &d) { simTables = d.tables; });
        mediaNames =
            QDir(QString::fromStdString(console.files.folder())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        exitCode = console.run([&](InfoCenterMgr &window) {
            missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
                Seen &s = seen[stop.name];
                s.hidden = stop.hidden;
                (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, 5000);
                s.texts = ZnPageWalker::shownTexts(stop.page);
                changeAndRefusal(console.server, stop.page, s);
            });
        });
    }

    void consoleExitsCleanly()
    {
        QCOMPARE(exitCode, 0);
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char(' '))));
    }

    // Each page: how it is reached, which simulator table its rows come from, and
    // whether a row is deleted through it (the change and the refusal the walk
    // tries; the timer page deletes the tasks of a plan, the media page files).
    void pages_data()
    {
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("deletes");
        QTest::newRow("SsTask") << false << "soundsource"
                                << "name" << true;
        QTest::newRow("TimerTask") << false << "timerplan"
                                   << "name" << false;
        QTest::newRow("ManualTask") << false << "soundsource"
                                    << "name" << true;
        QTest::newRow("SdkTask") << true << "soundsource"
                                 << "name" << false;
        QTest::newRow("Player") << false << "ipamp"
                                << "name" << true;
        QTest::newRow("Mic") << false << "dsk81"
                             << "name" << true;
        QTest::newRow("CallMic") << true << "dsk72"
                                 << "name" << true;
        QTest::newRow("EmMic") << true << "dsk74"
                               << "name" << true;
        QTest::newRow("Cap") << false << "capd73"
                             << "name" << true;
        QTest::newRow("Tts") << false << "tts71"
                             << "name" << true;
        QTest::newRow("FAlarm") << false << "firealarm"
                                << "name" << true;
        QTest::newRow("D82") << true << "d82"
                             << "name" << true;
        QTest::newRow("Media") << false << ""
                               << "" << false;
        QTest::newRow("MicGroup") << true << "callservergroup"
                                  << "name" << true;
        QTest::newRow("Region") << false << "region"
                                << "name" << true;
        QTest::newRow("SystemSet") << false << "parameter"
                                   << "value" << false;
        QTest::newRow("UserLog") << false << "userlog"
                                 << "ip" << false;
        QTest::newRow("TalkLog") << true << "talklog"
                                 << "callerName" << false;
        QTest::newRow("TermLog") << false << "terminallog"
                                 << "name" << false;
        QTest::newRow("TalkRecord") << true << "talklog"
                                    << "calledName" << false;
    }
    void pages()
    {
        QFETCH(bool, hidden);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(bool, deletes);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        QVERIFY2(seen.contains(name), "not visited");
        const Seen &s = seen[name];
        QCOMPARE(s.hidden, hidden);

        QStringList fromSim = mediaNames;
        if (!table.isEmpty()) {
            fromSim.clear();
            for (const Json::Value &row : simTables[table.toStdString()])
                fromSim << QString::fromStdString(row[field.toStdString()].asString());
        }
        fromSim.removeAll(QString());
        bool shown = false;
        for (const QString &t : fromSim)
            shown = shown || s.texts.contains(t);
        QVERIFY2(shown, qPrintable(s.texts.mid(0, 8).join(QLatin1Char('|'))));

        QCOMPARE(s.changeSent, deletes);
        if (!deletes)
            return;
        // The question, then at least one notice of the refusal.
        QVERIFY2(s.refusalShown.size() >= 2, qPrintable(s.refusalShown.join(QLatin1Char('|'))));
        QVERIFY(s.refusalKeptRow);
        QVERIFY(s.changeDroppedRow);
    }
};

QTEST_MAIN(tst_walk)
#include "tst_walk.moc"
