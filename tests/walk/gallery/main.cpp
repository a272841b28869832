// Screenshots of the demo console: every page the walk reaches, every dialog its
// buttons open, and what a single click does not reach (a dialog opened from
// another, a task started, a plan switched off and on, the boxes shown when the
// services refuse, a book, a region or a setting that cannot be saved, a
// download whose path or an export whose name is too long, an export to a
// folder that does not exist), as PNG files in the folder given (default
// gallery/).
//
//   zn_gallery [FOLDER] [--pages-only] [--log-db PORT]
//
// With --log-db the log pages read the talk-log database on 127.0.0.1:PORT.
#include "InfoCenterMgr.h"
#include "LogExportDialog.h"
#include "ServiceHub.h"
#include "TcpSocketClient.h"
#include "ZnApi.h"
#include "ZnDemoConsole.h"
#include "ZnMediaMgrForm.h"
#include "ZnNetManage.h"
#include "ZnPageWalker.h"
#include "ZnSimClosedPort.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

QString outDir;
QStringList written;

void save(QWidget *w, const QString &name)
{
    const QString file = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (w->grab().save(file))
        written << file;
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

// A file name part from a button's object name or text.
QString tag(const QAbstractButton *b)
{
    QString t = b->objectName().isEmpty() ? b->text() : b->objectName();
    t.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QString());
    return t.isEmpty() ? QStringLiteral("button") : t;
}

// Windows shown now that were not before: dialogs opened without exec().
QList<QWidget *> newWindows(const QSet<QWidget *> &before)
{
    QList<QWidget *> out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !before.contains(w) && !qobject_cast<InfoCenterMgr *>(w))
            out << w;
    }
    return out;
}

QSet<QWidget *> shownWindows()
{
    QSet<QWidget *> s;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            s << w;
    }
    return s;
}

void closeWindow(QWidget *w)
{
    if (auto *d = qobject_cast<QDialog *>(w))
        d->reject();
    w->close();
}

// The table named, or else the largest one shown under root.
QTableWidget *tableIn(QWidget *root, const char *name)
{
    if (name)
        return root->findChild<QTableWidget *>(QLatin1String(name));
    QTableWidget *table = nullptr;
    for (QTableWidget *t : root->findChildren<QTableWidget *>()) {
        if (t->isVisibleTo(root) && (!table || t->rowCount() > table->rowCount()))
            table = t;
    }
    return table;
}

QStringList tableTexts(QTableWidget *table)
{
    QStringList texts;
    for (int r = 0; table && r < table->rowCount(); ++r) {
        for (int c = 0; c < table->columnCount(); ++c)
            texts << (table->item(r, c) ? table->item(r, c)->text() : QString());
    }
    return texts;
}

// The first cell that shows text (any text when empty), clicked or double-clicked
// with the mouse as the operator does. False when there is no such cell.
bool clickCell(QWidget *root, const char *tableName, const QString &text, bool twice = false)
{
    QTableWidget *table = tableIn(root, tableName);
    if (!table)
        return false;
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < table->columnCount(); ++c) {
            QTableWidgetItem *item = table->item(r, c);
            if (!item || table->isColumnHidden(c) || (!text.isEmpty() && item->text() != text))
                continue;
            table->scrollToItem(item);
            const QPoint at = table->visualItemRect(item).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
            if (twice)
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
            return true;
        }
    }
    return false;
}

// Chooses the first row of the page's main table, as most buttons and the detail
// panels act on the chosen row.
void chooseFirstRow(QWidget *page)
{
    (void)clickCell(page, nullptr, QString());
}

void press(QWidget *root, const char *button)
{
    if (auto *b = root->findChild<QAbstractButton *>(QLatin1String(button)))
        b->click();
    else
        std::fprintf(stderr, "no button %s\n", button);
}

