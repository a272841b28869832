// A task page shows the list as it came after a refill (the last task on top)
// and its rows in start-time order after every pushed change, as sorting the
// whole table (stable, by the start text) after each change does: the first
// change after a refill sorts the table once, every later one puts its row in
// its place.
#include "ZnCommon.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnTimerTaskMgrForm.h"

#include <QTableWidget>
#include <QtTest>

#include <algorithm>
#include <list>
#include <memory>

namespace {

// The task manager's codes for a list and for one changed task.
enum { TaskList = 247, TaskChanged = 250 };

ZnSsTask task(int id, int seconds, int category = ZnSsTask::CategoryManual)
{
    ZnSsTask t;
    t.Id = id;
    t.Name = "T" + std::to_string(id);
    t.SourceCategory = category;
    if (seconds >= 0) {
        t.execTimes.emplace_back();
        t.execTimes.back().seconds = seconds;
    }
    return t;
}

QString startText(int seconds)
{
    return seconds < 0 ? QStringLiteral("------")
                       : QString::fromStdString(ZnCommon::formatDuration(static_cast<uint32_t>(seconds)));
}

// What the operator reads, top down: the name and the start time of each row.
QString rowsOf(QTableWidget *t)
{
    QStringList rows;
    for (int r = 0; r < t->rowCount(); ++r)
        rows << t->item(r, 0)->text() + QLatin1Char('@') + t->item(r, 1)->text();
    return rows.join(QLatin1Char(' '));
}

// "3@30 4@-1": tasks by id and start seconds (-1 no time).
std::list<ZnSsTask> tasksOf(const QStringList &words, int category = ZnSsTask::CategoryManual)
{
    std::list<ZnSsTask> tasks;
    for (const QString &w : words)
        tasks.push_back(
            task(w.section(QLatin1Char('@'), 0, 0).toInt(), w.section(QLatin1Char('@'), 1).toInt(), category));
    return tasks;
}

int seconds(const ZnSsTask &t)
{
    return int(t.execTimes.empty() ? -1 : t.execTimes.front().seconds);
}

void sortByStart(QList<QPair<int, QString>> &rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.second < b.second; });
}

QString expectedRows(const QList<QPair<int, QString>> &rows)
{
    QStringList texts;
    for (const auto &e : rows)
        texts << QStringLiteral("T%1@%2").arg(e.first).arg(e.second);
    return texts.join(QLatin1Char(' '));
}

} // namespace

