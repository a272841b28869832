#pragma once

#include "ZnBaseDialog.h"
#include "ui_MessageBox.h"

// Button flags of ZnMessageBox::message.
enum ZnMessageBoxButtons { ZnMsgOk = 1, ZnMsgCancel = 2 };

// The one shared message box of the picture-header dialog family; built on first
// use and kept for the program's life.
class ZnMessageBox : public ZnBaseDialog
{
    Q_OBJECT
public:
    ZnMessageBox();

    // Returns exec()'s result. parent and title are kept for callers' sake; the
    // header shows the form's own title.
    static int message(QWidget *parent, const QString &title, const QString &text, int buttons);

    // The shared box, or null before the first message().
    static ZnMessageBox *instance();

    Ui::MessageBox ui;
};
