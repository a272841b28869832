#include "ZnFAlarmInfoForm.h"

ZnFAlarmInfoForm::ZnFAlarmInfoForm()
{
    setObjectName(QStringLiteral("ZnFAlarmInfoForm"));
}
