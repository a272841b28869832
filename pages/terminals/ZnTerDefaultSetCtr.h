#pragma once

#include "ZnBaseDialog.h"
#include "ZnTermTbCtrl.h"
#include "ui_TerDefaultSetForm.h"

#include <QList>

class QCheckBox;

// Sets each base play terminal's default volume and amplifier state and
// whether the defaults apply. Sends nothing: OK collects copies of every listed
// terminal into results().
class ZnTerDefaultSetCtr : public ZnBaseDialog, private ZnTermTbCtrl
{
    Q_OBJECT
public:
    ZnTerDefaultSetCtr();

    void loadTable();
    const QList<ZnTerminal> &results() const { return records; }
    Ui::TerDefaultSetForm &form() { return ui; }
    QTableWidget *tableWidget() override { return ui.fTerTableWidget; }
    QCheckBox *rowBox(int row) const;

public slots:
    void tableSelected();
    void openAmpClicked();
    void closeAmpClicked();
    void volumnSpinChanged(int value);
    void accept() override;

private:
    QWidget *widget() override { return this; }
    void initColumns() override;
    int fillRow(const ZnTerminal &terminal) override { return insertRecordRow(&terminal); }
    int insertRecordRow(const ZnTerminal *terminal);
    void connectSignals();
    void collectRecords();

    QList<ZnTerminal> records;
    Ui::TerDefaultSetForm ui;
    bool loading = false;
};
