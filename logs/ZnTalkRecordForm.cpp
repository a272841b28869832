#include "ZnTalkRecordForm.h"

ZnTalkRecordForm::ZnTalkRecordForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnTalkRecordForm"));
}
