#pragma once

#include "ShadowWidget.h"
#include "ui_messageDialog.h"

#include <QDialog>
#include <QTimer>

// The console's one message box. Type 1: confirm only; 2: cancel only; 4: no
// buttons, closes itself after 1500 ms; anything else: both buttons.
// exec() returns 1 only when the confirm button was pressed.
class BaseMessageDialog : public ShadowWidget<QDialog>
{
public:
    BaseMessageDialog(const QString &title, const QString &text, int type);

    // The text as the box lays it out in its text field.
    static QString layoutText(const QString &text);

private:
    Ui::messageDialog ui;
    QString title;
    QString text;
    QTimer timer;
};
