#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
#include "ZnSelectTableCtrl.h"
#include "ZnSsTask.h"
#include "ZnTaskSourceCtrl.h"
#include "ui_fTimerTaskEditDialog.h"

#include <QDialog>

class ZnExecTimeViewCtrl;

// Creates or edits a manual, timer or SDK task: besides what the plan task dialog
// edits, the terminals, the amplifier pre-power time and (not for manual tasks)
// the week days, dates and execution times.
class ZnTimerTaskEditDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    explicit ZnTimerTaskEditDialog(ZnSsTask *task);
    ~ZnTimerTaskEditDialog() override;

    ZnTaskSourceCtrl *source() { return &sourceCtrl; }
    ZnExecTimeViewCtrl *execTimes() { return execTimeView; }
    Ui::fTimerTaskEditDialog &form() { return ui; }

public slots:
    void slot_okClicked();
    // Checks or clears every media-list row; no control of the form is joined to it.
    void slot_stateChanged(int state);
    // The duration and count boxes, the capture table and the speech text are
    // served by the source controller, which both task dialogs share.
    void slot_setPlayTimeStateChanged(int state) { sourceCtrl.slot_setPlayTimeStateChanged(state); }
    void slot_setPlayCountsStateChanged(int state) { sourceCtrl.slot_setPlayCountsStateChanged(state); }
    void slot_setStopDateStateChanged(int state);
    void slot_regionTableItemClicked(QTableWidgetItem *item);
    void slot_addExecTime();
    void slot_editExecTime();
    void slot_delExecTime();
    void slot_capTableItemClicked(QTableWidgetItem *item) { sourceCtrl.slot_capTableItemClicked(item); }
    void slot_capTableCellChanged(int row, int column) { sourceCtrl.slot_capTableCellChanged(row, column); }
    void slot_addPlayFile(int row, int column);
    void slot_addAllSelectedFiles();
    void slot_delPlayFile(int row, int column);
    void slot_delAllSelectedFiles();
    void moveup_broad_file();
    void movedown_broad_file();
    void slot_textChanged() { sourceCtrl.slot_textChanged(); }

private:
    void fillTimerSettings();
    void fillTerminals();
    // The terminal row of an id; -1 when the table has none, unless appendMissing
    // adds it checked (a stored terminal the loaded list does not offer is kept
    // until the operator unchecks it).
    int terminalRow(int id, bool appendMissing);
    void checkTerminalRow(int row);
    bool writeTimerSettings();
    bool writeTerminals();
    // The ids of the checked terminal rows, in table order.
    std::list<int32_t> checkedTerminals() const;
    // True when the task is stored and the operator left these fields as they opened.
    bool kept(std::initializer_list<const QObject *> fields) const;

    Ui::fTimerTaskEditDialog ui;
    ZnSsTask *task;
    ZnTaskSourceCtrl sourceCtrl;
    ZnSelectTableCtrl terminalSelect;
    ZnSelectTableCtrl regionSelect;
    ZnExecTimeViewCtrl *execTimeView = nullptr;
    bool manual;
    ZnOpenedFields opened;
};
