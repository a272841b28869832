#pragma once

#include <QWidget>

// Page of the talk log; holds its place in the main window's page stack.
class ZnTalkLogInfoForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnTalkLogInfoForm(QWidget *parent = nullptr);
};