// Clicks each button of the page that opens a window and grabs what it opens;
// modal ones are grabbed and cancelled from a timer while their exec() runs.
void openDialogs(const QString &prefix, QWidget *page)
{
    QSet<QString> done;
    const auto buttons = page->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (!button->isVisibleTo(page) || !button->isEnabled() || button->isCheckable())
            continue;
        // A table's corner button selects every row and opens nothing; pressed, it
        // would leave the later shots acting on the whole table.
        if (qobject_cast<QAbstractItemView *>(button->parentWidget()))
            continue;
        const QString name = prefix + QLatin1Char('-') + tag(button);
        if (done.contains(name))
            continue;
        done << name;
        const QSet<QWidget *> before = shownWindows();
        int shots = 0;
        QTimer modal;
        QObject::connect(&modal, &QTimer::timeout, [&] {
            QWidget *m = QApplication::activeModalWidget();
            if (!m || before.contains(m))
                return;
            save(m, shots ? name + QString::number(shots) : name);
            ++shots;
            closeWindow(m);
        });
        modal.start(100);
        QPointer<QAbstractButton> guard(button);
        button->click();
        modal.stop();
        for (QWidget *w : newWindows(before)) {
            (void)QTest::qWaitForWindowExposed(w);
            save(w, shots ? name + QString::number(shots) : name);
            ++shots;
            closeWindow(w);
        }
        if (!guard)
            return;
    }
}

// What the gallery does with a window that opens: grab it or not, then answer it
// (closed unless said otherwise). then() is given the shot's name, for the
// pictures it takes of what the answer shows.
struct Answer
{
    using Then = std::function<void(QWidget *, const QString &name)>;
    bool saved = true;
    Then then = [](QWidget *w, const QString &) { closeWindow(w); };
};

Answer closed(bool saved = true)
{
    return Answer{saved, [](QWidget *w, const QString &) { closeWindow(w); }};
}

Answer accepted(bool saved = false)
{
    return Answer{saved, [](QWidget *w, const QString &) {
                      if (auto *d = qobject_cast<QDialog *>(w))
                          d->accept();
                  }};
}

// Runs act and answers each modal window that opens meanwhile, in turn; the ones
// grabbed are saved as name, name-2, and so on. A refusal comes after the
// server's answer: waits until every answer is used, 5 s at most.
void answerWindows(const QString &name, const std::function<void()> &act, const QList<Answer> &answers)
{
    const QSet<QWidget *> before = shownWindows();
    QPointer<QWidget> last;
    int used = 0;
    int saved = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *m = QApplication::activeModalWidget();
        if (!m || before.contains(m) || m == last)
            return;
        last = m;
        // A window beyond those expected is kept as well: the operator saw it.
        const Answer a = used < answers.size() ? answers.at(used) : closed();
        ++used;
        if (a.saved) {
            save(m, saved ? name + QStringLiteral("-%1").arg(saved + 1) : name);
            ++saved;
        }
        // From the window's own loop, so that a window it opens meets this poll.
        QTimer::singleShot(0, m, [m, a, name] { a.then(m, name); });
    });
    poll.start(100);
    act();
    (void)QTest::qWaitFor([&] { return used >= answers.size(); }, 5000);
    poll.stop();
    if (used != answers.size())
        std::fprintf(stderr, "%s: %d of %d windows opened\n", qPrintable(name), used, int(answers.size()));
}

// A shot that the walk over the buttons cannot take.
struct Extra
{
    const char *page;  // the walker's stop name
    const char *shot;  // the file name's last part
    const char *table; // where to choose a row (null: the page's largest table)
    const char *row;   // a text of that row ("": the first row; null: no row chosen)
    bool refused;      // the server and the file service refuse every change meanwhile
    std::function<void(QWidget *page)> act;
    QList<Answer> answers;
    bool pageAfter;              // the window once the change shows on the page
    const char *shows = nullptr; // the table pageAfter waits on (null: the one acted on)
    // Puts back what act changed, for the shots after it.
    std::function<void(QWidget *page)> undo = nullptr;
};

// Entries added to the monitor book of the demo's server microphone 70001 that
// no row of its dialog lists: a changed tick is refused naming them. The book
// is put back after the shot.
struct MonitorBook
{
    std::vector<Json::Value> asRead;

