#include "ZnDataViewCtrl.h"

#include <QTableWidget>

ZnDataViewCtrl::ZnDataViewCtrl(QTableWidget *table) : helper(table) {}

ZnDataViewCtrl::~ZnDataViewCtrl() = default;

int ZnDataViewCtrl::rowId(int row)
{
    return helper.item(row, 0) ? helper.itemData(row, 0).toInt() : -1;
}

void ZnDataViewCtrl::setRowId(int row, int id)
{
    if (!helper.item(row, 0))
        helper.placeItem(row, 0, new QTableWidgetItem);
    helper.setItemData(row, 0, id);
}

int ZnDataViewCtrl::findRow(int id)
{
    const int rows = helper.table()->rowCount();
    for (int row = 0; row < rows; ++row)
        if (rowId(row) == id)
            return row;
    return -1;
}

int ZnDataViewCtrl::currentId()
{
    const int row = helper.currentRow();
    return row < 0 ? -1 : rowId(row);
}
