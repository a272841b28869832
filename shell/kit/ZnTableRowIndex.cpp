#include "ZnTableRowIndex.h"

#include "ZnCommonTable.h"

#include <QAbstractItemModel>
#include <QTableWidget>

ZnTableRowIndex *ZnTableRowIndex::of(QTableWidget *table)
{
    if (!table)
        return nullptr;
    if (ZnTableRowIndex *index = existing(table))
        return index;
    return new ZnTableRowIndex(table);
}

ZnTableRowIndex *ZnTableRowIndex::existing(QTableWidget *table)
{
    if (!table)
        return nullptr;
    // Made on the first lookup, after the table's own children: from the back
    // it is found at once, without a look at every child on each push.
    const QObjectList &children = table->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (auto *index = qobject_cast<ZnTableRowIndex *>(*it))
            return index;
    }
    return nullptr;
}

ZnTableRowIndex::ZnTableRowIndex(QTableWidget *t) : QObject(t), table(t)
{
    QAbstractItemModel *m = table->model();
    connect(m, &QAbstractItemModel::rowsInserted, this, &ZnTableRowIndex::rowsInserted);
    connect(m, &QAbstractItemModel::rowsAboutToBeRemoved, this, &ZnTableRowIndex::rowsAboutToBeRemoved);
    connect(m, &QAbstractItemModel::rowsRemoved, this, &ZnTableRowIndex::rowsRemoved);
    connect(m, &QAbstractItemModel::dataChanged, this, &ZnTableRowIndex::dataChanged);
    connect(m, &QAbstractItemModel::modelReset, this, &ZnTableRowIndex::invalidate);
    connect(m, &QAbstractItemModel::layoutChanged, this, &ZnTableRowIndex::invalidate);
    connect(m, &QAbstractItemModel::rowsMoved, this, &ZnTableRowIndex::invalidate);
    connect(m, &QAbstractItemModel::columnsInserted, this, &ZnTableRowIndex::invalidate);
    connect(m, &QAbstractItemModel::columnsRemoved, this, &ZnTableRowIndex::invalidate);
    connect(m, &QAbstractItemModel::columnsMoved, this, &ZnTableRowIndex::invalidate);
}

int ZnTableRowIndex::idAt(int row) const
{
    return ZnCommon::itemIntData(table, row, 0);
}

int ZnTableRowIndex::row(int id)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!valid)
            rebuild();
        const Entry *at = rows.find(id);
        if (!at)
            return -1;
        const int r = rowOf(*at);
        if (idAt(r) == id)
            return r;
        // A write the signals did not tell of.
        valid = false;
    }
    return -1;
}

void ZnTableRowIndex::beginFill(int count)
{
    rows.clear(size_t(qMax(count, 0)));
    base = 0;
    duplicates = false;
    filling = true;
    valid = false;
}

void ZnTableRowIndex::filled(int row)
{
    if (filling)
        remember(idAt(row), row);
}

void ZnTableRowIndex::endFill()
{
    if (!filling)
        return;
    filling = false;
    valid = true;
}

void ZnTableRowIndex::rebuild()
{
    const int count = table->rowCount();
    rows.clear(size_t(count));
    base = 0;
    duplicates = false;
    for (int r = 0; r < count; ++r) {
        const int id = idAt(r);
        // Of two rows with one id the upper one is kept.
        if (rows.find(id))
            duplicates = true;
        else
            rows.insert(id, stored(r));
    }
    valid = true;
}

void ZnTableRowIndex::remember(int id, int row)
{
    Entry *at = rows.find(id);
    if (!at) {
        rows.insert(id, stored(row));
    } else if (rowOf(*at) != row && idAt(rowOf(*at)) == id) {
        duplicates = true;
        at->value = stored(qMin(rowOf(*at), row));
    } else {
        at->value = stored(row);
    }
}

void ZnTableRowIndex::shift(int from, int by)
{
    // Every row moves: the base does instead.
    if (from <= 0) {
        base -= by;
        return;
    }
    rows.forEach([this, from, by](Entry &e) {
        if (rowOf(e) >= from)
            e.value += by;
    });
}

void ZnTableRowIndex::rowsInserted(const QModelIndex &, int first, int last)
{
    if (!valid)
        return;
    // Rows appended at the end move nothing.
    if (last + 1 < table->rowCount())
        shift(first, last - first + 1);
    // A new row reads as id -1 until its id cell is set, which tells of its id.
    for (int r = first; r <= last; ++r)
        remember(idAt(r), r);
}

void ZnTableRowIndex::rowsAboutToBeRemoved(const QModelIndex &, int first, int last)
{
    if (!valid)
        return;
    if (first != last) {
        valid = false;
        return;
    }
    Entry *at = rows.find(idAt(first));
    if (!at || rowOf(*at) != first)
        return;
    // Another row may hold the same id further down.
    if (duplicates) {
        valid = false;
        return;
    }
    rows.erase(at);
}

void ZnTableRowIndex::rowsRemoved(const QModelIndex &, int first, int last)
{
    // Rows removed from the top leave no row above the ones that move.
    if (valid)
        shift(first == 0 ? 0 : last + 1, -(last - first + 1));
}

void ZnTableRowIndex::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (!valid || topLeft.column() > 0)
        return;
    if (topLeft.row() != bottomRight.row()) {
        valid = false;
        return;
    }
    remember(idAt(topLeft.row()), topLeft.row());
}
