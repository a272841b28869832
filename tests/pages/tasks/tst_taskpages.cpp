#include "QtSchemeInfo.h"
#include "TaskSim.h"
#include "TcpSocketClient.h"
#include "ZnApi.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnSimFileService.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnTimerTaskEditDialog.h"
#include "ZnTimerTaskMgrForm.h"

#include <QSignalSpy>
#include <QTimeEdit>
#include <QtTest>

#include <map>

// The four task pages and the timer-plan panel against the simulated server and
// file service.
class TstTaskPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void pagesListTheirTasks_data();
    void pagesListTheirTasks();
    void timerPageFollowsThePanel();
    void taskActions_data();
    void taskActions();
    void planPanelRefusals_data();
    void planPanelRefusals();
    void planTaskStartStopDelete();
    void cleanupTestCase();

private:
    void showPlan(int row);
    // Actions and ids of the task requests sent since init().
    QStringList sentTasks();

    SimSession s;
    ZnSimFileService files;
    std::map<QString, std::unique_ptr<ZnBaseTaskMgrForm>> pages;
    ZnTimerTaskMgrForm *timer = nullptr;
    size_t sentBefore = 0;
};

namespace {
std::vector<Json::Value> tasks()
{
    return {taskRow(1, "P1", 1, 2),
            taskRow(2, "Mic", 1, 2, -1, "", 4),
            taskRow(3, "M1", 2, 2),
            taskRow(4, "M2", 2, 1),
            taskRow(5, "M3", 2, 2),
            taskRow(6, "S1", 4, 2),
            taskRow(7, "T1", 3, 2, 1, "b#$%30000"),
            taskRow(8, "T2", 3, 2, 2),
            taskRow(9, "T0", 3, 2, 1, "a#$%3600")};
}

Json::Value planRow(int id, const std::string &name, int enable)
{
    Json::Value r(Json::objectValue);
    r["timerplanId"] = std::to_string(id);
    r["name"] = name;
    r["enable"] = std::to_string(enable);
    return r;
}
} // namespace

void TstTaskPages::initTestCase()
{
    s.sim.setPushChanges(true);
    s.sim.withData([](ZnSimData &d) {
        d.table("soundsource") = tasks();
        d.table("timerplan") = {planRow(1, "Weekdays", 1), planRow(2, "Holidays", 0), planRow(3, "Empty", 1)};
    });
    QVERIFY(startModels(s));
    QVERIFY(files.start(0));
    TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(files.port()));
    TcpSocketClient::instance()->start();
    TcpSocketClient::instance()->addGetFileRootTask();
    QTRY_VERIFY(!TcpSocketClient::instance()->mediaRoot().isEmpty());
    pages[QStringLiteral("plan")].reset(new ZnPlanTaskMgrForm);
    pages[QStringLiteral("manual")].reset(new ZnSsTaskMgrForm(2));
    QTRY_COMPARE(rowsOf(pages[QStringLiteral("manual")]->tableWidget()), QStringLiteral("5:M3 4:M2 3:M1"));
    pages[QStringLiteral("sdk")].reset(new ZnSsTaskMgrForm(4));
    pages[QStringLiteral("timer")].reset(timer = new ZnTimerTaskMgrForm(3));
    timer->show();
    // Built after the plan list came, and while it is held: each reports its first plan.
    QTRY_COMPARE(timer->form().fSchemeNameText->text(), QStringLiteral("Weekdays"));
    ZnTimerTaskMgrForm late(3);
    QTRY_COMPARE(late.form().fSchemeNameText->text(), QStringLiteral("Weekdays"));
}

void TstTaskPages::init()
{
    // Back to the sample tasks, and the timer page on plan 1.
    s.sim.clearRules();
    s.sim.withData([](ZnSimData &d) { d.table("soundsource") = tasks(); });
    QSignalSpy list(ZnSsTaskDataMgr::instance(), &ZnSsTaskDataMgr::gotTaskList);
    QCOMPARE(apiGetSoundSourceTaskList(s.centre.get()), 0);
    QVERIFY(SimSession::spinUntil([&] { return list.count() == 1; }));
    QCoreApplication::processEvents();
    QTRY_COMPARE(timer->schemePanel()->table()->rowCount(), 3);
    showPlan(0);
    sentBefore = s.requests("POST SoundSource").size();
}

