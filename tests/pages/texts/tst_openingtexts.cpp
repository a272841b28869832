// What the operator reads as each page and dialog opens, with the Chinese
// translation loaded as the console loads it: one row per page, dialog or box
// (the row lists are in the Sight*.cpp files of this folder).
#include "../tasks/TaskSim.h"
#include "InfoCenterMgr.h"
#include "LogExportDialog.h"
#include "LogExportKind.h"
#include "LoginDialog.h"
#include "LoginSettings.h"
#include "Sight.h"
#include "SightReader.h"
#include "TcpSocketClient.h"
#include "ZnCapInfoForm.h"
#include "ZnD72InfoForm.h"
#include "ZnD74InfoForm.h"
#include "ZnD82InfoForm.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnMediaMgrForm.h"
#include "ZnMessageBox.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicInfoForm.h"
#include "ZnModalGuard.h"
#include "ZnModalHelper.h"
#include "ZnNetLosssHandle.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRegionMgrForm.h"
#include "ZnResources.h"
#include "ZnSimFileService.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnStartup.h"
#include "ZnSystemSettingForm.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTalkRecordForm.h"
#include "ZnTermLogInfoForm.h"
#include "ZnTimerTaskMgrForm.h"
#include "ZnTipsInfo.h"
#include "ZnTtsInfoForm.h"
#include "ZnUserLogInfoForm.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

Q_DECLARE_METATYPE(const Sight *)

