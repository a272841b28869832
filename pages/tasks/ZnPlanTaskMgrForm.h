#pragma once

#include <QWidget>

// Page of the plan tasks; holds its place in the main window's page stack.
class ZnPlanTaskMgrForm : public QWidget
{
    Q_OBJECT
public:
    ZnPlanTaskMgrForm();
};
