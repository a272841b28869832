#pragma once

#include <QWidget>

// Page of the talk recordings; holds its place in the main window's page stack.
class ZnTalkRecordForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnTalkRecordForm(QWidget *parent = nullptr);
};
