#include "ZnFontSetup.h"

#include <QApplication>
#include <QFont>

const char *const ZnFontSetup::kFamily = "微软雅黑";
// From the Debian package fonts-wqy-microhei.
const char *const ZnFontSetup::kInstalledFamily = "WenQuanYi Micro Hei";

void ZnFontSetup::apply()
{
    const QString family = QString::fromUtf8(kFamily);
    QFont::insertSubstitution(family, QString::fromUtf8(kInstalledFamily));
    QApplication::setFont(QFont(family, 9));
}
