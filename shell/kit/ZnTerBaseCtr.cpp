#include "ZnTerBaseCtr.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QWidget>

ZnTerBaseCtr::~ZnTerBaseCtr() = default;

void ZnTerBaseCtr::setGeometry(const QRect &rect)
{
    if (QWidget *w = widget())
        w->setGeometry(rect);
}

void ZnTerBaseCtr::updateRow(int, int) {}

int ZnTerBaseCtr::findRowById(int id)
{
    QTableWidget *t = tableWidget();
    if (!t)
        return -1;
    for (int row = 0; row < t->rowCount(); ++row) {
        const QTableWidgetItem *item = t->item(row, 0);
        const int rowId = item ? item->data(Qt::UserRole).toInt() : -1;
        if (rowId == id)
            return row;
    }
    return -1;
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
    QTableWidget *t = tableWidget();
    const QTableWidgetItem *item = t ? t->item(row, col) : nullptr;
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void ZnTerBaseCtr::clearTable()
{
    QTableWidget *t = tableWidget();
    if (!t || t->rowCount() == 0)
        return;
    t->clearContents();
    t->setRowCount(0);
}

void ZnTerBaseCtr::removeRow(int row)
{
    if (QTableWidget *t = tableWidget())
        t->removeRow(row);
}

void ZnTerBaseCtr::initTable()
{
    QTableWidget *t = tableWidget();
    if (!t)
        return;
    t->setWordWrap(true);
    t->setFocusPolicy(Qt::NoFocus);
    t->horizontalHeader()->setHighlightSections(false);
    t->verticalHeader()->setHighlightSections(false);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->horizontalHeader()->setStretchLastSection(true);
}

QTableWidgetItem *ZnTerBaseCtr::setFirstRowItem(const char *text, int col, int data)
{
    return setItem(text, 0, col, data);
}

QTableWidgetItem *ZnTerBaseCtr::setItem(const char *text, int row, int col, int data)
{
    return setItemQString(QString::fromLocal8Bit(text ? text : ""), row, col, data);
}

QTableWidgetItem *ZnTerBaseCtr::setItemQString(const QString &text, int row, int col, int data)
{
    QTableWidget *t = tableWidget();
    // A cell outside the table would not take the item; hand back none rather
    // than an item nobody owns.
    if (!t || row < 0 || col < 0 || row >= t->rowCount() || col >= t->columnCount())
        return nullptr;
    auto *item = new QTableWidgetItem(text);
    item->setData(Qt::UserRole, qint64(data));
    t->setItem(row, col, item);
    return item;
}

void ZnTerBaseCtr::setItemText(QTableWidgetItem *item, const char *text, int data)
{
    if (!item)
        return;
    item->setText(QString::fromLocal8Bit(text ? text : ""));
    item->setData(Qt::UserRole, data);
}

bool ZnTerBaseCtr::isNull(int value)
{
    return value == 0;
}

bool ZnTerBaseCtr::isBaseId(int id)
{
    return (id / 10000) % 10000 == 0;
}