class TstTaskOrder : public QObject
{
    Q_OBJECT
private slots:
    // Steps separated by ';': "L 1@30 2@-1" a new list (id@start seconds, -1 no
    // time), "P 2@10" one pushed task.
    void pushesKeepTimeOrder_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("redraws that keep the time") << "L 1@30 2@10 3@20; P 2@10; P 2@10; P 1@30";
        QTest::newRow("a time that moves the row") << "L 1@30 2@10 3@20; P 2@10; P 3@5; P 3@40; P 1@1";
        QTest::newRow("new tasks come in sorted") << "L 1@30; P 1@30; P 4@15; P 5@50; P 6@15";
        QTest::newRow("a new list, then pushes") << "L 1@30 2@10; P 1@30; L 7@3 8@2 9@1; P 8@2; P 7@3";
        QTest::newRow("equal and missing times keep their order") << "L 1@-1 2@10 3@10 4@-1; P 3@10; P 1@-1";
        QTest::newRow("a refill out of time order, then a push") << "L 1@30 2@10 3@-1 4@10; P 4@10";
        QTest::newRow("a refill, then a new time for the first row") << "L 1@5 2@10 3@20; P 3@40; P 3@10; P 2@1";
        QTest::newRow("a moved row among equal times") << "L 1@10 2@10 3@10 4@20; P 4@10; P 1@20; P 1@10";
    }
    void pushesKeepTimeOrder()
    {
        QFETCH(QString, steps);
        ZnSsTaskMgrForm page(ZnSsTask::CategoryManual);
        QTableWidget *t = page.tableWidget();
        // What the list in reverse order after the refill, sorted whole after
        // each push, gives: id and start text, top down.
        QList<QPair<int, QString>> expected;
        for (const QString &step : steps.split(QLatin1Char(';'))) {
            const QStringList words = step.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            std::list<ZnSsTask> tasks = tasksOf(words.mid(1));
            if (words.value(0) == QLatin1String("L")) {
                ZnSsTaskDataMgr::onNotify(TaskList, &tasks);
                expected.clear();
                for (const ZnSsTask &one : tasks)
                    expected.prepend({one.Id, startText(seconds(one))});
                QCOMPARE(rowsOf(t), expectedRows(expected));
                continue;
            } else {
                ZnSsTask &one = tasks.front();
                ZnSsTaskDataMgr::onNotify(TaskChanged, &one);
                const QString text = startText(seconds(one));
                auto at =
                    std::find_if(expected.begin(), expected.end(), [&](const auto &e) { return e.first == one.Id; });
                if (at != expected.end())
                    at->second = text;
                else
                    expected.prepend({one.Id, text});
            }
            sortByStart(expected);
            QCOMPARE(rowsOf(t), expectedRows(expected));
        }
    }

    // The rows the operator chose stay chosen and the current row stays
    // current when a change moves them: its own row, or every row when the
    // first change after a refill sorts the table.
    void movedRowsKeepSelection_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("refilled");
        QTest::addColumn<QString>("push");
        QTest::addColumn<QString>("pushed");
        QTest::addColumn<QString>("selected");
        QTest::newRow("a row moves in a sorted table") << "4@40 3@30 2@20 1@10"
                                                       << "T1@00:00:10 T2@00:00:20 T3@00:00:30 T4@00:00:40"
                                                       << "1@35"
                                                       << "T2@00:00:20 T3@00:00:30 T1@00:00:35 T4@00:00:40"
                                                       << "T3 T1";
        QTest::newRow("the first change sorts the table") << "1@10 2@20 3@30 4@40"
                                                          << "T4@00:00:40 T3@00:00:30 T2@00:00:20 T1@00:00:10"
                                                          << "3@5"
                                                          << "T3@00:00:05 T1@00:00:10 T2@00:00:20 T4@00:00:40"
                                                          << "T2 T4";
        QTest::newRow("the first change is a new task") << "1@10 2@20"
                                                        << "T2@00:00:20 T1@00:00:10"
                                                        << "5@15"
                                                        << "T1@00:00:10 T5@00:00:15 T2@00:00:20"
                                                        << "T2";
    }
    void movedRowsKeepSelection()
    {
        QFETCH(QString, list);
        QFETCH(QString, refilled);
        QFETCH(QString, push);
        QFETCH(QString, pushed);
        QFETCH(QString, selected);
        ZnSsTaskMgrForm page(ZnSsTask::CategoryManual);
        QTableWidget *t = page.tableWidget();
        std::list<ZnSsTask> tasks = tasksOf(list.split(QLatin1Char(' ')));
        ZnSsTaskDataMgr::onNotify(TaskList, &tasks);
        QCOMPARE(rowsOf(t), refilled);
        // The top row is current; it and the third row (when there is one) are chosen.
        const QString current = t->item(0, 0)->text();
        t->setCurrentCell(0, 0);
        t->selectRow(0);
        if (t->rowCount() > 2)
            t->selectionModel()->select(t->model()->index(2, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        std::list<ZnSsTask> one = tasksOf({push});
        ZnSsTaskDataMgr::onNotify(TaskChanged, &one.front());
        QCOMPARE(rowsOf(t), pushed);
        QCOMPARE(t->item(t->currentRow(), 0)->text(), current);
        QStringList chosen;
        for (int r = 0; r < t->rowCount(); ++r) {
            if (t->selectionModel()->isRowSelected(r, QModelIndex()))
                chosen << t->item(r, 0)->text();
        }
        QCOMPARE(chosen.join(QLatin1Char(' ')), selected);
    }

    // The plan and SDK pages show the list as it came, the last task on top;
    // the timer page sorts its plan's tasks by start time after its refill.
    void pagesRefillInTheirOrder_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("rows");
        QTest::newRow("plan page") << int(ZnSsTask::CategoryPlan) << "T4@00:00:10 T3@------ T2@00:00:10 T1@00:00:30";
        QTest::newRow("SDK page") << int(ZnSsTask::CategorySdk) << "T4@00:00:10 T3@------ T2@00:00:10 T1@00:00:30";
        QTest::newRow("timer page") << int(ZnSsTask::CategoryTimer) << "T3@------ T4@00:00:10 T2@00:00:10 T1@00:00:30";
    }
    void pagesRefillInTheirOrder()
    {
        QFETCH(int, category);
        QFETCH(QString, rows);
        const int plan = 7;
        std::unique_ptr<ZnBaseTaskMgrForm> page;
        if (category == ZnSsTask::CategoryPlan)
            page = std::make_unique<ZnPlanTaskMgrForm>();
        else if (category == ZnSsTask::CategoryTimer)
            page = std::make_unique<ZnTimerTaskMgrForm>(category);
        else
            page = std::make_unique<ZnSsTaskMgrForm>(category);
        std::list<ZnSsTask> tasks = tasksOf(QStringLiteral("1@30 2@10 3@-1 4@10").split(QLatin1Char(' ')), category);
        for (ZnSsTask &t : tasks)
            t.TimerPlanId = plan;
        tasks.push_back(task(5, 5, ZnSsTask::CategoryManual)); // another page's task
        ZnSsTaskDataMgr::onNotify(TaskList, &tasks);
        if (auto *timer = dynamic_cast<ZnTimerTaskMgrForm *>(page.get()))
            timer->slot_showTaskList(plan);
        QCOMPARE(rowsOf(page->tableWidget()), rows);
    }
};

QTEST_MAIN(TstTaskOrder)
#include "tst_taskorder.moc"
