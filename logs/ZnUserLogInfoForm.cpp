#include "ZnUserLogInfoForm.h"

ZnUserLogInfoForm::ZnUserLogInfoForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnUserLogInfoForm"));
}
