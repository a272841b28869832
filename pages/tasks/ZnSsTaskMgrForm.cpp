#include "ZnSsTaskMgrForm.h"

ZnSsTaskMgrForm::ZnSsTaskMgrForm(int category) : m_category(category)
{
    setObjectName(QStringLiteral("ZnSsTaskMgrForm"));
}
