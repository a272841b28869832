#pragma once

#include "ZnBaseTaskMgrForm.h"

class QtSchemeInfo;

// The timer tasks (category 3) of the plan chosen in the embedded plan panel.
class ZnTimerTaskMgrForm : public ZnBaseTaskMgrForm
{
    Q_OBJECT
public:
    explicit ZnTimerTaskMgrForm(int category);

    QtSchemeInfo *schemePanel() const { return schemeInfo; }

public slots:
    void slot_showTaskList() override;
    void slot_addClicked() override;
    void slot_editClicked() override;
    void slot_showTaskList(int id);
    void slot_startTaskClicked();
    void slot_stopTaskClicked();

private:
    QtSchemeInfo *schemeInfo;
};
