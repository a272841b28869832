#include "ZnPlanTaskMgrForm.h"

#include "ZnPlanTaskEditDialog.h"
#include "ZnSsTaskDataMgr.h"

ZnPlanTaskMgrForm::ZnPlanTaskMgrForm()
{
    setObjectName(QStringLiteral("ZnPlanTaskMgrForm"));
    category = ZnSsTask::CategoryPlan;
    ui.fStartTask->hide();
    connect(ZnSsTaskDataMgr::instance(), SIGNAL(gotTaskList()), this, SLOT(slot_showTaskList()));
    connect(ui.fNewBtn, SIGNAL(clicked()), this, SLOT(slot_addClicked()));
    connect(ui.fEditBtn, SIGNAL(clicked()), this, SLOT(slot_editClicked()));
    connect(ui.fStopTask, SIGNAL(clicked()), this, SLOT(slot_stopTaskClicked()));
    connect(ui.fTaskTableWidget, SIGNAL(itemDoubleClicked(QTableWidgetItem *)), this, SLOT(slot_editClicked()));
    connect(ui.fTaskTableWidget, SIGNAL(itemClicked(QTableWidgetItem *)), this,
            SLOT(slot_widgetItemClicked(QTableWidgetItem *)));
    slot_showTaskList();
    ui.tableNameLable->setText(QStringLiteral("预案列表"));
    hideSchemeRow();
}

void ZnPlanTaskMgrForm::slot_showTaskList()
{
    refillTasks();
}

void ZnPlanTaskMgrForm::slot_addClicked()
{
    ZnSsTask task;
    task.Id = 0;
    ZnPlanTaskEditDialog dialog(&task);
    if (dialog.exec() != QDialog::Accepted)
        return;
    task.state = ZnSsTask::StateIdle;
    task.SourceCategory = ZnSsTask::CategoryPlan;
    commitEdited(task, ZnSsTask::ActionAdd, tr("Add Error!"));
}

void ZnPlanTaskMgrForm::slot_editClicked()
{
    const int id = currentTaskId();
    ZnSsTask task;
    if (id < 0 || !ZnSsTaskDataMgr::instance()->getTask(id, task))
        return;
    if (task.SourceType == ZnSsTask::SourceMic) {
        message(tr("Mic broadcast it is not editable!"));
        return;
    }
    if (task.state == ZnSsTask::StateRunning) {
        message(tr("Task is runnig, it is not editable!"));
        return;
    }
    ZnPlanTaskEditDialog dialog(&task);
    if (dialog.exec() == QDialog::Accepted && rowStillShown(id))
        commitEdited(task, ZnSsTask::ActionMod, tr("Edit Error!"));
}

void ZnPlanTaskMgrForm::slot_stopTaskClicked()
{
    switchTasks(false);
}

void ZnPlanTaskMgrForm::slot_widgetItemClicked(QTableWidgetItem *item)
{
    const int id = item ? itemValue(item->row(), 0) : currentTaskId();
    ZnSsTask task;
    if (id < 0 || !ZnSsTaskDataMgr::instance()->getTask(id, task))
        return;
    const bool editable = task.SourceType != ZnSsTask::SourceMic;
    ui.fEditBtn->setEnabled(editable);
    ui.fDelBtn->setEnabled(editable);
}
