#include "ZnPlanTaskMgrForm.h"

ZnPlanTaskMgrForm::ZnPlanTaskMgrForm()
{
    setObjectName(QStringLiteral("ZnPlanTaskMgrForm"));
}