void TstTaskPages::showPlan(int row)
{
    QTableWidget *plans = timer->schemePanel()->table();
    plans->setCurrentCell(row, 0);
    emit plans->cellClicked(row, 0);
}

QStringList TstTaskPages::sentTasks()
{
    QStringList out;
    const std::vector<ZnSimRequest> sent = s.requests("POST SoundSource");
    for (size_t i = sentBefore; i < sent.size(); ++i) {
        const Json::Value b = jsonOf(sent[i].body);
        out << QString::fromStdString(b["Action"].asString() + " " + b["Id"].asString());
    }
    return out;
}

void TstTaskPages::pagesListTheirTasks_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("rows");
    QTest::newRow("plan") << QStringLiteral("plan") << QStringLiteral("2:Mic 1:P1");
    QTest::newRow("manual, reverse list order") << QStringLiteral("manual") << QStringLiteral("5:M3 4:M2 3:M1");
    QTest::newRow("sdk") << QStringLiteral("sdk") << QStringLiteral("6:S1");
    QTest::newRow("timer, plan 1 by start time") << QStringLiteral("timer") << QStringLiteral("9:T0 7:T1");
}

void TstTaskPages::pagesListTheirTasks()
{
    QFETCH(QString, which);
    QTEST(rowsOf(pages[which]->tableWidget()), "rows");
}

// The panel's clicked plan is shown; a disabled plan starts nothing; a change of
// another plan's task adds no row; a plan without tasks shows none.
void TstTaskPages::timerPageFollowsThePanel()
{
    QCOMPARE(columnOf(timer->tableWidget(), 1), QStringLiteral("01:00:00 08:20:00"));
    showPlan(1);
    QCOMPARE(rowsOf(timer->tableWidget()), QStringLiteral("8:T2"));
    QCOMPARE(timer->form().fSchemeNameText->text(), QStringLiteral("Holidays"));
    clickIds(timer->tableWidget(), {8});
    QVERIFY(
        clickThrough(timer, QStringLiteral("fStartTask"), {yes()}).value(0).contains(QStringLiteral("方案已禁用!")));
    QCOMPARE(sentTasks(), QStringList());

    // A task of plan 1 and a manual task change: neither shows on plan 2.
    Json::Value rows(Json::arrayValue);
    rows.append(taskRow(7, "T1b", 3, 2, 1));
    rows.append(taskRow(3, "M1b", 2, 2));
    QSignalSpy changed(ZnSsTaskDataMgr::instance(), &ZnSsTaskDataMgr::taskChanged);
    s.sim.pushPost("SqlConfig", "soundsource", ZnSimData::json(rows));
    QVERIFY(SimSession::spinUntil([&] { return changed.count() == 2; }));
    QCoreApplication::processEvents();
    QCOMPARE(rowsOf(timer->tableWidget()), QStringLiteral("8:T2"));
    QCOMPARE(rowsOf(pages[QStringLiteral("manual")]->tableWidget()), QStringLiteral("5:M3 4:M2 3:M1b"));

    showPlan(2);
    QCOMPARE(timer->tableWidget()->rowCount(), 0);
}

// By the shown states: deletion and start skip running tasks, stop asks first and
// skips idle ones; only result 0 counts, and a refusal's reason is shown once, by
// the page that asked.
void TstTaskPages::taskActions_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QStringList>("boxes"); // each box's text contains its entry
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("after"); // rows and states
    const QString running = QStringLiteral("Task is runnig");
    QTest::newRow("delete skips the running task")
        << QStringLiteral("fDelBtn") << QList<int>{3, 4, 5} << QString() << QStringList{QString(), running}
        << QStringLiteral("Del 5 Del 3") << QStringLiteral("4:M2 Running");
    const QString locked = QStringLiteral("Task 3 is locked");
    QTest::newRow("refused deletion keeps the row")
        << QStringLiteral("fDelBtn") << QList<int>{3} << locked << QStringList{QString(), locked}
        << QStringLiteral("Del 3") << QStringLiteral("5:M3 4:M2 3:M1 Idle Running Idle");
    QTest::newRow("start only the idle one")
        << QStringLiteral("fStartTask") << QList<int>{3, 4} << QString() << QStringList() << QStringLiteral("Start 3")
        << QStringLiteral("5:M3 4:M2 3:M1 Idle Running Running");
    QTest::newRow("stop asks, only the running one")
        << QStringLiteral("fStopTask") << QList<int>{4, 5} << QString() << QStringList{QStringLiteral("停止选择任务？")}
        << QStringLiteral("Stop 4") << QStringLiteral("5:M3 4:M2 3:M1 Idle Idle Idle");
}

