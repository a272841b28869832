#include "InfoCenterMgr.h"
#include "MsgTips.h"
#include "MsgTipsGroup.h"
#include "ZnDemoConsole.h"
#include "ZnModalHelper.h"
#include "ZnPageWalker.h"
#include "ZnTalkRecordForm.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDirIterator>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char *const kRefusal = "locked by the walk";
// Generous for a loaded machine; costs nothing when things go right.
const int kWaitMs = 20000;

// How the walk changes something through a page, as an operator would.
enum class Act {
    None,         // the page offers no change (the reason stands beside its row)
    PressOnRow,   // click a row of `view` (the page's largest table when null), press `control`
    TypeAndPress, // tick the box of the line edit `control`, type a new text, press `press`
    OpenCell,     // double-click a cell of `view` that shows `control`
};

struct Page
{
    const char *name;     // the menu button's name without "f" and "MgrBtn"
    bool hidden;          // reached only through the page stack
    const char *simTable; // where its rows come from; "" for the media library
    const char *field;
    Act act;
    const char *view;
    const char *control;
    const char *press;
    const char *refused; // what the operator is told when a service refuses
    bool shows;          // the accepted change shows on the page itself
};

const Page kPages[] = {
    {"SsTask", false, "soundsource", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    // The plan panel: deleting a plan.
    {"TimerTask", false, "timerplan", "name", Act::PressOnRow, "fTblSchemeList", "fSchDelBtn", nullptr, "删除方案失败",
     true},
    {"ManualTask", false, "soundsource", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    // Stopping a running task is all the SDK page offers.
    {"SdkTask", true, "soundsource", "name", Act::PressOnRow, nullptr, "fStopTask", nullptr, "停止任务失败", true},
    {"Player", false, "ipamp", "name", Act::PressOnRow, nullptr, "fDelTerBtn", nullptr, kRefusal, true},
    {"Mic", false, "dsk81", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    {"CallMic", true, "dsk72", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    {"EmMic", true, "dsk74", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    {"Cap", false, "capd73", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    {"Tts", false, "tts71", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    {"FAlarm", false, "firealarm", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    {"D82", true, "d82", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, kRefusal, true},
    // A file of the library, refused by the file service.
    {"Media", false, "", "", Act::PressOnRow, "fMediaTableWidget", "fDelBtn", nullptr, "删除失败: refused", true},
    {"MicGroup", true, "callservergroup", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, "删除失败", true},
    {"Region", false, "region", "name", Act::PressOnRow, nullptr, "fDelBtn", nullptr, "删除失败", true},
    // The console's title.
    {"SystemSet", false, "parameter", "value", Act::TypeAndPress, nullptr, "fTitleLe", "fSaveTileBtn",
     "服务器未接受设置", true},
    // The logs are read-only: the only other action, the CSV export, reads the log
    // host's database, which the demo has not got (the server serves the rows).
    {"UserLog", false, "userlog", "ip", Act::None, nullptr, nullptr, nullptr, "", false},
    {"TalkLog", true, "talklog", "callerName", Act::None, nullptr, nullptr, nullptr, "", false},
    {"TermLog", false, "terminallog", "name", Act::None, nullptr, nullptr, nullptr, "", false},
    // Downloading a call's recording, refused by the file service; the file lands
    // in the chosen folder.
    {"TalkRecord", true, "talklog", "calledName", Act::OpenCell, nullptr, "双击下载", nullptr, "下载失败", false},
};

// What one page showed and did while the walk stood on it.
struct Seen
{
    bool hidden = false;
    QStringList texts;
    QStringList told;         // boxes and tips while a service refused
    bool refusalKept = false; // page, server data and files as before
    bool changeSent = false;
    bool changeTookEffect = false;
};

// Requests that may change something: all but reads, the keep-alive and listings.
int changesSent(const ZnDemoConsole &console)
{
    int n = console.server.count("POST") + console.server.count("SET");
    for (const std::string &r : console.files.requests())
        n += r.find("GetFileList") == std::string::npos && r.find("GetFileRoot") == std::string::npos;
    return n;
}

void refuseEverything(ZnDemoConsole &console, bool on)
{
    console.server.clearRules();
    if (on) {
        console.server.addRule(ZnSimRule::make("POST", ZnSimRule::Fail, kRefusal));
        console.server.addRule(ZnSimRule::make("SET", ZnSimRule::Fail, kRefusal));
    }
    ZnSimFileService::Faults faults;
    faults.refuseAll = on;
    console.files.setFaults(faults);
}

// All the console can change outside itself: the server's data, the media library
// and the folder it downloads into.
QString world(ZnDemoConsole &console, const QString &downloads)
{
    std::string data;
    console.server.withData([&](ZnSimData &d) { data = d.dump(); });
    QStringList files{QString::fromStdString(data)};
    for (const QString &root : {QString::fromStdString(console.files.folder()), downloads}) {
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next() + QLatin1Char(' ') + QString::number(it.fileInfo().size());
    }
    return files.join(QLatin1Char('\n'));
}

// Answers every box that opens while it lives, as an operator would: confirms
// questions, closes notices, picks `folder` in a folder chooser; keeps what the
// boxes and the page's pop-up tips said.
class Operator : public QObject
{
public:
    QStringList told;
    int boxes = 0;

    Operator(QWidget *page, const QString &folder)
    {
        connect(&poll, &QTimer::timeout, this, [this, page, folder] {
            for (QDialog *tip : page->window()->findChildren<QDialog *>()) {
                const QString text = ZnModalHelper::visibleTexts(tip).join(QLatin1Char(' '));
                if (tip->isVisible() && !tip->isModal() && !told.contains(text))
                    told << text;
            }
            auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++boxes;
            told << ZnModalHelper::visibleTexts(box).join(QLatin1Char(' '));
            auto *ok = box->findChild<QAbstractButton *>(QStringLiteral("ConfirmButton"));
            if (auto *chooser = qobject_cast<QFileDialog *>(box)) {
                chooser->setDirectory(folder);
                box->accept();
            } else if (ok && ok->isVisible()) {
                ok->click();
            } else {
                box->reject();
            }
        });
        poll.start(10);
    }

private:
    QTimer poll;
};

QTableWidget *viewOf(QWidget *page, const Page &p)
{
    if (p.view)
        return page->findChild<QTableWidget *>(QLatin1String(p.view));
    QTableWidget *best = nullptr;
    for (QTableWidget *t : page->findChildren<QTableWidget *>()) {
        if (t->isVisibleTo(page) && (!best || t->rowCount() > best->rowCount()))
            best = t;
    }
    return best;
}

QString rowText(QTableWidget *table, int row)
{
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c)
        cells << (table->item(row, c) ? table->item(row, c)->text() : QString());
    return cells.join(QLatin1Char('|'));
}

// The cell the operator clicks in the row that reads `text`; invalid when it has gone.
QModelIndex cellOf(QTableWidget *table, const QString &text, const Page &p)
{
    for (int r = 0; r < table->rowCount(); ++r) {
        if (rowText(table, r) != text)
            continue;
        for (int c = 0; p.act == Act::OpenCell && c < table->columnCount(); ++c) {
            if (table->item(r, c) && table->item(r, c)->text() == QString::fromUtf8(p.control))
                return table->model()->index(r, c);
        }
        return p.act == Act::OpenCell ? QModelIndex() : table->model()->index(r, 0);
    }
    return QModelIndex();
}

// The rows the walk may act on, from the bottom up: the pages themselves keep
// running tasks and online terminals.
QStringList candidates(QWidget *page, const Page &p)
{
    if (p.act == Act::None || p.act == Act::TypeAndPress)
        return QStringList(QString()).mid(p.act == Act::None ? 1 : 0);
    QStringList rows;
    QTableWidget *table = viewOf(page, p);
    for (int r = table ? table->rowCount() - 1 : -1; r >= 0; --r) {
        if (cellOf(table, rowText(table, r), p).isValid())
            rows << rowText(table, r);
    }
    return rows;
}

void press(QWidget *page, const char *name)
{
    if (auto *button = page->findChild<QAbstractButton *>(QLatin1String(name)))
        QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks the row that reads `row`, as the operator chooses it.
void choose(QWidget *page, const Page &p, const QString &row)
{
    QTableWidget *table = p.act == Act::TypeAndPress ? nullptr : viewOf(page, p);
    const QModelIndex cell = table ? cellOf(table, row, p) : QModelIndex();
    if (!cell.isValid())
        return;
    table->clearSelection();
    table->scrollTo(cell);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
}

// Does the page's operation once on the chosen row.
void act(QWidget *page, const Page &p, const QString &row)
{
    if (p.act == Act::TypeAndPress) {
        auto *edit = page->findChild<QLineEdit *>(QLatin1String(p.control));
        for (QWidget *w = edit; w && w != page; w = w->parentWidget()) {
            if (auto *box = qobject_cast<QGroupBox *>(w); box && box->isCheckable())
                box->setChecked(true);
        }
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Walked site"));
        press(page, p.press);
    } else if (p.act == Act::OpenCell) {
        QTableWidget *table = viewOf(page, p);
        const QModelIndex cell = cellOf(table, row, p);
        if (cell.isValid())
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(cell).center());
    } else {
        press(page, p.control);
    }
}

// What the page shows of the operation's subject: the rows of its table, or the
// text of its field.
QStringList viewTexts(QWidget *page, const Page &p)
{
    if (p.act == Act::TypeAndPress)
        return {page->findChild<QLineEdit *>(QLatin1String(p.control))->text()};
    QStringList rows;
    QTableWidget *table = viewOf(page, p);
    for (int r = 0; table && r < table->rowCount(); ++r)
        rows << rowText(table, r);
    return rows;
}

// Texts compared without the line breaks and blanks that boxes and tips lay out.
QString bare(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

// One change through the page, first refused by the services, then accepted.
void changeAndRefusal(ZnDemoConsole &console, QWidget *page, const Page &p, const QString &downloads, Seen &seen)
{
    const QString refused = bare(QString::fromUtf8(p.refused));
    for (const QString &row : candidates(page, p)) {
        choose(page, p, row);
        const QStringList shown = viewTexts(page, p);
        const QString before = world(console, downloads);
        refuseEverything(console, true);
        {
            Operator op(page, downloads);
            const int sent = changesSent(console);
            act(page, p, row);
            // Some pages send from their worker after the click has returned; a page
            // that keeps the row itself has said so in a second box by then.
            (void)QTest::qWaitFor([&] { return changesSent(console) > sent || op.boxes >= 2; }, kWaitMs);
            if (changesSent(console) == sent) {
                refuseEverything(console, false);
                continue;
            }
            (void)QTest::qWaitFor([&] { return bare(op.told.join(QString())).contains(refused); }, kWaitMs);
            seen.refusalKept = QTest::qWaitFor([&] { return viewTexts(page, p) == shown; }, kWaitMs)
                               && world(console, downloads) == before;
            seen.told = op.told;
        }
        refuseEverything(console, false);
        // A recording counts as busy while the tip of its ended download stands.
        if (auto *records = qobject_cast<ZnTalkRecordForm *>(page)) {
            MsgTipsGroup *tips = records->tips();
            (void)QTest::qWaitFor(
                [tips] {
                    for (int i = 0; i < tips->count(); ++i)
                        if (tips->tipAt(i)->isInUse())
                            return false;
                    return true;
                },
                kWaitMs);
        }
        Operator op(page, downloads);
        const int sent = changesSent(console);
        choose(page, p, row);
        act(page, p, row);
        seen.changeSent = QTest::qWaitFor([&] { return changesSent(console) > sent; }, kWaitMs);
        seen.changeTookEffect = QTest::qWaitFor(
            [&] { return world(console, downloads) != before && (!p.shows || viewTexts(page, p) != shown); }, kWaitMs);
        return;
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
        QTemporaryDir downloads;
        ZnDemoConsole console;
        QVERIFY(console.start(dir.path()));
        console.server.withData([&](ZnSimData &d) { simTables = d.tables; });
        mediaNames =
            QDir(QString::fromStdString(console.files.folder())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        exitCode = console.run([&](InfoCenterMgr &window) {
            missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
                Seen &s = seen[stop.name];
                s.hidden = stop.hidden;
                (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, kWaitMs);
                s.texts = ZnPageWalker::shownTexts(stop.page);
                const auto p = std::find_if(std::begin(kPages), std::end(kPages),
                                            [&](const Page &p) { return stop.name == QLatin1String(p.name); });
                if (p != std::end(kPages))
                    changeAndRefusal(console, stop.page, *p, downloads.path(), s);
            });
        });
    }

    void consoleExitsCleanly()
    {
        QCOMPARE(exitCode, 0);
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char(' '))));
    }

    // Each page: how it is reached, the simulator table its rows come from, and the
    // change the walk makes through it, first refused, then accepted.
    void pages_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kPages)); ++i)
            QTest::newRow(kPages[i].name) << i;
    }
    void pages()
    {
        QFETCH(int, index);
        const Page &p = kPages[index];
        QVERIFY2(seen.contains(QLatin1String(p.name)), "not visited");
        const Seen &s = seen[QLatin1String(p.name)];
        QCOMPARE(s.hidden, p.hidden);

        QStringList fromSim = mediaNames;
        if (*p.simTable) {
            fromSim.clear();
            for (const Json::Value &row : simTables[p.simTable])
                fromSim << QString::fromStdString(row[p.field].asString());
        }
        fromSim.removeAll(QString());
        bool shown = false;
        for (const QString &t : fromSim)
            shown = shown || s.texts.contains(t);
        QVERIFY2(shown, qPrintable(s.texts.mid(0, 8).join(QLatin1Char('|'))));

        QCOMPARE(s.changeSent, p.act != Act::None);
        if (p.act == Act::None)
            return;
        QVERIFY2(bare(s.told.join(QString())).contains(bare(QString::fromUtf8(p.refused))),
                 qPrintable(s.told.join(QLatin1Char('|'))));
        QVERIFY(s.refusalKept);
        QVERIFY(s.changeTookEffect);
    }
};

QTEST_MAIN(tst_walk)
#include "tst_walk.moc"
