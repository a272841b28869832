#pragma once

#include "ZnTableFill.h"
#include "ZnTableRow.h"
#include "ZnTerBaseCtr.h"

#include <QList>
#include <QString>
#include <QWidget>

// The frame every list page of the terminal families (and the group and region
// pages) shares: one row per record, the record id as the int UserRole data of
// column 0, rows drawn by one row builder, and the refill, redraw-or-add, drop,
// edit and delete flows.
//
// No item pointer and no row number is kept across a modal box, a dialog or a
// request: the model's signals may refill the table meanwhile. The flows collect
// ids first and find each row again by id afterwards.
//
// A page derives from it, builds its form on itself, sets its columns, calls
// initTable(), connects its model's three signals to slots that call refill...(),
// redrawOrAdd() and dropRow(), and its buttons to editCurrent() and
// deleteSelected(). It supplies editRecord(), removeRecord() and its rows: either
// recordRow(), or an insertion and a rewrite of its own (insertRecord() and
// updateRow()).
class ZnTerListPage : public QWidget, public ZnTerBaseCtr
{
    Q_OBJECT
public:
    ~ZnTerListPage() override;

    QWidget *widget() override { return this; }
    // Rewrites the row's cells from the model's record; a vanished record leaves it.
    void updateRow(int row, int id) override;

    // Results of removeRecord() beside the server's result codes.
    enum : int {
        RecordGone = -1000,   // the model no longer has it: skipped silently
        RecordOnline = -1001, // refused here: the terminal is not offline
    };

protected:
    explicit ZnTerListPage(QWidget *parent = nullptr);

    // The finished cells of the record with that id, copied from the model; false
    // when the model does not have it (and always for a page that draws its rows
    // itself).
    virtual bool recordRow(int id, ZnTableRow &row);
    // Inserts the record with that id at the top; false when the model does not
    // have it. By default the cells of recordRow().
    virtual bool insertRecord(int id);
    // Opens the family's dialog on a copy of the record (id found in the table).
    virtual void editRecord(int id) = 0;
    // Asks the model to remove the record: RecordGone, RecordOnline or the result code.
    virtual int removeRecord(int id) = 0;

    // Refills the table from a model list walked under the model's lock. The rows
    // come out in reverse list order, as inserting each record at the top gives.
    template <class List, class MakeRow>
    void refillReversed(const List &list, MakeRow makeRow)
    {
        ZnTableFill fill(tableWidget(), int(list.size()));
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            ZnTableRow row;
            makeRow(*it, row);
            fill.append(row);
        }
    }

    // Refills the table by handing each record of a model list walked under the
    // model's lock to insert, the page's insertion at the top. The rows go in in
    // one pass: the records are handed over last first and, while the refill
    // runs, each row given to insertTop() goes below those before it, which
    // leaves the table as inserting every record at the top in list order does.
    template <class List, class Insert>
    void refillAtTop(const List &list, Insert insert)
    {
        ZnTableFill fill(tableWidget(), int(list.size()));
        refilling = &fill;
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            insert(*it);
        refilling = nullptr;
    }

    // The changed signal: redraws the record's row, or inserts it at the top
    // when it has none and the model has the record.
    void redrawOrAdd(int id);
    // The deleted signal: no row with that id is no error.
    void dropRow(int id);
    // A new row 0 with the row's cells; -1 for an empty row.
    int insertTop(ZnTableRow &row);
    // Edit button and double click: nothing without a current row.
    void editCurrent();
    // Delete button: asks once, then removes the selected records, last row first.
    void deleteSelected();

    // The message box of the pages, type 1; ask() is true only on confirm.
    static bool ask(const QString &text);
    static void tell(const QString &text);

    // Shown for a removal the server refused; empty shows nothing.
    QString deleteFailedText;
    // True: the page drops the row when the server took the removal. False:
    // the model's deleted signal does.
    bool dropRowOnRemoval = true;

private:
    ZnTableFill *refilling = nullptr; // while refillAtTop() runs
};
