#pragma once

#include <QWidget>

// Page of the timer tasks; holds its place in the main window's page stack.
class ZnTimerTaskMgrForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnTimerTaskMgrForm(int category);

    int category() const { return m_category; }

private:
    int m_category;
};
