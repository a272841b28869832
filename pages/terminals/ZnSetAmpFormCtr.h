#pragma once

#include "ZnBaseDialog.h"
#include "ZnTermTbCtrl.h"
#include "ui_QtSetAmpForm.h"

#include <QList>

// Edits the amplifier warning temperature, fan switch-on temperature and
// maximum volume of the base play terminals. Sends nothing: OK collects changed
// copies into results().
class ZnSetAmpFormCtr : public ZnBaseDialog, private ZnTermTbCtrl
{
    Q_OBJECT
public:
    // The model number of the amplifiers that have these settings.
    enum { AmpModel = 17 };

    ZnSetAmpFormCtr();

    void loadTable();
    const QList<ZnTerminal> &results() const { return records; }
    Ui::QtSetAmpForm &form() { return ui; }
    QTableWidget *tableWidget() override { return ui.fAmpTableWidget; }

public slots:
    void tableSelected();
    void fanTempSpinChanged(int value);
    void warningTempSpinChanged(int value);
    void maxVolChanged(int value);
    void accept() override;

private:
    QWidget *widget() override { return this; }
    void initColumns() override;
    int fillRow(const ZnTerminal &terminal) override { return insertRecordRow(&terminal); }
    int insertRecordRow(const ZnTerminal *terminal);
    void connectSignals();
    void setSelectedCells(int column, int value, const QString &text);
    void collectRecords();

    int warnColumn = 1;
    int fanColumn = 2;
    int maxVolColumn = 3;
    QList<ZnTerminal> records;
    Ui::QtSetAmpForm ui;
    bool loading = false;
};
