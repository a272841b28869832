#pragma once

#include <QWidget>

// Page of the D82 mobile devices; holds its place in the main window's page stack.
class ZnD82InfoForm : public QWidget
{
    Q_OBJECT
public:
    ZnD82InfoForm();
};
