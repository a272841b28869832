#pragma once

#include <QWidget>

// Page of the capture units; holds its place in the main window's page stack.
class ZnCapInfoForm : public QWidget
{
    Q_OBJECT
public:
    ZnCapInfoForm();
};
