#include "ZnTtsInfoForm.h"

ZnTtsInfoForm::ZnTtsInfoForm()
{
    setObjectName(QStringLiteral("ZnTtsInfoForm"));
}
