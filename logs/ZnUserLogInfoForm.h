#pragma once

#include <QWidget>

// Page of the user log; holds its place in the main window's page stack.
class ZnUserLogInfoForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnUserLogInfoForm(QWidget *parent = nullptr);
};
