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
        const Slot *at = findSlot(id);
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

size_t ZnTableRowIndex::slotOf(int id) const
{
    // Fibonacci hashing: ids that follow each other spread over the array.
    return size_t((uint32_t(id) * 2654435769u) >> shiftBits);
}

ZnTableRowIndex::Slot *ZnTableRowIndex::findSlot(int id)
{
    if (entries.empty())
        return nullptr;
    const size_t mask = entries.size() - 1;
    for (size_t i = slotOf(id);; i = (i + 1) & mask) {
        Slot &slot = entries[i];
        if (slot.row == Free)
            return nullptr;
        if (slot.id == id)
            return &slot;
    }
}

void ZnTableRowIndex::clearSlots(size_t expected)
{
    size_t size = 16;
    int bits = 28;
    while (size < 2 * expected) {
        size *= 2;
        --bits;
    }
    entries.assign(size, Slot{0, Free});
    used = 0;
    shiftBits = bits;
    base = 0;
}

void ZnTableRowIndex::insertSlot(int id, int row)
{
    if (2 * (used + 1) > entries.size()) {
        std::vector<Slot> old;
        old.swap(entries);
        const int oldBase = base;
        clearSlots(used + 1);
        for (const Slot &slot : old) {
            if (slot.row != Free)
                insertSlot(slot.id, slot.row - oldBase);
        }
    }
    const size_t mask = entries.size() - 1;
    size_t i = slotOf(id);
    while (entries[i].row != Free)
        i = (i + 1) & mask;
    entries[i] = Slot{id, stored(row)};
    ++used;
}

void ZnTableRowIndex::eraseSlot(Slot *slot)
{
    // Linear probing without tombstones: later slots of the run move back into
    // the hole when their home lies at or before it.
    const size_t mask = entries.size() - 1;
    size_t hole = size_t(slot - entries.data());
    for (size_t i = (hole + 1) & mask; entries[i].row != Free; i = (i + 1) & mask) {
        const size_t home = slotOf(entries[i].id);
        if (((i - home) & mask) >= ((i - hole) & mask)) {
            entries[hole] = entries[i];
            hole = i;
        }
    }
    entries[hole].row = Free;
    --used;
}

void ZnTableRowIndex::beginFill(int rows)
{
    clearSlots(size_t(qMax(rows, 0)));
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
    clearSlots(size_t(count));
    duplicates = false;
    for (int r = 0; r < count; ++r) {
        const int id = idAt(r);
        // Of two rows with one id the upper one is kept.
        if (findSlot(id))
            duplicates = true;
        else
            insertSlot(id, r);
    }
    valid = true;
}

void ZnTableRowIndex::remember(int id, int row)
{
    Slot *at = findSlot(id);
    if (!at) {
        insertSlot(id, row);
    } else if (rowOf(*at) != row && idAt(rowOf(*at)) == id) {
        duplicates = true;
        at->row = stored(qMin(rowOf(*at), row));
    } else {
        at->row = stored(row);
    }
}

void ZnTableRowIndex::shift(int from, int by)
{
    // Every row moves: the base does instead.
    if (from <= 0) {
        base -= by;
        return;
    }
    for (Slot &slot : entries) {
        if (slot.row != Free && rowOf(slot) >= from)
            slot.row += by;
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
    Slot *at = findSlot(idAt(first));
    if (!at || rowOf(*at) != first)
        return;
    // Another row may hold the same id further down.
    if (duplicates) {
        valid = false;
        return;
    }
    eraseSlot(at);
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
