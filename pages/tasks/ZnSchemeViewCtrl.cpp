#include "ZnSchemeViewCtrl.h"

#include <QHeaderView>
#include <QTableWidget>

ZnSchemeViewCtrl::ZnSchemeViewCtrl(QTableWidget *table) : ZnDataViewCtrl(table)
{
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void ZnSchemeViewCtrl::addScheme(const ZnScheme &scheme)
{
    helper.appendRow();
    setRowScheme(helper.table()->rowCount() - 1, scheme);
}

void ZnSchemeViewCtrl::removeScheme(int id)
{
    const int row = findRow(id);
    if (row >= 0)
        helper.removeRow(row);
}

void ZnSchemeViewCtrl::setSchemes(const std::list<ZnScheme> &schemes)
{
    helper.clearRows();
    for (const ZnScheme &s : schemes)
        addScheme(s);
}

void ZnSchemeViewCtrl::updateScheme(const ZnScheme &scheme)
{
    const int row = findRow(scheme.id);
    if (row >= 0)
        setRowScheme(row, scheme);
}

void ZnSchemeViewCtrl::setRowScheme(int row, const ZnScheme &scheme)
{
    helper.setText(row, 0, QString::fromLocal8Bit(scheme.name.c_str()));
    setRowId(row, scheme.id);
    helper.setText(row, 1, scheme.enable == 1 ? QStringLiteral("启用") : QStringLiteral("禁用"));
    helper.setText(row, 2, QString::fromLocal8Bit(scheme.comment.c_str()));
}
