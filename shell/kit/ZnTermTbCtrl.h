#pragma once

#include "ZnTerBaseCtr.h"
#include "ZnTerTableWidgetStr.h"

#include "ZnTerminal.h"

// Table controller for the play-terminal (IP amplifier) list.
class ZnTermTbCtrl : public ZnTerBaseCtr
{
public:
    virtual void initColumns() = 0;
    virtual int fillRow(const ZnTerminal &terminal) = 0;

    // Rows of every play terminal, in id order.
    void fillAllTerminals();
    // Rows of the play terminals of that model number, in the model's order.
    void fillTerminalsWhere(int modelNo);

    QString ampStateText(int value) const;
    void setAmpStateCell(int row, int value);
    void setNumberCell(int row, int col, int value);
    void setNumberCellAt(int row, int value);

protected:
    // The rows of the play terminals that keep accepts. The table is left alone
    // before the model has its first list; the rows are filled after its lock is
    // released.
    template <class Keep>
    void fillTerminals(Keep keep);

    ZnTerTableWidgetStr strings;
    int numberColumn = 0;
    int ampColumn = 0;
};