    void add(ZnDemoConsole &console, QWidget *page, const std::vector<Json::Value> &entries)
    {
        console.server.withData([&](ZnSimData &d) {
            std::vector<Json::Value> &book = d.table("d81monitor");
            asRead = book;
            for (Json::Value entry : entries) {
                entry["terminalId"] = "70001";
                entry["orderId"] = std::to_string(book.size() + 1);
                book.push_back(entry);
            }
        });
        press(page, "fSetBtn");
    }
    void putBack(ZnDemoConsole &console)
    {
        console.server.withData([this](ZnSimData &d) { d.table("d81monitor") = asRead; });
    }
};

Json::Value monitor(const std::string &id, const char *type)
{
    Json::Value entry;
    entry["monitorId"] = id;
    entry["monitorType"] = type;
    return entry;
}

// Of a type no book word names (0, and 77, which no family has); their ids run
// from 90001, which no terminal of the demo has.
std::vector<Json::Value> unwritableMonitors(int count)
{
    std::vector<Json::Value> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(monitor(std::to_string(90001 + i), i % 2 ? "77" : "0"));
    return entries;
}

// Amplifiers, a family the book names, stored under ids that are no number the
// console keeps: a word, none, one beyond int.
std::vector<Json::Value> unreadableMonitors()
{
    return {monitor("abc", "6"), monitor("", "6"), monitor("99999999999", "6")};
}

// The demo's region "Ground floor" stored with members whose ids are no number
// the console keeps, read again by the console as after a login: its dialog
// refuses the save. The region is put back after the shot.
struct RegionMembers
{
    std::string asRead;

    static void readAgain(QWidget *page)
    {
        ZnManageCenter *centre = ServiceHub::instance()->centre();
        // The answer's signals reach the page before the request returns.
        (void)QTest::qWaitFor([centre] { return apiGetRegionList(centre) != ZnNetManage::ResultBusy; }, 5000);
        (void)clickCell(page, "fGroupTableWidget", QStringLiteral("Ground floor"));
    }
    void set(ZnDemoConsole &console, QWidget *page, const std::string &added)
    {
        console.server.withData([&](ZnSimData &d) {
            for (Json::Value &r : d.table("region")) {
                if (r["name"].asString() == "Ground floor") {
                    asRead = r["terminalId"].asString();
                    r["terminalId"] = asRead + ' ' + added;
                }
            }
        });
        readAgain(page);
        press(page, "fEditBtn");
    }
    void putBack(ZnDemoConsole &console, QWidget *page)
    {
        console.server.withData([this](ZnSimData &d) {
            for (Json::Value &r : d.table("region")) {
                if (r["name"].asString() == "Ground floor")
                    r["terminalId"] = asRead;
            }
        });
        readAgain(page);
    }
};

// A save of config.ini refused because of the file's form: a quote left open
// before the title would draw it into another value. The file and the title
// are put back after the notice.
struct TitleSave
{
    QByteArray file;
    QString title;

