#include "ZnTerBaseCtr.h"

#include "BaseMessageDialog.h"
#include "ZnCommonTable.h"
#include "ZnLevelList.h"
#include "ZnTableRowIndex.h"
#include "ZnTipsInfo.h"

#include <QTableWidget>
#include <QWidget>

ZnTerBaseCtr::~ZnTerBaseCtr() = default;

int ZnTerBaseCtr::getLevel(ZnLevelList *levels, ZnLevel *out)
{
    return levels && out ? levels->lookup(*out, ZnLevel::OrdinaryPage) : -1;
}

void ZnTerBaseCtr::setGeometry(const QRect &rect)
{
    if (QWidget *w = widget())
        w->setGeometry(rect);
}

void ZnTerBaseCtr::updateRow(int, int) {}

int ZnTerBaseCtr::findRowById(int id)
{
    ZnTableRowIndex *index = ZnTableRowIndex::of(tableWidget());
    return index ? index->row(id) : -1;
}

int ZnTerBaseCtr::updateRowById(int id)
{
    const int row = findRowById(id);
    if (row < 0)
        return -1;
    updateRow(row, id);
    return 0;
}

int ZnTerBaseCtr::removeRowById(int id)
{
    const int row = findRowById(id);
    if (row < 0)
        return -1;
    tableWidget()->removeRow(row);
    return 0;
}

int ZnTerBaseCtr::itemValue(int row, int col)
{
    return ZnCommon::itemIntData(tableWidget(), row, col);
}

int ZnTerBaseCtr::currentId()
{
    QTableWidget *t = tableWidget();
    return t ? itemValue(t->currentRow(), 0) : -1;
}

QList<int> ZnTerBaseCtr::selectedIds()
{
    QList<int> ids;
    QTableWidget *t = tableWidget();
    if (!t)
        return ids;
    // The table hands its selected items out in the order they were selected.
    for (const QTableWidgetItem *item : t->selectedItems()) {
        if (item->column() == 0)
            ids << itemValue(item->row(), 0);
    }
    return ids;
}

bool ZnTerBaseCtr::rowStillShown(int id)
{
    if (findRowById(id) >= 0)
        return true;
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::recordGoneText(), 1);
    box.exec();
    return false;
}

void ZnTerBaseCtr::clearTable()
{
    ZnCommon::clearTable(tableWidget());
}

void ZnTerBaseCtr::removeRow(int row)
{
    ZnCommon::removeTableRow(tableWidget(), row);
}

void ZnTerBaseCtr::initTable()
{
    if (QTableWidget *t = tableWidget())
        ZnCommon::initTableWidget(t);
}

QTableWidgetItem *ZnTerBaseCtr::setFirstRowItem(const char *text, int col, int data)
{
    return ZnCommon::setTableItem(tableWidget(), text, 0, col, data);
}

QTableWidgetItem *ZnTerBaseCtr::setItem(const char *text, int row, int col, int data)
{
    return ZnCommon::setTableItem(tableWidget(), text, row, col, data);
}

// Stored as 64 bits; a negative id reads back as the same int.
QTableWidgetItem *ZnTerBaseCtr::setItemQString(const QString &text, int row, int col, int data)
{
    return ZnCommon::setTableItem2(tableWidget(), text, row, col, quint64(qint64(data)));
}

void ZnTerBaseCtr::setItemText(QTableWidgetItem *item, const char *text, int data)
{
    ZnCommon::setItemTextAndData(item, text, data);
}

bool ZnTerBaseCtr::isNull(int value)
{
    return value == 0;
}

bool ZnTerBaseCtr::isBaseId(int id)
{
    return (id / 10000) % 10000 == 0;
}
