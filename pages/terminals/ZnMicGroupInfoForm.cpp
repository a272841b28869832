#include "ZnMicGroupInfoForm.h"

ZnMicGroupInfoForm::ZnMicGroupInfoForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnMicGroupInfoForm"));
}
