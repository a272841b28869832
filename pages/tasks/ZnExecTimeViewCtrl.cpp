#include "ZnExecTimeViewCtrl.h"

#include "ZnCommon.h"

#include <QTableWidget>

ZnExecTimeViewCtrl::ZnExecTimeViewCtrl(QTableWidget *table) : ZnDataViewCtrl(table) {}

void ZnExecTimeViewCtrl::setRowEntry(int row, const ZnExecTime &entry)
{
    const uint32_t seconds = entry.seconds < 0 ? 0u : static_cast<uint32_t>(entry.seconds);
    helper.setText(row, 1, QString::fromStdString(ZnCommon::formatDuration(seconds)));
    helper.setItemData(row, 1, static_cast<qlonglong>(entry.seconds));
    helper.setText(row, 0, QString::fromLocal8Bit(entry.name));
    helper.table()->sortItems(1, Qt::AscendingOrder);
}

int ZnExecTimeViewCtrl::rowEntry(int row, ZnExecTime &out)
{
    out.seconds = helper.itemData(row, 1).toLongLong();
    const QString name = helper.itemText(row, 0);
    if (!name.isEmpty())
        out.setName(name.toLocal8Bit().toStdString());
    return 0;
}

void ZnExecTimeViewCtrl::addEntry(const ZnExecTime &entry)
{
    helper.appendRow();
    setRowEntry(helper.table()->rowCount() - 1, entry);
}

int ZnExecTimeViewCtrl::removeCurrent()
{
    const int row = helper.currentRow();
    if (row < 0)
        return -1;
    helper.removeRow(row);
    return 0;
}

int ZnExecTimeViewCtrl::currentEntry(ZnExecTime &out)
{
    const int row = helper.currentRow();
    return row < 0 ? -1 : rowEntry(row, out);
}

int ZnExecTimeViewCtrl::updateCurrent(const ZnExecTime &entry)
{
    const int row = helper.currentRow();
    if (row < 0)
        return -1;
    setRowEntry(row, entry);
    return 0;
}

void ZnExecTimeViewCtrl::setEntries(const std::list<ZnExecTime> &list)
{
    helper.clearRows();
    for (const ZnExecTime &e : list)
        addEntry(e);
}

void ZnExecTimeViewCtrl::entries(std::list<ZnExecTime> &out)
{
    out.clear();
    const int rows = helper.table()->rowCount();
    for (int row = 0; row < rows; ++row) {
        ZnExecTime e;
        rowEntry(row, e);
        out.push_back(e);
    }
}
