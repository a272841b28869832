#pragma once

#include "ZnBaseLevelCtr.h"

#include <QList>
#include <QRect>
#include <QString>

class QTableWidget;
class QTableWidgetItem;
class QWidget;

// Second base of the list pages and table controllers: the standard table look and
// the rows found, redrawn and removed by the record id kept as the int UserRole
// data of column 0. Row numbers are looked up again on every call (through the
// table's id index, see ZnTableRowIndex); no item pointer is kept.
class ZnTerBaseCtr : public ZnBaseLevelCtr
{
public:
    ~ZnTerBaseCtr() override;

    // Level kind 5, the ordinary pages.
    int getLevel(ZnLevelList *levels, ZnLevel *out) override;

    virtual void setGeometry(const QRect &rect);
    virtual QWidget *widget() = 0;
    virtual QTableWidget *tableWidget() = 0;
    virtual void updateRow(int row, int id);

    int findRowById(int id);
    int updateRowById(int id);
    int removeRowById(int id);
    int itemValue(int row, int col);
    // The id of the current row, -1 without one.
    int currentId();
    // The ids of the selected rows, in the order the operator selected them; a
    // flow that blocks (a box, a dialog, a request) keeps these and finds each
    // row again afterwards.
    QList<int> selectedIds();
    // For a flow that opened a box or a dialog over the table: whether the row of
    // id is still there. When it is not, the operator is told and the flow is to
    // change nothing.
    bool rowStillShown(int id);
    void clearTable();
    void removeRow(int row);
    void initTable();
    QTableWidgetItem *setFirstRowItem(const char *text, int col, int data);
    QTableWidgetItem *setItem(const char *text, int row, int col, int data);
    QTableWidgetItem *setItemQString(const QString &text, int row, int col, int data);
    void setItemText(QTableWidgetItem *item, const char *text, int data);

    static bool isNull(int value);
    static bool isBaseId(int id);
};
