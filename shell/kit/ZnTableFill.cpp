#include "ZnTableFill.h"

#include "ZnTableCell.h"
#include "ZnTableRow.h"
#include "ZnTableRowIndex.h"

#include <QTableWidget>

ZnTableFill::ZnTableFill(QTableWidget *t, int rowCount, Mode mode) : table(t), reuse(mode == ReuseCells)
{
    if (!table)
        return;
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
    // The cells go in unannounced: the index, if lookups made one, learns each
    // row as it is put.
    index = ZnTableRowIndex::existing(table);
    if (index)
        index->beginFill(rowCount);
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
    if (table->rowCount() != next)
        table->setRowCount(next);
    if (index)
        index->endFill();
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
    put(table, next, row, reuse);
    if (index)
        index->filled(next);
    ++next;
}

namespace {

// Sorting is switched off around a single row's write only where it is on:
// switching it costs a connect and a disconnect by signature text, most of
// what a pushed change costs otherwise, and switching it on sorts the table.
class SortingPaused
{
public:
    explicit SortingPaused(QTableWidget *t) : table(t->isSortingEnabled() ? t : nullptr)
    {
        if (table)
            table->setSortingEnabled(false);
    }
    ~SortingPaused()
    {
        if (table)
            table->setSortingEnabled(true);
    }
    SortingPaused(const SortingPaused &) = delete;
    SortingPaused &operator=(const SortingPaused &) = delete;

private:
    QTableWidget *table;
};

} // namespace

void ZnTableFill::insertRow(QTableWidget *table, int at, ZnTableRow &row)
{
    if (!table)
        return;
    SortingPaused paused(table);
    table->insertRow(at);
    put(table, at, row);
}

void ZnTableFill::prefetchRow(QTableWidget *table, int at)
{
    if (!table || at < 0 || at >= table->rowCount())
        return;
    const int columns = table->columnCount();
    for (int c = 0; c < columns; ++c)
        __builtin_prefetch(table->item(at, c));
}

void ZnTableFill::writeRow(QTableWidget *table, int at, ZnTableRow &row)
{
    if (!table || at < 0 || at >= table->rowCount())
        return;
    SortingPaused paused(table);
    put(table, at, row);
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
