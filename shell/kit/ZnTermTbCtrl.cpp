#include "ZnTermTbCtrl.h"

#include "ZnPlayTermListMgr.h"

#include <QTableWidget>

#include <vector>

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

template <class Keep>
void ZnTermTbCtrl::fillTerminals(Keep keep)
{
    ZnPlayTermListMgr *model = ZnPlayTermListMgr::instance();
    const std::list<ZnTerminal> *list = model->lockList();
    if (!list)
        return;
    // The model keeps its list in id order.
    std::vector<ZnTerminal> rows;
    for (const ZnTerminal &term : *list) {
        if (keep(term))
            rows.push_back(term);
    }
    model->unlockList();
    QTableWidget *t = tableWidget();
    if (t)
        t->setRowCount(0);
    for (const ZnTerminal &term : rows)
        fillRow(term);
    if (t)
        t->resizeColumnToContents(1);
}

void ZnTermTbCtrl::fillAllTerminals()
{
    fillTerminals([](const ZnTerminal &) { return true; });
}

void ZnTermTbCtrl::fillTerminalsWhere(int modelNo)
{
    fillTerminals([modelNo](const ZnTerminal &term) { return term.modelNo == modelNo; });
}