namespace {

// Where a row starts: a page or window built as the console builds it, or a call
// that opens a modal box.
struct Start
{
    std::unique_ptr<QWidget> owned;
    QWidget *read = nullptr; // the page or window read when there are no steps
    bool window = false;
    QList<QWidget *> skip;
    std::function<void()> opens;
    // What the page waits for beyond the server's answers.
    std::function<bool()> ready;
};

// The main window with a clock that asks no server.
class Window : public InfoCenterMgr
{
public:
    Window() : InfoCenterMgr(1) {}
    void requestServerTime() override {}
};

Start pageOf(QWidget *page)
{
    Start s;
    s.owned.reset(page);
    s.read = page;
    return s;
}

template <class Page>
Start page()
{
    return pageOf(new Page);
}

std::map<QString, std::function<Start()>> starts()
{
    return {
        {QStringLiteral("login"),
         [] {
             Start s;
             auto *dialog = new LoginDialog(QString());
             // As the start-up fills it from config.ini.
             dialog->fillFields();
             s.owned.reset(dialog);
             s.opens = [dialog] { dialog->exec(); };
             return s;
         }},
        {QStringLiteral("main"),
         [] {
             Start s;
             auto *w = new Window;
             s.owned.reset(w);
             s.read = w;
             s.window = true;
             // The pages in the stack have rows of their own; no shown tab leads
             // to the recordings' menu.
             s.skip << w->form().fCenterRightStacked << w->form().fRecordWidget;
             return s;
         }},
        {QStringLiteral("conflict"),
         [] {
             Start s;
             s.opens = [] {
                 ZnNetLosssHandle::instance()->slot_device_conflict(
                     QStringLiteral(R"([{"terminalId":"7","name":"","type":"IP","ip":"10.0.0.7"},)"
                                    R"({"terminalId":"8","name":"Hall","type":"IP","ip":"10.0.0.8"}])"));
             };
             return s;
         }},
        {QStringLiteral("loss"),
         [] {
             Start s;
             s.opens = [] { ZnNetLosssHandle::instance()->slot_netloss(); };
             return s;
         }},
        {QStringLiteral("level refusal"),
         [] {
             Start s;
             s.opens = [] {
                 ZnMessageBox::message(nullptr, ZnTipsInfo::tipsTitleText(), ZnTipsInfo::noEditPermissionText(),
                                       ZnMsgOk);
             };
             return s;
         }},
        {QStringLiteral("d82"), page<ZnD82InfoForm>},
        {QStringLiteral("d81"), page<ZnMicInfoForm>},
        {QStringLiteral("d72"), page<ZnD72InfoForm>},
        {QStringLiteral("d74"), page<ZnD74InfoForm>},
        {QStringLiteral("fire alarm"), page<ZnFAlarmInfoForm>},
        {QStringLiteral("capture"), page<ZnCapInfoForm>},
        {QStringLiteral("tts"), page<ZnTtsInfoForm>},
        {QStringLiteral("group"), page<ZnMicGroupInfoForm>},
        {QStringLiteral("player"),
         [] {
             Start s = page<ZnPlayerInfoForm>();
             // As the main window does right after building it.
             static_cast<ZnPlayerInfoForm *>(s.read)->showTerminals();
             return s;
         }},
        {QStringLiteral("media"),
         [] {
             Start s = page<ZnMediaMgrForm>();
             // The file service names its root and lists it on the worker thread.
             auto *path = s.read->findChild<QLineEdit *>(QStringLiteral("fMediaEdit"));
             auto *files = s.read->findChild<QTableWidget *>(QStringLiteral("fMediaTableWidget"));
             s.ready = [path, files] { return !path->text().isEmpty() && files->rowCount() > 0; };
             return s;
         }},
        {QStringLiteral("plan"), page<ZnPlanTaskMgrForm>},
        {QStringLiteral("manual"), [] { return pageOf(new ZnSsTaskMgrForm(2)); }},
        {QStringLiteral("sdk"), [] { return pageOf(new ZnSsTaskMgrForm(4)); }},
        {QStringLiteral("timer"), [] { return pageOf(new ZnTimerTaskMgrForm(3)); }},
        {QStringLiteral("region"), page<ZnRegionMgrForm>},
        {QStringLiteral("user log"), page<ZnUserLogInfoForm>},
        {QStringLiteral("talk log"), page<ZnTalkLogInfoForm>},
        {QStringLiteral("terminal log"), page<ZnTermLogInfoForm>},
        {QStringLiteral("recordings"),
         [] {
             // Its tips are laid over the main window's central widget.
             Start s;
             s.owned.reset(new QWidget);
             s.owned->resize(1000, 700);
             s.read = new ZnTalkRecordForm(s.owned.get());
             return s;
         }},
        {QStringLiteral("settings"), page<ZnSystemSettingForm>},
        {QStringLiteral("export"),
         [] {
             // As the talk log page opens it; the headers are written, not shown.
             Start s;
             auto *dialog = new LogExportDialog(nullptr, QStringList(), TalkLogKind);
             s.owned.reset(dialog);
             s.opens = [dialog] { dialog->exec(); };
             return s;
         }},
    };
}

// Clicks a cell (the first shown one of the row when column is 0).
void clickRow(QAbstractItemView *view, int row, int column = 0, bool twice = false)
{
    if (auto *table = qobject_cast<QTableView *>(view)) {
        while (table->isColumnHidden(column))
            ++column;
    }
    const QModelIndex at = view->model()->index(row, column);
    view->scrollTo(at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(at).center());
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(at).center());
}

// A status column as the operator reads it, with the Chinese translation
// loaded: the page (or dialog, as a Sight's `open`), its table, the header of
// the column and, for each row, "KEY: STATE", KEY being the text of a cell that
// names the row (a code, an id or a name).
struct StatusWords
{
    const char *tag, *open, *table, *header;
    std::vector<const char *> cells;
};

