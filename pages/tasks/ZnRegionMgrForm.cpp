#include "ZnRegionMgrForm.h"

ZnRegionMgrForm::ZnRegionMgrForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnRegionMgrForm"));
}