    static void save(QWidget *page, const QString &title)
    {
        if (auto *box = page->findChild<QGroupBox *>(QStringLiteral("fTitleNameGb")))
            box->setChecked(true);
        if (auto *edit = page->findChild<QLineEdit *>(QStringLiteral("fTitleLe")))
            edit->setText(title);
        press(page, "fSaveTileBtn");
    }
    void refused(QWidget *page)
    {
        QFile ini(QStringLiteral("config.ini"));
        if (!ini.open(QIODevice::ReadWrite))
            return;
        file = ini.readAll();
        QByteArray broken = file;
        broken.replace("User=", "User=\"");
        ini.seek(0);
        ini.write(broken);
        ini.close();
        if (auto *edit = page->findChild<QLineEdit *>(QStringLiteral("fTitleLe")))
            title = edit->text();
        save(page, QStringLiteral("二号楼"));
    }
    void putBack(QWidget *page)
    {
        QFile ini(QStringLiteral("config.ini"));
        if (file.isEmpty() || !ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        ini.write(file);
        ini.close();
        save(page, title);
    }
};

// The folder a download is sent to: one deep enough under the working folder
// that the file's path passes what Linux allows (4,095 bytes), as an operator
// may have made and chosen.
QString deepFolder(const QString &fileName)
{
    const int length = 4096 - 1 - fileName.toUtf8().size();
    QString folder = QDir::currentPath();
    while (folder.toUtf8().size() < length) {
        const int left = length - folder.toUtf8().size() - 1;
        folder += QLatin1Char('/') + QString(qBound(1, left, 200), QLatin1Char('d'));
    }
    QDir().mkpath(folder);
    return folder;
}

QList<Extra> extras(ZnDemoConsole &console)
{
    const auto click = [](const char *button) { return [button](QWidget *page) { press(page, button); }; };
    const auto openRow = [](QWidget *page) { (void)clickCell(page, nullptr, QString(), true); };
    // The fire-alarm dialog's channel table, and the channel dialog it opens.
    const Answer channel{true, [](QWidget *dialog, const QString &) {
                             (void)clickCell(dialog, "fChannelTb", QString());
                             press(dialog, "fEditChannelBtn");
                         }};
    // The server microphone's dialog: one more monitor ticked, then OK.
    const Answer monitorTicked{false, [](QWidget *dialog, const QString &) {
                                   (void)clickCell(dialog, "fMonitorTb", QStringLiteral("Gate call"));
                                   press(dialog, "fOkBtn");
                               }};
    // The log export dialog, given a name longer than a file's name may be, then
    // a folder that does not exist.
    const Answer exportRefused{true, [](QWidget *dialog, const QString &name) {
                                   // Without a log host the page answers with a box instead.
                                   auto *export_ = qobject_cast<LogExportDialog *>(dialog);
                                   if (!export_) {
                                       closeWindow(dialog);
                                       return;
                                   }
                                   auto &ui = export_->form();
                                   const auto exportAndSave = [&](const QString &shot) {
                                       ui.message_widget->hide();
                                       ui.fExportBtn->click();
                                       (void)QTest::qWaitFor([&ui] { return ui.message_widget->isVisible(); }, 5000);
                                       save(dialog, name + shot);
                                   };
                                   const QString usual = ui.file_name_le->text();
                                   ui.file_name_le->setText(QStringLiteral("二号楼广播与对讲系统用户日志").repeated(7));
                                   exportAndSave(QStringLiteral("-name-too-long"));
                                   ui.file_name_le->setText(usual);
                                   const QString missing = QDir::current().filePath(QStringLiteral("导出"));
                                   ui.directoryComboBox->addItem(missing);
                                   ui.directoryComboBox->setCurrentText(missing);
                                   exportAndSave(QStringLiteral("-no-such-folder"));
                                   closeWindow(dialog);
                               }};
    // The log pages read the database when shown: their download waits for the end of the read.
    const auto exportLog = [](QWidget *page) {
        auto *refresh = page->findChild<QAbstractButton *>(QStringLiteral("fRefreshButton"));
        (void)QTest::qWaitFor([refresh] { return refresh && refresh->isEnabled(); }, 5000);
        press(page, "fLogDownloadBt");
    };
    // Until the transfer row leaves the state it was queued in.
    const auto downloadDeep = [](QWidget *page) {
        auto *media = qobject_cast<ZnMediaMgrForm *>(page);
        QTableWidget *rows = tableIn(page, "fUpOrDownTableWidget");
        if (!media || !rows)
            return;
        const int before = rows->rowCount();
        media->downloadSelected(deepFolder(QStringLiteral("school_song.mp3")));
        const auto state = [rows] { return rows->item(0, 0) ? rows->item(0, 0)->text() : QString(); };
        (void)QTest::qWaitFor([&] { return rows->rowCount() > before; }, 3000);
        const QString queued = state();
        (void)QTest::qWaitFor([&] { return state() != queued; }, 5000);
    };
    const auto monitorBook = std::make_shared<MonitorBook>();
    const auto addMonitors = [&console, monitorBook](std::vector<Json::Value> entries) {
        return [&console, monitorBook, entries](QWidget *page) { monitorBook->add(console, page, entries); };
    };
    const auto putBackMonitors = [&console, monitorBook](QWidget *) { monitorBook->putBack(console); };
    // The region's dialog: OK with nothing changed, as every save writes the members.
    const Answer regionOk{false, [](QWidget *dialog, const QString &) { press(dialog, "fOkBtn"); }};
    const auto regionMembers = std::make_shared<RegionMembers>();
    const auto titleSave = std::make_shared<TitleSave>();
    // The file service gone: the media page says it cannot reach it. Last of all,
    // as nothing after it lists the library.
    const auto loseFileService = [&console](QWidget *page) {
        console.files.stop();
        // Its port, now free, may be taken by another program: the worker is sent
        // to one that stays closed.
        static ZnSimClosedPort nowhere;
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(nowhere.port()));
        (void)clickCell(page, "fMediaTableWidget", QString(), true);
    };
    return {
        {"SsTask", "edit", nullptr, "Fire drill", false, click("fEditBtn"), {closed()}, false},
        {"SsTask", "delete", nullptr, "Fire drill", false, click("fDelBtn"), {closed()}, false},
        {"SsTask", "delete-refused", nullptr, "Fire drill", true, click("fDelBtn"), {accepted(), closed()}, false},
        // Holidays starts disabled (the walk over the buttons switches the first plan).
        {"TimerTask", "plan-enabled", "fTblSchemeList", "Holidays", false, click("fSchEnableBtn"), {}, true},
        {"TimerTask", "plan-disabled", "fTblSchemeList", "Holidays", false, click("fSchEnableBtn"), {}, true},
        {"TimerTask", "plan-refused", "fTblSchemeList", "Holidays", true, click("fSchEnableBtn"), {closed()}, false},
        {"ManualTask", "started", nullptr, "Evacuation", false, click("fStartTask"), {}, true},
        {"Cap", "edit", nullptr, "", false, openRow, {closed()}, false},
        {"FAlarm", "channel", nullptr, "", false, click("fEditBtn"), {channel, closed(), closed(false)}, false},
        {"Media", "delete-refused", "fMediaTableWidget", "", true, click("fDelBtn"), {accepted(), closed()}, false},
        {"Mic",
         "monitor-unwritable",
         nullptr,
         "Control desk",
         false,
         addMonitors(unwritableMonitors(2)),
         {monitorTicked, closed()},
         false,
         nullptr,
         putBackMonitors},
        {"Mic",
         "monitor-unwritable-300",
         nullptr,
         "Control desk",
         false,
         addMonitors(unwritableMonitors(300)),
         {monitorTicked, closed()},
         false,
         nullptr,
         putBackMonitors},
        {"Mic",
         "monitor-ids-unwritable",
         nullptr,
         "Control desk",
         false,
         addMonitors(unreadableMonitors()),
         {monitorTicked, closed()},
         false,
         nullptr,
         putBackMonitors},
        {"Media",
         "download-path-too-long",
         "fMediaTableWidget",
         "school_song.mp3",
         false,
         downloadDeep,
         {},
         true,
         "fUpOrDownTableWidget"},
        {"Media", "file-service-unreachable", "fMediaTableWidget", "", false, loseFileService, {}, true},
        {"Region", "delete-refused", nullptr, "", true, click("fDelBtn"), {accepted(), closed()}, false},
        {"Region",
         "members-unwritable",
         "fGroupTableWidget",
         "Ground floor",
         false,
         [&console, regionMembers](QWidget *page) { regionMembers->set(console, page, "abc 99999999999"); },
         {regionOk, closed()},
         false,
         nullptr,
         [&console, regionMembers](QWidget *page) { regionMembers->putBack(console, page); }},
        {"SystemSet",
         "config-not-saved",
         nullptr,
         nullptr,
         false,
         [titleSave](QWidget *page) { titleSave->refused(page); },
         {closed()},
         false,
         nullptr,
         [titleSave](QWidget *page) { titleSave->putBack(page); }},
        {"UserLog", "export", nullptr, "", false, exportLog, {exportRefused}, false},
    };
}

