#include "ZnD72InfoForm.h"

ZnD72InfoForm::ZnD72InfoForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnD72InfoForm"));
}
