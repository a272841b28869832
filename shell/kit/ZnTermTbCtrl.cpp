#include "ZnTermTbCtrl.h"

#include "ZnPlayTermListMgr.h"

#include <QTableWidget>

#include <algorithm>
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

void ZnTermTbCtrl::fillAllTerminals()
{
    QTableWidget *t = tableWidget();
    ZnPlayTermListMgr *model = ZnPlayTermListMgr::instance();
    const std::list<ZnTerminal> *list = model->lockList();
    if (!list)
        return;
    if (t)
        t->setRowCount(0);
    // The model keeps its list in id order already; sorting a copy keeps that
    // promise without writing to the model's own list.
    std::vector<const ZnTerminal *> rows;
    for (const ZnTerminal &term : *list)
        rows.push_back(&term);
    std::stable_sort(rows.begin(), rows.end(), [](const ZnTerminal *a, const ZnTerminal *b) { return a->id < b->id; });
    for (const ZnTerminal *term : rows)
        fillRow(ZnTerminal(*term));
    model->unlockList();
    if (t)
        t->resizeColumnToContents(1);
}

void ZnTermTbCtrl::fillTerminalsWhere(int value)
{
    QTableWidget *t = tableWidget();
    ZnPlayTermListMgr *model = ZnPlayTermListMgr::instance();
    const std::list<ZnTerminal> *list = model->lockList();
    if (!list)
        return;
    if (t)
        t->setRowCount(0);
    for (const ZnTerminal &term : *list)
        if (term.settingValueA == value)
            fillRow(ZnTerminal(term));
    model->unlockList();
    if (t)
        t->resizeColumnToContents(1);
}
