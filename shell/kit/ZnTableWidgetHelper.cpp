#include "ZnTableWidgetHelper.h"

#include <QItemSelectionModel>
#include <QTableWidget>

ZnTableWidgetHelper::ZnTableWidgetHelper(QTableWidget *table) : tableWidget(table) {}

void ZnTableWidgetHelper::appendRow()
{
    tableWidget->insertRow(tableWidget->rowCount());
}

void ZnTableWidgetHelper::clearRows()
{
    tableWidget->setRowCount(0);
}

int ZnTableWidgetHelper::currentRow() const
{
    return tableWidget->currentRow();
}

QTableWidgetItem *ZnTableWidgetHelper::item(int row, int col) const
{
    return tableWidget->item(row, col);
}

QVariant ZnTableWidgetHelper::itemData(int row, int col) const
{
    const QTableWidgetItem *i = item(row, col);
    return i ? i->data(Qt::UserRole) : QVariant();
}

QString ZnTableWidgetHelper::itemText(int row, int col) const
{
    const QTableWidgetItem *i = item(row, col);
    return i ? i->text() : QString();
}

void ZnTableWidgetHelper::placeItem(int row, int col, QTableWidgetItem *newItem)
{
    if (row < 0 || col < 0 || col >= tableWidget->columnCount()) {
        delete newItem;
        return;
    }
    if (tableWidget->rowCount() < row + 1)
        tableWidget->setRowCount(row + 1);
    tableWidget->setItem(row, col, newItem);
}

void ZnTableWidgetHelper::setText(int row, int col, const QString &text)
{
    if (QTableWidgetItem *i = item(row, col))
        i->setText(text);
    else
        placeItem(row, col, new QTableWidgetItem(text));
}

void ZnTableWidgetHelper::setItemData(int row, int col, const QVariant &data)
{
    if (QTableWidgetItem *i = item(row, col))
        i->setData(Qt::UserRole, data);
}

void ZnTableWidgetHelper::removeRow(int row)
{
    tableWidget->removeRow(row);
}

void ZnTableWidgetHelper::selectRow(int row)
{
    QItemSelectionModel *sel = tableWidget->selectionModel();
    if (!sel || row < 0 || row >= tableWidget->rowCount() || tableWidget->columnCount() == 0)
        return;
    const QModelIndex first = tableWidget->model()->index(row, 0);
    const QModelIndex last = tableWidget->model()->index(row, tableWidget->columnCount() - 1);
    sel->select(QItemSelection(first, last), QItemSelectionModel::Select);
}
