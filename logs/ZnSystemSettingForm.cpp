#include "ZnSystemSettingForm.h"

ZnSystemSettingForm::ZnSystemSettingForm() : m_title(QStringLiteral("管理中心"))
{
    setObjectName(QStringLiteral("ZnSystemSettingForm"));
}
