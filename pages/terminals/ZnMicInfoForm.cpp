#include "ZnMicInfoForm.h"

ZnMicInfoForm::ZnMicInfoForm()
{
    setObjectName(QStringLiteral("ZnMicInfoForm"));
}
