#include "ZnTableRowIndex.h"

#include "ZnCommonTable.h"

#include <QAbstractItemModel>
#include <QTableWidget>

ZnTableRowIndex *ZnTableRowIndex::of(QTableWidget *table)
{
    if (!table)
        return nullptr;
    if (auto *index = table->findChild<ZnTableRowIndex *>(QString(), Qt::FindDirectChildrenOnly))
        return index;
    return new ZnTableRowIndex(table);
}

void ZnTableRowIndex::forget(QTableWidget *table)
{
    if (!table)
        return;
    if (auto *index = table->findChild<ZnTableRowIndex *>(QString(), Qt::FindDirectChildrenOnly))
        index->invalidate();
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
        const auto at = rows.constFind(id);
        if (at == rows.constEnd())
            return -1;
        if (idAt(at.value()) == id)
            return at.value();
        // A write the signals did not tell of.
        valid = false;
    }
    return -1;
}

void ZnTableRowIndex::rebuild()
{
    rows.clear();
    duplicates = false;
    const int count = table->rowCount();
    rows.reserve(count);
    // Bottom up, so that of two rows with one id the upper one is kept.
    for (int r = count - 1; r >= 0; --r) {
        const int id = idAt(r);
        duplicates = duplicates || rows.contains(id);
        rows.insert(id, r);
    }
    valid = true;
}

void ZnTableRowIndex::remember(int id, int row)
{
    auto at = rows.find(id);
    if (at == rows.end()) {
        rows.insert(id, row);
    } else if (at.value() != row && idAt(at.value()) == id) {
        duplicates = true;
        at.value() = qMin(at.value(), row);
    } else {
        at.value() = row;
    }
}

void ZnTableRowIndex::shift(int from, int by)
{
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        if (it.value() >= from)
            it.value() += by;
    }
}

void ZnTableRowIndex::rowsInserted(const QModelIndex &, int first, int last)
{
    // Rows appended at the end move nothing; their ids arrive as their cells are set.
    if (valid && last + 1 < table->rowCount())
        shift(first, last - first + 1);
}

void ZnTableRowIndex::rowsAboutToBeRemoved(const QModelIndex &, int first, int last)
{
    if (!valid)
        return;
    if (first != last) {
        valid = false;
        return;
    }
    for (int r = first; r <= last; ++r) {
        auto at = rows.find(idAt(r));
        if (at == rows.end() || at.value() != r)
            continue;
        // Another row may hold the same id further down.
        if (duplicates) {
            valid = false;
            return;
        }
        rows.erase(at);
    }
}

void ZnTableRowIndex::rowsRemoved(const QModelIndex &, int first, int last)
{
    if (valid)
        shift(last + 1, -(last - first + 1));
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
