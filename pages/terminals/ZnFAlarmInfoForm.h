#pragma once

#include <QWidget>

// Page of the fire-alarm interfaces; holds its place in the main window's page stack.
class ZnFAlarmInfoForm : public QWidget
{
    Q_OBJECT
public:
    ZnFAlarmInfoForm();
};
