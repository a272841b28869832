#pragma once

#include "ShadowWidget.h"
#include "ZnSsTask.h"
#include "ZnTaskSourceCtrl.h"
#include "ui_fTaskEditDialog.h"

#include <QDialog>

// Creates or edits a plan task: name, volume, duration or count and its source.
// Writes into the caller's record; the caller commits only an accepted one.
class ZnPlanTaskEditDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    explicit ZnPlanTaskEditDialog(ZnSsTask *task);

    ZnTaskSourceCtrl *source() { return &sourceCtrl; }
    Ui::fTaskEditDialog &form() { return ui; }

public slots:
    void slot_okClicked();
    // Checks or clears every media-list row; no control of the form is joined to it.
    void slot_stateChanged(int state);
    // The duration and count boxes, the capture table and the speech text are
    // served by the source controller, which both task dialogs share.
    void slot_setPlayTimeStateChanged(int state) { sourceCtrl.slot_setPlayTimeStateChanged(state); }
    void slot_setPlayCountsStateChanged(int state) { sourceCtrl.slot_setPlayCountsStateChanged(state); }
    void slot_capTableItemClicked(QTableWidgetItem *item) { sourceCtrl.slot_capTableItemClicked(item); }
    void slot_capTableCellChanged(int row, int column) { sourceCtrl.slot_capTableCellChanged(row, column); }
    void slot_addPlayFile(int row, int column);
    void slot_delPlayFile(int row, int column);
    void slot_textChanged() { sourceCtrl.slot_textChanged(); }

private:
    Ui::fTaskEditDialog ui;
    ZnSsTask *task;
    ZnTaskSourceCtrl sourceCtrl;
};
