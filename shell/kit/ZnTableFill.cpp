#include "ZnTableFill.h"

#include "ZnTableCell.h"
#include "ZnTableRow.h"
#include "ZnTableRowIndex.h"

#include <QTableWidget>

ZnTableFill::ZnTableFill(QTableWidget *t, int rowCount, Mode mode) : table(t), reuse(mode == ReuseCells)
{
    if (!table)
        return;
    ZnTableRowIndex::forget(table);
    wasSorting = table->isSortingEnabled();
    wasUpdating = table->updatesEnabled();
    table->setSortingEnabled(false);
    table->setUpdatesEnabled(false);
    // No selection or current cell stays on a row that now holds another record.
    if (reuse) {
        table->clearSelection();
        table->setCurrentItem(nullptr);
    } else {
        table->setRowCount(0);
    }
    table->setRowCount(rowCount > 0 ? rowCount : 0);
    // One change signal per cell would make the view work out a repaint per
    // cell; the rows are new and the whole view is repainted when updates
    // come back on, so the cells go in unannounced.
    wasBlocked = table->model()->blockSignals(true);
}

ZnTableFill::~ZnTableFill()
{
    if (!table)
        return;
    table->model()->blockSignals(wasBlocked);
    // The cells went in unannounced.
    ZnTableRowIndex::forget(table);
    if (table->rowCount() != next)
        table->setRowCount(next);
    table->setSortingEnabled(wasSorting);
    table->setUpdatesEnabled(wasUpdating);
}

void ZnTableFill::append(ZnTableRow &row)
{
    if (!table)
        return;
    if (next >= table->rowCount()) {
        // The view has to learn of an added row.
        table->model()->blockSignals(wasBlocked);
        table->setRowCount(next + 1);
        table->model()->blockSignals(true);
    }
    put(table, next++, row, reuse);
}

void ZnTableFill::insertRow(QTableWidget *table, int at, ZnTableRow &row)
{
    if (!table)
        return;
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    table->insertRow(at);
    put(table, at, row);
    table->setSortingEnabled(sorting);
}

void ZnTableFill::writeRow(QTableWidget *table, int at, ZnTableRow &row)
{
    if (!table || at < 0 || at >= table->rowCount())
        return;
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    put(table, at, row);
    table->setSortingEnabled(sorting);
}

void ZnTableFill::put(QTableWidget *table, int at, ZnTableRow &row, bool reuse)
{
    const int columns = qMin(row.size(), table->columnCount());
    for (int c = 0; c < columns; ++c) {
        QTableWidgetItem *old = reuse ? table->item(at, c) : nullptr;
        if (old && row.cell(c)) {
            // Takes the new cell's contents (shared, not copied); the view is
            // repainted whole when the fill ends.
            ZnTableCell::assign(*old, *row.cell(c));
        } else if (QTableWidgetItem *item = row.take(c)) {
            table->setItem(at, c, item);
        }
    }
}
