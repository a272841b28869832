#pragma once

#include <QWidget>

// Page of the D72 call consoles; holds its place in the main window's page stack.
class ZnD72InfoForm : public QWidget
{
    Q_OBJECT
public:
    explicit ZnD72InfoForm(QWidget *parent = nullptr);
};