const std::vector<StatusWords> kStatusWords = {
    {"d82: idle and cut off", "d82", "fCommonTableWidget", "状态", {"80001: 空闲", "80002: 断线"}},
    {"server microphones: idle and offline", "d81", "fTermTableWidget", "状态", {"70001: 空闲", "70002: 离线"}},
    {"call microphones: idle and offline", "d72", "fCommonTableWidget", "状态", {"50001: 空闲", "50002: 离线"}},
    {"emergency microphones: idle and offline", "d74", "fCommonTableWidget", "状态", {"60001: 空闲", "60002: 离线"}},
    {"fire-alarm interfaces: a short circuit and cut off",
     "fire alarm",
     "fCommonTableWidget",
     "状态",
     {"30001: 短路触发", "30002: 断线"}},
    {"fire-alarm channels: idle and alarm",
     "fire alarm > fCommonTableWidget#1 fEditBtn",
     "fChannelTb",
     "当前状态",
     {"1: 空闲", "2: 报警"}},
    {"capture units: idle and offline", "capture", "fCommonTableWidget", "状态", {"20001: 空闲", "20002: 离线"}},
    {"speech units: idle and offline", "tts", "fCommonTableWidget", "状态", {"40001: 空闲", "40002: 离线"}},
    {"players: idle", "player", "fTerListViewWidget", "工作状态", {"10001: 空闲", "10003: 空闲"}},
    {"plan tasks: running and idle", "plan", "fTaskTableWidget", "状态", {"Lobby music: 运行中", "Fire drill: 空闲"}},
    {"manual tasks: idle", "manual", "fTaskTableWidget", "状态", {"Evacuation: 空闲"}},
    {"sdk tasks: running", "sdk", "fTaskTableWidget", "状态", {"Paging link: 运行中"}},
    {"timer tasks: idle", "timer", "fTaskTableWidget", "状态", {"Morning bell: 空闲"}},
};

// The row of t that holds a cell of that text; -1 for none.
int rowHolding(const QTableWidget *t, const QString &text)
{
    for (int r = 0; r < t->rowCount(); ++r) {
        for (int c = 0; c < t->columnCount(); ++c) {
            if (t->item(r, c) && t->item(r, c)->text() == text)
                return r;
        }
    }
    return -1;
}

// The column whose header reads that text; -1 for none.
int columnHeaded(const QTableWidget *t, const QString &header)
{
    for (int c = 0; c < t->columnCount(); ++c) {
        if (t->horizontalHeaderItem(c) && t->horizontalHeaderItem(c)->text() == header)
            return c;
    }
    return -1;
}

} // namespace

Q_DECLARE_METATYPE(const StatusWords *)

