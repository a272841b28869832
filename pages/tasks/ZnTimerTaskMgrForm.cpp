#include "ZnTimerTaskMgrForm.h"

#include "QtSchemeInfo.h"
#include "ZnSchemeList.h"
#include "ZnServerText.h"
#include "ZnSsTaskDataMgr.h"

#include <QHeaderView>

namespace {
// The plan name is the server's text; the page shows this much of it.
const int kPlanNameWidth = 480;
const int kPlayPlans = 0;
}

ZnTimerTaskMgrForm::ZnTimerTaskMgrForm(int taskCategory)
{
    setObjectName(QStringLiteral("ZnTimerTaskMgrForm"));
    category = taskCategory;
    schemeInfo = new QtSchemeInfo(this, kPlayPlans);
    ui.fSchemeLayout->addWidget(schemeInfo);
    ui.fTaskTableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    connect(ZnSsTaskDataMgr::instance(), SIGNAL(gotTaskList()), this, SLOT(slot_showTaskList()));
    connect(schemeInfo, SIGNAL(showTaskInfo(int)), this, SLOT(slot_showTaskList(int)));
    connect(ui.fNewBtn, SIGNAL(clicked()), this, SLOT(slot_addClicked()));
    connect(ui.fEditBtn, SIGNAL(clicked()), this, SLOT(slot_editClicked()));
    connect(ui.fStartTask, SIGNAL(clicked()), this, SLOT(slot_startTaskClicked()));
    connect(ui.fStopTask, SIGNAL(clicked()), this, SLOT(slot_stopTaskClicked()));
    connect(ui.fTaskTableWidget, SIGNAL(itemDoubleClicked(QTableWidgetItem *)), this, SLOT(slot_editClicked()));
    connect(ui.fTaskTableWidget, SIGNAL(itemClicked(QTableWidgetItem *)), this,
            SLOT(widget_item_clicked(QTableWidgetItem *)));
    // The form's "默认方案" stays until the panel reports a plan.
    slot_showTaskList();
}

void ZnTimerTaskMgrForm::slot_showTaskList()
{
    // Without a plan nothing is listed; the panel reports -1 when it has none.
    clearTable();
    if (currentSchemeId == -1)
        return;
    refillTasks(true);
}

void ZnTimerTaskMgrForm::slot_showTaskList(int id)
{
    currentSchemeId = id;
    slot_showTaskList();
    ZnScheme plan;
    const bool known = ZnSchemeList::instance()->findScheme(id, kPlayPlans, plan);
    ZnServerText::showInLabel(ui.fSchemeNameText, known ? QString::fromLocal8Bit(plan.name.c_str()) : QString(),
                              kPlanNameWidth);
}

void ZnTimerTaskMgrForm::slot_addClicked()
{
    ZnSsTask task;
    task.Id = 0;
    task.SourceCategory = category;
    task.TimerPlanId = currentSchemeId;
    task.state = ZnSsTask::StateIdle;
    editInTimerDialog(task, ZnSsTask::ActionAdd);
}

void ZnTimerTaskMgrForm::slot_editClicked()
{
    ZnSsTask task;
    if (!editableCurrentTask(task))
        return;
    editInTimerDialog(task, ZnSsTask::ActionMod);
}

void ZnTimerTaskMgrForm::slot_startTaskClicked()
{
    ZnScheme plan;
    if (!ZnSchemeList::instance()->findScheme(currentSchemeId, kPlayPlans, plan))
        return;
    if (plan.enable == 0) {
        message(QStringLiteral("方案已禁用!"));
        return;
    }
    switchTasks(true);
}

void ZnTimerTaskMgrForm::slot_stopTaskClicked()
{
    switchTasks(false);
}
