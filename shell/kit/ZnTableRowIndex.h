#pragma once

#include "ZnIdTable.h"

#include <QObject>

class QModelIndex;
class QTableWidget;

// Which row of a table holds a record id (the int UserRole data of column 0), so
// that a pushed change finds its row without walking the table. It follows the
// table's own signals: inserted and removed rows shift it, a single changed id
// cell updates it, anything larger (a sort, a reset, a change of many rows) and
// a fill that writes with the model's signals blocked make it rebuild on the next
// lookup. A hit is checked against the cell before it is trusted.
//
// The ids sit in a hash (ZnIdTable); rows are kept relative to a base, so that
// rows inserted or removed at the top (where the pages put new records) move
// every other row without a pass.
class ZnTableRowIndex : public QObject
{
    Q_OBJECT
public:
    // The table's index, made on first use as a child of the table.
    static ZnTableRowIndex *of(QTableWidget *table);
    // The table's index if a lookup made one, else null: a table nobody looks
    // rows up in carries no index.
    static ZnTableRowIndex *existing(QTableWidget *table);

    // The first row whose id is id, -1 without one.
    int row(int id);
    void invalidate()
    {
        valid = false;
        filling = false;
    }

    // For a writer that fills the whole table: the index starts empty, ignores
    // the table's signals until endFill() and learns each row from filled(row),
    // called once the row's id cell is in. A refill then leaves the index
    // ready, instead of leaving a pass over every row to the first push.
    void beginFill(int count);
    void filled(int row);
    void endFill();

private:
    explicit ZnTableRowIndex(QTableWidget *table);
    int idAt(int row) const;
    void rebuild();
    void remember(int id, int row);
    void shift(int from, int by);
    void rowsInserted(const QModelIndex &parent, int first, int last);
    void rowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void rowsRemoved(const QModelIndex &parent, int first, int last);
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);

    typedef ZnIdTable<int>::Entry Entry;
    int rowOf(const Entry &entry) const { return entry.value - base; }
    int stored(int row) const { return row + base; }

    QTableWidget *table;
    ZnIdTable<int> rows;
    int base = 0; // an entry's row is its value - base
    bool valid = false;
    bool filling = false;
    bool duplicates = false; // some id stands in more than one row
};
