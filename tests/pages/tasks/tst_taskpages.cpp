#include "QtSchemeInfo.h"
#include "TaskSim.h"
#include "ZnApi.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnSchemeList.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnTimerTaskMgrForm.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

// The four task pages and the timer-plan panel against the simulated server.
class TstTaskPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void pagesListTheirTasks_data();
    void pagesListTheirTasks();
    void timerPageFollowsThePanel();
    void deleteSkipsRunningTasks();
    void refusedDeletionKeepsTheRow();
    void startAndStopByShownState();
    void planChangesThroughThePanel_data();
    void planChangesThroughThePanel();

private:
    ZnBaseTaskMgrForm *page(const QString &which);
    void select(ZnBaseTaskMgrForm *p, const QList<int> &ids);
    // Actions and ids of the task requests sent since init().
    QStringList sentTasks();

    SimSession s;
    std::unique_ptr<ZnPlanTaskMgrForm> plan;
    std::unique_ptr<ZnSsTaskMgrForm> manual, sdk;
    std::unique_ptr<ZnTimerTaskMgrForm> timer;
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
} // namespace

void TstTaskPages::initTestCase()
{
    s.sim.setPushChanges(true);
    s.sim.withData([](ZnSimData &d) {
        d.table("soundsource") = tasks();
        d.table("timerplan") = {planRow(1, "Weekdays", 1), planRow(2, "Holidays", 0), planRow(3, "Empty", 1)};
    });
    QVERIFY(startModels(s));
    QSignalSpy list(ZnSsTaskDataMgr::instance(), &ZnSsTaskDataMgr::gotTaskList);
    plan.reset(new ZnPlanTaskMgrForm);
    manual.reset(new ZnSsTaskMgrForm(2));
    sdk.reset(new ZnSsTaskMgrForm(4));
    timer.reset(new ZnTimerTaskMgrForm(3));
    timer->show();
    QTRY_COMPARE(rowsOf(manual->tableWidget()), QStringLiteral("5:M3 4:M2 3:M1"));
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
    QTableWidget *plans = timer->schemePanel()->table();
    QTRY_COMPARE(plans->rowCount(), 3);
    plans->setCurrentCell(0, 0);
    emit plans->cellClicked(0, 0);
    sentBefore = s.requests("POST SoundSource").size();
}

ZnBaseTaskMgrForm *TstTaskPages::page(const QString &which)
{
    if (which == QLatin1String("plan"))
        return plan.get();
    if (which == QLatin1String("manual"))
        return manual.get();
    return which == QLatin1String("sdk") ? static_cast<ZnBaseTaskMgrForm *>(sdk.get()) : timer.get();
}

void TstTaskPages::select(ZnBaseTaskMgrForm *p, const QList<int> &ids)
{
    QTableWidget *t = p->tableWidget();
    t->clearSelection();
    t->setSelectionMode(QAbstractItemView::MultiSelection);
    for (int id : ids)
        t->selectRow(p->findRowById(id));
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
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
    QTEST(rowsOf(page(which)->tableWidget()), "rows");
}

// The panel reports the first plan, then the clicked one; a disabled plan starts
// nothing; a change of another plan's task adds no row.
void TstTaskPages::timerPageFollowsThePanel()
{
    QTableWidget *plans = timer->schemePanel()->table();
    QCOMPARE(timer->form().fSchemeNameText->text(), QStringLiteral("Weekdays"));
    QCOMPARE(columnOf(timer->tableWidget(), 1), QStringLiteral("01:00:00 08:20:00"));

    plans->setCurrentCell(1, 0);
    emit plans->cellClicked(1, 0);
    QCOMPARE(rowsOf(timer->tableWidget()), QStringLiteral("8:T2"));
    QCOMPARE(timer->form().fSchemeNameText->text(), QStringLiteral("Holidays"));
    select(timer.get(), {8});
    ModalChain box;
    box.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    timer->form().fStartTask->click();
    QTRY_COMPARE(box.seen.size(), 1);
    QVERIFY(box.seen.at(0).contains(QStringLiteral("方案已禁用!")));
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
    QCOMPARE(rowsOf(manual->tableWidget()), QStringLiteral("5:M3 4:M2 3:M1b"));

    plans->setCurrentCell(2, 0);
    emit plans->cellClicked(2, 0);
    QCOMPARE(timer->tableWidget()->rowCount(), 0);
}

