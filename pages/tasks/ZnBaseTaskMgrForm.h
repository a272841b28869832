#pragma once

#include "ZnSsTask.h"
#include "ZnTerBaseCtr.h"
#include "ui_fTaskInfoForm.h"

#include <QWidget>

#include <vector>

// What the plan, manual, SDK and timer task pages share: the task table, its rows
// kept in step with the task model, deletion, start and stop. Rows are found by
// task id after every box, dialog and request; no table item is kept across them.
class ZnBaseTaskMgrForm : public QWidget, public ZnTerBaseCtr
{
    Q_OBJECT
public:
    explicit ZnBaseTaskMgrForm(QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    QTableWidget *tableWidget() override { return ui.fTaskTableWidget; }
    void updateRow(int row, int id) override;

    void addTaskRow(const ZnSsTask &task);
    void fillTaskRow(int row, const ZnSsTask &task);
    void switchTasks(bool start);

    int taskCategory() const { return category; }
    int schemeId() const { return currentSchemeId; }
    Ui::fTaskInfoForm &form() { return ui; }

    // Texts of the source type and state columns (also the dialogs' type names).
    static QString sourceTypeText(int type);
    static QString stateText(int state);

public slots:
    virtual void slot_showTaskList() = 0;
    virtual void slot_addClicked() = 0;
    virtual void slot_editClicked() = 0;
    virtual void slot_deleteClicked();
    virtual void widget_item_clicked(QTableWidgetItem *item);
    void slot_updateTaskRow(int id);
    void slot_delTaskRow(int id);
    void slot_delTaskFailed(QString reason);

protected:
    virtual void initTexts();
    // Pages without timer plans: the plan row's texts and the start time column
    // go; the row keeps its share of the height.
    void hideSchemeRow();
    // Whether a task belongs on this page.
    bool listsTask(const ZnSsTask &task) const;
    // Ids (column-0 data) of the selected rows, last selected first.
    std::vector<int> selectedIds();
    int currentTaskId();
    // A copy of the current row's task when it may be edited; a running task is
    // refused with a message.
    bool editableCurrentTask(ZnSsTask &task);
    void message(const QString &text);
    // Rows for the listed tasks of the model, the last task of the list on top
    // (the order that inserting each at the top gives); with timeOrder then
    // sorted by start time, stable.
    void refillTasks(bool timeOrder = false);
    // Sorts the rows by start time, stable, as every change leaves them.
    void sortRowsByStart();
    // The text of the start time column.
    static QString startText(const ZnSsTask &task);
    // The first row whose start time is not before start (after: after start),
    // counted without row skip when it is given.
    int timeBound(const QString &start, bool after, int skip = -1) const;
    // Commits an added or edited task; a refusal is shown with text.
    void commitEdited(const ZnSsTask &task, int operation, const QString &failure);
    // Opens the timer-task dialog on task and commits it (ActionAdd or ActionMod) if accepted.
    void editInTimerDialog(ZnSsTask &task, int operation);

    Ui::fTaskInfoForm ui;
    int currentSchemeId = -1;
    int category = 0;

private:
    // Refusals of this page's own deletions still to come; every page hears the
    // model's refusals, only the page that asked shows them.
    int expectedRefusals = 0;
    // The rows stand in start-time order: a change then moves only its own row.
    bool timeSorted = false;
};
