#include "ZnColours.h"

const QColor gFAlarmGrey(240, 240, 240);
const QColor gFAlarmWhite(255, 255, 255);
const QColor gFAlarmBlack(0, 0, 0);
const QColor gFAlarmRed(252, 65, 54);
const QColor gSelectOrange(254, 230, 192);
const QColor gSelectWhite(255, 255, 255);
const QColor gPlayerMagenta(255, 0, 255);
const QColor gTermBlack(0, 0, 0);
const QColor gTermRed(255, 0, 0);