// Three selected, the middle one running: one question, one refusal, two deletions.
void TstTaskPages::deleteSkipsRunningTasks()
{
    select(manual.get(), {3, 4, 5});
    ModalChain boxes;
    boxes.arm({ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton"))});
    manual->form().fDelBtn->click();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY(boxes.seen.at(1).contains(QStringLiteral("Task is runnig, it is not editable!")));
    QCOMPARE(sentTasks(), (QStringList{QStringLiteral("Del 5"), QStringLiteral("Del 3")}));
    QTRY_COMPARE(rowsOf(manual->tableWidget()), QStringLiteral("4:M2"));
}

// The server refuses: its reason is shown once, by the page that asked, and the
// row stays.
void TstTaskPages::refusedDeletionKeepsTheRow()
{
    s.sim.addRule(ZnSimRule::make("POST SoundSource", ZnSimRule::Fail, "Task 3 is locked"));
    select(manual.get(), {3});
    ModalChain boxes;
    boxes.arm({ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton"))});
    manual->form().fDelBtn->click();
    QTRY_COMPARE(boxes.seen.size(), 2);
    QVERIFY(boxes.seen.at(1).contains(QStringLiteral("Task 3 is locked")));
    // A refusal nobody on these pages asked for shows nothing (the pages' slots run
    // within the emit).
    ZnModalHelper more;
    more.answer(QStringLiteral("ConfirmButton"));
    emit ZnSsTaskDataMgr::instance()->taskDeleteFailed(QStringLiteral("not ours"));
    QVERIFY(!more.handled());
    QCOMPARE(rowsOf(manual->tableWidget()), QStringLiteral("5:M3 4:M2 3:M1"));
}

// The shown states decide: start sends only for the idle task, stop asks first and
// sends only for the running one; the pushed state reaches the row.
void TstTaskPages::startAndStopByShownState()
{
    select(manual.get(), {3, 4});
    manual->form().fStartTask->click();
    QCOMPARE(sentTasks(), QStringList{QStringLiteral("Start 3")});
    QTRY_COMPARE(manual->tableWidget()->item(manual->findRowById(3), 3)->text(), QStringLiteral("Running"));

    select(manual.get(), {4, 5});
    ModalChain ask;
    ask.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    manual->form().fStopTask->click();
    QTRY_COMPARE(ask.seen.size(), 1);
    QVERIFY(ask.seen.at(0).contains(QStringLiteral("停止选择任务？")));
    QCOMPARE(sentTasks(), (QStringList{QStringLiteral("Start 3"), QStringLiteral("Stop 4")}));
    QTRY_COMPARE(manual->tableWidget()->item(manual->findRowById(4), 3)->text(), QStringLiteral("Idle"));
}

void TstTaskPages::planChangesThroughThePanel_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("name"); // typed into the property dialog
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("plans"); // the panel's names afterwards
    QTest::newRow("default plan kept, nothing asked")
        << 0 << QStringLiteral("fSchDelBtn") << QStringLiteral("") << QStringLiteral("默认方案不可以删除！")
        << QStringLiteral("Weekdays Holidays Empty");
    QTest::newRow("unchanged edit sends nothing") << 2 << QStringLiteral("fSchEditBtn") << QStringLiteral("Empty")
                                                  << QStringLiteral("") << QStringLiteral("Weekdays Holidays Empty");
    QTest::newRow("empty name refused") << 2 << QStringLiteral("fSchNewBtn") << QStringLiteral("")
                                        << QStringLiteral("方案名称不可以空!")
                                        << QStringLiteral("Weekdays Holidays Empty");
}

void TstTaskPages::planChangesThroughThePanel()
{
    QFETCH(int, row);
    QFETCH(QString, button);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(QString, plans);
    QtSchemeInfo *panel = timer->schemePanel();
    panel->table()->setCurrentCell(row, 0);
    const int before = s.sim.count("POST TimerPlan");
    // A refusal inside the property dialog opens while its OK click runs: it is
    // answered from within the dialog's step.
    QStringList seen;
    std::vector<ModalChain::Action> steps;
    if (button == QLatin1String("fSchDelBtn") && row != 0)
        steps.push_back(ModalChain::click(QStringLiteral("ConfirmButton"))); // the question
    if (button != QLatin1String("fSchDelBtn")) {
        steps.push_back([name, message, &seen](QWidget *w) {
            w->findChild<QLineEdit *>(QStringLiteral("fSchemeNameLe"))->setText(name);
            ZnModalHelper box;
            if (!message.isEmpty())
                box.answer(QStringLiteral("ConfirmButton"), w);
            ModalChain::click(QStringLiteral("fOkButton"))(w);
            seen << box.seenTexts();
            if (w->isVisible())
                ModalChain::click(QStringLiteral("fCancelButton"))(w);
        });
    } else if (!message.isEmpty()) {
        steps.push_back(ModalChain::click(QStringLiteral("ConfirmButton")));
    }
    ModalChain chain;
    chain.arm(steps);
    ModalChain::click(button)(panel);
    QTRY_COMPARE(chain.seen.size(), int(steps.size()));
    if (!message.isEmpty())
        QVERIFY((chain.seen + seen).join(QLatin1Char('|')).contains(message));
    QCOMPARE(columnOf(panel->table(), 0), plans);
    QCOMPARE(s.sim.count("POST TimerPlan") - before, button == QLatin1String("fSchDelBtn") && row != 0 ? 1 : 0);
}

QTEST_MAIN(TstTaskPages)
#include "tst_taskpages.moc"
