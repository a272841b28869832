// A task page keeps its rows in start-time order after every pushed change, as
// sorting the whole table after each push did, but sorts only when a start time
// changed or a row came in.
#include "ZnCommon.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskMgrForm.h"

#include <QTableWidget>
#include <QtTest>

#include <algorithm>
#include <list>

namespace {

// The task manager's codes for a list and for one changed task.
enum { TaskList = 247, TaskChanged = 250 };

ZnSsTask task(int id, int seconds)
{
    ZnSsTask t;
    t.Id = id;
    t.Name = "T" + std::to_string(id);
    t.SourceCategory = ZnSsTask::CategoryManual;
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

QString idsOf(QTableWidget *t)
{
    QStringList ids;
    for (int r = 0; r < t->rowCount(); ++r)
        ids << t->item(r, 0)->data(Qt::UserRole).toString();
    return ids.join(QLatin1Char(' '));
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
    }
    void pushesKeepTimeOrder()
    {
        QFETCH(QString, steps);
        ZnSsTaskMgrForm page(ZnSsTask::CategoryManual);
        QTableWidget *t = page.tableWidget();
        // What sorting the whole table after each push gives: id and start text, top down.
        QList<QPair<int, QString>> expected;
        for (const QString &step : steps.split(QLatin1Char(';'))) {
            const QStringList words = step.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            std::list<ZnSsTask> tasks;
            for (const QString &w : words.mid(1))
                tasks.push_back(task(w.section(QLatin1Char('@'), 0, 0).toInt(), w.section(QLatin1Char('@'), 1).toInt()));
            if (words.value(0) == QLatin1String("L")) {
                ZnSsTaskDataMgr::onNotify(TaskList, &tasks);
                expected.clear();
                for (const ZnSsTask &one : tasks)
                    expected.prepend({one.Id, startText(int(one.execTimes.empty() ? -1 : one.execTimes.front().seconds))});
            } else {
                ZnSsTask &one = tasks.front();
                ZnSsTaskDataMgr::onNotify(TaskChanged, &one);
                const QString text = startText(int(one.execTimes.empty() ? -1 : one.execTimes.front().seconds));
                auto at = std::find_if(expected.begin(), expected.end(), [&](const auto &e) { return e.first == one.Id; });
                if (at != expected.end())
                    at->second = text;
                else
                    expected.prepend({one.Id, text});
                std::stable_sort(expected.begin(), expected.end(),
                                 [](const auto &a, const auto &b) { return a.second < b.second; });
            }
            QStringList ids;
            for (const auto &e : expected)
                ids << QString::number(e.first);
            QCOMPARE(idsOf(t), ids.join(QLatin1Char(' ')));
        }
    }
};

QTEST_MAIN(TstTaskOrder)
#include "tst_taskorder.moc"