void TstTaskPages::taskActions()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, ids);
    QFETCH(QString, refusal);
    QFETCH(QStringList, boxes);
    QFETCH(QString, sent);
    QFETCH(QString, after);
    ZnBaseTaskMgrForm *manual = pages[QStringLiteral("manual")].get();
    if (!refusal.isEmpty())
        s.sim.addRule(ZnSimRule::make("POST SoundSource", ZnSimRule::Fail, refusal.toStdString()));
    clickIds(manual->tableWidget(), ids);
    const QStringList seen = clickThrough(manual, button, std::vector<ModalChain::Action>(size_t(boxes.size()), yes()));
    QCOMPARE(seen.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i)
        QVERIFY2(seen[i].contains(boxes[i]), qPrintable(seen[i]));
    QTRY_COMPARE(rowsOf(manual->tableWidget()) + QLatin1Char(' ') + columnOf(manual->tableWidget(), 3), after);
    QCOMPARE(sentTasks().join(QLatin1Char(' ')), sent);
    // A refusal nobody on these pages asked for shows nothing (the slots run within the emit).
    ModalChain more;
    more.arm(std::vector<ModalChain::Action>(pages.size(), yes()));
    emit ZnSsTaskDataMgr::instance()->taskDeleteFailed(QStringLiteral("not ours"));
    QCOMPARE(more.seen, QStringList());
}

// Refused before anything is sent; the panel keeps its plans.
void TstTaskPages::planPanelRefusals_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name"); // typed into the property dialog
    QTest::addColumn<QString>("message");
    QTest::newRow("default plan kept, nothing asked")
        << 0 << QStringLiteral("fSchDelBtn") << QString() << QStringLiteral("默认方案不可以删除！");
    QTest::newRow("unchanged edit sends nothing")
        << 2 << QStringLiteral("fSchEditBtn") << QStringLiteral("Empty") << QString();
    QTest::newRow("empty name refused") << 2 << QStringLiteral("fSchNewBtn") << QString()
                                        << QStringLiteral("方案名称不可以空!");
}

void TstTaskPages::planPanelRefusals()
{
    QFETCH(int, row);
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QtSchemeInfo *panel = timer->schemePanel();
    panel->table()->setCurrentCell(row, 0);
    const int before = s.sim.count("POST TimerPlan");
    // A refusal inside the property dialog opens while its OK click runs.
    QStringList inner;
    const ModalChain::Action step = button == QLatin1String("fSchDelBtn") ? yes() : [&](QWidget *w) {
        ZnModalHelper box;
        box.answer(QStringLiteral("ConfirmButton"), w);
        fill(QStringLiteral("fSchemeNameLe"), name, QStringLiteral("fOkButton"))(w);
        inner << box.seenTexts();
        if (w->isVisible())
            ModalChain::click(QStringLiteral("fCancelButton"))(w);
    };
    const QStringList seen = clickThrough(panel, button, {step}) + inner;
    QVERIFY2(seen.join(QLatin1Char('|')).contains(message), qPrintable(seen.join(QLatin1Char('|'))));
    QCOMPARE(columnOf(panel->table(), 0), QStringLiteral("Weekdays Holidays Empty"));
    QCOMPARE(s.sim.count("POST TimerPlan"), before);
}

