#include "ZnBaseTaskMgrForm.h"

#include "BaseMessageDialog.h"
#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTimerTaskEditDialog.h"
#include "ZnTipsInfo.h"

#include <QHeaderView>
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
    // Names and texts get an even share of the width rather than the last column all of it.
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    ZnSsTaskDataMgr *model = ZnSsTaskDataMgr::instance();
    connect(model, SIGNAL(taskChanged(int)), this, SLOT(slot_updateTaskRow(int)));
    connect(model, SIGNAL(taskDeleted(int)), this, SLOT(slot_delTaskRow(int)));
    connect(model, SIGNAL(taskDeleteFailed(QString)), this, SLOT(slot_delTaskFailed(QString)));
    connect(ui.fDelBtn, SIGNAL(clicked()), this, SLOT(slot_deleteClicked()));
    connect(t->model(), &QAbstractItemModel::rowsInserted, this, [this] { timeSorted = false; });
    connect(t->model(), &QAbstractItemModel::layoutChanged, this, [this] { timeSorted = false; });
}

void ZnBaseTaskMgrForm::hideSchemeRow()
{
    ui.fSchemeTitleText->hide();
    ui.fSchemeNameText->hide();
    ui.fMainLayout->setStretch(0, 0);
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

void ZnBaseTaskMgrForm::fillTaskRow(int row, const ZnSsTask &task)
{
    QTableWidget *t = ui.fTaskTableWidget;
    const std::string start =
        task.execTimes.empty()
            ? std::string(kNoTime)
            : ZnCommon::formatDuration(static_cast<uint32_t>(std::max<int64_t>(0, task.execTimes.front().seconds)));
    const std::string count = task.PlayTimes != 0
                                  ? std::to_string(task.PlayTimes)
                                  : ZnCommon::formatDuration(static_cast<uint32_t>(std::max(0, task.Duration)));
    ZnCommon::setTableItem2(t, QString::fromLocal8Bit(task.Name.c_str()), row, NameCol, task.Id);
    const QString startText = QString::fromStdString(start);
    const QTableWidgetItem *oldStart = t->item(row, TimeCol);
    if (!oldStart || oldStart->text() != startText)
        timeSorted = false;
    ZnCommon::setTableItem2(t, startText, row, TimeCol, 0);
    ZnCommon::setTableItem2(t, sourceTypeText(task.SourceType), row, TypeCol, 0);
    ZnCommon::setTableItem2(t, stateText(task.state), row, StateCol, static_cast<quint64>(task.state));
    ZnCommon::setTableItem2(t, QString::number(task.PlayVol), row, VolumeCol, 0);
    ZnCommon::setTableItem2(t, QString::fromStdString(count), row, CountCol, 0);
    ZnCommon::setTableItem2(t, QString::fromLatin1(kNoTime), row, ContentCol, 0);
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

void ZnBaseTaskMgrForm::slot_updateTaskRow(int id)
{
    const int row = findRowById(id);
    if (row >= 0) {
        updateRow(row, id);
        if (row == ui.fTaskTableWidget->currentRow())
            widget_item_clicked(nullptr);
    } else {
        ZnSsTask task;
        if (ZnSsTaskDataMgr::instance()->getTask(id, task) && listsTask(task))
            addTaskRow(task);
    }
    // Sorting a table that is already in order changes nothing and costs a pass
    // over every row, on each pushed change.
    if (!timeSorted) {
        ui.fTaskTableWidget->sortItems(TimeCol, Qt::AscendingOrder);
        timeSorted = true;
    }
}

void ZnBaseTaskMgrForm::refillTasks()
{
    // Inserting each task at the top moves every row below it: written in one
    // pass instead.
    const std::list<ZnSsTask> tasks = ZnSsTaskDataMgr::instance()->taskList();
    std::vector<const ZnSsTask *> listed;
    for (const ZnSsTask &task : tasks) {
        if (listsTask(task))
            listed.push_back(&task);
    }
    clearTable();
    ui.fTaskTableWidget->setRowCount(int(listed.size()));
    int row = int(listed.size());
    for (const ZnSsTask *task : listed)
        fillTaskRow(--row, *task);
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
    message(reason.isEmpty() ? tr("Delete Error!") : reason);
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
    if (ui.fTaskTableWidget->selectedItems().isEmpty())
        return;
    BaseMessageDialog ask(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::deleteRecordQuestionText(), 1);
    if (ask.exec() != 1)
        return;
    for (int id : selectedIds()) {
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
    if (ui.fTaskTableWidget->selectedItems().isEmpty())
        return;
    if (!start) {
        BaseMessageDialog ask(ZnTipsInfo::tipsTitleText(), QStringLiteral("停止选择任务？"), 3);
        if (ask.exec() == 0)
            return;
    }
    // The state shown in the table decides, as the operator saw it.
    std::vector<std::pair<int, int>> picked;
    for (int id : selectedIds()) {
        const int row = findRowById(id);
        if (row >= 0)
            picked.emplace_back(id, itemValue(row, StateCol));
    }
    bool failed = false;
    for (const auto &p : picked) {
        if (p.second == (start ? ZnSsTask::StateRunning : ZnSsTask::StateIdle))
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
    if (dialog.exec() == QDialog::Accepted)
        commitEdited(task, operation, operation == ZnSsTask::ActionAdd ? tr("Add Error!") : tr("Edit Error!"));
}
