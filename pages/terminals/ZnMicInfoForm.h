#pragma once

#include <QWidget>

// Page of the Dsk81 consoles; holds its place in the main window's page stack.
class ZnMicInfoForm : public QWidget
{
    Q_OBJECT
public:
    ZnMicInfoForm();
};
