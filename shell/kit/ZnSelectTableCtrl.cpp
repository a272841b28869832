#include "ZnSelectTableCtrl.h"

#include "ZnColours.h"
#include "ZnCommonTable.h"

#include <QCheckBox>
#include <QColor>
#include <QHeaderView>
#include <QTableWidget>

ZnSelectTableCtrl::ZnSelectTableCtrl() = default;

void ZnSelectTableCtrl::initSingleSelect(QTableWidget *t, int m)
{
    table = t;
    selectAllBox = nullptr;
    setupColumns(m);
    if (table)
        connect(table, SIGNAL(itemClicked(QTableWidgetItem *)), this,
                SLOT(slot_singleTableItemClicked(QTableWidgetItem *)));
}

void ZnSelectTableCtrl::initMultiSelect(QTableWidget *t, QCheckBox *selectAll, int m)
{
    table = t;
    selectAllBox = selectAll;
    setupColumns(m);
    if (selectAllBox)
        connect(selectAllBox, SIGNAL(stateChanged(int)), this, SLOT(slot_checkBoxStateChanged(int)));
    if (table)
        connect(table, SIGNAL(itemClicked(QTableWidgetItem *)), this, SLOT(slot_tableItemClicked(QTableWidgetItem *)));
}

void ZnSelectTableCtrl::setupColumns(int m)
{
    mode = m;
    if (!table)
        return;
    const QString name = QStringLiteral("名称"), id = QStringLiteral("ID"), type = QStringLiteral("类型");
    switch (mode) {
    case 1:
        table->setColumnCount(2);
        table->setHorizontalHeaderLabels({name, type});
        break;
    case 2:
    case 4:
        table->setColumnCount(2);
        table->setHorizontalHeaderLabels({name, id});
        table->setColumnHidden(1, mode == 4);
        break;
    default:
        table->setColumnCount(3);
        table->setHorizontalHeaderLabels({name, id, type});
        break;
    }
    ZnCommon::initTableWidget(table);
    table->horizontalHeader()->setStretchLastSection(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setRowCount(0);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
}

void ZnSelectTableCtrl::fillTable(int checkState, const std::string &name, int id, const std::string &type)
{
    if (!table)
        return;
    const int row = table->rowCount();
    table->insertRow(row);

    auto *first = new QTableWidgetItem(QString::fromLocal8Bit(name.c_str()));
    first->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    first->setCheckState(Qt::CheckState(checkState));
    first->setData(Qt::UserRole, id);
    table->setItem(row, 0, first);

    const QString typeText = QString::fromStdString(type);
    switch (mode) {
    case 1:
    case 2:
        table->setItem(row, 1, new QTableWidgetItem(typeText));
        break;
    case 3:
        table->setItem(row, 1, new QTableWidgetItem(QString::number(id)));
        table->setItem(row, 2, new QTableWidgetItem(typeText));
        break;
    case 4:
        table->setItem(row, 1, new QTableWidgetItem(QString::number(id)));
        break;
    default:
        table->setItem(row, 1, new QTableWidgetItem(typeText));
        break;
    }

    if (checkState == Qt::Checked) {
        tick(row, true);
        currentRow = row;
    }
}

// Sets check box, tick flag and row colour together. The flag cell is made when
// a row has none, so a click on a short row is never lost.
void ZnSelectTableCtrl::tick(int row, bool on)
{
    if (!table || row < 0 || row >= table->rowCount())
        return;
    if (QTableWidgetItem *first = table->item(row, 0))
        first->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    if (table->columnCount() > 1) {
        QTableWidgetItem *flag = table->item(row, 1);
        if (!flag) {
            flag = new QTableWidgetItem;
            table->setItem(row, 1, flag);
        }
        flag->setData(Qt::UserRole, on ? 1 : 0);
    }
    ZnCommon::setRowBackground(table, row, on ? gSelectOrange : gSelectWhite);
}

static bool rowTicked(QTableWidget *table, int row)
{
    const QTableWidgetItem *flag = table->item(row, 1);
    return flag && flag->data(Qt::UserRole).toInt() != 0;
}

bool ZnSelectTableCtrl::isTicked(int row) const
{
    return table && row >= 0 && row < table->rowCount() && rowTicked(table, row);
}

void ZnSelectTableCtrl::slot_tableItemClicked(QTableWidgetItem *item)
{
    if (!table || !item)
        return;
    const int row = item->row();
    if (rowTicked(table, row)) {
        tick(row, false);
        allChecked = false;
        if (selectAllBox)
            selectAllBox->setCheckState(Qt::Unchecked);
        table->clearSelection();
    } else {
        tick(row, true);
    }
    changedFlag = true;
}

void ZnSelectTableCtrl::slot_checkBoxStateChanged(int state)
{
    if (!table)
        return;
    if (state == Qt::Checked) {
        for (int row = 0; row < table->rowCount(); ++row)
            tick(row, true);
        allChecked = true;
    } else if (allChecked) {
        for (int row = 0; row < table->rowCount(); ++row)
            tick(row, false);
        table->clearSelection();
        allChecked = false;
    }
    changedFlag = true;
}

void ZnSelectTableCtrl::slot_singleTableItemClicked(QTableWidgetItem *item)
{
    if (!table || !item)
        return;
    const int row = item->row();
    if (rowTicked(table, row)) {
        tick(row, false);
        table->clearSelection();
        currentRow = -1;
        return;
    }
    if (currentRow >= 0)
        tick(currentRow, false);
    currentRow = row;
    tick(row, true);
}
