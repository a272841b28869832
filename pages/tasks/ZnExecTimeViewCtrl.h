#pragma once

#include "ZnDataViewCtrl.h"
#include "ZnExecTime.h"

#include <QObject>

#include <list>

class QTableWidget;

// The execution times of one task in a two-column table (name, time of day),
// kept in ascending time order; the time cell carries the seconds.
class ZnExecTimeViewCtrl : public QObject, public ZnDataViewCtrl
{
    Q_OBJECT
public:
    explicit ZnExecTimeViewCtrl(QTableWidget *table);

    virtual void setRowEntry(int row, const ZnExecTime &entry);
    virtual int rowEntry(int row, ZnExecTime &out);

    void addEntry(const ZnExecTime &entry);
    // -1 when no row is current, else 0.
    int removeCurrent();
    int currentEntry(ZnExecTime &out);
    int updateCurrent(const ZnExecTime &entry);
    void setEntries(const std::list<ZnExecTime> &entries);
    void entries(std::list<ZnExecTime> &out);
};
