#include "ZnSsTaskMgrForm.h"

#include "ZnSsTaskDataMgr.h"

ZnSsTaskMgrForm::ZnSsTaskMgrForm(int taskCategory)
{
    setObjectName(QStringLiteral("ZnSsTaskMgrForm"));
    category = taskCategory;
    if (category == ZnSsTask::CategorySdk) {
        for (QWidget *w : {static_cast<QWidget *>(ui.fStartTask), static_cast<QWidget *>(ui.fEditBtn),
                           static_cast<QWidget *>(ui.fNewBtn), static_cast<QWidget *>(ui.fDelBtn)})
            w->hide();
        for (int column : {4, 5, 6})
            ui.fTaskTableWidget->setColumnHidden(column, true);
    }
    connect(ZnSsTaskDataMgr::instance(), SIGNAL(gotTaskList()), this, SLOT(slot_showTaskList()));
    connect(ui.fNewBtn, SIGNAL(clicked()), this, SLOT(slot_addClicked()));
    connect(ui.fEditBtn, SIGNAL(clicked()), this, SLOT(slot_editClicked()));
    connect(ui.fStartTask, SIGNAL(clicked()), this, SLOT(slot_startTaskClicked()));
    connect(ui.fStopTask, SIGNAL(clicked()), this, SLOT(slot_stopTaskClicked()));
    connect(ui.fTaskTableWidget, SIGNAL(itemDoubleClicked(QTableWidgetItem *)), this, SLOT(slot_editClicked()));
    connect(ui.fTaskTableWidget, SIGNAL(itemClicked(QTableWidgetItem *)), this,
            SLOT(widget_item_clicked(QTableWidgetItem *)));
    slot_showTaskList();
    hideSchemeRow();
}

void ZnSsTaskMgrForm::slot_showTaskList()
{
    refillTasks();
}

void ZnSsTaskMgrForm::slot_addClicked()
{
    ZnSsTask task;
    task.Id = 0;
    task.SourceCategory = category;
    task.state = ZnSsTask::StateIdle;
    editInTimerDialog(task, ZnSsTask::ActionAdd);
}

void ZnSsTaskMgrForm::slot_editClicked()
{
    ZnSsTask task;
    if (!editableCurrentTask(task))
        return;
    editInTimerDialog(task, ZnSsTask::ActionMod);
}

void ZnSsTaskMgrForm::slot_startTaskClicked()
{
    switchTasks(true);
}

void ZnSsTaskMgrForm::slot_stopTaskClicked()
{
    switchTasks(false);
}
