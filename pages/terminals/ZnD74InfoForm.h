#pragma once

#include <QWidget>

// Page of the D74 emergency consoles; holds its place in the main window's page stack.
class ZnD74InfoForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnD74InfoForm(QWidget *parent = nullptr);
};
