#pragma once

#include <QWidget>

// Page of the manual and SDK tasks; holds its place in the main window's page stack.
class ZnSsTaskMgrForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnSsTaskMgrForm(int category);

    int category() const { return m_category; }

private:
    int m_category;
};
