#pragma once

#include <QWidget>

// Page of the broadcast regions; holds its place in the main window's page stack.
class ZnRegionMgrForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnRegionMgrForm(QWidget *parent = nullptr);
};
