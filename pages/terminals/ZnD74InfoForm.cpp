#include "ZnD74InfoForm.h"

ZnD74InfoForm::ZnD74InfoForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnD74InfoForm"));
}
