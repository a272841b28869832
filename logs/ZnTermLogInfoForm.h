#pragma once

#include <QWidget>

// Page of the terminal log; holds its place in the main window's page stack.
class ZnTermLogInfoForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnTermLogInfoForm(QWidget *parent = nullptr);
};
