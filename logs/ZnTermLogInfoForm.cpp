#include "ZnTermLogInfoForm.h"

ZnTermLogInfoForm::ZnTermLogInfoForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnTermLogInfoForm"));
}
