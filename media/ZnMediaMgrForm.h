#pragma once

#include <QWidget>

// Page of the media library; holds its place in the main window's page stack.
class ZnMediaMgrForm : public QWidget
{
    Q_OBJECT
public:
    ZnMediaMgrForm();
};