void refuse(ZnDemoConsole &console, bool on)
{
    console.server.clearRules();
    if (on) {
        console.server.addRule(ZnSimRule::make("POST", ZnSimRule::Fail, "refused"));
        console.server.addRule(ZnSimRule::make("SET", ZnSimRule::Fail, "refused"));
    }
    ZnSimFileService::Faults faults;
    faults.refuseAll = on;
    console.files.setFaults(faults);
}

void takeExtras(ZnDemoConsole &console, InfoCenterMgr &window, const QString &prefix, const ZnPageWalker::Stop &stop)
{
    for (const Extra &e : extras(console)) {
        if (stop.name != QLatin1String(e.page))
            continue;
        const QString name = prefix + QLatin1Char('-') + QLatin1String(e.shot);
        if (e.row && !clickCell(stop.page, e.table, QString::fromUtf8(e.row))) {
            std::fprintf(stderr, "%s: no row %s\n", qPrintable(name), e.row);
            continue;
        }
        refuse(console, e.refused);
        QTableWidget *table = tableIn(stop.page, e.shows ? e.shows : e.table);
        const QStringList shown = tableTexts(table);
        answerWindows(
            name, [&] { e.act(stop.page); }, e.answers);
        if (e.pageAfter) {
            // Until the change shows in the table watched.
            (void)QTest::qWaitFor([&] { return tableTexts(table) != shown; }, 3000);
            save(&window, e.answers.isEmpty() ? name : name + QStringLiteral("-page"));
        }
        refuse(console, false);
        if (e.undo)
            e.undo(stop.page);
    }
}

