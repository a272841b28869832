#pragma once

#include "ZnDataViewCtrl.h"
#include "ZnScheme.h"

#include <QObject>

#include <list>

class QTableWidget;

// The timer plans of one kind in a table: name (row id = plan id), state, comment.
class ZnSchemeViewCtrl : public QObject, public ZnDataViewCtrl
{
    Q_OBJECT
public:
    explicit ZnSchemeViewCtrl(QTableWidget *table);

    void addScheme(const ZnScheme &scheme);
    void removeScheme(int id);
    void setSchemes(const std::list<ZnScheme> &schemes);
    void updateScheme(const ZnScheme &scheme);
    void setRowScheme(int row, const ZnScheme &scheme);
};
