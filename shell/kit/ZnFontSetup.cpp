#include "ZnFontSetup.h"

#include <QApplication>
#include <QFont>

const char *const ZnFontSetup::kFamily = "微软雅黑";
// From the Debian package fonts-wqy-zenhei: it draws every character the console
// shows ("℃" among them, which some CJK fonts map to an empty outline), and a
// window of it keeps about a third of the resident pages of the larger CJK fonts.
const char *const ZnFontSetup::kInstalledFamily = "WenQuanYi Zen Hei";

void ZnFontSetup::apply()
{
    const QString family = QString::fromUtf8(kFamily);
    QFont::insertSubstitution(family, QString::fromUtf8(kInstalledFamily));
    QApplication::setFont(QFont(family, 9));
}
