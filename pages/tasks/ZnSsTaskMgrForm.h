#pragma once

#include "ZnBaseTaskMgrForm.h"

// The manual tasks (category 2) or the SDK tasks (category 4).
class ZnSsTaskMgrForm : public ZnBaseTaskMgrForm
{
    Q_OBJECT
public:
    explicit ZnSsTaskMgrForm(int category);

public slots:
    void slot_showTaskList() override;
    void slot_addClicked() override;
    void slot_editClicked() override;
    void slot_startTaskClicked();
    void slot_stopTaskClicked();
};
