#pragma once

#include <QHash>
#include <QObject>

class QModelIndex;
class QTableWidget;

// Which row of a table holds a record id (the int UserRole data of column 0), so
// that a pushed change finds its row without walking the table. It follows the
// table's own signals: inserted and removed rows shift it, a single changed id
// cell updates it, anything larger (a sort, a reset, a change of many rows) and
// a fill that writes with the model's signals blocked make it rebuild on the next
// lookup. A hit is checked against the cell before it is trusted.
class ZnTableRowIndex : public QObject
{
    Q_OBJECT
public:
    // The table's index, made on first use as a child of the table.
    static ZnTableRowIndex *of(QTableWidget *table);
    // For writers that bypass the model's signals.
    static void forget(QTableWidget *table);

    // The first row whose id is id, -1 without one.
    int row(int id);
    void invalidate() { valid = false; }

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

    QTableWidget *table;
    QHash<int, int> rows;
    bool valid = false;
    bool duplicates = false; // some id stands in more than one row
};