// The operator's whole road through the real dialogs: a new plan, a timer task in
// it with two execution times, a region and a file from the media browser,
// started, stopped, deleted, then the plan.
void TstTaskPages::planTaskStartStopDelete()
{
    QtSchemeInfo *panel = timer->schemePanel();
    clickThrough(panel, QStringLiteral("fSchNewBtn"),
                 {fill(QStringLiteral("fSchemeNameLe"), QStringLiteral("Flow"), QStringLiteral("fOkButton"))});
    QTRY_COMPARE(columnOf(panel->table(), 0), QStringLiteral("Weekdays Holidays Empty Flow"));
    showPlan(3);
    QCOMPARE(timer->form().fSchemeNameText->text(), QStringLiteral("Flow"));
    const int planId = timer->schemeId();
    QCOMPARE(timer->tableWidget()->rowCount(), 0);

    clickThrough(
        timer, QStringLiteral("fNewBtn"), {[&](QWidget *w) {
            Ui::fTimerTaskEditDialog &f = qobject_cast<ZnTimerTaskEditDialog *>(w)->form();
            f.fNameEdit->setText(QStringLiteral("Flow task"));
            for (const QTime &t : {QTime(12, 0), QTime(7, 30)}) {
                clickThrough(w, QStringLiteral("fTimeAddBtn"), {[t](QWidget *e) {
                                 e->findChild<QTimeEdit *>(QStringLiteral("fExecTimeEdit"))->setTime(t);
                                 ModalChain::click(QStringLiteral("fOkBtn"))(e);
                             }});
            }
            clickIds(f.fRegionTable, {1});
            f.fFileTableWidget->selectRow(
                f.fFileTableWidget->findItems(QStringLiteral("school_song.mp3"), Qt::MatchExactly).value(0)->row());
            f.fAddPlayListBtn->click();
            f.fTypeComboBox->setCurrentIndex(0);
            ModalChain::click(QStringLiteral("fOkBtn"))(w);
        }});
    const Json::Value sent = lastBody(s, "POST SoundSource");
    QCOMPARE(sent["Action"].asString(), std::string("Add"));
    QCOMPARE(sent["TimerPlanId"].asString(), std::to_string(planId));
    QCOMPARE(sent["ExecuteTime"].asString(), std::string("执行时间#$%27000!!!执行时间#$%43200"));
    QCOMPARE(sent["TerminalId"].asString(), std::string("10001 10002"));
    QCOMPARE(sent["SourceContent"].asString(), std::string("/data/mp3/school_song.mp3"));
    QTRY_COMPARE(columnOf(timer->tableWidget(), 0), QStringLiteral("Flow task"));
    QCOMPARE(columnOf(timer->tableWidget(), 1), QStringLiteral("07:30:00"));
    const int id = timer->itemValue(0, 0);

    // Started, then stopped after the question: the states the server pushes reach the row.
    clickIds(timer->tableWidget(), {id});
    timer->form().fStartTask->click();
    QTRY_COMPARE(columnOf(timer->tableWidget(), 3), QStringLiteral("Running"));
    clickThrough(timer, QStringLiteral("fStopTask"), {yes()});
    QTRY_COMPARE(columnOf(timer->tableWidget(), 3), QStringLiteral("Idle"));

    // The plan keeps its task; the task is deleted, then the plan.
    QVERIFY(clickThrough(panel, QStringLiteral("fSchDelBtn"), {yes(), yes()})
                .value(1)
                .contains(QStringLiteral("删除方案失败，如有任务请先删除!")));
    clickThrough(timer, QStringLiteral("fDelBtn"), {yes()});
    QTRY_COMPARE(timer->tableWidget()->rowCount(), 0);
    ZnSsTask gone;
    QVERIFY(!ZnSsTaskDataMgr::instance()->getTask(id, gone));
    clickThrough(panel, QStringLiteral("fSchDelBtn"), {yes()});
    QTRY_COMPARE(columnOf(panel->table(), 0), QStringLiteral("Weekdays Holidays Empty"));
}

void TstTaskPages::cleanupTestCase()
{
    TcpSocketClient::instance()->stop();
    files.stop();
}

QTEST_MAIN(TstTaskPages)
#include "tst_taskpages.moc"
