#include "ZnMediaMgrForm.h"

ZnMediaMgrForm::ZnMediaMgrForm()
{
    setObjectName(QStringLiteral("ZnMediaMgrForm"));
}