// The start page under a system name as long as a hospital's: the name gives way
// to the tabs, the clock and the buttons. The demo's name is put back after.
void longTitle(InfoCenterMgr &window)
{
    const QString demo = window.windowTitle();
    window.showSystemSetForm();
    QWidget *settings = window.form().fCenterRightStacked->currentWidget();
    TitleSave::save(settings, QStringLiteral("某某市第一人民医院门诊楼及住院部公共广播对讲系统"));
    window.navList()->setCurrentRow(0);
    window.showSsTaskInfoForm();
    QCoreApplication::processEvents();
    save(&window, QStringLiteral("title-long"));
    TitleSave::save(settings, demo);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool dialogs = !args.contains(QStringLiteral("--pages-only"));
    const int db = args.indexOf(QStringLiteral("--log-db"));
    const int logDbPort = db > 0 && db + 1 < args.size() ? args.at(db + 1).toInt() : 0;
    outDir = QDir(argc > 1 && !args.at(1).startsWith(QLatin1Char('-')) ? args.at(1) : QStringLiteral("gallery"))
                 .absolutePath();
    QDir().mkpath(outDir);
    QTemporaryDir run;
    ZnDemoConsole console;
    if (!console.start(run.path(), logDbPort)) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    int n = 0;
    QStringList missed;
    const int code = console.run([&](InfoCenterMgr &window) {
        missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
            // Let the page fill from the simulator before the picture.
            (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, 3000);
            // The server clock shows dashes until its first tick.
            (void)QTest::qWaitFor([&] { return !window.form().mSrvTimeLe->text().startsWith(QLatin1Char('-')); }, 3000);
            chooseFirstRow(stop.page);
            QCoreApplication::processEvents();
            const QString prefix = QStringLiteral("%1-%2").arg(++n, 2, 10, QLatin1Char('0')).arg(stop.name);
            save(&window, prefix);
            if (dialogs) {
                openDialogs(prefix, stop.page);
                takeExtras(console, window, prefix, stop);
            }
        });
        longTitle(window);
    });
    for (const QString &f : written)
        std::printf("%s\n", qPrintable(f));
    for (const QString &m : missed)
        std::fprintf(stderr, "not reached: %s\n", qPrintable(m));
    return code;
}
