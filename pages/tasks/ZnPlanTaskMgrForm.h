#pragma once

#include "ZnBaseTaskMgrForm.h"

// The plan tasks (category 1), edited in the plan task dialog.
class ZnPlanTaskMgrForm : public ZnBaseTaskMgrForm
{
    Q_OBJECT
public:
    ZnPlanTaskMgrForm();

public slots:
    void slot_showTaskList() override;
    void slot_addClicked() override;
    void slot_editClicked() override;
    void slot_stopTaskClicked();
    void slot_widgetItemClicked(QTableWidgetItem *item);
};
