#include "ZnTalkLogInfoForm.h"

ZnTalkLogInfoForm::ZnTalkLogInfoForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnTalkLogInfoForm"));
}