class TstOpeningTexts : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString oldDir;
    std::unique_ptr<SimSession> session;
    ZnSimFileService files;

    // What a row read, and what went wrong on the way.
    SightReader::Readings shown;
    QStringList trouble;
    const Sight *row = nullptr;

    // Reads w, then the boxes its "?" entries open from it.
    void readHere(QWidget *w, bool window, const QList<QWidget *> &skip)
    {
        if (!session->settle())
            trouble << QStringLiteral("the server's answers did not come");
        shown = SightReader::read(w, window, skip);
        if (window) {
            QWidget *focus = QApplication::focusWidget();
            shown.insert(QStringLiteral("focus"),
                         focus && w->isAncestorOf(focus) ? focus->objectName() : QStringLiteral("(none)"));
        }
        for (const char *entry : row->reads) {
            const QString e = QString::fromUtf8(entry);
            if (!e.startsWith(QLatin1Char('?')))
                continue;
            const QString key = e.section(QStringLiteral(": "), 0, 0);
            QString box = QStringLiteral("(no box)");
            follow(w, key.mid(1).split(QStringLiteral(" > ")), [&box](QWidget *m) { box = SightReader::box(m); });
            shown.insert(key, box);
        }
    }

    // Takes the steps from w; `at` gets the window the last step ends in.
    void follow(QWidget *w, QStringList steps, const std::function<void(QWidget *)> &at)
    {
        if (steps.isEmpty())
            return at(w);
        QString step = steps.takeFirst();
        if (step.contains(QLatin1String("##"))) {
            // A double click that opens a window.
            auto *view = w->findChild<QAbstractItemView *>(step.section(QLatin1String("##"), 0, 0));
            const QString cell = step.section(QLatin1String("##"), 1);
            const int r = cell.section(QLatin1Char(','), 0, 0).toInt();
            const int c = cell.section(QLatin1Char(','), 1).toInt();
            if (!view || r >= view->model()->rowCount()) {
                trouble << QStringLiteral("no row %1 to double-click").arg(step);
                return;
            }
            return opening([&] { clickRow(view, r, c, true); }, w, steps, at, step);
        }
        if (step.contains(QLatin1Char('#'))) {
            const QString name = step.section(QLatin1Char(' '), 0, 0);
            auto *view = w->findChild<QAbstractItemView *>(name.section(QLatin1Char('#'), 0, 0));
            const int r = name.section(QLatin1Char('#'), 1).toInt();
            if (!view || r >= view->model()->rowCount()) {
                trouble << QStringLiteral("no row %1 to click").arg(name);
                return;
            }
            clickRow(view, r);
            step = step.section(QLatin1Char(' '), 1);
            if (step.isEmpty())
                return follow(w, steps, at);
        }
        opening(
            [&] {
                if (step.startsWith(QLatin1String("call:"))) {
                    QMetaObject::invokeMethod(w, step.mid(5).toLatin1().constData());
                    return;
                }
                auto *button = w->findChild<QAbstractButton *>(step);
                if (!button)
                    trouble << QStringLiteral("no button %1").arg(step);
                else if (button->isVisibleTo(w->window()))
                    QTest::mouseClick(button, Qt::LeftButton);
                else
                    button->click();
            },
            w, steps, at, step);
    }

    // Runs act, which opens a modal window, and goes on in that window.
    void opening(const std::function<void()> &act, QWidget *from, const QStringList &steps,
                 const std::function<void(QWidget *)> &at, const QString &what)
    {
        bool opened = false;
        ZnModalHelper helper;
        helper.onModal(
            [&](QWidget *m) {
                opened = true;
                follow(m, steps, at);
                if (auto *d = qobject_cast<QDialog *>(m))
                    d->reject();
                else
                    m->close();
            },
            from ? from->window() : nullptr);
        act();
        if (!opened)
            trouble << QStringLiteral("%1 opened no window").arg(what);
    }

    // Goes the way `open` names (a start, then the steps) and hands the window
    // it ends in to at; the start is closed after it.
    void visit(const char *open, const std::function<void(QWidget *, const Start &)> &at)
    {
        QStringList steps = QString::fromUtf8(open).split(QStringLiteral(" > "));
        const auto all = starts();
        const auto found = all.find(steps.takeFirst());
        QVERIFY2(found != all.end(), open);
        Start start = found->second();
        const auto here = [&](QWidget *w) { at(w, start); };
        if (start.opens) {
            opening(start.opens, nullptr, steps, here, QString::fromUtf8(open));
        } else {
            start.read->window()->show();
            QVERIFY(QTest::qWaitForWindowExposed(start.read->window()));
            QVERIFY(session->settle());
            if (start.ready)
                QVERIFY(QTest::qWaitFor(start.ready, 10000));
            follow(start.read, steps, here);
        }
        start.owned.reset();
    }

