#pragma once

#include <QColor>

// Colours several pages share.
extern const QColor gFAlarmGrey;
extern const QColor gFAlarmWhite;
extern const QColor gFAlarmBlack;
extern const QColor gFAlarmRed;
extern const QColor gSelectOrange;
extern const QColor gSelectWhite;
extern const QColor gPlayerMagenta;
extern const QColor gTermBlack;
extern const QColor gTermRed;
