#pragma once

#include "ZnTableWidgetHelper.h"

class QTableWidget;

// Table controller that keeps a record id in each row's column-0 cell.
class ZnDataViewCtrl
{
public:
    explicit ZnDataViewCtrl(QTableWidget *table);
    virtual ~ZnDataViewCtrl();

    virtual int rowId(int row);
    virtual void setRowId(int row, int id);
    virtual int findRow(int id);
    virtual int currentId();

protected:
    ZnTableWidgetHelper helper;
};
