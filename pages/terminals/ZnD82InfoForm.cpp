#include "ZnD82InfoForm.h"

ZnD82InfoForm::ZnD82InfoForm()
{
    setObjectName(QStringLiteral("ZnD82InfoForm"));
}
