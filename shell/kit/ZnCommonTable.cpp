#include "ZnCommonTable.h"

#include "ZnCommon.h"
#include "ZnElideDelegate.h"

#include <QAbstractItemView>
#include <QBrush>
#include <QHeaderView>
#include <QTableWidget>
#include <QTableWidgetItem>

namespace ZnCommon {

void initTableWidget(QTableWidget* table, int)
{
    if (!table)
        return;
    table->setWordWrap(true);
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setHighlightSections(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setTextElideMode(Qt::ElideRight);
    // Only over the view's own delegate: a page's delegate of its own stays.
    if (table->itemDelegate() && table->itemDelegate()->metaObject() == &QStyledItemDelegate::staticMetaObject)
        table->setItemDelegate(new ZnElideDelegate(table));
}

namespace {

bool inTable(const QTableWidget* table, int row, int column)
{
    return table && row >= 0 && row < table->rowCount() && column >= 0 && column < table->columnCount();
}

} // namespace

QTableWidgetItem* setTableItem(QTableWidget* table, const char* text, int row, int column, int id)
{
    // QTableWidget drops, without freeing, an item set outside its cells.
    if (!inTable(table, row, column))
        return nullptr;
    auto* item = new QTableWidgetItem(fromLocal8Bit(text));
    item->setData(Qt::UserRole, id);
    table->setItem(row, column, item);
    return item;
}

QTableWidgetItem* setTableItem2(QTableWidget* table, const QString& text, int row, int column, quint64 data)
{
    if (!inTable(table, row, column))
        return nullptr;
    auto* item = new QTableWidgetItem(text);
    item->setData(Qt::UserRole, QVariant::fromValue<quint64>(data));
    table->setItem(row, column, item);
    return item;
}

void setItemTextAndData(QTableWidgetItem* item, const char* text, int id)
{
    if (!item)
        return;
    item->setText(fromLocal8Bit(text));
    item->setData(Qt::UserRole, id);
}

int itemIntData(QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table ? table->item(row, column) : nullptr;
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

int clearTable(QTableWidget* table)
{
    if (!table)
        return -1;
    if (table->rowCount() == 0)
        return 0;
    table->clearContents();
    table->setRowCount(0);
    return 0;
}

int removeTableRow(QTableWidget* table, int row)
{
    if (!table)
        return -1;
    table->removeRow(row);
    return 0;
}

void swapRows(QTableWidget* table, int rowA, int rowB, int columnCount)
{
    if (!table)
        return;
    for (int c = 0; c < columnCount; ++c) {
        QTableWidgetItem* a = table->item(rowA, c);
        QTableWidgetItem* b = table->item(rowB, c);
        if (!a || !b)
            continue;
        const QString text = a->text();
        const QVariant data = a->data(Qt::UserRole);
        a->setText(b->text());
        a->setData(Qt::UserRole, b->data(Qt::UserRole));
        b->setText(text);
        b->setData(Qt::UserRole, data);
    }
    table->selectRow(rowA);
}

void setSelectedColumnText(QTableWidget* table, int column, const char* text, int id)
{
    if (!table)
        return;
    const QList<QTableWidgetItem*> selected = table->selectedItems();
    for (QTableWidgetItem* item : selected) {
        if (item->column() == column)
            setItemTextAndData(item, text, id);
    }
}

int setRowBackground(QTableWidget* table, int row, const QColor& colour)
{
    if (!table)
        return 0;
    const int columns = table->columnCount();
    for (int c = 0; c < columns; ++c) {
        if (QTableWidgetItem* item = table->item(row, c))
            item->setBackground(colour);
    }
    return columns;
}

void setItemStyle(QTableWidgetItem* item, int alignment, const QColor& colour)
{
    if (!item)
        return;
    item->setTextAlignment(alignment);
    item->setForeground(colour);
}

} // namespace ZnCommon
