#include "ZnTimerTaskMgrForm.h"

ZnTimerTaskMgrForm::ZnTimerTaskMgrForm(int category) : m_category(category)
{
    setObjectName(QStringLiteral("ZnTimerTaskMgrForm"));
}
