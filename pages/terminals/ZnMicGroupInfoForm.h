#pragma once

#include <QWidget>

// Page of the microphone groups; holds its place in the main window's page stack.
class ZnMicGroupInfoForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnMicGroupInfoForm(QWidget *parent = nullptr);
};
