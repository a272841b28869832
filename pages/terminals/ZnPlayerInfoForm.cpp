#include "ZnPlayerInfoForm.h"

ZnPlayerInfoForm::ZnPlayerInfoForm()
{
    setObjectName(QStringLiteral("ZnPlayerInfoForm"));
}

void ZnPlayerInfoForm::showTerminals() {}
