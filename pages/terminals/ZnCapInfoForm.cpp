#include "ZnCapInfoForm.h"

ZnCapInfoForm::ZnCapInfoForm()
{
    setObjectName(QStringLiteral("ZnCapInfoForm"));
}
