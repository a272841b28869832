#pragma once

#include "ui_ZnDialog.h"

#include <QDialog>
#include <QWidget>

class ZnTitleMoveEvent;

// Frameless white dialog with a picture header read from ./images/; derived
// dialogs build their content on centralWidget().
class ZnBaseDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ZnBaseDialog(QWidget *parent = nullptr);
    ~ZnBaseDialog() override;

    QWidget *centralWidget() { return &central; }

protected:
    Ui::ZnDialog baseUi;

private:
    QWidget central;
    ZnTitleMoveEvent *titleMove;
};
