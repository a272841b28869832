#include "ZnTermTbCtrl.h"

#include <QTableWidget>

QString ZnTermTbCtrl::ampStateText(int value) const
{
    if (value == 0)
        return ZnTerTableWidgetStr::closeText();
    if (value == 1)
        return ZnTerTableWidgetStr::openText();
    return QString();
}

void ZnTermTbCtrl::setAmpStateCell(int row, int value)
{
    QTableWidget *t = tableWidget();
    if (QTableWidgetItem *item = t ? t->item(row, ampColumn) : nullptr) {
        item->setText(ampStateText(value));
        item->setData(Qt::UserRole, value);
    }
}

void ZnTermTbCtrl::setNumberCell(int row, int col, int value)
{
    QTableWidget *t = tableWidget();
    if (QTableWidgetItem *item = t ? t->item(row, col) : nullptr) {
        item->setText(QString::number(value));
        item->setData(Qt::UserRole, value);
    }
}

void ZnTermTbCtrl::setNumberCellAt(int row, int value)
{
    setNumberCell(row, numberColumn, value);
}
