#include "ZnConfigSettings.h"

ZnConfigSettings::ZnConfigSettings() : QSettings(QStringLiteral("config.ini"), QSettings::IniFormat)
{
    setIniCodec("UTF-8");
}
