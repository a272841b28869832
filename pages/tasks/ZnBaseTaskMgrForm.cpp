#include "ZnBaseTaskMgrForm.h"

#include "BaseMessageDialog.h"
#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTableFill.h"
#include "ZnTableRowIndex.h"
#include "ZnTimerTaskEditDialog.h"
#include "ZnTipsInfo.h"

#include <QTableWidget>

#include <algorithm>

namespace {
const char kNoTime[] = "------";
enum Column { NameCol, TimeCol, TypeCol, StateCol, VolumeCol, CountCol, ContentCol, ColumnCount };
}

ZnBaseTaskMgrForm::ZnBaseTaskMgrForm(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    initTexts();
    QTableWidget *t = ui.fTaskTableWidget;
    t->setColumnCount(ColumnCount);
    t->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), QStringLiteral("开始时间"), tr("Broadcast Type"), tr("State"),
                                  tr("Play Volume"), QStringLiteral("次数/时长"), QStringLiteral("播放内容")});
    initTable();
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);

    ZnSsTaskDataMgr *model = ZnSsTaskDataMgr::instance();
    connect(model, SIGNAL(taskChanged(int)), this, SLOT(slot_updateTaskRow(int)));
    connect(model, SIGNAL(taskDeleted(int)), this, SLOT(slot_delTaskRow(int)));
    connect(model, SIGNAL(taskDeleteFailed(QString)), this, SLOT(slot_delTaskFailed(QString)));
    connect(ui.fDelBtn, SIGNAL(clicked()), this, SLOT(slot_deleteClicked()));
}

void ZnBaseTaskMgrForm::hideSchemeRow()
{
    ui.fSchemeTitleText->hide();
    ui.fSchemeNameText->hide();
    ui.fTaskTableWidget->setColumnHidden(TimeCol, true);
}

void ZnBaseTaskMgrForm::initTexts()
{
    ui.fEditBtn->setText(tr("Edit"));
    ui.tableNameLable->setText(tr("Task List"));
}

QString ZnBaseTaskMgrForm::sourceTypeText(int type)
{
    switch (type) {
    case ZnSsTask::SourceCapture:
        return tr("Cap Broadcast");
    case ZnSsTask::SourceTts:
        return tr("TTS Broadcast");
    case ZnSsTask::SourceMic:
        return tr("Mic Broadcast");
    default:
        return tr("File Play Broadcast");
    }
}

QString ZnBaseTaskMgrForm::stateText(int state)
{
    switch (state) {
    case ZnSsTask::StateUndetermined:
        return tr("Unknow");
    case ZnSsTask::StateRunning:
        return tr("Running");
    case ZnSsTask::StateIdle:
        return tr("Idle");
    default:
        return tr("Illegality");
    }
}

void ZnBaseTaskMgrForm::addTaskRow(const ZnSsTask &task)
{
    ui.fTaskTableWidget->insertRow(0);
    fillTaskRow(0, task);
}

QString ZnBaseTaskMgrForm::startText(const ZnSsTask &task)
{
    return task.execTimes.empty() ? QString::fromLatin1(kNoTime)
                                  : QString::fromStdString(ZnCommon::formatDuration(
                                      static_cast<uint32_t>(std::max<int64_t>(0, task.execTimes.front().seconds))));
}

void ZnBaseTaskMgrForm::fillTaskRow(int row, const ZnSsTask &task)
{
    QTableWidget *t = ui.fTaskTableWidget;
    const std::string count = task.PlayTimes != 0
                                  ? std::to_string(task.PlayTimes)
                                  : ZnCommon::formatDuration(static_cast<uint32_t>(std::max(0, task.Duration)));
    // A pushed change mostly repeats most of the row: a cell that already shows
    // the text and holds the data stays, with no item freed and made again.
    auto put = [t, row](int column, const QString &text, quint64 data) {
        const QTableWidgetItem *old = t->item(row, column);
        if (old && old->text() == text && old->data(Qt::UserRole).toULongLong() == data)
            return;
        ZnCommon::setTableItem2(t, text, row, column, data);
    };
    put(NameCol, QString::fromLocal8Bit(task.Name.c_str()), static_cast<quint64>(task.Id));
    put(TimeCol, startText(task), 0);
    put(TypeCol, sourceTypeText(task.SourceType), 0);
    put(StateCol, stateText(task.state), static_cast<quint64>(task.state));
    put(VolumeCol, QString::number(task.PlayVol), 0);
    put(CountCol, QString::fromStdString(count), 0);
    put(ContentCol, QString::fromLatin1(kNoTime), 0);
}