private slots:
    void initTestCase()
    {
        // The file worker writes debug lines from its own thread; QtTest's logger
        // reads the running test's name for each, which races with the switch to
        // the next test. Debug lines are not logged here.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        ZnModalGuard::install();
        znInitResources();
        // As the console does at start, from the program's folder.
        QVERIFY(QTranslator().load(QStringLiteral("./translate/zh.qm")));
        installTranslator();
        // A server that names no title, so that the console's own one shows.
        session = std::make_unique<SimSession>();
        session->sim.withData([](ZnSimData &d) {
            auto &rows = d.table("parameter");
            rows.erase(std::remove_if(rows.begin(), rows.end(),
                                      [](const Json::Value &r) { return r["name"].asString() == "System_Name"; }),
                       rows.end());
            // A stored time-out below what the page takes is still shown, as set.
            d.setParameter("Vad_Ptt_Time_Out", "30");
            // The fire panel has two channels; a short circuit on the second.
            for (Json::Value &alarm : d.table("firealarm")) {
                if (alarm["terminalId"] == "30001") {
                    alarm["broadcast"] = "1!!!2";
                    alarm["shortCircuit"] = "2";
                }
            }
            // An idle plan task to edit and an SDK task to stop.
            d.table("soundsource").push_back(taskRow(4, "Fire drill", 1, 2));
            d.table("soundsource").push_back(taskRow(5, "Paging link", 4, 1));
        });
        QVERIFY(startModels(*session));
        ZnSsTaskDataMgr::instance();
        QVERIFY(ZnNetLosssHandle::create(nullptr));
        // The media page and the task dialogs list the simulated file service.
        QVERIFY(files.start(0));
        TcpSocketClient::setServicePort(quint16(files.port()));
        oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QFile ini(QStringLiteral("config.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Setting]\nServerIp=127.0.0.1\nUser=admin\n");
        ini.close();
        LoginSettings::setInstance(new LoginSettings("config.ini"));
    }
    void cleanupTestCase()
    {
        TcpSocketClient::instance()->stop();
        files.stop();
        QDir::setCurrent(oldDir);
    }

    void reads_data()
    {
        QTest::addColumn<const Sight *>("sight");
        for (const std::vector<Sight> *rows : {&kShellSights, &kTerminalSights, &kTaskSights, &kMediaAndLogSights}) {
            for (const Sight &s : *rows)
                QTest::newRow(s.tag) << &s;
        }
    }
    void reads()
    {
        QFETCH(const Sight *, sight);
        row = sight;
        shown.clear();
        trouble.clear();
        visit(sight->open, [&](QWidget *w, const Start &start) {
            const bool first = w == start.read;
            readHere(w, first ? start.window : true, first ? start.skip : QList<QWidget *>());
        });
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(trouble.isEmpty(), qPrintable(trouble.join(QLatin1Char('\n'))));

        QStringList wrong;
        SightReader::Readings left = shown;
        left.remove(QStringLiteral("focus"));
        for (const char *entry : sight->reads) {
            const QString e = QString::fromUtf8(entry);
            if (e == QLatin1String("...")) {
                left.clear();
                continue;
            }
            if (e.startsWith(QLatin1Char('!'))) {
                const QString key = e.mid(1);
                left.remove(key);
                if (shown.contains(key))
                    wrong << QStringLiteral("%1: shown \"%2\", the row says hidden").arg(key, shown.value(key));
                continue;
            }
            const int colon = e.indexOf(QStringLiteral(": "));
            const QString key = colon < 0 ? e : e.left(colon);
            const QString expected = colon < 0 ? QString() : e.mid(colon + 2);
            left.remove(key);
            if (!shown.contains(key))
                wrong << QStringLiteral("%1: not shown, the row says \"%2\"").arg(key, expected);
            else if (!SightReader::fits(expected, shown.value(key)))
                wrong << QStringLiteral("%1: shown \"%2\", the row says \"%3\"").arg(key, shown.value(key), expected);
        }
        for (auto it = left.cbegin(); it != left.cend(); ++it)
            wrong << QStringLiteral("%1: shown \"%2\", not in the row").arg(it.key(), it.value());
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    // The status words in the cells of every family's page, the fire-alarm
    // channels and the task pages, in Chinese as the operator reads them.
    void statusWords_data()
    {
        QTest::addColumn<const StatusWords *>("words");
        for (const StatusWords &w : kStatusWords)
            QTest::newRow(w.tag) << &w;
    }
    void statusWords()
    {
        QFETCH(const StatusWords *, words);
        trouble.clear();
        QStringList expected, read;
        for (const char *cell : words->cells)
            expected << QString::fromUtf8(cell);
        visit(words->open, [&](QWidget *w, const Start &) {
            auto *t = w->findChild<QTableWidget *>(QLatin1String(words->table));
            if (!t) {
                trouble << QStringLiteral("no table %1").arg(QLatin1String(words->table));
                return;
            }
            const int column = columnHeaded(t, QString::fromUtf8(words->header));
            for (const QString &cell : expected) {
                const QString key = cell.section(QStringLiteral(": "), 0, 0);
                // The rows come with the lists the page asked for.
                if (!QTest::qWaitFor([&] { return rowHolding(t, key) >= 0; }, 5000))
                    trouble << QStringLiteral("no row holding %1").arg(key);
                const int r = rowHolding(t, key);
                const QTableWidgetItem *item = r >= 0 && column >= 0 ? t->item(r, column) : nullptr;
                read << key + QStringLiteral(": ") + (item ? item->text() : QStringLiteral("(no cell)"));
            }
        });
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(trouble.isEmpty(), qPrintable(trouble.join(QLatin1Char('\n'))));
        QCOMPARE(read, expected);
    }
};

QTEST_MAIN(TstOpeningTexts)
#include "tst_openingtexts.moc"