int ZnBaseTaskMgrForm::timeBound(const QString &start, bool after, int skip) const
{
    // The rows stand in start-time order (the refill writes them so, and every
    // change puts its row in its place), so the place of a time is found by
    // halving, not by sorting the table.
    const QTableWidget *t = ui.fTaskTableWidget;
    int lo = 0;
    int hi = t->rowCount() - (skip >= 0 ? 1 : 0);
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int row = skip >= 0 && mid >= skip ? mid + 1 : mid;
        const QTableWidgetItem *item = t->item(row, TimeCol);
        const QString text = item ? item->text() : QString();
        if (after ? !(start < text) : text < start)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void ZnBaseTaskMgrForm::updateRow(int row, int id)
{
    ZnSsTask task;
    if (ZnSsTaskDataMgr::instance()->getTask(id, task))
        fillTaskRow(row, task);
}

bool ZnBaseTaskMgrForm::listsTask(const ZnSsTask &task) const
{
    return task.SourceCategory == category
           && (category != ZnSsTask::CategoryTimer || task.TimerPlanId == currentSchemeId);
}

// The table after a change is the table sorted by start time (text order,
// stable) with the changed row in it: a new task comes before the rows of its
// time, a redrawn one keeps its place among them. Once the rows stand in that
// order the row is put there itself; the first change after a refill (which
// shows the list as it came) writes its row and sorts the whole table once.
void ZnBaseTaskMgrForm::slot_updateTaskRow(int id)
{
    QTableWidget *t = ui.fTaskTableWidget;
    ZnSsTask task;
    const int row = findRowById(id);
    if (!timeSorted) {
        if (row >= 0) {
            updateRow(row, id);
            if (row == t->currentRow())
                widget_item_clicked(nullptr);
        } else if (ZnSsTaskDataMgr::instance()->getTask(id, task) && listsTask(task)) {
            addTaskRow(task);
        }
        sortRowsByStart();
        return;
    }
    if (row < 0) {
        if (ZnSsTaskDataMgr::instance()->getTask(id, task) && listsTask(task)) {
            const int at = timeBound(startText(task), false);
            t->insertRow(at);
            fillTaskRow(at, task);
        }
        return;
    }
    // The row's cells are fetched while the task is copied (see ZnTableFill::prefetchRow).
    ZnTableFill::prefetchRow(t, row);
    if (!ZnSsTaskDataMgr::instance()->getTask(id, task))
        return;
    const QString start = startText(task);
    const QTableWidgetItem *old = t->item(row, TimeCol);
    int at = row;
    if (!old || old->text() != start)
        at = qBound(timeBound(start, false, row), row, timeBound(start, true, row));
    const bool current = row == t->currentRow();
    if (at != row) {
        const bool selected = t->selectionModel()->isRowSelected(row, QModelIndex());
        const int column = t->currentColumn();
        t->removeRow(row);
        t->insertRow(at);
        fillTaskRow(at, task);
        if (current)
            t->setCurrentCell(at, qMax(column, 0), QItemSelectionModel::NoUpdate);
        if (selected)
            t->selectionModel()->select(t->model()->index(at, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    } else {
        fillTaskRow(row, task);
    }
    if (current)
        widget_item_clicked(nullptr);
}

void ZnBaseTaskMgrForm::refillTasks(bool timeOrder)
{
    // Written in one pass: the last task of the list on top, and with
    // timeOrder sorted by start time (stable). The list is walked under the
    // model's lock rather than copied: a copy of a large list freed at the end
    // would be left to the next push's allocations to sort out.
    clearTable();
    QTableWidget *t = ui.fTaskTableWidget;
    ZnSsTaskDataMgr::instance()->walkTasks([this, t, timeOrder](const std::list<ZnSsTask> &tasks) {
        // The start texts are plain ASCII, so their byte order is the table's text order.
        std::vector<std::pair<std::string, const ZnSsTask *>> listed;
        for (auto it = tasks.rbegin(); it != tasks.rend(); ++it) {
            if (listsTask(*it))
                listed.emplace_back(startText(*it).toStdString(), &*it);
        }
        const auto byStart = [](const auto &a, const auto &b) { return a.first < b.first; };
        if (timeOrder)
            std::stable_sort(listed.begin(), listed.end(), byStart);
        t->setRowCount(int(listed.size()));
        // The index, if lookups made one, learns each row as it is written.
        ZnTableRowIndex *index = ZnTableRowIndex::existing(t);
        if (index)
            index->beginFill(int(listed.size()));
        for (int row = 0; row < int(listed.size()); ++row) {
            fillTaskRow(row, *listed[size_t(row)].second);
            if (index)
                index->filled(row);
        }
        if (index)
            index->endFill();
        timeSorted = std::is_sorted(listed.begin(), listed.end(), byStart);
    });
}

void ZnBaseTaskMgrForm::sortRowsByStart()
{
    // As sorting the table by its start column (stable, ascending) would, with
    // the current and selected rows following their tasks, but in one pass over
    // the cells: the table's own sort takes seconds at 100,000 rows.
    QTableWidget *t = ui.fTaskTableWidget;
    const int rows = t->rowCount();
    const int columns = t->columnCount();
    std::vector<std::pair<QString, int>> order;
    order.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r) {
        const QTableWidgetItem *item = t->item(r, TimeCol);
        order.emplace_back(item ? item->text() : QString(), r);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    timeSorted = true;
    bool moved = false;
    for (int r = 0; r < rows && !moved; ++r)
        moved = order[size_t(r)].second != r;
    if (!moved)
        return;

    QItemSelectionModel *selection = t->selectionModel();
    const int currentRow = t->currentRow();
    const int currentColumn = t->currentColumn();
    std::vector<char> selected(size_t(rows), 0);
    for (const QModelIndex &index : selection->selectedRows())
        selected[size_t(index.row())] = 1;

    QAbstractItemModel *model = t->model();
    emit model->layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    {
        const QSignalBlocker quiet(model);
        std::vector<QTableWidgetItem *> cells(size_t(rows) * size_t(columns));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c)
                cells[size_t(r) * size_t(columns) + size_t(c)] = t->takeItem(r, c);
        }
        for (int r = 0; r < rows; ++r) {
            const size_t from = size_t(order[size_t(r)].second) * size_t(columns);
            for (int c = 0; c < columns; ++c)
                t->setItem(r, c, cells[from + size_t(c)]);
        }
    }
    emit model->layoutChanged({}, QAbstractItemModel::VerticalSortHint);

    // The rows the operator had chosen, at their new places.
    selection->clearSelection();
    QItemSelection chosen;
    for (int r = 0; r < rows; ++r) {
        const int was = order[size_t(r)].second;
        if (selected[size_t(was)])
            chosen.select(model->index(r, 0), model->index(r, columns - 1));
        if (was == currentRow)
            selection->setCurrentIndex(model->index(r, qMax(currentColumn, 0)), QItemSelectionModel::NoUpdate);
    }
    selection->select(chosen, QItemSelectionModel::Select);
}

void ZnBaseTaskMgrForm::slot_delTaskRow(int id)
{
    removeRowById(id);
}

void ZnBaseTaskMgrForm::slot_delTaskFailed(QString reason)
{
    if (expectedRefusals <= 0)
        return;
    --expectedRefusals;
    // A failure without a reason would be a box with nothing to read.
    message(reason.trimmed().isEmpty() ? tr("Delete Error!") : reason);
}

void ZnBaseTaskMgrForm::widget_item_clicked(QTableWidgetItem *)
{
    ui.fEditBtn->setEnabled(true);
    ui.fDelBtn->setEnabled(true);
}

void ZnBaseTaskMgrForm::message(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}

std::vector<int> ZnBaseTaskMgrForm::selectedIds()
{
    std::vector<int> ids;
    const QList<QTableWidgetItem *> items = ui.fTaskTableWidget->selectedItems();
    for (int i = items.size() - 1; i >= 0; --i) {
        if (items[i]->column() == NameCol)
            ids.push_back(itemValue(items[i]->row(), NameCol));
    }
    return ids;
}

int ZnBaseTaskMgrForm::currentTaskId()
{
    const int row = ui.fTaskTableWidget->currentRow();
    return row < 0 ? -1 : itemValue(row, NameCol);
}

bool ZnBaseTaskMgrForm::editableCurrentTask(ZnSsTask &task)
{
    const int id = currentTaskId();
    if (id < 0 || !ZnSsTaskDataMgr::instance()->getTask(id, task))
        return false;
    if (task.state == ZnSsTask::StateRunning) {
        message(tr("Task is runnig, it is not editable!"));
        return false;
    }
    return true;
}

void ZnBaseTaskMgrForm::slot_deleteClicked()
{
    // The tasks the operator chose, taken before the question: a refill while it
    // is open empties the selection or puts other tasks in its rows.
    const std::vector<int> ids = selectedIds();
    if (ids.empty())
        return;
    BaseMessageDialog ask(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::deleteRecordQuestionText(), 1);
    if (ask.exec() != 1)
        return;
    for (int id : ids) {
        ZnSsTask task;
        if (!ZnSsTaskDataMgr::instance()->getTask(id, task))
            continue;
        if (task.state == ZnSsTask::StateRunning) {
            message(tr("Task is runnig, it is not editable!"));
            continue;
        }
        // A refusal by the server comes back as taskDeleteFailed with its reason,
        // possibly while the request still waits.
        ++expectedRefusals;
        const int result = ZnSsTaskDataMgr::instance()->commit(task, ZnSsTask::ActionDel);
        if (result != 1)
            expectedRefusals = std::max(0, expectedRefusals - 1);
        if (result != 0 && result != 1)
            message(tr("Delete Error!"));
    }
}

void ZnBaseTaskMgrForm::switchTasks(bool start)
{
    // The state shown in the table decides, as the operator saw it: taken before
    // the question, which a refill may run under.
    std::vector<std::pair<int, int>> picked;
    for (int id : selectedIds()) {
        const int row = findRowById(id);
        if (row >= 0)
            picked.emplace_back(id, itemValue(row, StateCol));
    }
    if (picked.empty())
        return;
    if (!start) {
        BaseMessageDialog ask(ZnTipsInfo::tipsTitleText(), QStringLiteral("停止选择任务？"), 3);
        if (ask.exec() == 0)
            return;
    }
    bool failed = false;
    for (const auto &p : picked) {
        // A task deleted meanwhile has nothing left to start or stop.
        if (p.second == (start ? ZnSsTask::StateRunning : ZnSsTask::StateIdle) || findRowById(p.first) < 0)
            continue;
        ZnSsTask task;
        task.Id = p.first;
        if (ZnSsTaskDataMgr::instance()->commit(task, start ? ZnSsTask::ActionStart : ZnSsTask::ActionStop) != 0)
            failed = true;
    }
    if (failed)
        message(start ? tr("Start Error!") : tr("Stop Error!"));
}

void ZnBaseTaskMgrForm::commitEdited(const ZnSsTask &task, int operation, const QString &failure)
{
    if (ZnSsTaskDataMgr::instance()->commit(task, operation) != 0)
        message(failure);
}

void ZnBaseTaskMgrForm::editInTimerDialog(ZnSsTask &task, int operation)
{
    ZnTimerTaskEditDialog dialog(&task);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (operation == ZnSsTask::ActionMod && !rowStillShown(task.Id))
        return;
    commitEdited(task, operation, operation == ZnSsTask::ActionAdd ? tr("Add Error!") : tr("Edit Error!"));
}
